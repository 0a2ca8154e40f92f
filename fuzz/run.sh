#!/usr/bin/env bash
# Builds the fuzz targets with Clang in build-fuzz/ and runs each, one after
# the other, for the given number of seconds (20 by default; 600 or more for
# a real search). Each run starts from the seeds in fuzz/corpus/<name>/ and
# keeps what it finds in build-fuzz/corpus/<name>/. A broken property or a
# sanitizer report stops the script; the input that caused it is saved as
# build-fuzz/crash-<name>-*. Names given after the seconds run only those
# targets: fuzz/run.sh 600 layout painter
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-20}
[ $# -gt 0 ] && shift
build=${TAVELO_FUZZ_BUILD:-build-fuzz}
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=(layout painter reading_modes find_text converters block_converters settings transcode)

cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang \
  -DCMAKE_CXX_COMPILER=clang++ -DTAVELO_FUZZ=ON > /dev/null
cmake --build "$build" --target fuzzers -j "$(nproc)" > /dev/null

# Inputs longer than a read block (2,048 bytes) and than the output buffer
# matter; the layout target repeats its input to reach the line limit.
max_len() {
  case $1 in
    converters|block_converters|painter|reading_modes|transcode) echo 8192 ;;
    find_text) echo 1024 ;;
    *) echo 4096 ;;
  esac
}

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
for name in "${targets[@]}"; do
  corpus="$build/corpus/$name"
  mkdir -p "$corpus"
  log="$build/$name.log"
  if ! "$build/fuzz/${name}_fuzzer" -max_total_time="$seconds" -max_len="$(max_len "$name")" \
      -timeout=20 -rss_limit_mb=2048 -print_final_stats=1 \
      -artifact_prefix="$build/crash-$name-" "$corpus" "fuzz/corpus/$name" > "$log" 2>&1; then
    tail -n 40 "$log"
    echo "fuzz/$name: FAILED (log: $log)"
    exit 1
  fi
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  speed=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log")
  echo "fuzz/$name: $runs executions in ${seconds} s ($speed per second), corpus $(ls "$corpus" | wc -l) inputs"
done
