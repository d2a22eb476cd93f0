#!/bin/sh
# Runs a benchmark the way a screen reader's user runs the program: on a private X display
# (Xvfb), in a private D-Bus session with the accessibility bus (AT-SPI) up, Qt's AT-SPI bridge
# on and a listener that asks for the events a screen reader asks for, so that every
# accessibility event is built, sent and heard. Compare its ratios with a run of the same
# benchmark without this script.
# Usage: bench/on_accessibility_bus.sh BENCHMARK [ARGS...]
set -eu

if [ "${1:-}" = "--inside-session" ]; then
    shift
    /usr/libexec/at-spi-bus-launcher --launch-immediately &
    launcher=$!
    sleep 1 # the bus is up before the first window asks for it
    /usr/bin/python3 "$(dirname "$0")/screen_reader_listener.py" &
    listener=$!
    sleep 2 # its listeners are registered before the program asks which events are wanted
    status=0
    "$@" || status=$?
    kill "$listener" 2>/dev/null || true
    wait "$listener" 2>/dev/null || true
    kill "$launcher" 2>/dev/null || true
    exit "$status"
fi

work=$(mktemp -d)
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$work/display" 2>/dev/null &
xvfb=$!
trap 'kill $xvfb 2>/dev/null; rm -rf "$work"' EXIT
until [ -s "$work/display" ]; do sleep 0.1; done
export DISPLAY=":$(cat "$work/display")" QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
export XDG_RUNTIME_DIR="$work/run"
mkdir -m 700 "$XDG_RUNTIME_DIR"
dbus-run-session -- "$0" --inside-session "$@"
