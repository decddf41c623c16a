#!/usr/bin/env bash
# Runs a Wine test's command only where the kernel runs 32-bit programs.
#   require-32-bit.sh <command> [args...]
# Wine starts the 32-bit wizard with its 32-bit loader; a kernel built or
# booted without 32-bit emulation refuses that loader with "Exec format
# error" (status 126), and no Wine test can run. The test is then reported
# as skipped (status 77, the tests' SKIP_RETURN_CODE) with the reason, not
# as a failure of the wizard. Any other trouble with the loader is left to
# the test, which fails on it.
set -uo pipefail
loader=/usr/lib/wine/wine
if [ -x "$loader" ]; then
  "$loader" --version >/dev/null 2>&1
  if [ $? -eq 126 ]; then
    echo "SKIPPED: this machine's kernel does not run 32-bit programs (32-bit emulation is off)," \
         "so Wine cannot start the 32-bit wizard or its tests" >&2
    exit 77
  fi
fi
exec "$@"
