#!/usr/bin/env bash
# Times the 50 % resize of a set of photos (load, decode, stretch, encode, save) against
# the libjpeg-turbo codec floor and other tools, and reports the peak memory of the run.
# Usage: bench/bench.sh [--program PATH | --driver PATH] [--repeats N] [PHOTO...]
#   --program PATH  pixmora-batch to time (default build/cli/pixmora-batch when built)
#   --driver PATH   a driver taking "RATIO OUTPUT_FOLDER FILE..." (default
#                   build/bench/resize_files when no pixmora-batch is built)
#   --repeats N     best of N runs for every timing (default 3)
#   PHOTO...        JPEG files (default: the MATE background photos)
set -euo pipefail
cd "$(dirname "$0")/.."

program=""
driver=""
repeats=3
photos=()
while [ $# -gt 0 ]; do
    case "$1" in
        --program) program=$2; shift 2 ;;
        --driver) driver=$2; shift 2 ;;
        --repeats) repeats=$2; shift 2 ;;
        -h|--help) sed -n '2,10p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
        *) photos+=("$1"); shift ;;
    esac
done
if [ -z "$program" ] && [ -z "$driver" ]; then
    if [ -x build/cli/pixmora-batch ]; then program=build/cli/pixmora-batch
    else driver=build/bench/resize_files; fi
fi
if [ ${#photos[@]} -eq 0 ]; then
    shopt -s globstar nullglob
    photos=(/usr/share/backgrounds/mate/**/*.jpg)
fi
[ ${#photos[@]} -gt 0 ] || { echo "no photos to resize" >&2; exit 2; }
for tool in djpeg cjpeg vips gm convert identify /usr/bin/time; do
    command -v "$tool" >/dev/null || { echo "missing $tool (scripts/setup.sh --bench)" >&2; exit 2; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/half" "$work/out"

run_pixmora() {
    rm -rf "$work/out"/*
    if [ -n "$program" ]; then
        "$program" --ratio 50 --fixed-folder "$work/out" "${photos[@]}" >/dev/null 2>&1
    else
        "$driver" 50 "$work/out" "${photos[@]}"
    fi
}

# The codec floor: a full floating-point decode of each source, and the encoding at
# quality 90, 4:2:0, of its half-size picture (made beforehand, outside the timing).
# The matched floor also encodes progressively where the source is progressive, as the
# program must.
i=0
progressive=()
for photo in "${photos[@]}"; do
    convert "$photo" -sample 50% "$work/half/$i.ppm"
    if [ "$(identify -ping -format '%[interlace]' "$photo[0]")" = JPEG ]; then
        progressive+=(-progressive)
    else
        progressive+=(-baseline)
    fi
    i=$((i + 1))
done
# The codec floor: decoding each photo and encoding its half-size picture. With "matched",
# progressive sources are encoded progressively, as the program must.
run_floor() {
    local i=0 scan_mode=()
    for photo in "${photos[@]}"; do
        [ "${1:-}" = matched ] && scan_mode=("${progressive[$i]}")
        djpeg -dct float "$photo" >/dev/null
        cjpeg -dct float -quality 90 -sample 2x2 "${scan_mode[@]}" "$work/half/$i.ppm" \
            >"$work/out/floor.jpg"
        i=$((i + 1))
    done
}
run_vips() { for p in "${photos[@]}"; do vips resize "$p" "$work/out/vips.jpg" 0.5 --kernel nearest; done; }
run_gm() { for p in "${photos[@]}"; do gm convert "$p" -sample 50% "$work/out/gm.jpg"; done; }
run_magick() { for p in "${photos[@]}"; do convert "$p" -sample 50% "$work/out/magick.jpg"; done; }

calc() { awk "BEGIN { print $1 }"; }

# Best of N runs: "wall cpu" in seconds, cpu being user + system time of all processes
# (steadier than wall time when other work shares the machine).
best_of() {
    local best_wall="" best_cpu="" wall user system cpu
    for _ in $(seq "$repeats"); do
        read -r wall user system < <({ TIMEFORMAT='%R %U %S'; time "$@" >/dev/null 2>&1; } 2>&1)
        cpu=$(calc "$user + $system")
        if [ -z "$best_wall" ] || [ "$(calc "$wall < $best_wall")" = 1 ]; then best_wall=$wall; fi
        if [ -z "$best_cpu" ] || [ "$(calc "$cpu < $best_cpu")" = 1 ]; then best_cpu=$cpu; fi
    done
    echo "$best_wall $best_cpu"
}

echo "${#photos[@]} photos, best of $repeats runs, ratio 50 %"
read -r pixmora pixmora_cpu < <(best_of run_pixmora)
read -r floor floor_cpu < <(best_of run_floor)
read -r matched matched_cpu < <(best_of run_floor matched)
read -r vips_time vips_cpu < <(best_of run_vips)
read -r gm_time gm_cpu < <(best_of run_gm)
read -r magick_time magick_cpu < <(best_of run_magick)

printf '%-30s %8s %10s %8s %10s\n' "" "wall s" "x pixmora" "cpu s" "x pixmora"
row() {
    printf '%-30s %8.3f %10.2f %8.3f %10.2f\n' "$1" "$2" "$(calc "$2 / $pixmora")" "$3" \
        "$(calc "$3 / $pixmora_cpu")"
}
row "pixmora ($(basename "${program:-$driver}"))" "$pixmora" "$pixmora_cpu"
row "codec floor (djpeg+cjpeg)" "$floor" "$floor_cpu"
row "matched floor (progressive)" "$matched" "$matched_cpu"
row "vips resize nearest" "$vips_time" "$vips_cpu"
row "gm convert -sample" "$gm_time" "$gm_cpu"
row "ImageMagick convert -sample" "$magick_time" "$magick_cpu"
printf 'pixmora / codec floor: %.3f wall, %.3f cpu\n' "$(calc "$pixmora / $floor")" \
    "$(calc "$pixmora_cpu / $floor_cpu")"
printf 'pixmora / matched floor: %.3f wall, %.3f cpu\n' "$(calc "$pixmora / $matched")" \
    "$(calc "$pixmora_cpu / $matched_cpu")"

# Peak memory of one run against the largest decoded picture (width x height x 3).
rm -rf "$work/out"/*
if [ -n "$program" ]; then
    peak_kb=$(/usr/bin/time -f %M "$program" --ratio 50 --fixed-folder "$work/out" "${photos[@]}" 2>&1 >/dev/null | tail -1)
else
    peak_kb=$(/usr/bin/time -f %M "$driver" 50 "$work/out" "${photos[@]}" 2>&1 >/dev/null | tail -1)
fi
largest=0
largest_name=""
for photo in "${photos[@]}"; do
    read -r width height < <(identify -ping -format '%w %h\n' "$photo[0]")
    bytes=$((width * height * 3))
    if [ "$bytes" -gt "$largest" ]; then largest=$bytes; largest_name=$(basename "$photo"); fi
done
printf 'peak RSS %.1f MB; largest decoded picture %.1f MB (%s); ratio %.2f\n' \
    "$(calc "$peak_kb / 1024")" "$(calc "$largest / 1048576")" "$largest_name" \
    "$(calc "$peak_kb * 1024 / $largest")"
