#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the benchmarks need,
# and does nothing (quickly) when they are all present.
set -euo pipefail

packages=(
    cmake make g++ pkg-config
    qt6-base-dev qt6-qpa-plugins libqalculate-dev libgsl-dev
    libdbus-1-dev libjpeg62-turbo-dev libpng-dev zlib1g-dev
    libgtest-dev libbenchmark-dev
    # the engine's own calculator: the reference of the console's start-up benchmark
    qalc
    # a paint program: the reference of the editor's start-up benchmark on X, which watches
    # for the first mapped window through Xlib
    mtpaint libx11-dev
    dbus dbus-bin dbus-daemon
    fonts-dejavu-core
    # X servers for tests on a real X display, and for `make run` without a display (a VNC X
    # server that listens on 127.0.0.1 only)
    xvfb xauth xdotool tigervnc-standalone-server
    # the X clipboard read and written by the editor's clipboard tests
    xclip
)

missing=()
for p in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
    [[ "$status" == "install ok installed" ]] || missing+=("$p")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "Installing missing packages: ${missing[*]}"
sudo=()
if [[ $(id -u) -ne 0 ]]; then
    command -v sudo >/dev/null || { echo "error: need root (or sudo) to install: ${missing[*]}" >&2; exit 1; }
    sudo=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq "${missing[@]}" </dev/null
