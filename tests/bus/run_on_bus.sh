#!/bin/sh
# Runs a check script against a program the way a screen reader meets it: on a private X display
# (Xvfb), in a private D-Bus session with the accessibility bus (AT-SPI) and its registry, with
# Qt's AT-SPI bridge on. The check script (python3 with pyatspi) gets the program's process id in
# BUS_PROGRAM_PID; its exit status is the test's. BUS_TRANSFER_SETTINGS may name a file that the
# program finds as its stored transfer settings (ports, device id) in the private home.
# Usage: run_on_bus.sh PYTHON CHECK_SCRIPT PROGRAM [ARGS...]
set -eu

if [ "${1:-}" = "--inside-session" ]; then
    shift
    python=$1 check=$2
    shift 2
    /usr/libexec/at-spi-bus-launcher --launch-immediately &
    launcher=$!
    "$@" &
    program=$!
    status=0
    BUS_PROGRAM_PID=$program timeout 90 "$python" "$check" || status=$?
    kill "$program" "$launcher" 2>/dev/null || true
    wait "$program" "$launcher" 2>/dev/null || true
    exit "$status"
fi

work=$(mktemp -d)
xvfb=
cleanup() {
    if [ -n "$xvfb" ]; then
        kill "$xvfb" 2>/dev/null
        wait "$xvfb" 2>/dev/null # its display is free only once it has gone
    fi
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 1' INT TERM

# Xvfb picks a free display and writes its number to the descriptor given. It must not reset
# when its last client leaves: the bus launcher connects and leaves just before the program.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$work/display" 2>"$work/xvfb.log" &
xvfb=$!
tries=0
until [ -s "$work/display" ]; do
    tries=$((tries + 1))
    if [ "$tries" -gt 100 ] || ! kill -0 "$xvfb" 2>/dev/null; then
        echo "Xvfb did not start:" >&2
        cat "$work/xvfb.log" >&2
        exit 1
    fi
    sleep 0.1
done

export DISPLAY=":$(cat "$work/display")"
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_RUNTIME_DIR="$work/run"
export QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
# No JACK server has this name: the program never meets one the machine may run.
export JACK_DEFAULT_SERVER="vpt64-test-none-$$"
mkdir -p "$HOME" "$XDG_RUNTIME_DIR"
if [ -n "${BUS_TRANSFER_SETTINGS:-}" ]; then
    mkdir -p "$XDG_CONFIG_HOME/Pultron"
    cp "$BUS_TRANSFER_SETTINGS" "$XDG_CONFIG_HOME/Pultron/vPultron64.conf"
fi
chmod 700 "$XDG_RUNTIME_DIR"
status=0
dbus-run-session -- "$0" --inside-session "$@" || status=$?
[ "$status" -eq 0 ] || { echo "Xvfb on $DISPLAY said:" >&2; cat "$work/xvfb.log" >&2; }
exit "$status"
