#!/usr/bin/env bash
# The demo host in a real window on a virtual display: once the chip shows,
# a synthetic click on it presents the player; a screenshot of the window,
# taken once the sheet has settled, must match the headless story's picture
# of the same step (the preview). Run under xvfb-run by CTest:
#
#   demo-window-under-xvfb.sh <orvane-demo-host>
#
# Tolerance: at most 2 % of the pixels may differ by more than 15 % in a
# channel. What differs between the two runs is the playback position (the
# time labels, the slider's knob, the play button) and text anti-aliasing
# (the headless picture is drawn at 2x and scaled down; the window draws at
# the display's 1x).
set -euo pipefail
host=$(realpath "$1")
work=$(mktemp -d)
trap 'kill "${pid:-}" "${bus_pid:-}" 2>/dev/null || true; rm -rf "$work"' EXIT
cd "$work"

# Nothing of the machine's: a private session bus (the media controls and
# GTK find it, and never try to start one), no sound server, no GL.
read -r bus_address bus_pid < <(dbus-daemon --session --fork --print-address=1 --print-pid=1 | paste -s -d ' ')
export DBUS_SESSION_BUS_ADDRESS=$bus_address XDG_RUNTIME_DIR=$work PULSE_SERVER=unix:$work/no-sound-server
export GSK_RENDERER=cairo GDK_BACKEND=x11 GDK_DEBUG=gl-disable GTK_A11Y=none

# The headless story draws the preview 1.2 s after its tap on the chip.
"$host" --headless > headless.log 2>&1
test -f orvane-demo-preview.png || { echo "the headless story drew no preview"; cat headless.log; exit 1; }
convert orvane-demo-preview.png -resize 50% expected.png

# The same story in a window: the listener's click instead of the script's tap.
"$host" > window.log 2>&1 &
pid=$!
for _ in $(seq 1 400); do grep -q 'the chip is at' window.log && break; sleep 0.05; done
line=$(grep 'the chip is at' window.log) || { echo "the window never showed the chip"; cat window.log; exit 1; }
read -r x y <<< "${line##*the chip is at }"
window=$(xdotool search --sync --name '^Orvane demo$' | head -1)
sleep 0.4  # the story's tap comes at 5.0 s, the chip is reported at 4.6 s
xdotool mousemove --window "$window" "${x%.*}" "${y%.*}" click 1
# The sheet springs in: wait until two screenshots 0.3 s apart agree.
sleep 0.8
import -window "$window" shot.png
for _ in $(seq 1 15); do
  sleep 0.3
  import -window "$window" next.png
  if [ "$(compare -metric AE next.png shot.png null: 2>&1 || true)" = 0 ]; then break; fi
  mv next.png shot.png
done
grep -q 'TRACK_HALFSCREEN' window.log || { echo "the click did not present the player"; cat window.log; exit 1; }

size=$(identify -format '%wx%h' shot.png)
[ "$size" = "$(identify -format '%wx%h' expected.png)" ] || { echo "window is $size"; exit 1; }
differing=$(compare -metric AE -fuzz 15% shot.png expected.png null: 2>&1 || true)
total=$(( ${size%x*} * ${size#*x} ))
echo "pixels differing by more than 15 %: $differing of $total"
[ "$differing" -le $(( total * 2 / 100 )) ]
