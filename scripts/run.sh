#!/usr/bin/env bash
# Builds the program and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release -DORVO_BUILD_TESTS=OFF
cmake --build build/release -j"$(nproc)"
exec build/release/bin/orvo "$@"
