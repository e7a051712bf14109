#!/usr/bin/env bash
# The main job: builds what is missing, then splits FILE (or a generated 5 MB sample) with the
# console front end. Usage: scripts/run.sh [FILE [karvex split options...]]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/build.sh"
if [ $# -eq 0 ]; then
  build_root=${KARVEX_BUILD_ROOT:-$root/build}
  mkdir -p "$build_root/sample"
  sample="$build_root/sample/sample.bin"
  [ -f "$sample" ] || head -c 5242880 /dev/urandom >"$sample"
  set -- "$sample" -d "$build_root/sample/pieces"
fi
file=$1; shift
if [ -n "${KARVEX_BUILD_ROOT:-}" ]; then dist_bin=${KARVEX_DIST_ROOT:-$KARVEX_BUILD_ROOT/dist}/bin; else dist_bin=${KARVEX_DIST_ROOT:-$root/dist}/bin; fi
exec "$dist_bin/karvex" split "$file" "$@"
