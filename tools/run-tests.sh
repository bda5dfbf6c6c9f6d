#!/usr/bin/env bash
# Builds and runs the test suite twice: plain, then under AddressSanitizer
# and UndefinedBehaviorSanitizer. Headless: offscreen video, dummy audio.
set -euo pipefail
cd "$(dirname "$0")/.."
export SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy
jobs=$(nproc)

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j "$jobs"
(cd build && ctest --output-on-failure -j "$jobs")

cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DENGINE_SANITIZE=ON
cmake --build build-asan -j "$jobs"
# Mesa and SDL keep allocations until exit; leaks there are not ours.
(cd build-asan && ASAN_OPTIONS=detect_leaks=0 ctest --output-on-failure -j "$jobs")

# The generated data set of the plain build passes the data check.
build/tools/data_check build
