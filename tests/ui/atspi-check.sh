#!/bin/sh
# Runs atspi_check.py against the viewer (first argument) under Xvfb with its own session
# bus, on which the accessibility bus starts on demand. Exits 77 (skipped) when a tool is
# missing: xvfb-run, dbus-run-session, at-spi-bus-launcher or python3's pyatspi.
set -u
viewer=$1
here=$(cd "$(dirname "$0")" && pwd)
# Debian's python3, which the python3-pyatspi package serves (a python3 of one's own may
# come first on PATH).
python=/usr/bin/python3
[ -x "$python" ] || python=python3
for tool in xvfb-run dbus-run-session "$python"; do
  command -v "$tool" >/dev/null 2>&1 || { echo "$tool is not installed: skipped"; exit 77; }
done
[ -x /usr/libexec/at-spi-bus-launcher ] || { echo "at-spi2-core is not installed: skipped"; exit 77; }
"$python" -c 'import pyatspi' 2>/dev/null || { echo "python3-pyatspi is not installed: skipped"; exit 77; }
# Display numbers from a start of our own: other runs of xvfb-run may be choosing at once.
exec xvfb-run -a -n $((100 + $$ % 800)) -s "-screen 0 1280x1024x24" dbus-run-session -- "$python" "$here/atspi_check.py" "$viewer"
