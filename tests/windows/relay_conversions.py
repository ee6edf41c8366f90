"""Checks a Wine relay log of the text conversions (+pid,+relay,+loaddll with
RelayInclude on WideCharToMultiByte and MultiByteToWideChar) for calls that
Windows refuses at the ANSI code page ACP, made by the given programs' own
code (the return address inside the program's image, in a process that
loaded it).

    relay_conversions.py LOG ACP PROGRAM.exe...

Prints each program's checked calls and every refused one; exit 1 when any
call was refused or the programs made no call at all."""
import os
import re
import struct
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import pe_file  # noqa: E402

WC_ERR_INVALID_CHARS, MB_ERR_INVALID_CHARS = 0x80, 0x8
NO_FLAGS = {42, 50220, 50221, 50222, 50225, 50227, 50229, 65000} | set(range(57002, 57012))

log, acp, programs = sys.argv[1], int(sys.argv[2]), sys.argv[3:]


def image_size(path):
    pe = pe_file.PeFile(path)
    opt = struct.unpack_from("<I", pe.data, 0x3C)[0] + 24
    return struct.unpack_from("<I", pe.data, opt + 56)[0]


def low32(text):
    return int(text, 16) & 0xFFFFFFFF


def refusal(function, args):
    """Why Windows refuses this call, or None."""
    cp = low32(args[0])
    if cp in (0, 1, 3):  # CP_ACP, CP_OEMCP, CP_THREAD_ACP
        cp = acp
    flags = low32(args[1])
    if function == "WideCharToMultiByte":
        default_char, used_default = int(args[6], 16), int(args[7], 16)
        if cp in (65001, 54936) and flags & ~WC_ERR_INVALID_CHARS:
            return "flags 0x%x at code page %d" % (flags, cp)
        if cp in NO_FLAGS and flags:
            return "flags 0x%x at code page %d" % (flags, cp)
        if cp in (65000, 65001) and (default_char or used_default):
            return "a default-character pointer at code page %d" % cp
    else:
        if cp in (65001, 54936) and flags & ~MB_ERR_INVALID_CHARS:
            return "flags 0x%x at code page %d" % (flags, cp)
        if cp in NO_FLAGS and flags:
            return "flags 0x%x at code page %d" % (flags, cp)
    return None


loaded = re.compile(r'^([0-9a-f]+):[0-9a-f]+:trace:loaddll:\S+ Loaded L"(.*)" at ([0-9a-f]+)')
call = re.compile(r'^([0-9a-f]+):[0-9a-f]+:Call (?:KERNEL32|KERNELBASE|kernel32|kernelbase)\.'
                  r'(WideCharToMultiByte|MultiByteToWideChar)\((.*)\) ret=([0-9a-f]+)')
names = {os.path.basename(p).lower(): (p, image_size(p)) for p in programs}
images = {}  # pid -> [(name, base, size)]
checked = {name: 0 for name in names}
refused = []
with open(log, encoding="utf-8", errors="replace") as f:
    for line in f:
        m = loaded.match(line)
        if m:
            name = m.group(2).replace("\\\\", "\\").split("\\")[-1].lower()
            if name in names:
                images.setdefault(m.group(1), []).append((name, int(m.group(3), 16), names[name][1]))
            continue
        m = call.match(line)
        if not m:
            continue
        ret = int(m.group(4), 16)
        for name, base, size in images.get(m.group(1), []):
            if base <= ret < base + size:
                # Arguments: strings may hold commas, but they sit after the
                # first two numbers and before the last ones.
                parts = m.group(3).split(",")
                args = parts[:2] + ["", "", "", ""] + parts[-2:]
                checked[name] += 1
                why = refusal(m.group(2), args)
                if why:
                    refused.append("%s: %s(%s): %s" % (name, m.group(2), m.group(3), why))
for name, count in checked.items():
    print("%s: %d conversion calls of its own checked" % (name, count))
for line in refused:
    print("REFUSED by Windows: " + line)
sys.exit(1 if refused or not any(checked.values()) else 0)
