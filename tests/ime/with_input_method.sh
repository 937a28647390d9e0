#!/usr/bin/env bash
# Runs a test program on a virtual X display of its own, with the Qt input
# module of fcitx5, and either
#   fcitx5     a private session bus and fcitx5 with the Anthy engine, its
#              profile in a temporary XDG_CONFIG_HOME, or
#   stuck      the same, but fcitx5 stopped once it has answered: it owns
#              its name on the bus and answers nothing more, or
#   no-bus     no session bus at all (the address points nowhere), or
#   ibus       IBus with the Anthy engine and its Qt module, the keyboard
#              engine in use (IBUS_TEST_ADDRESS tells the test its bus).
# Usage: with_input_method.sh fcitx5|stuck|no-bus|ibus PROGRAM [ARGS...]
# Exits 77 (skipped) when the input method parts are not installed.
set -uo pipefail

mode="$1"
shift

skip() {
  echo "SKIPPED: $*"
  exit 77
}

qt_plugins="$(qtpaths6 --query QT_INSTALL_PLUGINS 2>/dev/null ||
  echo /usr/lib/x86_64-linux-gnu/qt6/plugins)"
command -v Xvfb >/dev/null || skip "Xvfb is not installed (package xvfb)"
if [ "$mode" = ibus ]; then
  command -v ibus-daemon >/dev/null || skip "IBus is not installed (package ibus)"
  [ -f /usr/share/ibus/component/anthy.xml ] ||
    skip "the Anthy engine of IBus is not installed (package ibus-anthy)"
  command -v dbus-daemon >/dev/null || skip "dbus-daemon is not installed (package dbus-daemon)"
else
  ls "$qt_plugins"/platforminputcontexts/*fcitx5* >/dev/null 2>&1 ||
    skip "the fcitx5 module of Qt 6 is not installed (package fcitx5-frontend-qt6)"
fi
if [ "$mode" = fcitx5 ] || [ "$mode" = stuck ]; then
  command -v fcitx5 >/dev/null || skip "fcitx5 is not installed (package fcitx5)"
  command -v dbus-daemon >/dev/null || skip "dbus-daemon is not installed (package dbus-daemon)"
  command -v xdotool >/dev/null || skip "xdotool is not installed (package xdotool)"
  [ -f /usr/share/fcitx5/inputmethod/anthy.conf ] ||
    skip "the Anthy engine of fcitx5 is not installed (package fcitx5-anthy)"
fi

work="$(mktemp -d)"
pids=()
cleanup() {
  local p
  for p in "${pids[@]}"; do kill -CONT "$p" 2>/dev/null; kill "$p" 2>/dev/null; done
  for p in "${pids[@]}"; do wait "$p" 2>/dev/null; done
  rm -rf "$work"
}
trap cleanup EXIT

# A display number nobody uses, chosen by Xvfb itself.
exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
pids+=($!)
exec 3>&-
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.05; done
[ -s "$work/display" ] || { echo "Xvfb did not start:"; cat "$work/xvfb.log"; exit 1; }
export DISPLAY=":$(head -n1 "$work/display")"

mkdir -m 700 "$work/runtime"
export XDG_RUNTIME_DIR="$work/runtime"
export XDG_CONFIG_HOME="$work/config"
export QT_QPA_PLATFORM=xcb
export QT_IM_MODULE=fcitx
unset GTK_IM_MODULE XMODIFIERS IBUS_ADDRESS

if [ "$mode" = ibus ]; then
  bus="$(dbus-daemon --session --fork --print-address=1 --print-pid=1)" ||
    { echo "dbus-daemon did not start"; exit 1; }
  export DBUS_SESSION_BUS_ADDRESS="$(sed -n 1p <<<"$bus")"
  pids+=("$(sed -n 2p <<<"$bus")")
  export XDG_CACHE_HOME="$work/cache" QT_IM_MODULE=ibus
  # The engine is a Python program: the system's Python, whatever else the
  # PATH offers first.
  PATH="/usr/bin:/bin:$PATH" GSETTINGS_BACKEND=memory ibus-daemon --panel=disable \
    --emoji-extension=disable --config=disable >"$work/ibus.log" 2>&1 &
  pids+=($!)
  address=""
  for _ in $(seq 100); do
    address="$(sed -n 's/^IBUS_ADDRESS=//p' "$XDG_CONFIG_HOME"/ibus/bus/* 2>/dev/null | head -n1)"
    [ -n "$address" ] && dbus-send --address="$address" --print-reply --dest=org.freedesktop.IBus \
      /org/freedesktop/IBus org.freedesktop.IBus.SetGlobalEngine string:xkb:us::eng \
      >/dev/null 2>&1 && break
    address=""
    sleep 0.1
  done
  [ -n "$address" ] || { echo "ibus-daemon did not answer:"; cat "$work/ibus.log"; exit 1; }
  export IBUS_TEST_ADDRESS="$address"
elif [ "$mode" != no-bus ]; then
  bus="$(dbus-daemon --session --fork --print-address=1 --print-pid=1)" ||
    { echo "dbus-daemon did not start"; exit 1; }
  export DBUS_SESSION_BUS_ADDRESS="$(sed -n 1p <<<"$bus")"
  pids+=("$(sed -n 2p <<<"$bus")")

  mkdir -p "$XDG_CONFIG_HOME/fcitx5"
  cat >"$XDG_CONFIG_HOME/fcitx5/profile" <<'EOF'
[Groups/0]
Name=Default
Default Layout=us
DefaultIM=anthy

[Groups/0/Items/0]
Name=keyboard-us
Layout=

[Groups/0/Items/1]
Name=anthy
Layout=

[GroupOrder]
0=Default
EOF
  fcitx5 --disable=wayland,waylandim >"$work/fcitx5.log" 2>&1 &
  pids+=($!)
  for _ in $(seq 100); do
    dbus-send --session --print-reply --dest=org.fcitx.Fcitx5 /controller \
      org.fcitx.Fcitx.Controller1.State >/dev/null 2>&1 && break
    sleep 0.1
  done
  dbus-send --session --print-reply --dest=org.fcitx.Fcitx5 /controller \
    org.fcitx.Fcitx.Controller1.State >/dev/null 2>&1 ||
    { echo "fcitx5 did not answer on the session bus:"; cat "$work/fcitx5.log"; exit 1; }
  [ "$mode" = stuck ] && kill -STOP "${pids[-1]}"
else
  export DBUS_SESSION_BUS_ADDRESS="unix:path=$work/no-such-bus"
fi

"$@"
status=$?
for log in fcitx5 ibus; do
  [ $status -ne 0 ] && [ -f "$work/$log.log" ] && { echo "--- $log log"; cat "$work/$log.log"; }
done
exit $status
