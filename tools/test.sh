#!/usr/bin/env bash
# Builds the game and its tests warning-free, checks the formatting, and runs
# the whole suite.
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/packages.sh

ensure_packages "${BUILD_PACKAGES[@]}" libgtest-dev clang-format

clang-format --dry-run --Werror src/*.cpp src/*.h tests/*.cpp tests/*.h

cmake -S . -B build -DCMAKE_CXX_FLAGS=-Werror >/dev/null
cmake --build build -j"$(nproc)"
ctest --test-dir build --output-on-failure -j"$(nproc)"
