#!/usr/bin/env bash
# Runs a test program only when the files it reads are there. Where a folder
# is missing the test is reported as skipped, with the reason (status 77, the
# tests' SKIP_RETURN_CODE); under CI (CI=true) a missing folder fails it instead.
#
#   needs-data.sh TEST-NAME testdata=DIR|data=DIR ... -- COMMAND [ARGS...]
name=$1
shift
missing=""
while [ $# -gt 0 ] && [ "$1" != "--" ]; do
  kind=${1%%=*}
  dir=${1#*=}
  shift
  [ -d "$dir" ] && continue
  case $kind in
    testdata) what="../shared/testdata, the third-party test files beside the project ($dir)" ;;
    data) what="the generated data/ ($dir; the build writes it: cmake --build BUILD --target velmora-data)" ;;
    *) what="$dir" ;;
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
exec "$@"
