#!/usr/bin/env bash
# The demo host's real window driven as a listener drives it, with the
# pointer (xdotool) on a virtual display, watched through the desktop's media
# controls (playerctl) on a private session bus. Run under xvfb-run by CTest:
#
#   demo-listener-under-xvfb.sh <orvane-demo-host>
#
# Steps, each reported as passed or failed (the test fails when one does):
#   chip          a click on the chip presents the player at its preview height
#   pause         a click on pause while the episode plays: the component's
#                 state says paused within 100 ms of the click, and so do the
#                 media controls (a follower's line, and `playerctl status`)
#   play-at-end   the slider dragged to its end, then a click on play: the
#                 episode plays again from its start
#   expand        a slow drag up from the preview's title: full screen
#   swipe-back    at full screen, a drag from left to right over the main
#                 page's rows pages to the library screen, and a drag from
#                 right to left over the library (nothing in it) pages back
#                 to the main screen; which screen shows is read from the
#                 window's pixels, in a band across the top of the page
#   resize        the window made 1024 by 768 at full screen: the host's
#                 article, scaled back behind the sheet, spans the new width
#                 (its blue header shows on both sides of the sheet and near
#                 the right edge), and the sheet stands 500 points wide in the
#                 middle
#   wheel         at full screen, ten wheel steps over the main page scroll
#                 it: the page's pixels change; then back up to its top
#   dismiss       at full screen, a flick down from the top bar (20 points
#                 below the sheet's top edge) dismisses the player (the host
#                 then says that no player is presented)
#
# Where the listener aims: the host prints where the chip is and where the
# presented player's top edge settles; the preview's controls stand at fixed
# distances below that edge (its layout at 390 by 844 points). Every line the
# host prints is stamped with the time it arrived, so latencies are measured
# against the moment of the click. Exits 77 (skipped) where a tool is missing.
set -uo pipefail
host=$(realpath "$1")
for tool in xdotool playerctl dbus-daemon import convert compare; do
  command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed"; exit 77; }
done
work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
cd "$work"

# Distances below the player's top edge, at the preview height (points).
readonly TITLE_BELOW_TOP=222 SLIDER_BELOW_TOP=272 PLAY_BELOW_TOP=347
readonly SLIDER_LEFT=20 SLIDER_RIGHT=370
# The window's middle (it changes when the window is resized).
CENTRE_X=195

# Each line a program prints, prefixed with the time it arrived.
stamp() { while IFS= read -r line; do printf '%s %s\n' "$EPOCHREALTIME" "$line"; done; }
now() { echo "$EPOCHREALTIME"; }
ms() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%d", (b - a) * 1000 }'; }

# wait_for FILE PATTERN SECONDS [AFTER]: the first line of FILE stamped after
# AFTER (default: any) that matches PATTERN, waiting up to SECONDS.
wait_for() {
  local file=$1 pattern=$2 seconds=$3 after=${4:-0} line end
  end=$(awk -v n="$(now)" -v s="$seconds" 'BEGIN { printf "%.3f", n + s }')
  while :; do
    line=$(awk -v a="$after" -v p="$pattern" '$1 > a && $0 ~ p { print; exit }' "$file" 2>/dev/null)
    if [ -n "$line" ]; then echo "$line"; return 0; fi
    awk -v n="$(now)" -v e="$end" 'BEGIN { exit !(n > e) }' && return 1
    sleep 0.01
  done
}
# wait_state CONDITION SECONDS [AFTER]: like wait_for, for the first state the
# component received for which the awk CONDITION holds, over `status`,
# `position` and `duration`.
wait_state() {
  local condition=$1 seconds=$2 after=${3:-0} line end
  end=$(awk -v n="$(now)" -v s="$seconds" 'BEGIN { printf "%.3f", n + s }')
  while :; do
    line=$(awk -v a="$after" '$1 > a && /component <- state:/ {
        status = $0; sub(/.* status=/, "", status); sub(/ .*/, "", status)
        position = duration = -1
        if (match($0, / position=[0-9.e+-]+\/[0-9.e+-]+ s/)) {
          split(substr($0, RSTART + 10, RLENGTH - 12), p, "/"); position = p[1] + 0; duration = p[2] + 0
        }
        if ('"$condition"') { print; exit }
      }' window.log 2>/dev/null)
    if [ -n "$line" ]; then echo "$line"; return 0; fi
    awk -v n="$(now)" -v e="$end" 'BEGIN { exit !(n > e) }' && return 1
    sleep 0.01
  done
}
# The last value the host printed after "the player's top is at".
player_top() { awk '/the player.s top is at/ { top = $NF } END { print top }' window.log; }

# ---- a private session bus; no sound server (the output keeps time) ----
read -r bus_address bus_pid < <(dbus-daemon --session --fork --print-address=1 --print-pid=1 | paste -s -d ' ')
[ -n "${bus_pid:-}" ] || { echo "dbus-daemon did not start"; exit 1; }
pids+=("$bus_pid")
export DBUS_SESSION_BUS_ADDRESS=$bus_address XDG_RUNTIME_DIR=$work
export PULSE_SERVER=unix:$work/no-sound-server

# ---- the host's window ----
GSK_RENDERER=cairo GDK_BACKEND=x11 GDK_DEBUG=gl-disable GTK_A11Y=none "$host" > >(stamp > window.log) 2>&1 &
pids+=($!)
wait_for window.log 'the chip is at' 20 > /dev/null || { echo "the window never showed the chip"; cat window.log; exit 1; }
window=$(xdotool search --sync --name '^Orvane demo$' | head -1)

click() { xdotool mousemove --window "$window" "$1" "$2" click 1; }
# drag X0 Y0 X1 Y1 STEPS PAUSE: the button held from one point to the other
# in STEPS moves, PAUSE seconds apart.
drag() {
  local i x y
  xdotool mousemove --window "$window" "$1" "$2" mousedown 1
  for i in $(seq 1 "$5"); do
    x=$(( $1 + ($3 - $1) * i / $5 )); y=$(( $2 + ($4 - $2) * i / $5 ))
    sleep "$6"
    xdotool mousemove --window "$window" "$x" "$y"
  done
  xdotool mouseup 1
}

failed=()
step() {
  local name=$1; shift
  echo "== $name"
  if "$@"; then echo "== $name: passed"; else echo "== $name: FAILED"; failed+=("$name"); fi
}

chip() {
  local line x y
  line=$(grep 'the chip is at' window.log | tail -1)
  read -r x y <<< "${line##*the chip is at }"
  wait_for window.log 'status=playing' 10 > /dev/null || { echo "the episode never played"; return 1; }
  local clicked; clicked=$(now)
  click "${x%.*}" "${y%.*}"
  wait_for window.log 'TRACK_HALFSCREEN' 3 "$clicked" > /dev/null || { echo "the click did not present the player"; return 1; }
  wait_for window.log 'the player.s top is at' 3 "$clicked" > /dev/null || { echo "the player never settled"; return 1; }
  echo "the player's top is at $(player_top)"
}

pause() {
  local top; top=$(player_top)
  playerctl --player=orvane --follow status > >(stamp > follow.log) 2>/dev/null &
  pids+=($!)
  wait_for follow.log ' Playing$' 5 > /dev/null || { echo "the media controls never said Playing"; cat follow.log; return 1; }
  local clicked paused said
  clicked=$(now)
  click "$CENTRE_X" $(( ${top%.*} + PLAY_BELOW_TOP ))
  paused=$(wait_for window.log 'component <- state: status=paused' 3 "$clicked") || { echo "the state never said paused"; return 1; }
  said=$(wait_for follow.log ' Paused$' 3 "$clicked") || { echo "the media controls never said Paused"; cat follow.log; return 1; }
  local toState toControls status
  toState=$(ms "$clicked" "${paused%% *}")
  toControls=$(ms "$clicked" "${said%% *}")
  status=$(playerctl --player=orvane status)
  echo "click to state paused: $toState ms; click to media controls Paused: $toControls ms; playerctl status: $status"
  [ "$toState" -le 100 ] && [ "$toControls" -le 100 ] && [ "$status" = Paused ]
}

play_at_end() {
  local top line position duration knob row clicked
  top=$(player_top); row=$(( ${top%.*} + SLIDER_BELOW_TOP ))
  line=$(wait_state 'duration > 0' 1) || { echo "no state with a position"; return 1; }
  line=$(grep 'component <- state:' window.log | grep ' position=' | tail -1)
  position=$(sed -n 's/.* position=\([0-9.]*\)\/\([0-9.]*\) s.*/\1/p' <<< "$line")
  duration=$(sed -n 's/.* position=\([0-9.]*\)\/\([0-9.]*\) s.*/\2/p' <<< "$line")
  knob=$(awk -v p="$position" -v d="$duration" -v l="$SLIDER_LEFT" -v r="$SLIDER_RIGHT" \
    'BEGIN { printf "%d", l + (r - l) * p / d }')
  clicked=$(now)
  drag "$knob" "$row" $(( SLIDER_RIGHT + 15 )) "$row" 6 0.03
  wait_state 'position >= duration - 0.5' 3 "$clicked" > /dev/null ||
    { echo "the slider did not bring the episode to its end"; grep 'state:' window.log | tail -3; return 1; }
  sleep 0.3
  clicked=$(now)
  click "$CENTRE_X" $(( ${top%.*} + PLAY_BELOW_TOP ))
  # Playing again from the start: a state playing within its first second,
  # then the position moving on.
  line=$(wait_state 'status == "playing" && position >= 0 && position < 1' 3 "$clicked") ||
    { echo "play at the end did not start the episode again"; grep 'state:' window.log | tail -3; return 1; }
  wait_state 'status == "playing" && position >= 0.5 && position < duration - 1' 3 "${line%% *}" > /dev/null ||
    { echo "the position did not move on"; grep 'state:' window.log | tail -3; return 1; }
}

expand() {
  local top clicked; top=$(player_top)
  clicked=$(now)
  # Slow: twenty moves 40 ms apart, from the title to near the window's top.
  drag "$CENTRE_X" $(( ${top%.*} + TITLE_BELOW_TOP )) "$CENTRE_X" 120 20 0.04
  wait_for window.log 'TRACK_FULLSCREEN' 3 "$clicked" > /dev/null || { echo "the drag did not bring the player to full screen"; return 1; }
  wait_for window.log 'the player.s top is at' 3 "$clicked" > /dev/null
  echo "the player's top is at $(player_top)"
}

# The band of the window below the player's top edge where the main page
# shows its artwork and the library its bar and header, into FILE.
band() { import -window "$window" -crop "390x120+0+$(( $2 + 60 ))" +repage "$1"; }
# How many pixels of two pictures differ by more than a little.
differing() { compare -metric AE -fuzz 10% "$1" "$2" null: 2>&1 | awk '{ printf "%d", $1 }'; }

swipe_back() {
  local top y away back
  top=$(player_top); top=${top%.*}
  [ "$top" -le 200 ] || { echo "the player is not at full screen"; return 1; }
  y=$(( top + 300 ))
  band main.png "$top"
  drag 40 "$y" 350 "$y" 8 0.02
  sleep 1  # the screen slides in
  band library.png "$top"
  drag 350 "$y" 40 "$y" 8 0.02
  sleep 1
  band back.png "$top"
  away=$(differing main.png library.png)
  back=$(differing main.png back.png)
  echo "pixels unlike the main screen's: $away on the library screen, $back after the drag back (of 46800)"
  [ "$away" -gt 10000 ] || { echo "the first drag did not page to the library screen"; return 1; }
  [ "$back" -lt 2000 ] || { echo "the drag over the library screen did not page back to the main screen"; return 1; }
}

# pixel X Y FILE: the pixel's red, green and blue (0-255).
pixel() {
  convert "$3" -format '%[fx:int(255*p{'"$1"','"$2"'}.r)] %[fx:int(255*p{'"$1"','"$2"'}.g)] %[fx:int(255*p{'"$1"','"$2"'}.b)]' info:
}
# blue X Y FILE: whether the pixel is the article header's blue, dimmed or not.
blue() {
  local r g b; read -r r g b <<< "$(pixel "$@")"
  [ "$r" -lt 80 ] && [ "$b" -gt $(( r + 40 )) ] && [ "$b" -gt "$g" ]
}

wheel() {
  local shot changed
  import -window "$window" before.png
  xdotool mousemove --window "$window" "$CENTRE_X" 500
  xdotool click --repeat 10 --delay 20 5
  # The page moves at once; polled briefly for the frame.
  for _ in $(seq 1 20); do
    sleep 0.1
    import -window "$window" after.png
    changed=$(compare -metric AE -fuzz 5% before.png after.png null: 2>&1 || true)
    [ "${changed%% *}" -gt 20000 ] 2>/dev/null && break
  done
  echo "pixels of the main page changed by ten wheel steps: $changed"
  [ "${changed%% *}" -gt 20000 ] 2>/dev/null || return 1
  # Back to the top, where a flick down on the top bar shrinks the sheet:
  # waited for until the page looks as it did before the steps down.
  xdotool click --repeat 12 --delay 20 4
  for _ in $(seq 1 30); do
    sleep 0.1
    import -window "$window" after.png
    changed=$(compare -metric AE -fuzz 5% before.png after.png null: 2>&1 || true)
    [ "${changed%% *}" -lt 20000 ] 2>/dev/null && return 0
  done
  echo "ten wheel steps up did not bring the page back to its top: $changed pixels differ"
  return 1
}

resize() {
  local top y ok=false
  xdotool windowsize "$window" 1024 768
  top=$(player_top)
  # Across the header, below the paper's name and above the bottom of the
  # sheet's top bar: blue | the sheet, 262 to 762 | blue.
  y=$(( ${top%.*} + 41 ))
  for _ in $(seq 1 30); do
    sleep 0.1
    import -window "$window" resized.png
    [ "$(identify -format '%wx%h' resized.png)" = 1024x768 ] || continue
    if blue 256 "$y" resized.png && ! blue 268 "$y" resized.png && ! blue 756 "$y" resized.png &&
       blue 768 "$y" resized.png && blue 950 "$y" resized.png; then ok=true; break; fi
  done
  echo "window $(identify -format '%wx%h' resized.png); at y=$y: x=256 $(pixel 256 "$y" resized.png)," \
    "x=268 $(pixel 268 "$y" resized.png), x=756 $(pixel 756 "$y" resized.png)," \
    "x=768 $(pixel 768 "$y" resized.png), x=950 $(pixel 950 "$y" resized.png)"
  $ok && CENTRE_X=512
}

dismiss() {
  local top clicked; top=$(player_top)
  if [ "${top%.*}" -gt 200 ]; then
    # Not at full screen (the drag of the step before failed): there by a
    # quick flick up from the handle above the sheet.
    clicked=$(now)
    drag "$CENTRE_X" $(( ${top%.*} - 20 )) "$CENTRE_X" 120 8 0.01
    wait_for window.log 'TRACK_FULLSCREEN' 3 "$clicked" > /dev/null || { echo "the player is not at full screen"; return 1; }
  fi
  sleep 0.5  # the sheet settles at full screen
  top=$(player_top)
  clicked=$(now)
  # A flick: ten quick moves down 400 points from the top bar.
  drag "$CENTRE_X" $(( ${top%.*} + 20 )) "$CENTRE_X" $(( ${top%.*} + 420 )) 10 0.01
  wait_for window.log 'no player is presented' 3 "$clicked" > /dev/null || { echo "the flick did not dismiss the player"; return 1; }
}

step chip chip
step pause pause
step play-at-end play_at_end
step expand expand
step swipe-back swipe_back
step resize resize
step wheel wheel
step dismiss dismiss

if [ ${#failed[@]} -gt 0 ]; then
  echo "failed steps: ${failed[*]}"
  echo "---- the host's output"; cat window.log
  exit 1
fi
