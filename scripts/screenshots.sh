#!/usr/bin/env bash
# Takes the pictures of the manual and the README (docs/screenshots/) by
# running the application on the sample site under Xvfb, once more at
# twice the size on a 1920 x 1080 screen.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset release >/dev/null && cmake --build build/release -j2 >/dev/null
mkdir -p docs/screenshots
xvfb-run -a -s "-screen 0 1600x1200x24" \
  build/release/vorn_screenshots examples/site docs/screenshots
# The main window as it fits 1920 x 1080 at twice the size.
QT_SCALE_FACTOR=2 xvfb-run -a -s "-screen 0 1920x1080x24" \
  build/release/vorn_screenshots examples/site docs/screenshots \
  scaled main-2x.png
ls docs/screenshots
