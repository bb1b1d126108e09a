#!/usr/bin/env bash
# Fuzzes the BMP decoder for N seconds (default 60): configures a clang
# build of its own (build-fuzz, or $QUORVEL_FUZZ_DIR), builds the fuzz
# target and its seed writer, and runs libFuzzer. A finding is kept as
# build-fuzz/fuzz/crash-* and makes the script fail.
set -euo pipefail
seconds=${1:-60}
root=$(cd "$(dirname "$0")/../../.." && pwd)
dir=${QUORVEL_FUZZ_DIR:-$root/build-fuzz}

cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DQUORVEL_FUZZ=ON -DQUORVEL_TESTS=OFF -DQUORVEL_BENCH=OFF >/dev/null
cmake --build "$dir" --target bmp_decode_fuzzer bmp_fuzz_seeds

mkdir -p "$dir/fuzz/corpus" "$dir/fuzz/seeds"
"$dir/bin/bmp_fuzz_seeds" "$dir/fuzz/seeds"
# The working corpus persists between runs; the seeds are read alongside.
"$dir/bin/bmp_decode_fuzzer" -max_total_time="$seconds" -max_len=65536 -timeout=10 \
  -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$dir/fuzz/" \
  "$dir/fuzz/corpus" "$dir/fuzz/seeds"
