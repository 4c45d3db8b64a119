#!/usr/bin/env bash
# Builds the tests that run code on more than one thread (thumbnail worker,
# the side panel's frame thumbnails, colour passes and quarter turns shared
# among threads, JPEG encoded in bands, the canvas composed in bands, batch
# runs, the work pool itself and the memory gate, previews decoded on the
# pool) with ThreadSanitizer and runs them.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
build_dir=build/tsan
targets=(controls_test_thumb_worker controls_test_pic_thumb app_test_side_panel
         engine_test_color_effects engine_test_imaging_layer engine_test_effect_image
         engine_test_fast_encode controls_test_qyn_kadrix app_test_batch_run
         engine_test_work_pool app_test_preview_loader app_test_open_picture_dialog
         app_test_batch_frame engine_test_memory_gate)
cmake -S . -B "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORVO_BUILD_TESTS=ON \
      -DORVO_SANITIZE=thread >/dev/null
cmake --build "$build_dir" -j"$(nproc)" --target "${targets[@]}"
# This compiler's ThreadSanitizer expects the address layout of kernels with
# less address randomisation than today's: with it, a test can fail at
# random with "ThreadSanitizer failed to allocate ...". Newer sanitizers run
# the program again without randomisation; this runs the tests that way
# where the system allows it.
fixed_layout=()
if setarch "$(uname -m)" -R true 2>/dev/null; then
    fixed_layout=(setarch "$(uname -m)" -R)
fi
export TSAN_OPTIONS="halt_on_error=1:second_deadlock_stack=1:suppressions=$PWD/tests/tsan/suppressions.txt"
export QT_QPA_PLATFORM=offscreen
for t in "${targets[@]}"; do
    echo "== $t"
    "${fixed_layout[@]}" "$build_dir/tests/$t" --gtest_brief=1
done
