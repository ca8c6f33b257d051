#!/usr/bin/env bash
# Installs what Quor Print needs to build, test and run on Debian 12.
# Idempotent: packages already present are skipped, and apt's lists are
# refreshed at most once.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config ccache
  qt6-base-dev qt6-svg-dev qt6-qpa-plugins qt6-translations-l10n libgl-dev
  libjpeg62-turbo-dev libcups2-dev
  cups printer-driver-cups-pdf
  fonts-liberation2 fonts-dejavu-core
  poppler-utils xvfb xauth man-db
  libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-14-dev
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "install-deps: everything is installed"
  exit 0
fi

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
echo "install-deps: installing ${missing[*]}"
$SUDO apt-get -o DPkg::Lock::Timeout=900 update -q
DEBIAN_FRONTEND=noninteractive $SUDO apt-get -o DPkg::Lock::Timeout=900 \
  install -y -q --no-install-recommends "${missing[@]}"
