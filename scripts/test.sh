#!/usr/bin/env bash
# Builds the program and runs the whole test suite.
# With a build folder and extra CMake options: scripts/test.sh build/asan -DORVO_SANITIZE=address,undefined
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
build_dir=${1:-build/test}
shift || true
cmake -S . -B "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORVO_BUILD_TESTS=ON "$@"
cmake --build "$build_dir" -j"$(nproc)"
QT_QPA_PLATFORM=offscreen ctest --test-dir "$build_dir" --output-on-failure -j"$(nproc)" --timeout 300
