#!/usr/bin/env bash
# What keeping each worker's memory from file to file is worth on progressive photos: the
# 50 % resize of the MATE photos, progressive copies of the large baseline ones and one
# progressive 6000 x 4000 picture, against the matched codec floor (djpeg, then cjpeg
# -progressive for progressive sources, as processes), one file at a time and two at a
# time. Reports wall time, system time, minor page faults and peak memory of every row,
# and the faults of the largest file alone.
# Usage: bench/kept_memory_bench.sh [--program PATH] [--baseline PATH] [--repeats N]
#                                   [--instructions]
#   --program PATH   pixmora-batch to measure (default build/cli/pixmora-batch)
#   --baseline PATH  an earlier pixmora-batch measured beside it (for example one built
#                    from the commit before workers kept their memory)
#   --repeats N      best of N rounds for the wall times (default 3)
#   --instructions   also count instructions under callgrind (slow, but steady)
set -euo pipefail
cd "$(dirname "$0")/.."

program=build/cli/pixmora-batch
baseline=""
repeats=3
instructions=0
while [ $# -gt 0 ]; do
    case "$1" in
        --program) program=$2; shift 2 ;;
        --baseline) baseline=$2; shift 2 ;;
        --repeats) repeats=$2; shift 2 ;;
        --instructions) instructions=1; shift ;;
        -h|--help) sed -n '2,16p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
        *) echo "unknown argument $1" >&2; exit 2 ;;
    esac
done
for tool in djpeg cjpeg jpegtran convert identify xargs /usr/bin/time; do
    command -v "$tool" >/dev/null || { echo "missing $tool (scripts/setup.sh --bench)" >&2; exit 2; }
done
[ "$instructions" = 0 ] || command -v valgrind >/dev/null || { echo "missing valgrind" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/src" "$work/half" "$work/out"

# The photos: the MATE ones as they are, the baseline ones of 2560 pixels and more once
# more as progressive copies, and the largest scaled up to 6000 x 4000, progressive.
shopt -s globstar nullglob
for photo in /usr/share/backgrounds/mate/**/*.jpg; do
    cp "$photo" "$work/src/"
    read -r width interlace < <(identify -ping -format '%w %[interlace]\n' "$photo")
    if [ "$interlace" != JPEG ] && [ "$width" -ge 2560 ]; then
        jpegtran -progressive -copy all "$photo" >"$work/src/$(basename "$photo" .jpg)_progressive.jpg"
    fi
done
largest=$(ls -S /usr/share/backgrounds/mate/**/*.jpg | head -1)
convert "$largest" -resize '6000x4000!' -quality 92 -interlace JPEG "$work/src/Large_6000x4000.jpg"
photos=("$work"/src/*.jpg)
largest_photo=$work/src/Large_6000x4000.jpg

# The floor's half-size pictures, made beforehand; progressive outputs for progressive
# sources, as the program writes them.
declare -a scan
for i in "${!photos[@]}"; do
    convert "${photos[$i]}" -sample 50% "$work/half/$i.ppm"
    if [ "$(identify -ping -format '%[interlace]' "${photos[$i]}")" = JPEG ]; then
        scan[$i]=-progressive
    else
        scan[$i]=-baseline
    fi
done
floor_one() {  # INDEX PHOTO SCAN
    djpeg -dct float "$2" >/dev/null
    cjpeg -dct float -quality 90 -sample 2x2 "$3" "$work/half/$1.ppm" >"$work/out/floor$1.jpg"
}
export work
export -f floor_one
floor() {  # JOBS
    for i in "${!photos[@]}"; do printf '%s\0%s\0%s\0' "$i" "${photos[$i]}" "${scan[$i]}"; done |
        xargs -0 -n 3 -P "$1" bash -c 'floor_one "$0" "$1" "$2"'
}
pixmora() {  # PROGRAM JOBS FILE...
    local prog=$1 jobs=$2
    shift 2
    rm -rf "$work/out"/*
    "$prog" --jobs "$jobs" --ratio 50 --fixed-folder "$work/out" "$@" >/dev/null 2>&1
}

labels=()
commands=()
add_row() { labels+=("$1"); commands+=("$2"); }
add_row "pixmora --jobs 1" "pixmora $program 1 ${photos[*]}"
add_row "pixmora --jobs 2" "pixmora $program 2 ${photos[*]}"
if [ -n "$baseline" ]; then
    add_row "baseline --jobs 1" "pixmora $baseline 1 ${photos[*]}"
    add_row "baseline --jobs 2" "pixmora $baseline 2 ${photos[*]}"
fi
add_row "pixmora, largest file alone" "pixmora $program 1 $largest_photo"
add_row "matched floor, one at a time" "floor 1"
add_row "matched floor, two at a time" "floor 2"

calc() { awk "BEGIN { print $1 }"; }
load_before=$(cut -d' ' -f1-3 /proc/loadavg)
declare -a wall sys faults peak
for _ in $(seq "$repeats"); do
    for k in "${!commands[@]}"; do
        # %e wall, %S system seconds, %R minor faults, %M peak kB (of the largest process).
        read -r w s r m < <(/usr/bin/time -f '%e %S %R %M' bash -c "$(declare -f floor pixmora); \
            photos=(${photos[*]}); scan=(${scan[*]}); ${commands[$k]}" 2>&1 >/dev/null | tail -1)
        if [ -z "${wall[$k]:-}" ] || [ "$(calc "$w < ${wall[$k]}")" = 1 ]; then
            wall[$k]=$w
            sys[$k]=$s
            faults[$k]=$r
            peak[$k]=$m
        fi
    done
done
load_after=$(cut -d' ' -f1-3 /proc/loadavg)

floor1=${wall[$((${#commands[@]} - 2))]}
floor2=${wall[$((${#commands[@]} - 1))]}
echo "${#photos[@]} photos at 50 %, best of $repeats rounds; load average before $load_before, after $load_after"
printf '%-32s %8s %9s %8s %12s %10s\n' "" "wall s" "x floor" "sys s" "minor faults" "peak MB"
for k in "${!commands[@]}"; do
    case "${labels[$k]}" in
        *"--jobs 2"*|*"two at a time"*) ref=$floor2 ;;
        *) ref=$floor1 ;;
    esac
    printf '%-32s %8.3f %9.3f %8.2f %12d %10.1f\n' "${labels[$k]}" "${wall[$k]}" \
        "$(calc "${wall[$k]} / $ref")" "${sys[$k]}" "${faults[$k]}" "$(calc "${peak[$k]} / 1024")"
done
echo "(x floor: --jobs 2 and two at a time against the floor two at a time, the rest against one at a time;"
echo " the floor's faults and peak are of its bash and xargs and their children, summed and the largest)"

if [ "$instructions" = 1 ]; then
    count() {  # LABEL COMMAND...: instructions of every process, children included
        local label=$1 out=$work/callgrind
        shift
        rm -rf "$out" "$work/out"/* && mkdir -p "$out"
        valgrind --tool=callgrind --trace-children=yes --callgrind-out-file="$out/%p" "$@" \
            >/dev/null 2>&1 || true
        local total=0 n
        for f in "$out"/*; do
            n=$(grep -m1 '^summary:' "$f" | awk '{print $2}')
            total=$((total + ${n:-0}))
        done
        printf '%-32s %14.3f\n' "$label" "$(calc "$total / 1e9")"
    }
    echo
    printf '%-32s %14s\n' "instructions, one at a time" "10^9"
    count "pixmora --jobs 1" "$program" --jobs 1 --ratio 50 --fixed-folder "$work/out" "${photos[@]}"
    [ -z "$baseline" ] || count "baseline --jobs 1" "$baseline" --jobs 1 --ratio 50 \
        --fixed-folder "$work/out" "${photos[@]}"
    # The floor's processes one by one, each counted alone.
    floor_instructions=0
    for i in "${!photos[@]}"; do
        for step in "djpeg -dct float ${photos[$i]}" \
            "cjpeg -dct float -quality 90 -sample 2x2 ${scan[$i]} $work/half/$i.ppm"; do
            rm -f "$work/callgrind.floor"
            valgrind --tool=callgrind --callgrind-out-file="$work/callgrind.floor" $step \
                >/dev/null 2>&1 || true
            n=$(grep -m1 '^summary:' "$work/callgrind.floor" | awk '{print $2}')
            floor_instructions=$((floor_instructions + ${n:-0}))
        done
    done
    printf '%-32s %14.3f\n' "matched floor" "$(calc "$floor_instructions / 1e9")"
fi
