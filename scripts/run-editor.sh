#!/bin/sh
# run-editor.sh BUILD [PICTURE]: `make run`. Opens the image editor of the build tree BUILD, on
# PICTURE when one is given. Without a display (DISPLAY, WAYLAND_DISPLAY and QT_QPA_PLATFORM
# unset) it starts a VNC X server of its own that only this machine can reach, on
# 127.0.0.1:VNC_PORT (5900 unless set), and says how to connect.
set -eu

build=$1
picture=${2:-}
launcher=$build/bin/px
[ -n "${QT_QPA_PLATFORM:-}" ] || unset QT_QPA_PLATFORM

if [ -n "${QT_QPA_PLATFORM:-}" ] || [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
    exec "$launcher" ${picture:+"$picture"}
fi

port=${VNC_PORT:-5900}
if ! command -v Xvnc >/dev/null; then
    echo "make run: no display, and no Xvnc to show the editor on (scripts/ensure-deps.sh installs it)" >&2
    exit 1
fi
# The first free X display number from 10 on.
display=10
while [ -e "/tmp/.X$display-lock" ] || [ -e "/tmp/.X11-unix/X$display" ]; do
    display=$((display + 1))
done
log=$build/xvnc.log
Xvnc ":$display" -interface 127.0.0.1 -localhost -rfbport "$port" -SecurityTypes None \
    -geometry 800x600 -depth 24 -nolisten tcp >"$log" 2>&1 &
server=$!
trap 'kill "$server" 2>/dev/null || true' EXIT
trap 'exit 130' INT TERM
tries=0
while [ ! -S "/tmp/.X11-unix/X$display" ]; do
    if ! kill -0 "$server" 2>/dev/null || [ "$tries" -ge 100 ]; then
        echo "make run: the VNC server did not start (port $port busy?); see $log" >&2
        exit 1
    fi
    tries=$((tries + 1))
    sleep 0.1
done
echo "Image editor on VNC: connect a VNC viewer to 127.0.0.1:$port"
status=0
DISPLAY=":$display" QT_QPA_PLATFORM=xcb "$launcher" ${picture:+"$picture"} || status=$?
exit "$status"
