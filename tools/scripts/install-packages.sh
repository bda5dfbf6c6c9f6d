#!/usr/bin/env bash
# Debian 12 packages the build, the demo and the tests need. Installing takes
# root: a desktop user is asked through sudo, and builds and plays as themself.
set -euo pipefail
if [ "$(id -u)" -ne 0 ]; then exec sudo "$0" "$@"; fi
export DEBIAN_FRONTEND=noninteractive
apt-get update
apt-get install -y --no-install-recommends \
  build-essential cmake ninja-build pkg-config \
  libsdl2-dev libepoxy-dev libvorbis-dev libpng-dev zlib1g-dev \
  glslang-dev glslang-tools spirv-tools libspirv-cross-c-shared-dev \
  libgl1-mesa-dri libegl-mesa0 \
  libgtest-dev \
  libtinygltf-dev libcli11-dev \
  libavcodec-dev libavformat-dev libavutil-dev libswscale-dev
# The desktop path's tests: real X servers, a window manager, a Wayland
# compositor with XWayland, synthetic input, and PulseAudio and PipeWire.
apt-get install -y --no-install-recommends \
  xvfb xserver-xorg-core xserver-xorg-video-dummy x11-xserver-utils libx11-dev libxtst-dev \
  openbox weston xwayland \
  pulseaudio pulseaudio-utils pipewire pipewire-pulse wireplumber dbus-daemon

# Fuzzing: libFuzzer and the sanitizers of clang 14 (tools/scripts/fuzz.sh).
apt-get install -y --no-install-recommends clang-14 libclang-rt-14-dev
