#!/usr/bin/env bash
# Installs the Debian 12 packages that building, running and testing need.
set -euo pipefail
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends \
    build-essential cmake ninja-build pkg-config \
    qt6-base-dev qt6-base-dev-tools qt6-serialport-dev libgl-dev \
    libgtest-dev libgmock-dev googletest libbenchmark-dev zlib1g-dev \
    clang libclang-rt-14-dev \
    fonts-liberation fontconfig xvfb xauth \
    fp-utils libchm-dev desktop-file-utils appstream dpkg-dev file xdotool imagemagick \
    poppler-utils >/dev/null
