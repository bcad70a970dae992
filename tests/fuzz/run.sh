#!/bin/sh
# Builds the libFuzzer target and runs it for SECONDS (60 unless given),
# starting from the seeds in tests/fuzz/corpus; what it learns is kept in
# build/fuzz/corpus for the next run. A crash leaves its input in build/fuzz.
#   tests/fuzz/run.sh [SECONDS]
set -eu
cd "$(dirname "$0")/../.."
seconds=${1:-60}
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz --target kesorv_fuzzer >/dev/null
mkdir -p build/fuzz/corpus
build/fuzz/kesorv_fuzzer -max_total_time="$seconds" -print_final_stats=1 \
  -artifact_prefix=build/fuzz/ build/fuzz/corpus tests/fuzz/corpus 2>build/fuzz/last-run.log ||
  { tail -n 40 build/fuzz/last-run.log; exit 1; }
grep -E "DONE|stat::number_of_executed_units|stat::average_exec_per_sec" build/fuzz/last-run.log
