#!/usr/bin/env bash
# The whole test suite: the layering check of the product folders, unit and format tests in
# the normal build, the window tests under Xvfb, the same tests again with AddressSanitizer +
# UndefinedBehaviorSanitizer, and a short libFuzzer run of every stored-format reader.
set -euo pipefail
build=${1:-build}
build_asan=${2:-build-asan}
build_fuzz=${3:-build-fuzz}
jobs=$(nproc)
lsan_suppressions="$(cd "$(dirname "$0")" && pwd)/lsan.supp"
status=0

echo "== layering check"
python3 "$(dirname "$0")/check_layers.py" || status=1

echo "== tests (normal build)"
(cd "$build" && ctest --output-on-failure -j "$jobs" -LE window) || status=1

if (cd "$build" && ctest -N -L window | grep -q 'Total Tests: [1-9]'); then
  echo "== window tests (Xvfb)"
  (cd "$build" && xvfb-run -a -s "-screen 0 1280x1024x24" ctest --output-on-failure -L window) || status=1
fi

echo "== tests (AddressSanitizer + UndefinedBehaviorSanitizer)"
cmake -S . -B "$build_asan" -G Ninja -DMOBU_SANITIZE=ON -DMOBU_BENCH=OFF -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build "$build_asan" -j "$jobs"
(cd "$build_asan" && ASAN_OPTIONS=detect_leaks=1 LSAN_OPTIONS="suppressions=$lsan_suppressions" ctest --output-on-failure -j "$jobs" -LE window) || status=1

echo "== fuzz targets (libFuzzer, short run)"
CC=clang CXX=clang++ cmake -S . -B "$build_fuzz" -G Ninja -DMOBU_FUZZ=ON -DMOBU_SANITIZE=ON -DMOBU_BENCH=OFF \
  -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build "$build_fuzz" -j "$jobs"
(cd "$build_fuzz" && LSAN_OPTIONS="suppressions=$lsan_suppressions" ctest --output-on-failure -j "$jobs" -L fuzz) || status=1

exit $status
