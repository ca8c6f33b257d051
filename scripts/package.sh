#!/usr/bin/env bash
# Builds the Release tree (build-release/) and the Debian package from it:
#   scripts/package.sh            makes build-release/quorprn_<version>_<arch>.deb
#   scripts/package.sh --check    also installs it (root), prints a sample
#                                 with the installed program, checks the PDF
#                                 and removes the package again
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
build="$here/build-release"
"$here/scripts/build.sh" build-release -DCMAKE_BUILD_TYPE=Release -DQUOR_TESTS=OFF \
  -DCMAKE_INSTALL_PREFIX=/usr >/dev/null
(cd "$build" && cpack -G DEB >/dev/null)
deb="$(ls -t "$build"/quorprn_*.deb | head -n 1)"
echo "package: $deb"
dpkg-deb --field "$deb" Depends

[ "${1:-}" = "--check" ] || exit 0
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
work="$(mktemp -d)"
trap '$SUDO dpkg -r quorprn >/dev/null 2>&1 || true; rm -rf "$work"' EXIT
$SUDO dpkg -i "$deb"
(cd "$work" && env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM \
  quorprn --pdf out.pdf /usr/share/doc/quorprn/examples/invoice.prn)
pages="$(pdfinfo "$work/out.pdf" | awk '/^Pages:/ {print $2}')"
text="$(pdftotext -enc UTF-8 "$work/out.pdf" -)"
[[ "$text" == *"Итого к оплате"* ]] || { echo "package: the PDF lacks the invoice's text"; exit 1; }
[ "${pages:-0}" -ge 1 ] || { echo "package: the PDF has no pages"; exit 1; }
# The man page renders, and without a warning.
warnings="$(man --warnings -l /usr/share/man/man1/quorprn.1 2>&1 >/dev/null)"
[ -z "$warnings" ] || { echo "package: the man page renders with warnings:"; echo "$warnings"; exit 1; }
echo "package: installed program printed $pages page(s); removing the package"
$SUDO dpkg -r quorprn >/dev/null
[ ! -e /usr/bin/quorprn ] || { echo "package: quorprn is still installed"; exit 1; }
trap 'rm -rf "$work"' EXIT
