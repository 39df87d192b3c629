"""A small reader of PE files: the header fields a release stamps or reads
(the link time stamp, the header checksum, the certificate table) and what
the tests check of the build (machine, DLL characteristics, versions,
imports and resources). Enough for those, nothing more."""

import struct

IMAGE_DLLCHARACTERISTICS_HIGH_ENTROPY_VA = 0x0020
IMAGE_DLLCHARACTERISTICS_DYNAMIC_BASE = 0x0040
IMAGE_DLLCHARACTERISTICS_NX_COMPAT = 0x0100

RT_CURSOR, RT_BITMAP, RT_ICON, RT_STRING = 1, 2, 3, 6
RT_GROUP_CURSOR, RT_GROUP_ICON, RT_VERSION, RT_MANIFEST = 12, 14, 16, 24

IMAGE_DIRECTORY_ENTRY_IMPORT, IMAGE_DIRECTORY_ENTRY_RESOURCE, IMAGE_DIRECTORY_ENTRY_SECURITY = 1, 2, 4


class PeFile:
    def __init__(self, path):
        with open(path, "rb") as f:
            self.data = f.read()
        try:
            self._read_headers(path)
        except struct.error:
            raise ValueError(f"{path} is not a Windows program (its headers are cut short)") from None

    def _read_headers(self, path):
        d = self.data
        if d[:2] != b"MZ":
            raise ValueError(f"{path} is not a Windows program (no MZ header)")
        pe = struct.unpack_from("<I", d, 0x3C)[0]
        if d[pe:pe + 4] != b"PE\0\0":
            raise ValueError(f"{path} is not a Windows program (no PE header)")
        self.machine, nsections = struct.unpack_from("<HH", d, pe + 4)
        self.time_stamp_offset = pe + 8
        self.time_stamp = struct.unpack_from("<I", d, pe + 8)[0]
        opt_size = struct.unpack_from("<H", d, pe + 20)[0]
        opt = pe + 24
        magic = struct.unpack_from("<H", d, opt)[0]
        self.is64 = magic == 0x20B
        self.dll_characteristics = struct.unpack_from("<H", d, opt + 70)[0]
        self.checksum_offset = opt + 64
        self.checksum = struct.unpack_from("<I", d, opt + 64)[0]
        self.os_version = struct.unpack_from("<HH", d, opt + 40)
        self.subsystem_version = struct.unpack_from("<HH", d, opt + 48)
        dirs = opt + (112 if self.is64 else 96)
        self.directories = [struct.unpack_from("<II", d, dirs + 8 * i) for i in range(16)]
        self.sections = []
        for i in range(nsections):
            s = opt + opt_size + 40 * i
            vsize, vaddr, rsize, raddr = struct.unpack_from("<IIII", d, s + 8)
            self.sections.append((vaddr, max(vsize, rsize), raddr))

    def is_signed(self):
        """Whether the file has a certificate table (an Authenticode signature,
        valid or not)."""
        return self.directories[IMAGE_DIRECTORY_ENTRY_SECURITY][1] != 0

    def offset(self, rva):
        for vaddr, size, raddr in self.sections:
            if vaddr <= rva < vaddr + size:
                return rva - vaddr + raddr
        raise ValueError(f"RVA {rva:#x} is in no section")

    def cstring(self, offset):
        return self.data[offset:self.data.index(b"\0", offset)].decode("ascii")

    def imported_dlls(self):
        return list(self.imports())

    def imports(self):
        """{dll: [function names]}; an import by ordinal is named '#n'."""
        rva, size = self.directories[IMAGE_DIRECTORY_ENTRY_IMPORT]
        out = {}
        if not rva:
            return out
        pos = self.offset(rva)
        thunk_size, ordinal_flag = (8, 1 << 63) if self.is64 else (4, 1 << 31)
        while True:
            lookup_rva, _, _, name_rva, address_rva = struct.unpack_from("<IIIII", self.data, pos)
            if not name_rva:
                return out
            functions = out.setdefault(self.cstring(self.offset(name_rva)), [])
            thunk = self.offset(lookup_rva or address_rva)
            while True:
                entry = struct.unpack_from("<Q" if self.is64 else "<I", self.data, thunk)[0]
                if not entry:
                    break
                functions.append(f"#{entry & 0xFFFF}" if entry & ordinal_flag else
                                 self.cstring(self.offset(entry & 0x7FFFFFFF) + 2))
                thunk += thunk_size
            pos += 20

    def resources(self):
        """{(type, name, language): bytes} with numeric or string ids."""
        rva, size = self.directories[IMAGE_DIRECTORY_ENTRY_RESOURCE]
        out = {}
        if not rva:
            return out
        base = self.offset(rva)

        def entries(offset):
            named, numbered = struct.unpack_from("<HH", self.data, base + offset + 12)
            for i in range(named + numbered):
                ident, target = struct.unpack_from("<II", self.data, base + offset + 16 + 8 * i)
                if ident & 0x80000000:
                    p = base + (ident & 0x7FFFFFFF)
                    n = struct.unpack_from("<H", self.data, p)[0]
                    ident = self.data[p + 2:p + 2 + 2 * n].decode("utf-16-le")
                yield ident, target

        for rtype, t in entries(0):
            for name, n in entries(t & 0x7FFFFFFF):
                for lang, leaf in entries(n & 0x7FFFFFFF):
                    data_rva, data_size = struct.unpack_from("<II", self.data, base + leaf)
                    start = self.offset(data_rva)
                    out[(rtype, name, lang)] = self.data[start:start + data_size]
        return out


def strings(resources):
    """{id: text} of every string table in the resources."""
    out = {}
    for (rtype, block, _), data in resources.items():
        if rtype != RT_STRING:
            continue
        pos = 0
        for i in range(16):
            n = struct.unpack_from("<H", data, pos)[0]
            if n:
                out[(block - 1) * 16 + i] = data[pos + 2:pos + 2 + 2 * n].decode("utf-16-le")
            pos += 2 + 2 * n
    return out


def version_strings(block):
    """The (key, value) pairs of a version block's string tables, in stored order."""
    text = block.decode("utf-16-le", errors="replace")
    pairs = []
    for key in ("CompanyName", "ProductName", "FileVersion", "ProductVersion", "InternalName",
                "OriginalFilename", "FileDescription", "LegalCopyright"):
        at = text.find(key + "\0")
        if at >= 0:
            rest = text[at + len(key) + 1:].lstrip("\0")
            pairs.append((at, key, rest[:rest.index("\0")]))
    return [(k, v) for _, k, v in sorted(pairs)]
