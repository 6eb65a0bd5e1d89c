#!/usr/bin/env bash
# Makes docs/screenshots/preview.png (the layout step's preview window) and
# docs/screenshots/report.png (the finished report with its chart, shaded,
# as LibreOffice prints the saved workbook). Needs the build (build/ or
# $BUILD_DIR), xvfb-run, soffice and pdftoppm.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$top/build}
shots=$top/docs/screenshots
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

xvfb-run -a "$build/tools/reportshot" "$shots/preview.png" "$work/Sales Report.xlsx"
soffice -env:UserInstallation="file://$work/profile" --headless --norestore --convert-to \
    'pdf:calc_pdf_Export:{"SinglePageSheets":{"type":"boolean","value":"true"}}' --outdir "$work" "$work/Sales Report.xlsx" \
    > "$work/soffice.log" 2>&1 || { cat "$work/soffice.log"; exit 1; }
# Page 1 is the workbook's first (empty) sheet; the report is on page 2.
pdftoppm -png -r 80 -f 2 -l 2 -singlefile "$work/Sales Report.pdf" "$shots/report"
echo "wrote $shots/preview.png and $shots/report.png"
