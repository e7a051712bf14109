#!/usr/bin/env bash
# Builds what is missing, then runs every test: the native suites, the same suites cross-built
# and run under Wine, and the end-to-end runs. Ends with ctest's summary line.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/build.sh"
cd "${KARVEX_BUILD_ROOT:-$root/build}/host"
ctest --output-on-failure --timeout 600 -j"$(nproc)" "$@"
