#!/usr/bin/env bash
# Builds the benchmarks in release mode and runs every one of them.
set -euo pipefail
cd "$(dirname "$0")/.."
# ImageMagick and vips are what the canvas and batch benchmarks compare
# composing and saving with.
scripts/deps.sh imagemagick libvips-tools
cmake -S . -B build/bench -DCMAKE_BUILD_TYPE=Release -DORVO_BUILD_TESTS=OFF -DORVO_BUILD_BENCH=ON
cmake --build build/bench -j"$(nproc)"
for b in build/bench/bench/bench_*; do
    [ -x "$b" ] || continue
    echo "== $(basename "$b")"
    QT_QPA_PLATFORM=offscreen "$b"
done
