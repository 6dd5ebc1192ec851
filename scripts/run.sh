#!/usr/bin/env bash
# Installs, builds, creates the default data directory when no alias is registered yet, and
# starts the application.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh"
build=${ZR_BUILD_DIR:-$root/build}
data=${ZR_DATA_DIR:-${XDG_DATA_HOME:-$HOME/.local/share}/zrarchive/data}
if ! "$build/tools/zradmin/zradmin" sql "SELECT COUNT(*) FROM SYS_COMPOSE_TABLE" >/dev/null 2>&1 &&
  [ ! -e "$data" ]; then
  "$build/tools/zradmin/zradmin" install "$data"
fi
exec "$build/app/zrarchive"
