#!/usr/bin/env bash
# Builds the game, stages its files in build-game/run and starts it there: the
# game finds its bitmaps, font and levels by bare names in its working directory.
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/packages.sh

ensure_packages "${BUILD_PACKAGES[@]}"
cmake -S . -B build-game -DBUILD_TESTING=OFF >/dev/null
cmake --build build-game -j"$(nproc)" --target stage pellaro-levels >/dev/null

if [ -z "${DISPLAY:-}" ] && [ -z "${SDL_VIDEODRIVER:-}" ]; then
    cat >&2 <<'MSG'
There is no display to open the game's window on (DISPLAY is not set).
On a desktop, run this from a terminal inside the session. On a machine without
one, give it a virtual display:
    apt-get install xvfb xauth && xvfb-run -s '-screen 0 800x600x24' bash tools/play.sh
MSG
    exit 1
fi

cd build-game/run
exec ./pellaro "$@"
