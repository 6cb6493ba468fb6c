#!/usr/bin/env bash
# The demo host's real window driven as a listener drives it, with the
# pointer (xdotool) on a virtual display, watched through the desktop's media
# controls (playerctl) on a private session bus, its sound going to a private
# sound server with a null sink (pulseaudio, where it is installed; without
# it the host's output only keeps time). Run under xvfb-run by CTest:
#
#   demo-listener-under-xvfb.sh <orvane-demo-host>
#
# Steps, each reported as passed, failed or skipped (the test fails when one
# fails):
#   chip          a click on the chip presents the player at its preview height
#   pause         a click on pause while the episode plays: the component's
#                 state says paused within 100 ms of the click, and so do the
#                 media controls (a follower's line, and `playerctl status`)
#   play-at-end   the slider dragged to its end, then a click on play: the
#                 episode plays again from its start
#   skip-then-slider
#                 with the sound server (skipped without one), three rounds
#                 of: two seconds into the episode, a click on skip back
#                 (it rewinds to the start and plays on), then at once the
#                 slider's knob dragged to the slider's middle while it
#                 plays; the episode plays to its end: the widget is told it
#                 ended (`emit('end')` among what the component sends it),
#                 the position reaches the duration, the component's last
#                 state is not playing, and the media controls no longer say
#                 Playing a second after the end; then a click on play plays
#                 it again from its start. Prints the times from the drag to
#                 the end and the last position
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
# distances below that edge (its layout at 390 by 844 points; skip back
# stands left of play, on its row). Every line the host prints is stamped
# with the time it arrived, so latencies are measured against the moment of
# the click. Exits 77 (skipped) where a tool is missing.
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
# Skip back's centre, left of the play button's (same row): half the play
# button (32), the space between them (36) and half skip back (22).
readonly SKIP_BACK_LEFT_OF_PLAY=90
# The window's middle (it changes when the window is resized).
CENTRE_X=195

# Each line a program prints, prefixed with the time it arrived.
stamp() { while IFS= read -r line; do printf '%s %s\n' "$EPOCHREALTIME" "$line"; done; }
now() { echo "$EPOCHREALTIME"; }
ms() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%d", (b - a) * 1000 }'; }
# apart A B: "N ms after" or "N ms before", B against A.
apart() { awk -v a="$1" -v b="$2" 'BEGIN { d = (b - a) * 1000; printf "%d ms %s", (d < 0 ? -d : d), (d < 0 ? "before" : "after") }'; }

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

# ---- a private session bus ----
read -r bus_address bus_pid < <(dbus-daemon --session --fork --print-address=1 --print-pid=1 | paste -s -d ' ')
[ -n "${bus_pid:-}" ] || { echo "dbus-daemon did not start"; exit 1; }
pids+=("$bus_pid")
export DBUS_SESSION_BUS_ADDRESS=$bus_address XDG_RUNTIME_DIR=$work

# ---- a private sound server with a null sink, where pulseaudio is installed ----
# Its own daemon (no system service, no session bus) in its own runtime
# folder, as the sound server of the audio output's tests; the host's sound
# goes to its null sink. Without pulseaudio the host finds no server and its
# output only keeps time.
sound=$work/sound
if command -v pulseaudio >/dev/null; then
  mkdir -p "$sound/home"
  env -i HOME="$sound/home" XDG_RUNTIME_DIR="$sound" PULSE_RUNTIME_PATH="$sound/runtime" PATH="$PATH" \
    pulseaudio --daemonize=no -n --exit-idle-time=-1 --use-pid-file=false --disable-shm=true --log-target=stderr \
    --load="module-native-protocol-unix socket=$sound/native auth-anonymous=1" \
    --load="module-null-sink sink_name=orvane_listener rate=48000 channels=2" \
    --load="module-suspend-on-idle timeout=1" > "$sound/daemon.log" 2>&1 &
  pids+=($!)
  # It listens once its socket exists.
  for _ in $(seq 1 100); do [ -S "$sound/native" ] && break; sleep 0.05; done
  [ -S "$sound/native" ] || { echo "the sound server did not start"; cat "$sound/daemon.log"; exit 1; }
  export PULSE_SERVER=unix:$sound/native
  echo "a sound server with a null sink at $PULSE_SERVER"
else
  sound=
  export PULSE_SERVER=unix:$work/no-sound-server
  echo "no sound server (pulseaudio is not installed): the host's output keeps time without sound"
fi

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
# step NAME FUNCTION: runs it and says whether it passed, failed, or was
# skipped (it returned 77).
step() {
  local name=$1 status; shift
  echo "== $name"
  "$@"; status=$?
  case $status in
    0) echo "== $name: passed" ;;
    77) echo "== $name: skipped" ;;
    *) echo "== $name: FAILED"; failed+=("$name") ;;
  esac
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

# status, position and duration of a state line the component received
# (position and duration -1 where it has none).
state_of() {
  awk '{ status = $0; sub(/.* status=/, "", status); sub(/ .*/, "", status)
         position = duration = -1
         if (match($0, / position=[0-9.e+-]+\/[0-9.e+-]+ s/)) {
           split(substr($0, RSTART + 10, RLENGTH - 12), p, "/"); position = p[1] + 0; duration = p[2] + 0
         }
         print status, position, duration }' <<< "$1"
}
last_state() { grep 'component <- state:' window.log | tail -1; }

# One round of skip-then-slider, from playing at the preview height back to
# playing there from the start.
skip_then_slider_round() {
  local top line status position duration clicked rewound knob middle dragged after target
  top=$(player_top); top=${top%.*}
  # Playing, two seconds in, so that skip back rewinds it while it plays.
  read -r status _ _ <<< "$(state_of "$(last_state)")"
  if [ "$status" != playing ]; then
    clicked=$(now)
    click "$CENTRE_X" $(( top + PLAY_BELOW_TOP ))
    wait_state 'status == "playing"' 3 "$clicked" > /dev/null || { echo "play did not play the episode"; return 1; }
  fi
  line=$(wait_state 'status == "playing" && position >= 2 && position < duration - 10' 10 "$(now)") ||
    { echo "the episode did not play on"; grep 'state:' window.log | tail -3; return 1; }
  read -r _ position duration <<< "$(state_of "$line")"
  # The host's sound goes to the sound server (it says when none answers).
  if grep -q 'Audio output: no sound server answered' window.log; then
    echo "the host found no sound server:"; grep 'Audio output:' window.log; return 1
  fi
  echo "playing at $position of $duration s; streams on the null sink: $(pactl list sink-inputs short 2>/dev/null | wc -l)"

  # Skip back: to the start, playing on (30 s back from a few seconds in).
  clicked=$(now)
  click $(( CENTRE_X - SKIP_BACK_LEFT_OF_PLAY )) $(( top + PLAY_BELOW_TOP ))
  rewound=$(wait_state 'status == "playing" && position >= 0 && position < 1' 3 "$clicked") ||
    { echo "skip back did not rewind the episode while it played"; grep 'state:' window.log | tail -3; return 1; }
  read -r status position duration <<< "$(state_of "$(last_state)")"
  echo "skip back: $(ms "$clicked" "${rewound%% *}") ms after the click the state said" \
    "$(state_of "$rewound" | cut -d' ' -f1,2) s; at the drag: $status at $position s"
  [ "$status" = playing ] || { echo "not playing before the drag"; return 1; }

  # At once, while it plays on from the start: the slider's knob, where the
  # latest position puts it, dragged to the middle.
  knob=$(awk -v p="$position" -v d="$duration" -v l="$SLIDER_LEFT" -v r="$SLIDER_RIGHT" \
    'BEGIN { printf "%d", l + (r - l) * p / d }')
  middle=$(( (SLIDER_LEFT + SLIDER_RIGHT) / 2 ))
  drag "$knob" $(( top + SLIDER_BELOW_TOP )) "$middle" $(( top + SLIDER_BELOW_TOP )) 6 0.03
  dragged=$(now)
  echo "the drag ended $(ms "$clicked" "$dragged") ms after the click on skip back"
  after=$(wait_state 'position >= duration / 3 && position <= duration * 2 / 3' 3 "$dragged") ||
    { echo "the drag did not bring the episode to its middle"; grep 'state:' window.log | tail -3; return 1; }
  read -r status target _ <<< "$(state_of "$after")"
  echo "the drag to the middle: the position $target s ($status) $(ms "$dragged" "${after%% *}") ms after it"

  # To its end: the widget is told it ended, the component's state stops
  # playing at the duration, and the media controls stop saying Playing.
  # When the sound should end: from the drag, what was left of the episode.
  local due ended endedAt last lastStatus lastPosition reached said controls ok=true
  due=$(awk -v a="${after%% *}" -v p="$target" -v d="$duration" 'BEGIN { printf "%.6f", a + d - p }')
  ended=$(wait_for window.log "crossStackHandler[.]emit[(]'end'[)]" $(( ${duration%.*} - ${target%.*} + 8 )) "$dragged")
  endedAt=${ended%% *}
  [ -n "$ended" ] || endedAt=$due
  # What the media controls say a second and a half after the end.
  sleep "$(awk -v e="$endedAt" -v n="$(now)" 'BEGIN { w = e + 1.5 - n; printf "%.3f", (w > 0 ? w : 0) }')"
  controls=$(playerctl --player=orvane status 2>&1)
  # Nothing is due: the host's streams on the sound server stand still, and
  # the sink rests (suspended a second after its last stream stopped).
  local uncorked sink
  uncorked=$(LC_ALL=C pactl list sink-inputs 2>/dev/null | grep -c 'Corked: no')
  sink=$(LC_ALL=C pactl list short sinks 2>/dev/null | awk '$2 == "orvane_listener" { print $NF }')
  # The media controls' last word by a second after the end.
  said=$(awk -v d="$dragged" -v e="$endedAt" '$1 > d && $1 <= e + 1 { said = $0 } END { print said }' follow.log)
  last=$(last_state)
  read -r lastStatus lastPosition _ <<< "$(state_of "$last")"
  reached=$(awk -v a="$dragged" '$1 > a && /component <- state:/ && match($0, / position=[0-9.e+-]+\//) {
      p = substr($0, RSTART + 10, RLENGTH - 11) + 0; if (p > m) m = p } END { print m + 0 }' window.log)
  if [ -n "$ended" ]; then
    echo "the widget was told the episode ended $(ms "$dragged" "$endedAt") ms after the drag" \
      "($(ms "$due" "$endedAt") ms after the sound should have ended)"
  else
    echo "the widget was never told the episode ended ($(ms "$due" "$(now)") ms after the sound should have ended)"
    ok=false
  fi
  echo "the furthest position after the drag: $reached of $duration s; the last state: $lastStatus at $lastPosition s" \
    "($(ms "${last%% *}" "$(now)") ms ago)"
  if [ -n "$said" ]; then
    echo "the media controls' last word by a second after the end: ${said##* }, said" \
      "$(apart "$endedAt" "${said%% *}") the end; playerctl status $(ms "$endedAt" "$(now)") ms after it: $controls"
  else
    echo "the media controls said nothing from the drag to a second after the end;" \
      "playerctl status $(ms "$endedAt" "$(now)") ms after it: $controls"
  fi
  echo "a second and a half after the end: $uncorked streams uncorked on the sound server, its sink $sink"
  [ "$uncorked" = 0 ] || { echo "a stream still plays on the sound server after the end"; ok=false; }
  [ "$sink" = SUSPENDED ] || { echo "the sink does not rest after the end"; ok=false; }
  [ "$lastStatus" != playing ] || { echo "the component's state still says playing"; ok=false; }
  awk -v r="$reached" -v d="$duration" 'BEGIN { exit !(r >= d - 0.05) }' ||
    { echo "the position never reached the duration"; ok=false; }
  [ -n "$said" ] && [ "${said##* }" != Playing ] && [ "$controls" != Playing ] ||
    { echo "the media controls still said Playing a second after the end"; ok=false; }
  $ok || { grep 'state:\|emit' window.log | tail -6; return 1; }

  # As the steps after this one expect it: playing again, from the start.
  clicked=$(now)
  click "$CENTRE_X" $(( top + PLAY_BELOW_TOP ))
  wait_state 'status == "playing" && position >= 0.5 && position < duration - 1' 3 "$clicked" > /dev/null ||
    { echo "play at the end did not play the episode again"; grep 'state:' window.log | tail -3; return 1; }
}

# What a seek made while the episode plays leaves behind can depend on when
# the sound server answers it: the listener does it three times.
readonly SKIP_THEN_SLIDER_ROUNDS=3
skip_then_slider() {
  [ -n "$sound" ] || { echo "no sound server (pulseaudio is not installed)"; return 77; }
  local round
  for round in $(seq 1 "$SKIP_THEN_SLIDER_ROUNDS"); do
    echo "round $round of $SKIP_THEN_SLIDER_ROUNDS"
    skip_then_slider_round || return 1
  done
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
step skip-then-slider skip_then_slider
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
