#!/bin/sh
# One short libFuzzer run as ctest starts it: PROGRAM WORK CORPUS [OPTION...].
# The work folder is emptied first, so that every run starts from the committed corpus
# alone and a fixed seed walks the same inputs on every machine (new units found by an
# earlier run would otherwise steer this one elsewhere).
program=$1 work=$2 corpus=$3
shift 3
rm -rf "$work" && mkdir -p "$work" || exit 1
exec "$program" "$@" "$work" "$corpus"
