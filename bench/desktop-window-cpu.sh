#!/usr/bin/env bash
# What the demo host's desktop window costs while an episode plays, beside a
# GTK 4 window of the same size showing a spinning spinner (gtk_spinner.c,
# built here): CPU time of each program and of the X server, read from /proc
# (utime + stime) over a few seconds, on a virtual display (Xvfb) with GTK's
# Cairo renderer, at scale 1 and 2. Prints the demo host's and the X
# server's ratios to the spinner's for two states: the chip alone over the
# host's article, and the player at full screen.
#
#   bench/desktop-window-cpu.sh <orvane-demo-host> [SECONDS]
#
# Budgets: chip alone ≤ 1.5×, full screen ≤ 2×, for both processes.
set -euo pipefail
host=$(realpath "$1")
seconds=${2:-4}
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
cd "$work"

cc -O2 -o gtk_spinner "$here/gtk_spinner.c" $(pkg-config --cflags --libs gtk4)

ticks=$(getconf CLK_TCK)
cpu() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }
# percent PID...: each process's CPU over `seconds`, in % of a core.
percent() {
  local before=() after=() i
  for i in "$@"; do before+=("$(cpu "$i")"); done
  sleep "$seconds"
  for i in "$@"; do after+=("$(cpu "$i")"); done
  for i in "${!before[@]}"; do
    awk -v a="${before[$i]}" -v b="${after[$i]}" -v t="$ticks" -v s="$seconds" \
      'BEGIN { printf "%.1f ", (b - a) * 100 / t / s }'
  done
  echo
}
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", (b > 0 ? a / b : (a > 0 ? 999 : 1)) }'; }

read -r bus_address bus_pid < <(dbus-daemon --session --fork --print-address=1 --print-pid=1 | paste -s -d ' ')
pids+=("$bus_pid")
export DBUS_SESSION_BUS_ADDRESS=$bus_address XDG_RUNTIME_DIR=$work PULSE_SERVER=unix:$work/no-sound-server
export GSK_RENDERER=cairo GDK_BACKEND=x11 GDK_DEBUG=gl-disable GTK_A11Y=none

status=0
for scale in 1 2; do
  display=:$(( 200 + RANDOM % 500 ))
  Xvfb "$display" -screen 0 2048x2048x24 -nolisten tcp > /dev/null 2>&1 &
  xvfb=$!
  pids+=("$xvfb")
  for _ in $(seq 1 100); do DISPLAY=$display xdotool getdisplaygeometry > /dev/null 2>&1 && break; sleep 0.05; done
  export DISPLAY=$display GDK_SCALE=$scale

  # The spinner, alone on the display.
  ./gtk_spinner 390 844 & spinner=$!
  xdotool search --sync --name '^spinner$' > /dev/null
  sleep 1
  read -r spinnerCpu spinnerX < <(percent "$spinner" "$xvfb")
  kill "$spinner"; wait "$spinner" 2>/dev/null || true

  # The demo host: the chip over the article while the episode plays, then
  # the player opened from the chip and dragged to full screen.
  "$host" > window.log 2>&1 & demo=$!
  for _ in $(seq 1 400); do grep -q 'the chip is at' window.log && break; sleep 0.05; done
  line=$(grep 'the chip is at' window.log) || { echo "the demo never showed the chip"; cat window.log; exit 1; }
  window=$(xdotool search --sync --name '^Orvane demo$' | head -1)
  sleep 0.5
  read -r chipCpu chipX < <(percent "$demo" "$xvfb")
  read -r x y <<< "${line##*the chip is at }"
  xdotool mousemove --window "$window" $(awk -v v="$x" -v s="$scale" 'BEGIN { printf "%d", v * s }') \
    $(awk -v v="$y" -v s="$scale" 'BEGIN { printf "%d", v * s }') click 1
  sleep 1.5
  top=$(awk '/the player.s top is at/ { t = $NF } END { print t }' window.log)
  px() { awk -v v="$1" -v s="$scale" 'BEGIN { printf "%d", v * s }'; }
  xdotool mousemove --window "$window" "$(px 195)" "$(px $(( ${top%.*} - 20 )))" mousedown 1
  for i in $(seq 1 8); do
    sleep 0.01
    xdotool mousemove --window "$window" "$(px 195)" "$(px $(( ${top%.*} - 20 - i * 60 )))"
  done
  xdotool mouseup 1
  for _ in $(seq 1 60); do grep -q TRACK_FULLSCREEN window.log && break; sleep 0.05; done
  grep -q TRACK_FULLSCREEN window.log || { echo "the player did not reach full screen"; status=1; }
  sleep 1.5  # the sheet settles
  grep -q 'status=playing' window.log || { echo "the episode never played"; status=1; }
  read -r fullCpu fullX < <(percent "$demo" "$xvfb")
  kill "$demo"; wait "$demo" 2>/dev/null || true
  kill "$xvfb"; wait "$xvfb" 2>/dev/null || true

  echo "scale $scale: spinner ${spinnerCpu}% (X ${spinnerX}%)"
  for state in chip full; do
    if [ $state = chip ]; then c=$chipCpu; xs=$chipX; budget=1.5; else c=$fullCpu; xs=$fullX; budget=2; fi
    hr=$(ratio "$c" "$spinnerCpu"); xr=$(ratio "$xs" "$spinnerX")
    verdict=$(awk -v h="$hr" -v x="$xr" -v b="$budget" 'BEGIN { print (h <= b && x <= b) ? "within" : "OVER" }')
    echo "scale $scale, $state: demo host ${c}% = ${hr}x, X ${xs}% = ${xr}x (budget ${budget}x): $verdict"
    [ "$verdict" = within ] || status=1
  done
done
exit $status
