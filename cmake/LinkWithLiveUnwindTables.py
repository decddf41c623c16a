#!/usr/bin/env python3
"""Links a mingw program keeping only the unwind tables of the functions it keeps.

Used as the linker launcher of BrimvaleSetup.exe:
    LinkWithLiveUnwindTables.py <compiler> <link arguments...>

GNU ld for PE keeps every .eh_frame input section (KEEP in its default
script), and each table points at its function, so --gc-sections keeps every
function that has one: all of libstdc++'s string members, for example, as
soon as one is used. ELF linkers drop the tables of dropped functions; this
does the same in two links. Functions the compiler placed in sections of
their own (.text$<name>) have their table in .eh_frame$<name>:

1. Link with those tables left to --gc-sections. Nothing refers to a table,
   so this link keeps only what the program reaches. Its map lists the
   kept functions.
2. Link again, keeping the per-object tables and the tables of the kept
   functions only, and drop the rest.

The tables that the second link keeps can reach more code (a type caught by
a handler, its vtable, its virtual functions); the links repeat with that
code added until the kept functions do not change. The second link is the
given command with its own linker script, so its output and map are the
build's.
"""

import os
import re
import subprocess
import sys
import tempfile

KEEP_ALL = "KEEP(*(.eh_frame*))"
KEPT_SECTION = re.compile(r"^ (\.text[^\s$]*\$(\S+))(?:\s+0x[0-9a-f]+\s+0x([0-9a-f]+))?")
SIZE_LINE = re.compile(r"^\s+0x[0-9a-f]+\s+0x([0-9a-f]+)\s")


def default_script(compiler):
    linker = subprocess.run([compiler, "-print-prog-name=ld"], capture_output=True, text=True, check=True).stdout.strip()
    text = subprocess.run([linker, "--verbose"], capture_output=True, text=True, check=True).stdout
    script = text.split("=" * 50)[1]
    script = script[script.index("\n") + 1:script.rindex("\n")]
    if script.count(KEEP_ALL) != 1:
        sys.exit(f"LinkWithLiveUnwindTables: the default script of {linker} does not keep .eh_frame as expected")
    return script


def script_keeping(script, functions):
    """The default script with the per-object tables and those of functions kept."""
    if functions is None:  # first link: per-function tables are left to --gc-sections
        return script.replace(KEEP_ALL, "KEEP(*(.eh_frame)) *(.eh_frame$*)")
    # One statement, so that the tables stay in input order and crtend.o's
    # terminator stays last.
    names = " ".join(f".eh_frame${name}" for name in sorted(functions))
    kept = script.replace(KEEP_ALL, f"KEEP(*(.eh_frame {names}))")
    return kept + "\nSECTIONS\n{\n  /DISCARD/ : { *(.eh_frame$*) }\n}\n"


def kept_functions(map_path):
    """Names of the .text$<name> sections that a link's map shows in the output."""
    kept = set()
    pending = None
    in_map = False
    with open(map_path, errors="replace") as lines:
        for line in lines:
            if not in_map:
                in_map = line.startswith("Linker script and memory map")
                continue
            if pending:
                size = SIZE_LINE.match(line)
                if size and int(size.group(1), 16):
                    kept.add(pending)
                pending = None
                continue
            match = KEPT_SECTION.match(line)
            if match:
                if match.group(3) is None:
                    pending = match.group(2)
                elif int(match.group(3), 16):
                    kept.add(match.group(2))
    return kept


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
        link(trial, script_keeping(script, None), folder, "trial.ld")
        functions = kept_functions(os.path.join(folder, "trial.map"))
        for _ in range(4):
            link(command, script_keeping(script, functions), folder, "final.ld")
            kept = kept_functions(final_map)
            if kept == functions:
                return
            functions |= kept
    sys.exit("LinkWithLiveUnwindTables: the kept functions did not settle")


if __name__ == "__main__":
    try:
        main()
    except subprocess.CalledProcessError as error:
        sys.exit(error.returncode)
