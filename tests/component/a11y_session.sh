#!/usr/bin/env bash
# Runs a command as on a desktop with a screen reader: a private X server (Xvfb), a private
# session bus with the accessibility bus up, and Qt's accessibility always on. Ends with
# the command's status (128 + N when signal N ended it), 124 after 60 s, and 77 when a
# program it needs is not installed.
# The command's own standard error passes; the buses' chatter does not.
# Usage: a11y_session.sh COMMAND [ARG...]
set -u
for need in Xvfb dbus-run-session dbus-send timeout; do
    command -v "$need" >/dev/null || { echo "a11y_session: $need is not installed" >&2; exit 77; }
done
[ -e /usr/share/dbus-1/services/org.a11y.Bus.service ] ||
    { echo "a11y_session: the accessibility bus (at-spi2-core) is not installed" >&2; exit 77; }

coproc XVFB { exec Xvfb -displayfd 1 -nolisten tcp -noreset 2>/dev/null; }
trap 'kill "$XVFB_PID" 2>/dev/null' EXIT
read -r -t 30 display <&"${XVFB[0]}" || { echo "a11y_session: Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$display" QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
unset QT_QPA_PLATFORM WAYLAND_DISPLAY
# Asking for the accessibility bus's address starts it and returns once it is up.
timeout -k 5 60 dbus-run-session -- sh -c '
    dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress \
        >/dev/null || exit 1
    "$@" 2>&3' sh "$@" 3>&2 2>/dev/null
