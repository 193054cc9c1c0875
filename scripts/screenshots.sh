#!/bin/sh
# Remakes the pictures of docs/screenshots under Xvfb: the options dialogs and Save all's
# question, then the main window, the run-code warning, the About box and the print preview
# in English, French and Chinese; each is made small with optipng when it is installed.
#   scripts/screenshots.sh [BUILD_DIR]   (default build/dev, configured with the dev preset)
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/dev}
out=$root/docs/screenshots
cmake --build "$build" --target velquin-dialog-screenshots velquin-window-screenshots
run() { xvfb-run -a -s "-screen 0 1280x1024x24" "$@"; }
run "$build/tests/ui/velquin-dialog-screenshots" "$out"
run "$build/tests/ui/velquin-window-screenshots" "$out"
if command -v optipng >/dev/null 2>&1; then
  optipng -quiet -o2 -strip all "$out"/options-*.png "$out"/save-all-question.png \
    "$out"/main-window-en.png "$out"/main-window-fr.png "$out"/main-window-zh_CN.png \
    "$out"/open-warning-*.png "$out"/about-*.png "$out"/print-preview-*.png
fi
ls -l "$out"
