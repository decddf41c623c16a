"""The size budget of BrimvaleSetup.exe, as app/CMakeLists.txt sets it for
the build's check, for the scripts that report against it."""

import pathlib
import re

ROOT = pathlib.Path(__file__).resolve().parent.parent


def size_budget():
    """The size the executable is meant to have at most (the goal the
    reports measure against; the build's own check may allow more while the
    goal is not reached)."""
    text = (ROOT / "app" / "CMakeLists.txt").read_text()
    return int(re.search(r"BRIMVALE_SIZE_GOAL\s+(\d+)", text).group(1))
