#!/usr/bin/env bash
# Builds the libFuzzer targets with clang into build-fuzz/ and runs each for a bounded time.
# Usage: scripts/fuzz.sh [seconds per target, default 60]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
bash scripts/deps.sh
for p in clang libclang-rt-14-dev; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="${missing:-} $p"
done
if [ -n "${missing:-}" ]; then
  apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $missing
fi
if [ ! -f build-fuzz/build.ninja ]; then
  CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DTRESSALY_FUZZ=ON -DTRESSALY_TESTS=OFF
fi
cmake --build build-fuzz --target fuzz_split_words fuzz_execute_step
for target in split_words execute_step; do
  mkdir -p "build-fuzz/corpus/$target"
  cp tests/fuzz/seeds/*.txt "build-fuzz/corpus/$target/" 2>/dev/null || true
  "./build-fuzz/tests/fuzz/fuzz_$target" -max_total_time="$seconds" -max_len=4096 \
    -timeout=10 -artifact_prefix="build-fuzz/$target-" "build-fuzz/corpus/$target"
done
