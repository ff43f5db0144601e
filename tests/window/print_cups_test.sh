#!/usr/bin/env bash
# Prints through a real CUPS queue: a cups-pdf printer of its own, added for the test and taken
# away after, on the scheduler that runs (started here where none does, as in a container).
# Skipped (77) where CUPS, cups-pdf or poppler's tools are missing, or where a queue may not be
# added (not root).
#   print_cups_test.sh STRINGART_PRINT_TESTS
set -euo pipefail
tests=$1
for tool in cupsd lpadmin lpstat pdfinfo pdfimages pdftoppm; do
  command -v "$tool" >/dev/null || { echo "print test skipped: no $tool"; exit 77; }
done
ppd=/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd
[ -e /usr/lib/cups/backend/cups-pdf ] && [ -e "$ppd" ] || { echo "print test skipped: no cups-pdf"; exit 77; }
[ "$(id -u)" = 0 ] || { echo "print test skipped: adding a queue needs root"; exit 77; }
# lpstat -r says whether the scheduler runs but exits 0 either way: read what it says.
running() { [ "$(lpstat -r 2>/dev/null)" = "scheduler is running" ]; }
started=
if ! running; then
  cupsd
  started=1
  for _ in $(seq 100); do running && break; sleep 0.1; done
  running || { echo "print test: cupsd did not start"; exit 1; }
fi
queue=stringart-test-$$
lpadmin -p "$queue" -E -v cups-pdf:/ -P "$ppd"
# A scheduler started here stops with the test.
trap 'lpadmin -x "$queue"; [ -z "$started" ] || pkill -x cupsd' EXIT
# cups-pdf writes a local user's prints to ~/PDF (its Out setting), the user's home as the
# password database has it.
home=$(getent passwd "$(id -un)" | cut -d: -f6)
STRINGART_PRINT_QUEUE=$queue STRINGART_PRINT_OUT=$home/PDF QT_QPA_PLATFORM=offscreen "$tests"
