#!/usr/bin/env bash
# Renders the visual regression's reference pictures again with velmora-shot,
# from the table in references/shots.txt. Run it from anywhere after a build;
# look at every picture before committing it.
#
#   tests/visual/make-references.sh [BUILD_DIR]   (default: build)
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
case ${1:-} in
  --help | -h)
    echo "Usage: tests/visual/make-references.sh [BUILD_DIR]"
    echo "Renders the visual regression's reference pictures again with BUILD_DIR's velmora-shot"
    echo "(default: build), from tests/visual/references/shots.txt. Look at each before committing it."
    exit 0 ;;
  -*) echo "make-references: unknown option \"$1\"; try --help" >&2; exit 2 ;;
esac
[ $# -le 1 ] || { echo "make-references: one build folder at most; try --help" >&2; exit 2; }
build=${1:-build}
case "$build" in /*) ;; *) build="$root/$build" ;; esac
shot="$build/tools/shot/velmora-shot"
[ -x "$shot" ] || { echo "make-references: no $shot; build it first (scripts/run, or cmake --build $build --target velmora-shot)" >&2; exit 1; }
cd "$root"
grep -v '^#' tests/visual/references/shots.txt | while read -r name options; do
  [ -n "$name" ] || continue
  # shellcheck disable=SC2086  # the options are words on purpose
  if ! log=$("$shot" $options "tests/visual/references/$name.png" 2>&1); then
    echo "$log" >&2
    exit 1
  fi
  echo "tests/visual/references/$name.png"
done
