"""Reads what the Windows programs carry in their PE files, with Python's
standard library alone: the optional header's flags, and the resources
(manifest, version block, icon groups)."""
import struct

IMAGE_DLLCHARACTERISTICS_HIGH_ENTROPY_VA = 0x0020
IMAGE_DLLCHARACTERISTICS_DYNAMIC_BASE = 0x0040
IMAGE_DLLCHARACTERISTICS_NX_COMPAT = 0x0100
IMAGE_FILE_RELOCS_STRIPPED = 0x0001

RT_ICON, RT_GROUP_ICON, RT_VERSION, RT_MANIFEST = 3, 14, 16, 24


class PeFile:
    def __init__(self, path):
        with open(path, "rb") as f:
            self.data = f.read()
        d = self.data
        if d[:2] != b"MZ":
            raise ValueError("not an MZ file")
        pe = struct.unpack_from("<I", d, 0x3C)[0]
        if d[pe:pe + 4] != b"PE\0\0":
            raise ValueError("no PE signature")
        (self.machine, sections, _, _, _, optional_size,
         self.characteristics) = struct.unpack_from("<HHIIIHH", d, pe + 4)
        opt = pe + 24
        self.magic = struct.unpack_from("<H", d, opt)[0]
        self.is64 = self.magic == 0x20B
        if self.magic not in (0x10B, 0x20B):
            raise ValueError("unknown optional header")
        self.subsystem, self.dll_characteristics = struct.unpack_from("<HH", d, opt + 68)
        directories = opt + (112 if self.is64 else 96)
        count = struct.unpack_from("<I", d, directories - 4)[0]
        self.directories = [struct.unpack_from("<II", d, directories + 8 * i)
                            for i in range(count)]
        table = opt + optional_size
        self.sections = []
        for i in range(sections):
            name, vsize, va, rawsize, rawptr = struct.unpack_from("<8sIIII", d, table + 40 * i)
            self.sections.append((name.rstrip(b"\0"), va, max(vsize, rawsize), rawptr, rawsize))

    def offset(self, rva):
        for _, va, size, rawptr, rawsize in self.sections:
            if va <= rva < va + size:
                if rva - va >= rawsize:
                    raise ValueError("RVA outside the file's data")
                return rawptr + rva - va
        raise ValueError("RVA 0x%x in no section" % rva)

    def resources(self):
        """{(type, name, language): bytes}; names are numbers or strings."""
        rva, size = self.directories[2] if len(self.directories) > 2 else (0, 0)
        found = {}
        if rva == 0 or size == 0:
            return found
        base = self.offset(rva)
        d = self.data

        def name_of(entry_name):
            if entry_name & 0x80000000:
                at = base + (entry_name & 0x7FFFFFFF)
                length = struct.unpack_from("<H", d, at)[0]
                return d[at + 2:at + 2 + 2 * length].decode("utf-16-le")
            return entry_name

        def walk(at, path):
            named, ids = struct.unpack_from("<HH", d, at + 12)
            for i in range(named + ids):
                entry_name, target = struct.unpack_from("<II", d, at + 16 + 8 * i)
                key = path + (name_of(entry_name),)
                if target & 0x80000000:
                    walk(base + (target & 0x7FFFFFFF), key)
                else:
                    data_rva, data_size = struct.unpack_from("<II", d, base + target)
                    start = self.offset(data_rva)
                    found[key] = d[start:start + data_size]

        walk(base, ())
        return found

    def resource(self, kind, name):
        """The first language's bytes of one resource, or None."""
        for (t, n, _), value in sorted(self.resources().items(), key=lambda kv: str(kv[0])):
            if t == kind and n == name:
                return value
        return None


def _align4(n):
    return (n + 3) & ~3


def version_block(data):
    """Parses VS_VERSIONINFO: (fixed part as a tuple of 13 words, or None,
    {StringFileInfo table name: {key: value}}, [translations])."""
    strings, translations = {}, []

    def node(at):
        length, value_length, kind = struct.unpack_from("<HHH", data, at)
        end = at + length
        key_at = at + 6
        key_end = key_at
        while data[key_end:key_end + 2] != b"\0\0":
            key_end += 2
        key = data[key_at:key_end].decode("utf-16-le")
        value_at = _align4(key_end + 2)
        if kind == 1:  # text, value_length in characters
            value = data[value_at:value_at + 2 * value_length].decode("utf-16-le").rstrip("\0")
            value_end = value_at + 2 * value_length
        else:
            value = data[value_at:value_at + value_length]
            value_end = value_at + value_length
        children = []
        child = _align4(value_end)
        while child < end:
            child_length = struct.unpack_from("<H", data, child)[0]
            if child_length == 0:
                break
            children.append(node(child))
            child = _align4(child + child_length)
        return key, value, children

    key, fixed, children = node(0)
    if key != "VS_VERSION_INFO":
        raise ValueError("not a version block: %r" % key)
    fixed_part = struct.unpack("<13I", fixed) if len(fixed) == 52 else None
    for child_key, _, child_children in children:
        if child_key == "StringFileInfo":
            for table, _, entries in child_children:
                strings[table] = {k: v for k, v, _ in entries}
        elif child_key == "VarFileInfo":
            for var_key, var_value, _ in child_children:
                if var_key == "Translation":
                    for i in range(0, len(var_value) - 3, 4):
                        translations.append(struct.unpack_from("<HH", var_value, i))
    return fixed_part, strings, translations


def icon_group(data):
    """[(width, height, bit count, icon id)] of a GRPICONDIR."""
    reserved, kind, count = struct.unpack_from("<HHH", data, 0)
    if reserved != 0 or kind != 1:
        raise ValueError("not an icon group")
    entries = []
    for i in range(count):
        w, h, _, _, _, bits, _, ident = struct.unpack_from("<BBBBHHIH", data, 6 + 14 * i)
        entries.append((w or 256, h or 256, bits, ident))
    return entries
