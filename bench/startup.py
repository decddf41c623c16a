#!/usr/bin/env python3
"""Start-up time of BrimvaleSetup.exe under Wine on Xvfb: from CreateProcess
to the language list (control 1000) on the screen, against a minimal Win32
dialog built the same way, as the automation driver measures it in the
prefix (its start-timed command). Runs alternate; the medians count.
Prints one JSON object. Run by scripts/bench.

  bench/startup.py --build build/windows [--runs 9]
"""

import argparse
import json
import pathlib
import statistics
import subprocess
import sys

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent.parent / "tests" / "e2e"))
from wizard import Display, Prefix, wine_path  # noqa: E402

LANGUAGE_LIST = 1000


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", default="build/windows")
    parser.add_argument("--runs", type=int, default=9)
    parser.add_argument("--arch", choices=("win32", "win64"), default="win32", help="the prefix's architecture")
    options = parser.parse_args()
    build = pathlib.Path(options.build).resolve()
    programs = {"wizard": build / "BrimvaleSetup.exe", "baseline": build / "bench" / "brimvale_minimal_dialog.exe"}

    display = Display()
    prefix = Prefix(build / "wine" / "bench-startup", display, arch=options.arch)
    driver = prefix.start([str(build / "tests" / "e2e" / "brimvale_e2e_driver.exe")], stdin=subprocess.PIPE,
                          stdout=subprocess.PIPE, text=True, encoding="utf-8")
    try:
        def start_timed(program):
            driver.stdin.write("start-timed %d 30000 %s\n" % (LANGUAGE_LIST, wine_path(program)))
            driver.stdin.flush()
            answer = json.loads(driver.stdout.readline())
            if not answer.get("ok"):
                raise RuntimeError("%s: %s" % (program.name, answer.get("error")))
            return answer["milliseconds"]

        for program in programs.values():  # the first start loads the libraries from disk
            start_timed(program)
        times = {name: [] for name in programs}
        for run in range(options.runs):
            order = list(programs.items()) if run % 2 == 0 else list(reversed(programs.items()))
            for name, program in order:
                times[name].append(start_timed(program))
        medians = {name: statistics.median(values) for name, values in times.items()}
        print(json.dumps({"wizard_ms": round(medians["wizard"], 1), "baseline_ms": round(medians["baseline"], 1),
                          "ratio": round(medians["wizard"] / medians["baseline"], 2), "runs": times}))
    finally:
        driver.stdin.write("quit\n")
        driver.stdin.flush()
        driver.wait(timeout=30)
        prefix.stop()
        display.close()


if __name__ == "__main__":
    main()
