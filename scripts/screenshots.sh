#!/usr/bin/env bash
# Takes the pictures of the manual and the README (docs/screenshots/) by
# running the application on the sample site under Xvfb.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --workflow --preset release >/dev/null
mkdir -p docs/screenshots
xvfb-run -a -s "-screen 0 1600x1200x24" \
  build/release/vorn_screenshots examples/site docs/screenshots
ls docs/screenshots
