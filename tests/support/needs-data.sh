#!/usr/bin/env bash
# Runs a test program, every one of them: only when the files it reads are
# there, and with a temporary folder of its own.
#
# Where a folder it reads is missing the test is reported as skipped, with the
# reason (status 77, the tests' SKIP_RETURN_CODE); under CI (CI=true) a missing
# folder fails it instead.
#
# A test that needs data=DIR runs in the folder that holds DIR, where the
# relative paths data/... of the program lead.
#
# TMPDIR is a fresh folder below the caller's TMPDIR (or the system's
# temporary folder), removed when the program ends, however it ends, so that
# parallel runs share no file and nothing is left behind.
#
#   needs-data.sh TEST-NAME [testdata=DIR|data=DIR ...] -- COMMAND [ARGS...]
name=$1
shift
missing=""
root=""
while [ $# -gt 0 ] && [ "$1" != "--" ]; do
  kind=${1%%=*}
  dir=${1#*=}
  shift
  case $kind in
    testdata)
      [ -d "$dir" ] && continue
      what="../shared/testdata, the third-party test files beside the project ($dir)" ;;
    data)
      # The generator's stamp comes last: without it data/ is missing or half written.
      root=$(dirname "$dir")
      [ -f "$dir/.velmora-datagen.stamp" ] && continue
      what="the generated data/ ($dir, or its generation did not finish; the build writes it: cmake --build BUILD --target velmora-test-data)" ;;
    *)
      [ -d "$dir" ] && continue
      what="$dir" ;;
  esac
  missing="${missing:+$missing, and }$what"
done
shift
if [ -n "$missing" ]; then
  if [ "${CI:-}" = "true" ]; then
    echo "FAILED $name: missing $missing; under CI every test must run"
    exit 1
  fi
  echo "SKIPPED $name: missing $missing"
  exit 77
fi
run=$(mktemp -d "${TMPDIR:-/tmp}/velmora-$name-XXXXXX") || {
  echo "$name: cannot make a temporary folder in ${TMPDIR:-/tmp}; set TMPDIR to a writable folder" >&2
  exit 1
}
trap 'rm -rf "$run"' EXIT
trap 'exit 143' TERM
trap 'exit 130' INT
# GoogleTest keeps its captured output in TEST_TMPDIR.
export TMPDIR=$run TEST_TMPDIR=$run
if [ -n "$root" ]; then
  cd "$root" || exit 1
fi
"$@"
