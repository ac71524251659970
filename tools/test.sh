#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test:
#   1. the normal build (core, editor, tools) with all tests through CTest,
#      among them (label install) the Debian package built with cpack and
#      every file in it checked (tests/install/check-package.sh);
#   2. the core tests again under AddressSanitizer and UndefinedBehaviorSanitizer;
#   3. a short fuzz run over the core (tools/fuzz.sh).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
bash tools/install-deps.sh
jobs="$(nproc)"
export QT_QPA_PLATFORM=offscreen

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$jobs"
(cd build && ctest --output-on-failure -j"$jobs")

cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCM3_SANITIZE=ON -DCM3_BUILD_UI=OFF \
      -DCM3_BUILD_BENCH=OFF >/dev/null
cmake --build build-asan -j"$jobs" --target core_tests
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
# The kill test on the full preset walks the same steps as on the small one
# with 50 times the bytes; it runs in the normal build above, and here only
# the small one does (the full one alone would take minutes under the sanitizers).
(cd build-asan && ctest --output-on-failure -j"$jobs" -L core -E 'CrashPresets.*/full')

# 3. a short run of the fuzz target over the core's read paths (tools/fuzz.sh;
#    skipped when clang's fuzzer runtime is missing).
bash tools/fuzz.sh 30
