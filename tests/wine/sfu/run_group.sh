#!/usr/bin/env bash
# Runs one group of the SFU tests, then ends the Wine session it used: the group's display goes
# away with it, and the next group must not meet a desktop or windows left on a display that is
# gone. run_group.sh WINE_DIR COMMAND...
set -u
wine_dir=$1; shift
"$@"
status=$?
# shellcheck disable=SC1091
source "$wine_dir/wine.env"
export WINEPREFIX
wineserver -k 2>/dev/null
wineserver -w 2>/dev/null
exit $status
