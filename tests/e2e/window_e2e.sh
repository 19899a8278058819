#!/usr/bin/env bash
# Drives the real pixmora window on an X server with a window manager, as a person would:
# first start, a source folder typed and browsed, a run at 25 %, closing through the window
# manager, and a restart at the same place and size.
# Then, with the program built for a site on loopback port PORT that serves a newer version:
# the update dialog ten seconds after start, and its download answer.
# Usage: window_e2e.sh PIXMORA_BINARY SCREENSHOT_FOLDER [LOOPBACK_PIXMORA PORT]
set -euo pipefail

pixmora=$(realpath "$1")
shots=$(realpath -m "$2")
loopback_pixmora=${3:+$(realpath "$3")}
port=${4:-}
mkdir -p "$shots"

work=$(mktemp -d)
export HOME=$work/home
unset XDG_DATA_HOME XDG_CONFIG_HOME DISPLAY QT_QPA_PLATFORM WAYLAND_DISPLAY
mkdir -p "$HOME"
photos=$work/Holidays
mkdir -p "$photos"
for f in nature/FreshFlower.jpg desktop/GreenTraditional.jpg nature/GreenMeadow.jpg \
         nature/Aqua.jpg nature/Garden.jpg; do
    cp "/usr/share/backgrounds/mate/$f" "$photos/"
done
settings=$HOME/.local/share/_data_Pixmora/datas.ini

pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    [ -n "${DISPLAY:-}" ] && import -window root "$shots/window_failure.png" 2>/dev/null || true
    exit 1
}

# Xvfb picks a free display itself and writes its number once it is ready.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
pids+=($!)
for _ in $(seq 300); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
export DISPLAY=:$(head -n 1 "$work/display")
openbox >"$work/openbox.log" 2>&1 &
pids+=($!)
sleep 1

# Waits (up to $2 s) for a visible window named exactly $1 and prints its id.
wait_window() {
    local name=$1 limit=${2:-20} id
    for _ in $(seq $((limit * 10))); do
        id=$(xdotool search --onlyvisible --name "^${name}\$" 2>/dev/null | head -n 1 || true)
        if [ -n "$id" ]; then echo "$id"; return 0; fi
        sleep 0.1
    done
    return 1
}

# Client-area origin of window $1: "X Y".
origin() {
    xwininfo -id "$1" | awk '/Absolute upper-left X/ {x=$NF} /Absolute upper-left Y/ {y=$NF} END {print x, y}'
}
size() {
    xwininfo -id "$1" | awk '/^  Width/ {w=$NF} /^  Height/ {h=$NF} END {print w, h}'
}

# Clicks at client coordinates ($2, $3) of window $1.
click_at() {
    local ox oy
    read -r ox oy < <(origin "$1")
    xdotool mousemove --sync $((ox + $2)) $((oy + $3)) click 1
}

# Colour of the screen pixel at client coordinates ($2, $3) of window $1.
pixel_at() {
    local ox oy
    read -r ox oy < <(origin "$1")
    import -display "$DISPLAY" -window root -crop "1x1+$((ox + $2))+$((oy + $3))" -depth 8 txt:- \
        | awk 'NR == 2 {print $3}'
}

start_pixmora() {
    "${1:-$pixmora}" >"$work/pixmora.log" 2>&1 &
    pixmora_pid=$!
    pids+=("$pixmora_pid")
    window=$(wait_window Pixmora 30) || fail "no window titled Pixmora"
}

# --- First start -------------------------------------------------------------------------
start_pixmora
printf '[integer]\r\nratio=100\r\nfolder=0\r\n[string]\r\nfolder_dest=\r\n' >"$work/first.ini"
for _ in $(seq 50); do cmp -s "$settings" "$work/first.ini" && break; sleep 0.1; done
cmp -s "$settings" "$work/first.ini" ||
    fail "first-start datas.ini differs: $(od -c "$settings" 2>&1 | head)"
echo "first start: datas.ini as expected"

# Somewhere else than where the window manager put it, and larger.
for _ in $(seq 20); do
    xdotool windowmove "$window" 140 110 windowsize "$window" 640 560
    sleep 0.3
    [ "$(size "$window")" = "640 560" ] && break
done
[ "$(size "$window")" = "640 560" ] || fail "the window could not be resized: $(size "$window")"

# --- The source folder, typed, then its browse button pressed and the picker cancelled ---
# The folder box lies at (164, 26) in the client area, 53 px wide at the designed size; it
# grows with the window's width (640 - 484).
box_right=$((164 + 53 + 640 - 484))
click_at "$window" 180 34
xdotool key --clearmodifiers ctrl+a
xdotool type --delay 5 "$photos"
click_at "$window" $((box_right - 8)) 34
picker=""
for _ in $(seq 100); do
    picker=$(xdotool search --onlyvisible --name 'Pixmora|Select|Find|Directory|Folder' 2>/dev/null | grep -v "^$window\$" | head -n 1 || true)
    [ -n "$picker" ] && break
    sleep 0.1
done
[ -n "$picker" ] || fail "the folder picker did not open"
sleep 0.5
xdotool key Escape
sleep 1
echo "source folder browsed and the picker cancelled"

# --- Ratio 25 and Start --------------------------------------------------------------------
# Right-hand controls follow the window's right edge, the bottom strips its lower edge.
dx=$((640 - 484))
dy=$((560 - 509))
click_at "$window" $((415 + 20 + dx)) 252
xdotool key --clearmodifiers ctrl+a
xdotool type --delay 20 "25"
bar_before=$(pixel_at "$window" $((470 + dx)) $((480 + dy)))
click_at "$window" $((231 + 39 + dx)) 369

count=$(ls "$photos"/*.jpg | wc -l)
out=$photos/Holidays
done_run=""
for _ in $(seq 600); do
    n=$(ls "$out" 2>/dev/null | grep -c '\.jpg$' || true)
    if [ "$n" -eq "$count" ] && [ "$(pixel_at "$window" $((470 + dx)) $((480 + dy)))" != "$bar_before" ]; then
        done_run=1
        break
    fi
    sleep 0.1
done
[ -n "$done_run" ] || fail "the run did not reach processing $count / $count"
sleep 1
import -display "$DISPLAY" -window root -crop "$(size "$window" | tr ' ' x)+$(origin "$window" | tr ' ' +)" \
    "$shots/window_after_run.png"
echo "run finished: $count outputs; screenshot $shots/window_after_run.png"

for f in "$photos"/*.jpg; do
    name=$(basename "$f")
    read -r w h < <(identify -format '%w %h\n' "$f")
    read -r ow oh < <(identify -format '%w %h\n' "$out/$name")
    [ "$ow" -eq $((w * 25 / 100)) ] && [ "$oh" -eq $((h * 25 / 100)) ] ||
        fail "$name: ${ow}x${oh}, expected $((w * 25 / 100))x$((h * 25 / 100))"
    echo "  $name: ${w}x${h} -> ${ow}x${oh}"
done

# --- Closing through the window manager ---------------------------------------------------
read -r before_x before_y < <(origin "$window")
read -r before_w before_h < <(size "$window")
xdotool windowactivate --sync "$window" key --clearmodifiers alt+F4
for _ in $(seq 100); do kill -0 "$pixmora_pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$pixmora_pid" 2>/dev/null && fail "pixmora did not end when its window was closed"
wait "$pixmora_pid" || fail "pixmora ended with status $?"
grep -q $'^\[F_Main\]\r$' "$settings" || fail "no F_Main section: $(cat "$settings")"
grep -q $'^folder='"$photos"$'\r$' "$settings" || fail "source folder not saved"
grep -q $'^ratio=25\r$' "$settings" || fail "ratio not saved"
keys=$(sed -n '/^\[F_Main\]/,/^\[/p' "$settings" | grep '=' | cut -d= -f1 | sed 's/([0-9]*x[0-9]*)/(WxH)/' | tr '\r\n' '  ')
[ "$keys" = "FormVersion Flags ShowCmd PixelsPerInch MinMaxPos(WxH) MinMaxPos NormPos(WxH) NormPos Visible " ] ||
    fail "F_Main keys: $keys"
echo "closed: settings and placement written"

# --- Restart at the same place and size ---------------------------------------------------
start_pixmora
sleep 1.5
read -r after_x after_y < <(origin "$window")
read -r after_w after_h < <(size "$window")
[ "$after_x $after_y $after_w $after_h" = "$before_x $before_y $before_w $before_h" ] ||
    fail "came back at $after_x,$after_y ${after_w}x$after_h, closed at $before_x,$before_y ${before_w}x$before_h"
echo "restarted at $after_x,$after_y ${after_w}x$after_h as closed"

# --- A run of large photos while the desktop pings the window ---------------------------
# The window must answer the window manager's pings throughout: the photos are resized by
# workers, never on the window's thread.
large=$work/Large
mkdir -p "$large"
for i in 1 2 3 4 5 6; do cp /usr/share/backgrounds/mate/abstract/Elephants_5640x3172.jpg "$large/e$i.jpg"; done
click_at "$window" 180 34
xdotool key --clearmodifiers ctrl+a
xdotool type --delay 5 "$large"
click_at "$window" $((box_right - 8)) 34
sleep 1.5
xdotool key Escape
sleep 1
/usr/bin/python3 "$(dirname "$0")/wm_ping.py" "$window" 12 >"$work/ping.txt" &
ping_pid=$!
pids+=("$ping_pid")
sleep 0.3
click_at "$window" $((231 + 39 + dx)) 369
done_run=""
for _ in $(seq 600); do
    n=$(ls "$large/Large" 2>/dev/null | grep -c '\.jpg$' || true)
    [ "$n" -eq 6 ] && { done_run=1; break; }
    sleep 0.1
done
[ -n "$done_run" ] || fail "the run of large photos did not write its 6 outputs"
wait "$ping_pid" || fail "the pings failed: $(cat "$work/ping.txt")"
read -r _ pings _ longest <"$work/ping.txt"
echo "run of 6 large photos: $pings pings, the longest answered in $longest ms"
[ "$pings" -ge 10 ] || fail "only $pings pings answered"
awk -v l="$longest" 'BEGIN { exit !(l <= 250) }' ||
    fail "the window took $longest ms to answer the desktop during a run (limit 250 ms)"
xdotool windowactivate --sync "$window" key --clearmodifiers alt+F4
for _ in $(seq 100); do kill -0 "$pixmora_pid" 2>/dev/null || break; sleep 0.1; done
wait "$pixmora_pid" || fail "pixmora ended with status $?"

# --- The update check against a site that publishes V2.1 ----------------------------------
if [ -n "$loopback_pixmora" ]; then
    site=$work/site
    mkdir -p "$site/tolvek/Pixmora" "$work/bin"
    printf 'V2.1' >"$site/tolvek/Pixmora/Pixmora.ver"
    python3 -m http.server "$port" --bind 127.0.0.1 --directory "$site" >"$work/site.log" 2>&1 &
    pids+=($!)
    for _ in $(seq 100); do
        (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null && break
        sleep 0.1
    done
    # The desktop's opener, recording what it is asked to open.
    printf '#!/bin/sh\necho "$@" >>"%s"\n' "$work/opened" >"$work/bin/xdg-open"
    chmod +x "$work/bin/xdg-open"
    export PATH=$work/bin:$PATH

    started=$(date +%s)
    start_pixmora "$loopback_pixmora"
    # The ratio typed now must survive the download answer.
    click_at "$window" $((415 + 20 + dx)) 252
    xdotool key --clearmodifiers ctrl+a
    xdotool type --delay 20 "33"
    dialog=$(wait_window 'Update \.\.\.' 40) || fail "no update dialog"
    waited=$(($(date +%s) - started))
    [ "$waited" -ge 9 ] || fail "the update dialog came after $waited s, not about 10"
    sleep 0.5
    import -window "$dialog" "$shots/update_dialog.png"
    echo "update dialog after $waited s"
    # "Check update now ..." at (10, 131), 191 x 37.
    click_at "$dialog" 105 149
    for _ in $(seq 100); do kill -0 "$pixmora_pid" 2>/dev/null || break; sleep 0.1; done
    kill -0 "$pixmora_pid" 2>/dev/null && fail "pixmora did not end after the download answer"
    wait "$pixmora_pid" || fail "pixmora ended with status $? after the download answer"
    [ "$(cat "$work/opened" 2>/dev/null)" = "http://127.0.0.1:$port/tolvek/Pixmora/Pixmora.exe" ] ||
        fail "the opener received: $(cat "$work/opened" 2>/dev/null)"
    grep -q $'^ratio=33\r$' "$settings" || fail "the ratio was not saved: $(cat "$settings")"
    echo "download answer: the download page opened, settings saved, status 0"
fi
echo "1 passed, 0 failed"
