# shellcheck shell=bash
# Shell functions the scripts share; sourced, not run.

# One line per phase, so that a long step never looks hung.
phase() { echo "==> $*"; }

# True when an X display answers: xdpyinfo says so, or, where xdpyinfo is not
# installed, a local display's socket is there.
display_answers() {
  [ -n "${DISPLAY:-}" ] || return 1
  if command -v xdpyinfo >/dev/null 2>&1; then
    xdpyinfo >/dev/null 2>&1
    return
  fi
  case $DISPLAY in
    :*) local n=${DISPLAY#:}; [ -S "/tmp/.X11-unix/X${n%%.*}" ] ;;
    *) return 0 ;;
  esac
}
