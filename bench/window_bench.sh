#!/usr/bin/env bash
# Times the main window, headless, against pixmora-batch in the same benchmark run: the 50 %
# resize of a set of photos through Start, and the drop of a folder of many small JPEG files;
# then the arrow keys held down a list of copies of the largest photo, with the longest the
# window's thread went unanswered meanwhile.
# Usage: bench/window_bench.sh [--build DIR] [--repeats N] [--count N] [--instructions]
#                              [--baseline PROG]
#                              [PHOTO...]
#   --build DIR     build folder holding cli/pixmora-batch and bench/window_bench (default build)
#   --repeats N     best of N runs, the batch and the window interleaved (default 3)
#   --count N       files in the dropped folder (default 10000), made once under
#                   DIR/bench/window_bench_cache
#   --instructions  also count the instructions of both runs under valgrind's callgrind:
#                   slow, but the same however busy the machine is
#   --baseline PROG another window_bench (built from an earlier commit) whose run is timed
#                   beside, for the window's run against the one before it
#   PHOTO...        JPEG files (default: the MATE background photos)
set -euo pipefail
cd "$(dirname "$0")/.."

build=build
repeats=3
count=10000
instructions=0
baseline=""
photos=()
while [ $# -gt 0 ]; do
    case "$1" in
        --build) build=$2; shift 2 ;;
        --repeats) repeats=$2; shift 2 ;;
        --count) count=$2; shift 2 ;;
        --instructions) instructions=1; shift ;;
        --baseline) baseline=$(realpath "$2"); shift 2 ;;
        -h|--help) sed -n '2,17p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
        *) photos+=("$1"); shift ;;
    esac
done
if [ ${#photos[@]} -eq 0 ]; then
    shopt -s globstar nullglob
    photos=(/usr/share/backgrounds/mate/**/*.jpg)
fi
[ ${#photos[@]} -gt 0 ] || { echo "no photos to resize" >&2; exit 2; }
batch=$build/cli/pixmora-batch
window=$build/bench/window_bench
for program in "$batch" "$window"; do
    [ -x "$program" ] || { echo "missing $program (build with PIXMORA_BUILD_UI=ON)" >&2; exit 2; }
done
export QT_QPA_PLATFORM=offscreen

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

calc() { awk "BEGIN { print $1 }"; }
smaller() { if [ -z "$1" ] || [ "$(calc "$2 < $1")" = 1 ]; then echo "$2"; else echo "$1"; fi; }
larger() { if [ -z "$1" ] || [ "$(calc "($2 > $1)")" = 1 ]; then echo "$2"; else echo "$1"; fi; }
load() { cut -d' ' -f1-3 /proc/loadavg; }

cores=$(nproc)
peak=()
[ -x /usr/bin/time ] && peak=(/usr/bin/time -f 'peak %M' -a -o "$work/peak")

# One run of each: "wall cpu" in seconds. The batch is timed as a whole process, with as many
# jobs as the window has workers; the window from the Start click until its run has
# returned and its events are handled, inside its own process, with N workers (one per
# online core) and with one, as it ran before its run had workers.
run_batch() {
    rm -rf "$work/batch"
    mkdir -p "$work/batch"  # the fixed folder must exist
    local wall user system
    read -r wall user system < <({ TIMEFORMAT='%R %U %S'
        time "$batch" --jobs "$cores" --ratio 50 --fixed-folder "$work/batch" "${photos[@]}" \
            >/dev/null 2>&1; } 2>&1)
    echo "$wall $(calc "$user + $system")"
}
# Prints "wall cpu gap_ms peak_kb preview preview_cpu" for a window run with $1 workers.
run_window() {
    rm -rf "$work/window" "$work/peak"
    local tag wall cpu tag2 gap tag3 preview preview_cpu kb=0
    "${peak[@]}" "$window" run --jobs "$1" "$work/window" "${photos[@]}" >"$work/window.out"
    { read -r tag wall cpu; read -r tag2 gap; read -r tag3 preview preview_cpu; } <"$work/window.out"
    [ "$tag" = run ] && [ "$tag2" = gap ] && [ "$tag3" = preview ] ||
        { echo "window run failed" >&2; exit 1; }
    [ -s "$work/peak" ] && kb=$(sed -n 's/^peak //p' "$work/peak")
    echo "$wall $cpu $gap $kb $preview $preview_cpu"
}

echo "load average before: $(load) on $cores cores"
echo "${#photos[@]} photos, ratio 50 %, best of $repeats runs, interleaved"
best_batch="" best_batch_cpu="" best_window="" best_window_cpu="" best_one="" best_one_cpu=""
worst_run_gap="" peak_n="" peak_one="" best_preview="" best_preview_cpu=""
for i in $(seq "$repeats"); do
    read -r wall cpu < <(run_batch)
    best_batch=$(smaller "$best_batch" "$wall")
    best_batch_cpu=$(smaller "$best_batch_cpu" "$cpu")
    read -r wall2 cpu2 gap2 kb2 preview preview_cpu < <(run_window "$cores")
    best_window=$(smaller "$best_window" "$wall2")
    best_window_cpu=$(smaller "$best_window_cpu" "$cpu2")
    worst_run_gap=$(larger "$worst_run_gap" "$gap2")
    peak_n=$(larger "$peak_n" "$kb2")
    best_preview=$(smaller "$best_preview" "$preview")
    best_preview_cpu=$(smaller "$best_preview_cpu" "$preview_cpu")
    read -r wall1 cpu1 gap1 kb1 _ _ < <(run_window 1)
    best_one=$(smaller "$best_one" "$wall1")
    best_one_cpu=$(smaller "$best_one_cpu" "$cpu1")
    peak_one=$(larger "$peak_one" "$kb1")
    printf '  run %d: pixmora-batch %.3f s (cpu %.3f), window %.3f s (cpu %.3f, gap %.1f ms),' \
        "$i" "$wall" "$cpu" "$wall2" "$cpu2" "$gap2"
    printf ' window with one worker %.3f s (cpu %.3f, gap %.1f ms)\n' "$wall1" "$cpu1" "$gap1"
    if [ -n "$baseline" ]; then
        rm -rf "$work/baseline"
        read -r _ wall0 cpu0 < <("$baseline" run "$work/baseline" "${photos[@]}" | head -n 1)
        best_baseline=$(smaller "${best_baseline:-}" "$wall0")
        printf '  run %d: baseline window %.3f s (cpu %.3f)\n' "$i" "$wall0" "$cpu0"
    fi
done
printf '%-32s %8s %8s\n' "" "wall s" "cpu s"
printf '%-32s %8.3f %8.3f\n' "pixmora-batch --jobs $cores" "$best_batch" "$best_batch_cpu"
printf '%-32s %8.3f %8.3f\n' "window (Start), $cores workers" "$best_window" "$best_window_cpu"
printf '%-32s %8.3f %8.3f\n' "window (Start), one worker" "$best_one" "$best_one_cpu"
printf '%-32s %8.3f %8.3f\n' "preview of line 0" "$best_preview" "$best_preview_cpu"
printf 'window / pixmora-batch: %.3f wall, %.3f cpu (goal <= 1.10 wall)\n' \
    "$(calc "$best_window / $best_batch")" "$(calc "$best_window_cpu / $best_batch_cpu")"
printf 'window %d workers / one worker: %.3f wall (no file is split: the largest alone bounds it)\n' \
    "$cores" "$(calc "$best_window / $best_one")"
if [ -n "$baseline" ]; then
    printf 'window / baseline window: %.3f wall, %.3f s against %.3f s (goal <= 0.60 on 2 cores\n' \
        "$(calc "$best_window / $best_baseline")" "$best_window" "$best_baseline"
    echo "  against the one-thread window)"
fi
printf 'longest gap of the window thread during a run, worst run: %.1f ms (goal <= 50 ms)\n' \
    "$worst_run_gap"
if [ "${peak_one:-0}" -gt 0 ]; then
    printf 'peak memory: %d KB with %d workers, %d KB with one: %.2f x (goal <= %d x)\n' \
        "$peak_n" "$cores" "$peak_one" "$(calc "$peak_n / $peak_one")" "$cores"
fi

# Instructions of every thread: the whole pixmora-batch process (its start-up and argument
# reading are a few million of billions), the window between the start of its run and the
# markers the window program passes after the run and after the preview.
if [ "$instructions" = 1 ]; then
    command -v valgrind >/dev/null || { echo "missing valgrind" >&2; exit 2; }
    totals() { sed -n 's/^totals: //p' "$1"; }
    rm -rf "$work/batch" "$work/window"
    mkdir -p "$work/batch"
    valgrind --tool=callgrind --callgrind-out-file="$work/cg.batch" \
        "$batch" --jobs "$cores" --ratio 50 --fixed-folder "$work/batch" "${photos[@]}" >/dev/null 2>&1
    batch_ir=$(totals "$work/cg.batch")
    valgrind --tool=callgrind --callgrind-out-file="$work/cg.window" \
        --dump-before='pixmora::TF_Main::RunBatch(*' --dump-before='*RunReturned*' \
        --dump-before='*PreviewReturned*' \
        "$window" run "$work/window" "${photos[@]}" >/dev/null 2>&1
    window_ir=$(totals "$work/cg.window.2")
    preview_ir=$(totals "$work/cg.window.3")
    echo
    printf '%-24s %14s\n' "" "instructions"
    printf '%-24s %14d\n' "pixmora-batch" "$batch_ir"
    printf '%-24s %14d\n' "window (Start)" "$window_ir"
    printf '%-24s %14d\n' "preview of line 0" "$preview_ir"
    printf 'window / pixmora-batch: %.3f\n' "$(calc "$window_ir / $batch_ir")"
fi

echo
echo "drop of a folder of $count small JPEG files, best of $repeats"
"$window" list "$build/bench/window_bench_cache" "${photos[0]}" "$count" "$repeats"

# Arrowing down copies of the largest photo (by pixels): the preview is made off the window's
# thread, so the window answers between the keys.
largest=""
largest_pixels=0
for photo in "${photos[@]}"; do
    read -r width height < <(identify -ping -format '%w %h\n' "$photo[0]")
    if [ $((width * height)) -gt "$largest_pixels" ]; then
        largest=$photo
        largest_pixels=$((width * height))
    fi
done
mkdir -p "$work/arrows"
for i in $(seq 8); do cp "$largest" "$work/arrows/photo_$i.jpg"; done
echo
echo "arrow keys every 40 ms down 8 copies of $(basename "$largest"), $repeats runs"
worst_gap="" best_last=""
for i in $(seq "$repeats"); do
    read -r tag keys gap last < <("$window" arrows "$work"/arrows/photo_*.jpg)
    [ "$tag" = arrows ] || { echo "window arrows failed" >&2; exit 1; }
    worst_gap=$(larger "$worst_gap" "$gap")
    best_last=$(smaller "$best_last" "$last")
    printf '  run %d: %d keys, longest gap %.1f ms, last line shown %.1f ms after its key\n' \
        "$i" "$keys" "$gap" "$last"
done
printf 'longest gap of the window thread while arrowing, worst run: %.1f ms (goal <= 50 ms)\n' \
    "$worst_gap"
printf 'last line shown %.1f ms after its key, best run\n' "$best_last"
echo "load average after: $(load)"
