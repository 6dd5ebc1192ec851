#!/usr/bin/env bash
# Configures and builds into build/ (or $ZR_BUILD_DIR) with Ninja, ccache and two jobs.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${ZR_BUILD_DIR:-$root/build}
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
cmake --build "$build" -j2
