"""Reads what the size and start-up scripts need from a 32-bit PE file:
sections, resources, and imported functions, delay-loaded ones included.

mingw's delay-load import libraries leave the delay-import data directory
empty, so the delay descriptors are found by their shape: 32-byte records
with the RVA-based attribute whose name, handle, address-table and name-table
fields all point into the image.
"""

import struct
from collections import namedtuple

Section = namedtuple("Section", "name virtual_address virtual_size raw_offset raw_size")

RESOURCE_TYPES = {1: "CURSOR", 2: "BITMAP", 3: "ICON", 4: "MENU", 5: "DIALOG", 6: "STRING", 9: "ACCELERATOR",
                  10: "RCDATA", 12: "GROUP_CURSOR", 14: "GROUP_ICON", 16: "VERSION", 24: "MANIFEST"}


class PeFile:
    def __init__(self, data):
        self.data = data
        pe = struct.unpack_from("<I", data, 0x3C)[0]
        if data[pe:pe + 4] != b"PE\0\0":
            raise ValueError("not a PE file")
        count, optional_size = struct.unpack_from("<H12xH", data, pe + 6)
        optional = pe + 24
        if struct.unpack_from("<H", data, optional)[0] != 0x10B:
            raise ValueError("not a 32-bit PE file")
        self.image_size = struct.unpack_from("<I", data, optional + 56)[0]
        self.directories = [struct.unpack_from("<II", data, optional + 96 + 8 * i) for i in range(16)]
        self.sections = []
        table = optional + optional_size
        for i in range(count):
            name, vsize, vaddr, rsize, roff = struct.unpack_from("<8sIIII", data, table + 40 * i)
            self.sections.append(Section(name.rstrip(b"\0").decode(), vaddr, vsize, roff, rsize))

    def offset(self, rva):
        for s in self.sections:
            if s.virtual_address <= rva < s.virtual_address + max(s.virtual_size, s.raw_size):
                return s.raw_offset + rva - s.virtual_address
        raise ValueError(f"RVA {rva:#x} is in no section")

    def u32(self, rva):
        return struct.unpack_from("<I", self.data, self.offset(rva))[0]

    def c_string(self, rva):
        start = self.offset(rva)
        return self.data[start:self.data.index(b"\0", start)].decode("latin-1")

    def _names(self, table_rva):
        names = []
        while True:
            entry = self.u32(table_rva)
            if entry == 0:
                return names
            names.append(f"#{entry & 0xFFFF}" if entry & 0x80000000 else self.c_string(entry + 2))
            table_rva += 4

    def imports(self):
        """{dll: [function, ...]} of the import table, in its order."""
        result = {}
        rva = self.directories[1][0]
        while rva:
            lookup, _, _, name, address = struct.unpack_from("<IIIII", self.data, self.offset(rva))
            if name == 0:
                break
            result[self.c_string(name)] = self._names(lookup or address)
            rva += 20
        return result

    def delay_imports(self):
        """{dll: [function, ...]} of the delay-load descriptors."""
        result = {}
        in_image = lambda rva: 0 < rva < self.image_size  # noqa: E731
        for s in self.sections:
            start, end = s.raw_offset, s.raw_offset + min(s.raw_size, s.virtual_size)
            for at in range(start, end - 32, 4):
                attributes, name, handle, address, names = struct.unpack_from("<IIIII", self.data, at)
                if attributes != 1 or not all(map(in_image, (name, handle, address, names))):
                    continue
                try:
                    dll = self.c_string(name)
                    if not dll.lower().endswith(".dll"):
                        continue
                    result[dll] = self._names(names)
                except (ValueError, UnicodeDecodeError):
                    continue
        return result

    def resources(self):
        """(type, name, size) of every resource, types by their usual names."""
        root = self.directories[2][0]
        if not root:
            return []

        def entries(rva):
            at = self.offset(rva)
            named, numbered = struct.unpack_from("<12xHH", self.data, at)
            for i in range(named + numbered):
                ident, target = struct.unpack_from("<II", self.data, at + 16 + 8 * i)
                if ident & 0x80000000:
                    length_at = self.offset(root + (ident & 0x7FFFFFFF))
                    length = struct.unpack_from("<H", self.data, length_at)[0]
                    label = self.data[length_at + 2:length_at + 2 + 2 * length].decode("utf-16-le")
                else:
                    label = ident
                yield label, target

        found = []
        for kind, kind_target in entries(root):
            for name, name_target in entries(root + (kind_target & 0x7FFFFFFF)):
                for _, language_target in entries(root + (name_target & 0x7FFFFFFF)):
                    data_rva, size = struct.unpack_from("<II", self.data, self.offset(root + language_target))
                    found.append((RESOURCE_TYPES.get(kind, str(kind)), str(name), size))
        return found
