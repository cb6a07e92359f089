#!/usr/bin/env bash
# Refreshes the screenshots in docs/ by running sample scripts in the real window under Xvfb.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
bash scripts/build.sh
home="$(mktemp -d)"
trap 'rm -rf "$home"' EXIT
export TRESSALY_HOME="$home"
shoot() { xvfb-run -a -s "-screen 0 1280x900x24" build/tools/ide_screenshot "$@"; }
shoot "$PWD/examples/functions.txt" docs/ide-window.png 9
shoot --dark "$PWD/examples/functions.txt" docs/ide-window-dark.png 9
shoot --help Array_Sort docs/help-window.png
shoot --help Operators docs/tutorial-window.png
ls docs/*.png
