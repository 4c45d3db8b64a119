#!/usr/bin/env bash
# Builds the frame file fuzzer with clang, AddressSanitizer and
# UndefinedBehaviorSanitizer in build/fuzz and runs it for the given number
# of seconds (default 60), starting from the seed frame files.
#   scripts/fuzz.sh 600
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
seconds=${1:-60}
build_dir=build/fuzz
cmake -S . -B "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DORVO_FUZZ=ON -DORVO_SANITIZE=address,undefined
cmake --build "$build_dir" -j"$(nproc)" --target fuzz_frame_file
# The fuzzer adds what it finds to the working corpus, never to the seeds.
corpus="$build_dir/corpus/frame_file"
mkdir -p "$corpus" "$build_dir/artifacts"
# The real limits: no allocation above a frame file's decode budget (256 MB,
# engine/DecodeBudget.h) and a few MB for the reader's own rows and tables,
# no process above 1.5 GB.
malloc_limit_mb=$((256 + 8))
export QT_QPA_PLATFORM=offscreen
# Damaged pictures are the point here: keep the JPEG reader's warnings quiet.
export QT_LOGGING_RULES="qt.gui.imageio*=false"
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:allocator_may_return_null=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
"$build_dir/tests/fuzz/fuzz_frame_file" "$corpus" tests/data/frames \
    -max_total_time="$seconds" -rss_limit_mb=1536 -malloc_limit_mb="$malloc_limit_mb" -timeout=10 \
    -artifact_prefix="$build_dir/artifacts/"
