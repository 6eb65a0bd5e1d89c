#!/bin/sh
# Makes the documentation's pictures of the wizard (docs/screenshots/) with
# the built screenshot tool under a virtual X server. Run after scripts/build.sh.
set -eu
cd "$(dirname "$0")/.."
shots=docs/screenshots
shot() { xvfb-run -a -s "-screen 0 1280x1024x24" build/tools/wizardshot "$1" "$shots/$2.png"; }
shot 1 welcome
for step in 2 3 4 5 6 7; do shot "$step" "step$step"; done
# Further scenes of the tool (see its table of scenes) are added here.
