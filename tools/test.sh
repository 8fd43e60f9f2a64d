#!/usr/bin/env bash
# The whole test suite: the formatting; the game and its tests built
# warning-free and run (a real-window test and a complete game under valgrind
# among them); the same tests against sdl12-compat; again under
# AddressSanitizer and UBSan; and each fuzzer for a minute.
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/packages.sh

ensure_packages "${BUILD_PACKAGES[@]}" "${WINDOW_TEST_PACKAGES[@]}" libgtest-dev clang-format \
    valgrind

echo "== formatting"
clang-format --dry-run --Werror src/*.cpp src/*.h tests/*.cpp tests/*.h tests/fuzz/*.cpp \
    tests/fuzz/*.h tools/*.cpp tools/*.h

echo "== tests"
cmake -S . -B build -DCMAKE_CXX_FLAGS=-Werror >/dev/null
cmake --build build -j"$(nproc)"
ctest --test-dir build --output-on-failure -j"$(nproc)"

echo "== tests against sdl12-compat"
bash tools/sdl12-compat.sh

echo "== tests under AddressSanitizer and UBSan"
cmake -S . -B build-asan -DPELLARO_SANITIZE=ON -DCMAKE_CXX_FLAGS=-Werror >/dev/null
cmake --build build-asan -j"$(nproc)"
ctest --test-dir build-asan --output-on-failure -j"$(nproc)"

echo "== fuzzing"
bash tools/fuzz.sh 60
