#!/usr/bin/env bash
# Installs what is missing, builds, and starts Tressaly with the given arguments.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
bash "$here/deps.sh" --gui
bash "$here/build.sh"
exec "$here/../build/tressaly" "$@"
