#!/usr/bin/env bash
# Builds the fuzz target over the core's read paths (clang, libFuzzer,
# AddressSanitizer and UndefinedBehaviorSanitizer) and runs it.
#
#   bash tools/fuzz.sh [SECONDS]      (default 60)
#
# The build goes to build-fuzz under the repository root, or to
# $CM3_FUZZ_BUILD. The corpus grows in <build>/fuzz-corpus from run to run;
# the starting inputs are written by the target itself into
# <build>/fuzz-seeds. A finding (crash, sanitizer report, failed
# expectation, time-out, leak) is saved in <build>/fuzz-artifacts and makes
# the script fail; replay it with
#   <build>/fuzz/fuzz_database <build>/fuzz-artifacts/crash-...
# Without clang++ or its fuzzer runtime the script says so and does nothing.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
seconds="${1:-60}"
build="${CM3_FUZZ_BUILD:-$root/build-fuzz}"
case "$seconds" in
  '' | *[!0-9]*) echo "usage: $0 [SECONDS]" >&2; exit 2 ;;
esac

if ! command -v clang++ >/dev/null 2>&1; then
  echo "fuzz: clang++ not found; skipping the fuzz run"
  exit 0
fi
probe="$(mktemp -d)"
trap 'rm -rf "$probe"' EXIT
printf 'extern "C" int LLVMFuzzerTestOneInput(const unsigned char*, unsigned long) { return 0; }\n' >"$probe/p.cpp"
if ! clang++ -fsanitize=fuzzer,address,undefined "$probe/p.cpp" -o "$probe/p" >/dev/null 2>&1; then
  echo "fuzz: clang++ cannot link with -fsanitize=fuzzer (libclang-rt-dev missing?); skipping the fuzz run"
  exit 0
fi

generator=()
command -v ninja >/dev/null 2>&1 && generator=(-G Ninja)
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S "$root" -B "$build" "${generator[@]}" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DCM3_BUILD_FUZZ=ON -DCM3_BUILD_UI=OFF -DCM3_BUILD_BENCH=OFF -DCM3_BUILD_TESTS=OFF >/dev/null
fi
cmake --build "$build" -j"$(nproc)" --target fuzz_database

target="$build/fuzz/fuzz_database"
corpus="$build/fuzz-corpus"
seeds="$build/fuzz-seeds"
artifacts="$build/fuzz-artifacts"
log="$build/fuzz.log"
mkdir -p "$corpus" "$artifacts"
rm -rf "$seeds"
CM3_FUZZ_SEEDS="$seeds" "$target"

export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
echo "fuzz: running $target for ${seconds}s (log: $log)"
status=0
"$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=1024 -print_final_stats=1 \
          -artifact_prefix="$artifacts/" "$corpus" "$seeds" >"$log" 2>&1 || status=$?

grep -E '^#[0-9]+[[:space:]]+(DONE|INITED|pulse|NEW|REDUCE)' "$log" | tail -n 1 || true
grep -E '^Done [0-9]+ runs' "$log" || true
grep -E '^stat::number_of_executed_units' "$log" || true
if [ "$status" -ne 0 ]; then
  echo "fuzz: FINDING (exit status $status); the end of the log:" >&2
  tail -n 60 "$log" >&2
  ls -t "$artifacts" | head -n 5 | sed "s|^|fuzz: artifact $artifacts/|" >&2
  exit 1
fi
echo "fuzz: no finding"
