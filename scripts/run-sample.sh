#!/usr/bin/env bash
# Installs what is missing, builds the program and prints a sample document
# into a PDF file, unattended (no window, no display needed):
#   scripts/run-sample.sh [document [settings.ini]]
# (default: samples/invoice.prn with samples/default.ini); the PDF is
# out/<document name>.pdf.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
"$here/scripts/install-deps.sh"
"$here/scripts/build.sh" build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUOR_TESTS=OFF >/dev/null
document="${1:-$here/samples/invoice.prn}"
settings="${2:-$here/samples/default.ini}"
mkdir -p "$here/out"
pdf="$here/out/$(basename "${document%.*}").pdf"
"$here/build/quorprn" --pdf "$pdf" -- "$document" "$settings"
echo "run-sample: $document printed into $pdf"
