#!/usr/bin/env bash
# registration_test.sh WINE_DIR KVXSHELL_DLL: regsvr32 under Wine registers the shell extension
# with exactly its registry values, registering twice changes nothing, and /u removes everything
# but what lives under HKEY_LOCAL_MACHINE; unregistering twice succeeds too. WINE_DIR holds the
# wine.env that scripts/wine-run.sh reads.
set -euo pipefail
wine_dir=$1
dll=$2
root=$(cd "$(dirname "$0")/../../.." && pwd)
dll_win="Z:${dll//\//\\}"
clsid='{B46C1E0F-F61D-4B19-BC55-B68D8BB3CAFE}'
description='Karvex Context Menu Shell Extension'
extensions='HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\CurrentVersion\Shell Extensions'

wine_run() { "$root/scripts/wine-run.sh" "$wine_dir" "$@"; }
fail() { printf 'FAIL: %s\n' "$*" >&2; exit 1; }

regsvr32() { wine_run regsvr32 /s "$@" "$dll_win" || fail "regsvr32 $* $dll_win exited with $?"; }

# Every value the registration touches, one "key|name|type|data" line each, sorted.
snapshot() {
  {
    wine_run reg query "HKEY_CLASSES_ROOT\\CLSID\\$clsid" /s || true
    wine_run reg query 'HKEY_CLASSES_ROOT\*\shellex' /s || true
    wine_run reg query "$extensions" /ve || true
    wine_run reg query "$extensions\\Approved" /v "$clsid" || true
  } 2>/dev/null | tr -d '\r' | awk -F '    ' '
    /^HKEY_/ { key = $0; next }
    /^    /  { print key "|" $2 "|" $3 "|" $4 }' | sort
}

expect_snapshot() {  # what, expected lines
  local what=$1 actual
  actual=$(snapshot)
  [ "$actual" = "$2" ] || fail "$what: registry differs from what was expected:
--- expected
$2
--- actual
$actual"
}

kept_in_hklm="$extensions|(Default)|REG_SZ|
$extensions\\Approved|$clsid|REG_SZ|$description"
registered=$(sort <<EOT
HKEY_CLASSES_ROOT\\CLSID\\$clsid|(Default)|REG_SZ|$description
HKEY_CLASSES_ROOT\\CLSID\\$clsid\\InprocServer32|(Default)|REG_SZ|$dll_win
HKEY_CLASSES_ROOT\\CLSID\\$clsid\\InprocServer32|ThreadingModel|REG_SZ|Apartment
HKEY_CLASSES_ROOT\\*\\shellex|(Default)|REG_SZ|
HKEY_CLASSES_ROOT\\*\\shellex\\ContextMenuHandlers|(Default)|REG_SZ|
HKEY_CLASSES_ROOT\\*\\shellex\\ContextMenuHandlers\\KarvexShell|(Default)|REG_SZ|$clsid
$kept_in_hklm
EOT
)

regsvr32 /u  # from whatever an earlier run left
regsvr32 /u  # nothing registered: still a success
regsvr32
expect_snapshot "after registering" "$registered"
regsvr32
expect_snapshot "after registering twice" "$registered"
regsvr32 /u
expect_snapshot "after unregistering" "$(sort <<<"$kept_in_hklm")"
echo "registration under Wine: ok"
