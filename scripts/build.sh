#!/usr/bin/env bash
# Builds the whole tree: the shipped 32-bit Windows programs (dist/win32), the Windows test build
# run under Wine, and the host programs (dist/bin), which embed the Windows SFU payloads.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"

# KARVEX_BUILD_ROOT puts the build trees (and, unless KARVEX_DIST_ROOT says otherwise, the
# programs) elsewhere, so that several builds of one checkout do not meet.
build_root=${KARVEX_BUILD_ROOT:-$root/build}
if [ -n "${KARVEX_BUILD_ROOT:-}" ]; then dist_root=${KARVEX_DIST_ROOT:-$build_root/dist}; else dist_root=${KARVEX_DIST_ROOT:-$root/dist}; fi

launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi

configure() {
  local dir=$1; shift
  cmake -S "$root" -B "$dir" -G Ninja -Wno-dev "${launcher[@]}" "$@" >"$dir.configure.log" 2>&1 \
    || { cat "$dir.configure.log" >&2; exit 1; }
}
build() {
  cmake --build "$1" -- -j"$(nproc)" >"$1.build.log" 2>&1 \
    || { grep -vE '^\[[0-9]+/[0-9]+\] ' "$1.build.log" >&2; exit 1; }
}

mkdir -p "$build_root"

# 32-bit Wine needs a kernel that runs 32-bit Linux programs; some machines have that switched off.
# There the same sources are cross-built for x86_64 and the Windows tests run under 64-bit Wine.
if /usr/lib/wine/wine --version >/dev/null 2>&1; then
  wintest="$build_root/win32"; wine_loader=/usr/lib/wine/wine
  configure "$build_root/win32" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" -DKARVEX_BUILD_TESTS=ON \
    -DKARVEX_DIST_DIR="$dist_root/win32"
  build "$build_root/win32"
else
  wintest="$build_root/win64"; wine_loader=/usr/lib/wine/wine64
  configure "$build_root/win32" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" -DKARVEX_BUILD_TESTS=OFF \
    -DKARVEX_DIST_DIR="$dist_root/win32"
  build "$build_root/win32"
  configure "$build_root/win64" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-x86_64.cmake" \
    -DKARVEX_DIST_DIR="$build_root/win64/dist" -DKARVEX_BUILD_TESTS=ON
  build "$build_root/win64"
fi
printf 'WINE_LOADER=%s\nWINEPREFIX=%s\n' "$wine_loader" "$wintest/wineprefix" >"$wintest/wine.env"

configure "$build_root/host" -DKARVEX_WIN_TEST_DIR="$wintest" -DKARVEX_BUILD_TESTS=ON \
  -DKARVEX_DIST_DIR="$dist_root/bin" -DKARVEX_WIN32_DIST_DIR="$dist_root/win32"
build "$build_root/host"
