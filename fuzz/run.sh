#!/usr/bin/env bash
# Builds the fuzz targets with clang (AddressSanitizer, UndefinedBehavior-
# Sanitizer and LeakSanitizer on) and runs each for FUZZ_SECONDS on one core.
# The corpora stay in $FUZZ_BUILD/corpus, so time spent accumulates over
# runs; every run is logged in $FUZZ_BUILD/history.txt. A crash, leak,
# timeout or sanitizer report leaves its input in fuzz/artifacts/ and prints
# the command that replays it; the script then ends with status 1.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${FUZZ_SECONDS:-180}
build=$(realpath -m "${FUZZ_BUILD:-build-fuzz}")
artifacts=$(realpath -m fuzz/artifacts)
targets=${FUZZ_TARGETS:-"source_fuzzer project_fuzzer cmdline_fuzzer"}

fuzzer_runtime() {
  clang++ -print-file-name=libclang_rt.fuzzer-x86_64.a 2>/dev/null
}
if ! command -v clang++ >/dev/null 2>&1 || [ ! -f "$(fuzzer_runtime)" ]; then
  if [ "$(id -u)" = 0 ] && command -v apt-get >/dev/null 2>&1; then
    echo "Installing clang and its fuzzer runtime"
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq clang libclang-rt-14-dev >/dev/null
  else
    echo "Missing clang++ or libFuzzer. Install them with: sudo apt-get install clang libclang-rt-14-dev" >&2
    exit 1
  fi
fi

cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang \
  -DCMAKE_CXX_COMPILER=clang++ -DBPREP2_FUZZ=ON -DBPREP2_TESTS=OFF ${CMAKE_FLAGS:-} >/dev/null
cmake --build "$build" -j "${FUZZ_JOBS:-$(nproc)}" --target $targets

seeds="$build/seeds"
rm -rf "$seeds"
python3 fuzz/seeds.py "$seeds"
mkdir -p "$artifacts"

# The fixture's scratch directories go here; a crash leaves its own behind.
export TMPDIR="$build/tmp"
rm -rf "$TMPDIR"
mkdir -p "$TMPDIR"

export ASAN_OPTIONS="detect_leaks=1:${ASAN_OPTIONS:-}"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1:${UBSAN_OPTIONS:-}"

status=0
for target in $targets; do
  name=${target%_fuzzer}
  corpus="$build/corpus/$name"
  log="$build/$target.log"
  mkdir -p "$corpus"
  echo "== $target for ${seconds}s"
  # -close_fd_mask=2 mutes the pre-processor's own diagnostics; libFuzzer and
  # the sanitizers keep reporting to the log.
  started=$(date +%s)
  if "$build/$target" "$corpus" "$seeds/$name" -dict="$PWD/fuzz/bprep2.dict" \
      -max_total_time="$seconds" -timeout=10 -rss_limit_mb=4096 -max_len=65536 \
      -detect_leaks=1 -close_fd_mask=2 -print_final_stats=1 \
      -artifact_prefix="$artifacts/$name-" >"$log" 2>&1; then
    result=ok
  else
    result=FAILED
    status=1
    sed -n '/ERROR\|runtime error\|ALARM\|deadly signal\|fuzz fixture/,$p' "$log" | head -n 80
  fi
  took=$(($(date +%s) - started))
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  echo "$target: $result, ${runs:-?} runs in ${took:-?}s"
  echo "$(date -u +%FT%TZ) $target $result runs=${runs:-0} seconds=${took:-0}" >>"$build/history.txt"
  for artifact in "$artifacts/$name"-*; do
    [ -e "$artifact" ] && echo "replay: $build/$target $artifact"
  done
done
exit $status
