#!/usr/bin/env bash
# Runs a Windows program under Wine in one of the test prefixes.
#   run-in-prefix.sh [--windows win7|win10] <32|64> <prefix-root> <program.exe> [args...]
# The prefix (WINEARCH=win32 for 32, a 64-bit prefix with WOW64 for 64) is
# created on first use and shared by every test of the run; --windows sets
# the version Wine reports before the program starts. BRIMVALE_WINE names the
# Wine loader to start programs with (default: the wine command).
set -euo pipefail

windows=""
if [ "${1:-}" = "--windows" ]; then windows=$2; shift 2; fi
arch=$1 root=$(realpath -m "$2")
shift 2

mkdir -p "$root"
export WINEPREFIX="$root/prefix$arch"
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko installers in test prefixes.
export WINEDLLOVERRIDES="mscoree,mshtml=;${WINEDLLOVERRIDES:-}"
if [ "$arch" = 32 ]; then export WINEARCH=win32; else export WINEARCH=win64; fi
wine=${BRIMVALE_WINE:-wine}
# Programs Wine starts from the test use the same loader.
if [ -n "${BRIMVALE_WINE:-}" ]; then export WINELOADER=$BRIMVALE_WINE; fi

exec 9>"$root/prefix$arch.lock"
flock 9
if [ ! -f "$WINEPREFIX/.brimvale-ready" ]; then
  rm -rf "$WINEPREFIX"
  "$wine" wineboot --init >/dev/null 2>&1 || true
  wineserver --wait
  touch "$WINEPREFIX/.brimvale-ready"
fi
# The Wine server of the test before may still linger with that test's
# desktop; one started without a display would make every window of a
# display test fail. Each run gets a server of its own.
wineserver -k 2>/dev/null || true
wineserver --wait 2>/dev/null || true
if [ -n "$windows" ]; then
  "$wine" reg add 'HKCU\Software\Wine' /v Version /d "$windows" /f >/dev/null 2>&1
fi
flock -u 9
exec 9>&-

exec "$wine" "$@"
