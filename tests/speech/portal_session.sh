#!/usr/bin/env bash
# The hot key's portal client against fake_portal.py on a session bus of its own, with no
# activatable services, so that neither the desktop's bus nor a real portal is ever reached.
# Exits 77 (skipped) where dbus-run-session or python3-gi is missing.
# Usage: portal_session.sh TEST_SPEECH_PORTAL_BINARY FAKE_PORTAL_SCRIPT
set -euo pipefail
binary="$1"
fake="$2"
if ! command -v dbus-run-session >/dev/null; then
    echo "dbus-run-session is not installed (Debian: dbus-daemon)"
    exit 77
fi
python=""
for candidate in python3 /usr/bin/python3; do
    if command -v "$candidate" >/dev/null &&
        "$candidate" -c 'from gi.repository import Gio, GLib' 2>/dev/null; then
        python="$(command -v "$candidate")"
        break
    fi
done
if [ -z "$python" ]; then
    echo "python3-gi is not installed (Debian: python3-gi)"
    exit 77
fi
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cat >"$work/bus.conf" <<CONF
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:dir=$work</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
CONF
KOTONAMI_PYTHON="$python" KOTONAMI_FAKE_PORTAL="$fake" XDG_SESSION_TYPE=wayland \
    QT_QPA_PLATFORM=offscreen dbus-run-session --config-file="$work/bus.conf" -- "$binary"
