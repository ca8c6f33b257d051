#!/usr/bin/env bash
# Starts a local CUPS scheduler (without systemd) with the queues the tests
# print to: "PDF" (cups-pdf, files in /var/spool/cups-pdf/ci), "Trays"
# (cups-pdf behind a PPD with input trays and hardware margins) and "Held"
# (disabled: it keeps its jobs).
# Idempotent; needs root. Prints what it did and exits non-zero only when
# the scheduler cannot be brought up.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"

if [ "$(id -u)" -ne 0 ]; then
  echo "start-cups: needs root; skipped" >&2
  exit 1
fi
if [ ! -x /usr/sbin/cupsd ]; then
  echo "start-cups: cupsd is not installed; skipped" >&2
  exit 1
fi

scheduler_running() { lpstat -r 2>/dev/null | grep -q "is running"; }

if ! scheduler_running; then
  mkdir -p /run/cups
  /usr/sbin/cupsd
  for _ in $(seq 1 50); do
    scheduler_running && break
    sleep 0.1
  done
fi
if ! scheduler_running; then
  echo "start-cups: cupsd did not start" >&2
  exit 1
fi

# cups-pdf reads this file for the URI suffix /ci. Every file is named
# <title>...-job_<id>.pdf (Label 2), whichever queue wrote it.
out=/var/spool/cups-pdf/ci
mkdir -p "$out"
chmod 1777 "$out"
conf=/etc/cups/cups-pdf-ci.conf
want="$(printf '%s\n' "Out $out" "AnonDirName $out" "Label 2" "Grp lpadmin")"
if [ ! -f "$conf" ] || [ "$(cat "$conf")" != "$want" ]; then
  printf '%s\n' "$want" > "$conf"
fi

queue_exists() { lpstat -p "$1" >/dev/null 2>&1; }

if ! queue_exists PDF; then
  lpadmin -p PDF -E -v cups-pdf:/ci -m lsb/usr/cups-pdf/CUPS-PDF_opt.ppd
fi
if ! lpstat -d 2>/dev/null | grep -q "destination: "; then
  lpadmin -d PDF
fi

if ! queue_exists Trays; then
  ppddir="$(mktemp -d)"
  ppdc -d "$ppddir" "$here/tests/data/traytest.drv"
  lpadmin -p Trays -E -v cups-pdf:/ci -P "$ppddir/traytest.ppd"
  rm -rf "$ppddir"
fi

# A queue that takes jobs but holds them: disabled, still accepting.
if ! queue_exists Held; then
  lpadmin -p Held -v cups-pdf:/ci -m lsb/usr/cups-pdf/CUPS-PDF_opt.ppd
fi

cupsenable PDF Trays
cupsaccept PDF Trays Held
cupsdisable Held
echo "start-cups: scheduler running with queues: $(lpstat -e | tr '\n' ' ')"
