#!/usr/bin/env python3
"""Writes a copy of a static library whose objects keep the unwind table of
each function in a section of its own.

    SplitUnwindTables.py <library.a> <output.a> [<ar>]

GCC gives a function that sits in a section of its own (.text$<name>) a
table of its own (.eh_frame$<name>) only when the function is a template or
inline one; the tables of the other functions of an object share its
.eh_frame. LinkWithLiveUnwindTables.py keeps an object's shared table
whenever any code of the object is kept, and that table points at every
function of the object, so all of them stay: libstdc++'s cow-stdexcept.o
brings its transactional-memory clones and every exception constructor as
soon as one constructor is used. In the copy each such function's table
(its frame description with a copy of the common entry it refers to) moves
to .eh_frame$<name>, the name GCC would give it, so the linker keeps the
tables of the functions it keeps and no others. A table whose function
does not sit in a section of its own stays in .eh_frame. Nothing else of the
object changes: code, data and symbols are copied byte for byte.
"""

import os
import shutil
import struct
import subprocess
import sys
import tempfile

FILE_HEADER = struct.Struct("<HHIIIHH")
SECTION_HEADER = struct.Struct("<8sIIIIIIHHI")
RELOCATION = struct.Struct("<IIH")
SYMBOL_SIZE = 18
I386 = 0x14C
NRELOC_OVERFLOW = 0x01000000


class CoffObject:
    def __init__(self, data):
        self.data = data
        (self.machine, count, self.timestamp, self.symbol_offset, self.symbol_count, optional_size,
         self.flags) = FILE_HEADER.unpack_from(data, 0)
        if optional_size:
            raise ValueError("object with an optional header")
        strings_at = self.symbol_offset + SYMBOL_SIZE * self.symbol_count
        strings_size = struct.unpack_from("<I", data, strings_at)[0] if self.symbol_offset else 4
        self.symbols = bytearray(data[self.symbol_offset:strings_at]) if self.symbol_offset else bytearray()
        self.strings = bytearray(data[strings_at:strings_at + strings_size]) if self.symbol_offset else \
            bytearray(struct.pack("<I", 4))
        self.sections = []
        for index in range(count):
            fields = list(SECTION_HEADER.unpack_from(data, FILE_HEADER.size + index * SECTION_HEADER.size))
            name, _, _, raw_size, raw_at, relocations_at, lines_at, relocation_count, _, characteristics = fields
            if characteristics & NRELOC_OVERFLOW or lines_at:
                raise ValueError("section with relocation overflow or line numbers")
            raw = data[raw_at:raw_at + raw_size] if raw_at else None
            relocations = [RELOCATION.unpack_from(data, relocations_at + i * RELOCATION.size)
                           for i in range(relocation_count)]
            self.sections.append({"header": fields, "name": self.section_name(name), "raw": raw,
                                  "relocations": relocations})

    def section_name(self, field):
        name = field.rstrip(b"\0").decode("latin-1")
        if name.startswith("/") and name[1:].isdigit():
            start = int(name[1:])
            return self.strings[start:self.strings.index(b"\0", start)].decode("latin-1")
        return name

    def symbol_section_name(self, index):
        """The name of the section a relocation's symbol is defined in."""
        entry = self.symbols[index * SYMBOL_SIZE:(index + 1) * SYMBOL_SIZE]
        section = struct.unpack_from("<h", entry, 12)[0]
        return self.sections[section - 1]["name"] if section > 0 else None

    def name_field(self, name):
        encoded = name.encode("latin-1")
        if len(encoded) <= 8:
            return encoded.ljust(8, b"\0")
        offset = len(self.strings)
        if offset >= 10 ** 7:
            raise ValueError("string table too large for a section name")
        self.strings += encoded + b"\0"
        return f"/{offset}".encode().ljust(8, b"\0")

    def write(self):
        struct.pack_into("<I", self.strings, 0, len(self.strings))
        headers_end = FILE_HEADER.size + SECTION_HEADER.size * len(self.sections)
        body = bytearray()
        position = headers_end
        headers = bytearray()
        for section in self.sections:
            fields = list(section["header"])
            raw = section["raw"]
            if raw is not None and len(raw):
                padding = (-position) % 4
                body += b"\0" * padding
                position += padding
                fields[3], fields[4] = len(raw), position
                body += raw
                position += len(raw)
            else:
                fields[3] = len(raw) if raw is not None else fields[3]
                fields[4] = 0
            relocations = section["relocations"]
            if len(relocations) > 0xFFFF:
                raise ValueError("too many relocations")
            fields[5] = position if relocations else 0
            fields[7] = len(relocations)
            for relocation in relocations:
                body += RELOCATION.pack(*relocation)
                position += RELOCATION.size
            headers += SECTION_HEADER.pack(*fields)
        symbol_offset = position if self.symbols else 0
        header = FILE_HEADER.pack(self.machine, len(self.sections), self.timestamp, symbol_offset,
                                  len(self.symbols) // SYMBOL_SIZE, 0, self.flags)
        return bytes(header + headers + body + self.symbols + self.strings)


def records(table):
    """The entries of an .eh_frame section: (offset, size, CIE offset or None)."""
    offset = 0
    while offset + 4 <= len(table):
        length = struct.unpack_from("<I", table, offset)[0]
        if length == 0:
            raise ValueError("terminator inside an object's .eh_frame")
        if length == 0xFFFFFFFF:
            raise ValueError("64-bit .eh_frame entry")
        pointer = struct.unpack_from("<I", table, offset + 4)[0]
        yield offset, length + 4, None if pointer == 0 else offset + 4 - pointer
        offset += length + 4
    if offset != len(table):
        raise ValueError(".eh_frame ends inside an entry")


def function_of(section_name):
    """The function a code section holds alone, by the name GCC gives its
    table; None for a section shared by several functions."""
    for prefix in (".text$", ".text.unlikely.", ".text.startup."):
        if section_name.startswith(prefix) and len(section_name) > len(prefix):
            return section_name[len(prefix):]
    return None


def split(data):
    """The object with the shared unwind table split per function, or None
    when nothing in it moves."""
    coff = CoffObject(data)
    if coff.machine != I386:
        raise ValueError("not an i386 object")
    shared = [s for s in coff.sections if s["name"] == ".eh_frame"]
    if len(shared) != 1 or not shared[0]["raw"]:
        return None
    table_section = shared[0]
    table = table_section["raw"]
    relocations_at = {}
    for relocation in table_section["relocations"]:
        relocations_at.setdefault(relocation[0], []).append(relocation)
    entries = list(records(table))
    by_offset = {offset: (size, cie) for offset, size, cie in entries}

    def relocations_in(offset, size):
        return [r for at in range(offset, offset + size) for r in relocations_at.get(at, [])]

    groups = {}  # function -> FDE offsets, in order
    staying = []
    for offset, size, cie in entries:
        if cie is None:
            continue
        if cie not in by_offset or by_offset[cie][1] is not None:
            raise ValueError(f"FDE at {offset} without its CIE")
        targets = [r for r in relocations_in(offset + 8, 4)]
        function = function_of(coff.symbol_section_name(targets[0][1]) or "") if len(targets) == 1 else None
        if function is None:
            staying.append(offset)
        else:
            groups.setdefault(function, []).append(offset)
    if not groups:
        return None

    def section_of(fdes):
        """CIEs first, then the FDEs pointing at them, relocations moved along."""
        raw = bytearray()
        relocations = []
        cie_at = {}
        for fde in fdes:
            cie = by_offset[fde][1]
            if cie not in cie_at:
                cie_at[cie] = len(raw)
                size = by_offset[cie][0]
                relocations += [(at - cie + len(raw), symbol, kind) for at, symbol, kind in relocations_in(cie, size)]
                raw += table[cie:cie + size]
        for fde in fdes:
            size, cie = by_offset[fde]
            start = len(raw)
            relocations += [(at - fde + start, symbol, kind) for at, symbol, kind in relocations_in(fde, size)]
            raw += table[fde:fde + size]
            struct.pack_into("<I", raw, start + 4, start + 4 - cie_at[cie])
        return bytes(raw), relocations

    moved = sum(len(fdes) for fdes in groups.values())
    covered = sum(len(relocations_in(offset, size)) for offset, size, _ in entries)
    if covered != len(table_section["relocations"]):
        raise ValueError(".eh_frame relocation outside its entries")
    raw, relocations = section_of(staying) if staying else (b"", [])
    table_section["raw"], table_section["relocations"] = raw, relocations
    header = table_section["header"]
    for function, fdes in groups.items():
        raw, relocations = section_of(fdes)
        fields = list(header)
        fields[0] = coff.name_field(f".eh_frame${function}")
        coff.sections.append({"header": fields, "name": f".eh_frame${function}", "raw": raw,
                              "relocations": relocations})
    # The section symbol of .eh_frame, if the object has one, describes its size.
    index = 0
    number = coff.sections.index(table_section) + 1
    while index * SYMBOL_SIZE < len(coff.symbols):
        entry = coff.symbols[index * SYMBOL_SIZE:(index + 1) * SYMBOL_SIZE]
        section, _, storage, aux = struct.unpack_from("<hHBB", entry, 12)
        if section == number and storage == 3 and aux and struct.unpack_from("<I", entry, 8)[0] == 0:
            struct.pack_into("<IH", coff.symbols, (index + 1) * SYMBOL_SIZE, len(table_section["raw"]),
                             len(table_section["relocations"]))
        index += 1 + aux
    assert moved + len(staying) == sum(1 for _, _, cie in entries if cie is not None)
    return coff.write()


def main():
    if len(sys.argv) not in (3, 4):
        sys.exit(__doc__)
    library, output = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    ar = sys.argv[3] if len(sys.argv) == 4 else "ar"
    members = subprocess.run([ar, "t", library], capture_output=True, text=True, check=True).stdout.split()
    if len(set(members)) != len(members):
        sys.exit(f"SplitUnwindTables: {library} has members of the same name")
    with tempfile.TemporaryDirectory() as folder:
        subprocess.run([ar, "x", library], cwd=folder, check=True)
        for member in members:
            path = os.path.join(folder, member)
            with open(path, "rb") as file:
                data = file.read()
            try:
                result = split(data)
            except (ValueError, IndexError, struct.error) as error:
                sys.exit(f"SplitUnwindTables: {library}({member}): {error}")
            if result is not None:
                with open(path, "wb") as file:
                    file.write(result)
        partial = output + ".new"
        if os.path.exists(partial):
            os.remove(partial)
        subprocess.run([ar, "rcs", partial] + members, cwd=folder, check=True)
        shutil.move(partial, output)


if __name__ == "__main__":
    main()
