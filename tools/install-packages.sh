#!/usr/bin/env bash
# Debian 12 packages the build, the demo and the tests need. Run as root.
set -euo pipefail
export DEBIAN_FRONTEND=noninteractive
apt-get update
apt-get install -y --no-install-recommends \
  build-essential cmake ninja-build pkg-config \
  libsdl2-dev libepoxy-dev libvorbis-dev libpng-dev zlib1g-dev \
  glslang-dev glslang-tools spirv-tools libspirv-cross-c-shared-dev \
  libgl1-mesa-dri libegl-mesa0 \
  libgtest-dev

# Fuzzing: libFuzzer and the sanitizers of clang 14 (tools/fuzz.sh).
apt-get install -y --no-install-recommends clang-14 libclang-rt-14-dev
