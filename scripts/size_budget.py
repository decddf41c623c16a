"""The size budget of BrimvaleSetup.exe, as app/CMakeLists.txt sets it for
the build's check, for the scripts that report against it."""

import pathlib
import re

ROOT = pathlib.Path(__file__).resolve().parent.parent


def size_budget():
    text = (ROOT / "app" / "CMakeLists.txt").read_text()
    return int(re.search(r"BRIMVALE_SIZE_BUDGET\s+(\d+)", text).group(1))
