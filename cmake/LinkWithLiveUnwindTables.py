#!/usr/bin/env python3
"""Links a mingw program keeping only the unwind tables of the code it keeps.

Used as the linker launcher of BrimvaleSetup.exe:
    LinkWithLiveUnwindTables.py <compiler> <link arguments...>

GNU ld for PE keeps every .eh_frame input section (KEEP in its default
script), and each table points at its function, so --gc-sections keeps every
function that has one: all of libstdc++'s string members as soon as one is
used, all of scanf as soon as its object is loaded. ELF linkers drop the
tables of dropped code; this does the same in two links. A function the
compiler placed in a section of its own (.text$<name>) has its table in
.eh_frame$<name> when it is a template or inline function; other functions
share their object's .eh_frame. (The build links a copy of libstdc++ whose
functions have tables of their own, SplitUnwindTables.py, named after
their .text$, .text.unlikely. or .text.startup. section.)

1. Link with every table left to --gc-sections. Nothing refers to a table,
   so this link keeps only the code the program reaches; its map lists the
   kept functions and the objects that still have code in the program.
2. Link again, keeping the tables of those functions and objects, and no
   others.

The tables that the second link keeps can reach more code (a type caught by
a handler, its vtable, its virtual functions, the rest of an object whose
shared table is kept); the links repeat with that code added until it does
not change. The last link is the given command with its own linker script,
so its output and map are the build's.
"""

import os
import re
import subprocess
import sys
import tempfile

KEEP_ALL = "KEEP(*(.eh_frame*))"
CODE_AND_DATA = (".text", ".rdata", ".data")
INPUT_LINE = re.compile(r"^ (\S+)\s+0x[0-9a-f]+\s+0x([0-9a-f]+)\s+(.+)$")
NAME_ONLY = re.compile(r"^ (\S+)$")
WRAPPED = re.compile(r"^\s+0x[0-9a-f]+\s+0x([0-9a-f]+)\s+(.+)$")
OUTPUT_LINE = re.compile(r"^(\.\S+)\s+0x[0-9a-f]+\s+0x[0-9a-f]+")
MEMBER = re.compile(r"^(.*?)\(([^()]*)\)$")

def default_script(compiler):
    linker = subprocess.run([compiler, "-print-prog-name=ld"], capture_output=True, text=True, check=True).stdout.strip()
    text = subprocess.run([linker, "--verbose"], capture_output=True, text=True, check=True).stdout
    script = text.split("=" * 50)[1]
    script = script[script.index("\n") + 1:script.rindex("\n")]
    if script.count(KEEP_ALL) != 1:
        sys.exit(f"LinkWithLiveUnwindTables: the default script of {linker} does not keep .eh_frame as expected")
    return script


def file_pattern(path):
    """An ld file pattern for a map's input file: archive:member, or the object's name."""
    match = MEMBER.match(path)
    if match:
        return f"*{os.path.basename(match.group(1))}:{match.group(2)}"
    return f"*{os.path.basename(path)}"


def script_keeping(script, dead_objects, functions):
    """The default script keeping the tables of every object but the dead
    ones and those of the kept functions."""
    if functions is None:  # first link: every table is left to --gc-sections
        return script.replace(KEEP_ALL, "*(.eh_frame*)")
    # One statement, so that the tables stay in input order and crtend.o's
    # terminator stays last; EXCLUDE_FILE applies to the .eh_frame after it.
    excluded = f"EXCLUDE_FILE({' '.join(sorted(dead_objects))}) " if dead_objects else ""
    names = " ".join(f".eh_frame${name}" for name in sorted(functions))
    kept = script.replace(KEEP_ALL, f"KEEP(*({excluded}.eh_frame {names}))")
    return kept + "\nSECTIONS\n{\n  /DISCARD/ : { *(.eh_frame*) }\n}\n"


def function_of(section):
    """The function a code section holds alone, by the name of its table:
    .text$<name> from -ffunction-sections, and the cold or start-up part of
    a function (.text.unlikely.<name>, .text.startup.<name>), whose table
    SplitUnwindTables.py files under the same name."""
    for prefix in (".text$", ".text.unlikely.", ".text.startup."):
        if section.startswith(prefix) and len(section) > len(prefix):
            return section[len(prefix):]
    return None


def read_map(map_path):
    """What a link's map shows: the .text$<name> functions in the program, the
    files (as ld patterns) with code or data in it, and the files whose own
    .eh_frame was discarded."""
    functions, live, discarded_tables = set(), set(), set()
    output = pending = None
    part = None
    with open(map_path, errors="replace") as lines:
        for line in lines:
            if line.startswith("Discarded input sections"):
                part = "discarded"
                continue
            if line.startswith("Linker script and memory map"):
                part = "map"
                continue
            if part is None:
                continue
            match = OUTPUT_LINE.match(line)
            if match and part == "map":
                output, pending = match.group(1), None
                continue
            match = INPUT_LINE.match(line)
            if match and not line.startswith(" *"):
                name, size, path = match.group(1), int(match.group(2), 16), match.group(3).strip()
            else:
                match = NAME_ONLY.match(line)
                if match and not line.startswith(" *"):
                    pending = match.group(1)
                    continue
                match = WRAPPED.match(line)
                if not (match and pending):
                    pending = None
                    continue
                name, size, path = pending, int(match.group(1), 16), match.group(2).strip()
            pending = None
            if part == "discarded":
                if name == ".eh_frame" and size:
                    discarded_tables.add(file_pattern(path))
                continue
            if size == 0 or output not in CODE_AND_DATA:
                continue
            live.add(file_pattern(path))
            function = function_of(name)
            if function:
                functions.add(function)
    return functions, live, discarded_tables


def without_map_and_output(arguments):
    result = []
    skip = False
    for argument in arguments:
        if skip:
            skip = False
        elif argument == "-o":
            skip = True
        elif not argument.startswith("-Wl,-Map="):
            result.append(argument)
    return result


def map_of(arguments):
    for argument in arguments:
        if argument.startswith("-Wl,-Map="):
            return argument[len("-Wl,-Map="):]
    sys.exit("LinkWithLiveUnwindTables: the link command writes no map (-Wl,-Map=...)")


def link(command, script, folder, name):
    path = os.path.join(folder, name)
    with open(path, "w") as out:
        out.write(script)
    subprocess.run(command + [f"-Wl,-T,{path}"], check=True)


def main():
    command = sys.argv[1:]
    script = default_script(command[0])
    final_map = map_of(command)
    with tempfile.TemporaryDirectory() as folder:
        trial = without_map_and_output(command) + ["-o", os.path.join(folder, "trial.exe"),
                                                   f"-Wl,-Map={os.path.join(folder, 'trial.map')}"]
        link(trial, script_keeping(script, None, None), folder, "trial.ld")
        functions, live, tables = read_map(os.path.join(folder, "trial.map"))
        for _ in range(4):
            dead = tables - live
            link(command, script_keeping(script, dead, functions), folder, "final.ld")
            now_functions, now_live, _ = read_map(final_map)
            if now_functions <= functions and not (now_live & dead):
                return
            functions |= now_functions
            live |= now_live
    sys.exit("LinkWithLiveUnwindTables: the kept code did not settle")


if __name__ == "__main__":
    try:
        main()
    except subprocess.CalledProcessError as error:
        sys.exit(error.returncode)
