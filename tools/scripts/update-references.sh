#!/usr/bin/env bash
# Redraws every reference picture under tests/reference/ with the engine and
# data set as they are now. Run it only when a picture is meant to change;
# look at the changed pictures and say in the commit why they changed.
# Usage: tools/scripts/update-references.sh [BUILD_DIR]   (default: build)
set -euo pipefail
cd "$(dirname "$0")/../.."
build=${1:-build}
cmake --build "$build" --target engine_tests
SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy ENGINE_UPDATE_REFERENCES=1 \
  "$build/tests/engine_tests" --gtest_filter='*ReferencePictures.*'
git status --short tests/reference
