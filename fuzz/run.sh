#!/usr/bin/env bash
# Builds the fuzz targets with clang and runs each for FUZZ_SECONDS.
# A crash leaves its input in fuzz/artifacts/ and prints how to replay it.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${FUZZ_SECONDS:-180}
build=${FUZZ_BUILD:-build-fuzz}
targets=${FUZZ_TARGETS:-"source_fuzzer project_fuzzer cmdline_fuzzer"}

cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang \
  -DCMAKE_CXX_COMPILER=clang++ -DBPREP2_FUZZ=ON -DBPREP2_TESTS=OFF ${CMAKE_FLAGS:-} >/dev/null
cmake --build "$build" -j "$(nproc)" --target $targets

seeds="$build/seeds"
rm -rf "$seeds"
python3 fuzz/seeds.py "$seeds"
mkdir -p fuzz/artifacts

status=0
for target in $targets; do
  corpus="$build/corpus/${target%_fuzzer}"
  mkdir -p "$corpus"
  echo "== $target for ${seconds}s"
  if ! "$build/$target" "$corpus" "$seeds/${target%_fuzzer}" -dict=fuzz/bprep2.dict \
      -max_total_time="$seconds" -timeout=10 -rss_limit_mb=4096 -max_len=65536 \
      -artifact_prefix=fuzz/artifacts/ -print_final_stats=1 2>"$build/$target.log"; then
    status=1
    tail -n 60 "$build/$target.log"
    for artifact in fuzz/artifacts/*; do
      [ -e "$artifact" ] && echo "replay: $build/$target $artifact"
    done
  else
    grep -E '^(stat::number_of_executed_units|stat::peak_rss_mb|Done)' "$build/$target.log" || true
  fi
done
exit $status
