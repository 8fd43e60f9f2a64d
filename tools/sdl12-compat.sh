#!/usr/bin/env bash
# Runs the test suite, the real-window test included, against sdl12-compat
# (the SDL 1.2 API over SDL2) instead of classic SDL 1.2, without replacing the
# system's SDL: the package is unpacked into build-compat/ and put first on
# LD_LIBRARY_PATH. Uses the plain build in build/ that tools/test.sh makes.
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/packages.sh

# SDL2 itself installs beside SDL 1.2 without touching it.
ensure_packages "${BUILD_PACKAGES[@]}" "${WINDOW_TEST_PACKAGES[@]}" libgtest-dev valgrind \
    libsdl2-2.0-0

compat=$PWD/build-compat
if ! ls "$compat"/root/usr/lib/*/sdl12-compat/libSDL-1.2.so.0 >/dev/null 2>&1; then
    rm -rf "$compat"
    mkdir -p "$compat"
    (cd "$compat" && { apt-get download libsdl1.2-compat 2>/dev/null ||
        { apt-get update -qq && apt-get download libsdl1.2-compat; }; })
    dpkg -x "$compat"/libsdl1.2-compat_*.deb "$compat/root"
fi
library=$(dirname "$(ls "$compat"/root/usr/lib/*/sdl12-compat/libSDL-1.2.so.0)")

if [ ! -x build/tests/pellaro_tests ]; then
    cmake -S . -B build >/dev/null
    cmake --build build -j"$(nproc)"
fi

export LD_LIBRARY_PATH="$library${LD_LIBRARY_PATH:+:$LD_LIBRARY_PATH}"
export PELLARO_SDL12_COMPAT=1
# Its flip goes through SDL2's renderer and costs ten times as much: a shorter
# soak says as much about behaviour there.
export PELLARO_SOAK_FRAMES=${PELLARO_SOAK_FRAMES:-20000}
ldd build/tests/pellaro_tests | grep -q "$library/libSDL-1.2.so.0" ||
    { echo "the tests would not load sdl12-compat" >&2; exit 1; }
echo "SDL 1.2 from $library ($(basename "$(readlink -f "$library/libSDL-1.2.so.0")"))"
ctest --test-dir build --output-on-failure -j"$(nproc)"
