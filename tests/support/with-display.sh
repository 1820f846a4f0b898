#!/usr/bin/env bash
# Runs a command against an X display: the current one when it answers,
# otherwise a private Xvfb large enough for the 1300 x 1000 window.
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  exec "$@"
fi
# A random start number keeps parallel test programs off each other's server.
exec xvfb-run -a -n $((100 + RANDOM % 800)) -s "-screen 0 1600x1200x24 -nolisten tcp" "$@"
