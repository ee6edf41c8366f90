"""Both Windows programs, read back from their files: the PE header's
security flags, the manifest (DPI awareness per monitor, asInvoker, the
Windows versions, common controls 6 for the launcher), the version strings
and the icons.

    program_resources_test.py BUILD_DIR VERSION VENDOR COPYRIGHT
"""
import os
import struct
import sys
import unittest
import xml.etree.ElementTree as ET

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import pe_file  # noqa: E402

BUILD, VERSION, VENDOR, COPYRIGHT = sys.argv[1:5]
del sys.argv[1:5]

PROGRAMS = {
    "Miravel.scr": {"description": "Miravel screen saver", "common_controls": True},
    "Miravel.dll": {"description": "Miravel curtains of light", "common_controls": False},
}
ASM_V1 = "urn:schemas-microsoft-com:asm.v1"
ASM_V3 = "urn:schemas-microsoft-com:asm.v3"
COMPAT = "urn:schemas-microsoft-com:compatibility.v1"
WS_2005 = "http://schemas.microsoft.com/SMI/2005/WindowsSettings"
WS_2016 = "http://schemas.microsoft.com/SMI/2016/WindowsSettings"
WINDOWS_7_TO_11 = {
    "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",  # 7
    "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",  # 8
    "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",  # 8.1
    "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}",  # 10 and 11
}


def program(name):
    return pe_file.PeFile(os.path.join(BUILD, name))


class HeaderFlags(unittest.TestCase):
    def test_both_programs_load_anywhere_and_keep_data_unexecutable(self):
        for name in PROGRAMS:
            with self.subTest(program=name):
                pe = program(name)
                flags = pe.dll_characteristics
                self.assertTrue(flags & pe_file.IMAGE_DLLCHARACTERISTICS_DYNAMIC_BASE, "DYNAMIC_BASE")
                self.assertTrue(flags & pe_file.IMAGE_DLLCHARACTERISTICS_NX_COMPAT, "NX_COMPAT")
                if pe.is64:
                    self.assertTrue(flags & pe_file.IMAGE_DLLCHARACTERISTICS_HIGH_ENTROPY_VA,
                                    "HIGH_ENTROPY_VA")
                # A movable image needs its relocations.
                self.assertFalse(pe.characteristics & pe_file.IMAGE_FILE_RELOCS_STRIPPED)
                self.assertGreater(pe.directories[5][1], 0, "relocation table")
                self.assertEqual(pe.subsystem, 2, "a Windows GUI program")


class Manifest(unittest.TestCase):
    def manifest(self, name):
        data = program(name).resource(pe_file.RT_MANIFEST, 1)
        self.assertIsNotNone(data, "%s has manifest 1" % name)
        return ET.fromstring(data)

    def test_dpi_awareness_per_monitor_and_as_invoker(self):
        for name in PROGRAMS:
            with self.subTest(program=name):
                root = self.manifest(name)
                self.assertEqual(root.tag, "{%s}assembly" % ASM_V1)
                level = root.find(".//{%s}requestedExecutionLevel" % ASM_V3)
                self.assertIsNotNone(level)
                self.assertEqual(level.get("level"), "asInvoker")
                self.assertEqual(level.get("uiAccess"), "false")
                aware = root.find(".//{%s}windowsSettings/{%s}dpiAware" % (ASM_V3, WS_2005))
                self.assertEqual(aware.text.strip().lower(), "true/pm")
                awareness = root.find(".//{%s}windowsSettings/{%s}dpiAwareness" % (ASM_V3, WS_2016))
                values = [v.strip() for v in awareness.text.split(",")]
                self.assertEqual(values[0], "PerMonitorV2")
                self.assertIn("PerMonitor", values[1:], "the fallback of older Windows 10")
                ids = {e.get("Id") for e in root.iter("{%s}supportedOS" % COMPAT)}
                self.assertEqual(ids, WINDOWS_7_TO_11)

    def test_common_controls_6_for_the_launcher_only(self):
        for name, expected in PROGRAMS.items():
            with self.subTest(program=name):
                root = self.manifest(name)
                found = [a for a in root.iter("{%s}assemblyIdentity" % ASM_V1)
                         if a.get("name") == "Microsoft.Windows.Common-Controls"]
                self.assertEqual(bool(found), expected["common_controls"])
                for identity in found:
                    self.assertEqual(identity.get("version"), "6.0.0.0")
                    self.assertEqual(identity.get("publicKeyToken"), "6595b64144ccf1df")
                    self.assertEqual(identity.get("processorArchitecture"), "*")


class Version(unittest.TestCase):
    def test_version_strings_come_from_the_build_settings(self):
        numbers = [int(x) for x in VERSION.split(".")[:4]]
        numbers += [0] * (4 - len(numbers))
        for name, expected in PROGRAMS.items():
            with self.subTest(program=name):
                data = program(name).resource(pe_file.RT_VERSION, 1)
                self.assertIsNotNone(data)
                fixed, strings, translations = pe_file.version_block(data)
                self.assertEqual(fixed[0], 0xFEEF04BD)
                file_version = [fixed[2] >> 16, fixed[2] & 0xFFFF, fixed[3] >> 16, fixed[3] & 0xFFFF]
                product_version = [fixed[4] >> 16, fixed[4] & 0xFFFF, fixed[5] >> 16, fixed[5] & 0xFFFF]
                self.assertEqual(file_version, numbers)
                self.assertEqual(product_version, numbers)
                self.assertEqual(translations, [(0x0411, 1200)])
                self.assertEqual(list(strings), ["041104b0"], "one table, named for the translation")
                table = strings["041104b0"]
                self.assertEqual(table.get("ProductName"), "Miravel")
                self.assertEqual(table.get("FileDescription"), expected["description"])
                self.assertEqual(table.get("CompanyName"), VENDOR)
                self.assertEqual(table.get("LegalCopyright"), COPYRIGHT)
                self.assertEqual(table.get("FileVersion"), VERSION)
                self.assertEqual(table.get("ProductVersion"), VERSION)
                self.assertEqual(table.get("OriginalFilename"), name)


class Icons(unittest.TestCase):
    def test_the_first_icon_group_holds_every_size_from_16_to_256(self):
        for name in PROGRAMS:
            with self.subTest(program=name):
                pe = program(name)
                resources = pe.resources()
                groups = sorted(n for (t, n, _) in resources if t == pe_file.RT_GROUP_ICON
                                and isinstance(n, int))
                self.assertEqual(groups[0], 1, "Explorer shows the lowest group")
                entries = pe_file.icon_group(pe.resource(pe_file.RT_GROUP_ICON, 1))
                sizes = {w for w, h, _, _ in entries}
                self.assertTrue({16, 24, 32, 48, 256} <= sizes, sizes)
                for w, h, bits, ident in entries:
                    image = pe.resource(pe_file.RT_ICON, ident)
                    self.assertIsNotNone(image, "icon %d of the group is there" % ident)
                    self.assertEqual(w, h)
                    if image[:8] == b"\x89PNG\r\n\x1a\n":
                        self.assertEqual(struct.unpack(">II", image[16:24]), (w, h))
                    else:
                        header, width, height = struct.unpack_from("<Iii", image, 0)
                        self.assertEqual((header, width, height), (40, w, 2 * h))
                        self.assertEqual(bits, 32, "full colour with alpha")

    def test_the_renderer_keeps_its_window_class_icon(self):
        pe = program("Miravel.dll")
        entries = pe_file.icon_group(pe.resource(pe_file.RT_GROUP_ICON, 7002))
        self.assertEqual([(w, h) for w, h, _, _ in entries], [(32, 32)])


if __name__ == "__main__":
    unittest.main(verbosity=2)
