#!/usr/bin/env bash
# Runs a program of a Windows build tree under Wine: wine-run.sh BUILD_DIR PROGRAM [ARGS...]
# Each build tree has its own Wine prefix, created on first use (serialised: ctest runs in parallel).
set -euo pipefail
build_dir=$1; shift
# shellcheck disable=SC1091
source "$build_dir/wine.env"
export WINEPREFIX WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  (
    flock 9
    [ -f "$WINEPREFIX/system.reg" ] || { "$WINE_LOADER" wineboot -i >/dev/null 2>&1; wineserver -w; }
  ) 9>"$build_dir/wineprefix.lock"
fi
exec "$WINE_LOADER" "$@"
