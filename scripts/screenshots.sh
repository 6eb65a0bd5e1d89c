#!/bin/sh
# Makes the documentation's pictures of the wizard (docs/screenshots/) with
# the built screenshot tool under a virtual X server, and the picture of the
# finished report through LibreOffice and pdftoppm. Run after scripts/build.sh.
set -eu
cd "$(dirname "$0")/.."
shots=docs/screenshots
shot() { xvfb-run -a -s "-screen 0 1280x1024x24" build/tools/wizardshot "$1" "$shots/$2.png"; }
shot 1 welcome
for step in 2 3 4 5 6 7; do shot "$step" "step$step"; done
shot preview preview
# Further scenes of the tool (see its table of scenes) are added here.

# The finished report (shaded, with its chart) as LibreOffice prints the
# workbook the "report" scene saves; the report is on the PDF's page 2.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
xvfb-run -a -s "-screen 0 1280x1024x24" build/tools/wizardshot report "$work/Sales Report.xlsx"
soffice -env:UserInstallation="file://$work/profile" --headless --norestore --convert-to \
  'pdf:calc_pdf_Export:{"SinglePageSheets":{"type":"boolean","value":"true"}}' --outdir "$work" \
  "$work/Sales Report.xlsx" > "$work/soffice.log" 2>&1 || { cat "$work/soffice.log"; exit 1; }
pdftoppm -png -r 80 -f 2 -l 2 -singlefile "$work/Sales Report.pdf" "$shots/report"
