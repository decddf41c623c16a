#!/usr/bin/env python3
"""The shipped download path under Wine: DownloadFile (WinHTTP) and its
WinINet transfer alone, against a minimal WinHTTP read loop built the same
way (the ceiling Wine allows) and curl, on the same file from the reference
server on 127.0.0.1:443, with and without Content-Length. Three rounds in
alternating order; the best time of each client counts. Prints one JSON
object. Needs root (the server takes port 443). Run by scripts/bench.

  bench/download_wine.py --build build/windows --server build/native/server/brimvale-server [--mib 256]
"""

import argparse
import json
import os
import pathlib
import subprocess
import sys
import tempfile

ROOT = pathlib.Path(__file__).resolve().parent.parent
HOST = "cdn.brimvale.com"
CLIENTS = ["curl", "minimal", "winhttp", "wininet"]


def write_catalogue(folder, mebibytes):
    (folder / "files").mkdir(parents=True)
    chunk = bytes(i * 131 % 251 for i in range(1 << 20))
    with open(folder / "files" / "sized.bin", "wb") as out:
        for _ in range(mebibytes):
            out.write(chunk)
    os.link(folder / "files" / "sized.bin", folder / "files" / "unsized.bin")
    (folder / "catalogue.json").write_text(json.dumps({
        "configuration": {"/o": {"body": "{}"}},
        "faults": {"/files/unsized.bin": {"contentLength": False}}}))


def seconds_of(command, **options):
    result = subprocess.run(command, capture_output=True, text=True, **options)
    if result.returncode != 0:
        raise RuntimeError("%s failed: %s" % (command[0], result.stderr.strip()[-400:]))
    return result.stdout


def run_client(client, name, build, pki, out):
    """Seconds of one transfer of files/<name>, as the client itself timed it."""
    url = "https://%s/files/%s" % (HOST, name)
    for leftover in out.glob("*"):
        leftover.unlink()
    if client == "curl":
        return float(seconds_of(["curl", "--silent", "--show-error", "--fail", "--http1.1", "--cacert",
                                 str(pki / "ca.pem"), "--output", str(out / "curl.bin"), "--write-out",
                                 "%{time_total}", url]))
    bits = "64" if os.environ.get("BRIMVALE_WINE") else "32"
    in_prefix = [str(ROOT / "tests" / "wine" / "run-in-prefix.sh"), bits, str(build / "wine" / "bench")]
    folder = "Z:" + str(out).replace("/", "\\")
    if client == "minimal":
        command = [str(build / "bench" / "brimvale_minimal_winhttp.exe"), HOST, "/files/" + name,
                   folder + "\\minimal.bin"]
    else:
        command = [str(build / "bench" / "brimvale_download_file.exe"), client, url, folder]
    answer = json.loads(seconds_of(in_prefix + command).strip().splitlines()[-1])
    if answer.get("fallback"):
        raise RuntimeError("DownloadFile fell back to WinINet")
    return answer["seconds"]


def inner(options):
    build, pki, out = pathlib.Path(options.build), pathlib.Path(options.pki), pathlib.Path(options.out)
    best = {}
    for name in ("sized.bin", "unsized.bin"):
        best[name] = {}
        for round_ in range(options.rounds):
            order = CLIENTS if round_ % 2 == 0 else list(reversed(CLIENTS))
            for client in order:
                seconds = run_client(client, name, build, pki, out)
                best[name][client] = min(seconds, best[name].get(client, seconds))
    print(json.dumps(best))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", default="build/windows")
    parser.add_argument("--server", default="build/native/server/brimvale-server")
    parser.add_argument("--mib", type=int, default=256)
    parser.add_argument("--rounds", type=int, default=3)
    parser.add_argument("--inner", action="store_true", help=argparse.SUPPRESS)
    parser.add_argument("--pki", help=argparse.SUPPRESS)
    parser.add_argument("--out", help=argparse.SUPPRESS)
    options = parser.parse_args()
    if options.inner:
        return inner(options)

    build = pathlib.Path(options.build).resolve()
    with tempfile.TemporaryDirectory(prefix="brimvale-bench-") as work:
        work = pathlib.Path(work)
        write_catalogue(work / "catalogue", options.mib)
        (work / "out").mkdir()
        result = subprocess.run(
            [str(ROOT / "tests" / "fixtures" / "with-server-443.sh"), "--server", str(pathlib.Path(options.server).resolve()),
             "--pki", str(work / "pki"), "--catalogue", str(work / "catalogue"), "--host", HOST, "--",
             sys.executable, __file__, "--inner", "--build", str(build), "--pki", str(work / "pki"),
             "--out", str(work / "out"), "--rounds", str(options.rounds)],
            capture_output=True, text=True)
        if result.returncode != 0:
            sys.exit("download_wine.py: " + result.stderr.strip()[-1000:])
        best = json.loads(result.stdout.strip().splitlines()[-1])
    bytes_ = options.mib << 20
    summary = {"mib": options.mib}
    for name, times in best.items():
        key = name.split(".")[0]
        summary[key] = {client: {"seconds": round(t, 3), "mib_per_s": round(bytes_ / (1 << 20) / t, 1)}
                        for client, t in times.items()}
        summary[key]["winhttp_to_ceiling"] = round(times["minimal"] / times["winhttp"], 2)
        summary[key]["wininet_to_ceiling"] = round(times["minimal"] / times["wininet"], 2)
        summary[key]["winhttp_to_curl"] = round(times["curl"] / times["winhttp"], 2)
    print(json.dumps(summary))


if __name__ == "__main__":
    main()
