#!/usr/bin/env bash
# Times pixmora-batch --filter lanczos and --filter nearest at 25 % against vipsthumbnail
# (one process per file, one thread, quality 90, 4:2:0) on the same files in the same run,
# and measures the quality of each against a Lanczos-3 reduction of the full-size decode
# (vips reduce --kernel lanczos3): PSNR per photo, and on a synthetic zone plate.
# Usage: bench/filter_bench.sh [--program PATH] [--repeats N] [--ratio N] [PHOTO...]
#   --program PATH  pixmora-batch to time (default build/cli/pixmora-batch)
#   --repeats N     best of N rounds for every timing (default 3)
#   --ratio N       percent (default 25)
#   PHOTO...        JPEG files (default: the MATE background photos)
set -euo pipefail
cd "$(dirname "$0")/.."

program=build/cli/pixmora-batch
repeats=3
ratio=25
photos=()
while [ $# -gt 0 ]; do
    case "$1" in
        --program) program=$2; shift 2 ;;
        --repeats) repeats=$2; shift 2 ;;
        --ratio) ratio=$2; shift 2 ;;
        -h|--help) sed -n '2,10p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
        *) photos+=("$1"); shift ;;
    esac
done
if [ ${#photos[@]} -eq 0 ]; then
    shopt -s globstar nullglob
    photos=(/usr/share/backgrounds/mate/**/*.jpg)
fi
[ ${#photos[@]} -gt 0 ] || { echo "no photos to resize" >&2; exit 2; }
[ -x "$program" ] || { echo "no $program: build pixmora-batch first" >&2; exit 2; }
# ImageMagick's own compare, not a wrapper that may stand first on the PATH.
compare=/usr/bin/compare
[ -x "$compare" ] || compare=compare
for tool in vips vipsthumbnail vipsheader "$compare"; do
    command -v "$tool" >/dev/null || { echo "missing $tool (scripts/setup.sh --bench)" >&2; exit 2; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
calc() { awk "BEGIN { print $1 }"; }
load_before=$(cut -d' ' -f1-3 /proc/loadavg)

# pixmora-batch writes FOLDER/<the source's folder name>/<its name>.
pixmora_run() {  # FILTER OUTPUT_FOLDER FILE...
    local filter=$1 out=$2
    shift 2
    rm -rf "$out"
    mkdir -p "$out"
    "$program" --jobs 1 --ratio "$ratio" --filter "$filter" --fixed-folder "$out" "$@"
}
pixmora_output() {  # OUTPUT_FOLDER FILE
    echo "$1/$(basename "$(dirname "$2")")/$(basename "$2")"
}

# The target sizes are those pixmora-batch writes, so that every tool makes the same size.
pixmora_run lanczos "$work/lanczos" "${photos[@]}" >/dev/null 2>&1
sizes=()
for photo in "${photos[@]}"; do
    sizes+=("$(vipsheader -f width "$(pixmora_output "$work/lanczos" "$photo")")x$(vipsheader -f \
        height "$(pixmora_output "$work/lanczos" "$photo")")")
done

# vipsthumbnail at the same size (forced, so that neither side is rounded otherwise), one
# thread, the orientation left as stored as pixmora-batch does.
vips_one() {  # INDEX
    VIPS_CONCURRENCY=1 vipsthumbnail "${photos[$1]}" --no-rotate -s "${sizes[$1]}!" \
        -o "$work/vips/$1.jpg[Q=90,subsample-mode=on]"
}
run_vips() {
    mkdir -p "$work/vips"
    local i
    for i in "${!photos[@]}"; do vips_one "$i"; done
}
run_lanczos() { pixmora_run lanczos "$work/lanczos" "${photos[@]}"; }
run_nearest() { pixmora_run nearest "$work/nearest" "${photos[@]}"; }

labels=("pixmora --filter lanczos" "pixmora --filter nearest" "vipsthumbnail, one thread")
commands=(run_lanczos run_nearest run_vips)
best_wall=()
best_cpu=()
# Each round runs every row once in turn, so that a change of load touches all alike.
for _ in $(seq "$repeats"); do
    for k in "${!commands[@]}"; do
        read -r wall user system < <({
            TIMEFORMAT='%R %U %S'
            time ${commands[$k]} >/dev/null 2>&1
        } 2>&1)
        cpu=$(calc "$user + $system")
        if [ -z "${best_wall[$k]:-}" ] || [ "$(calc "$wall < ${best_wall[$k]}")" = 1 ]; then
            best_wall[$k]=$wall
        fi
        if [ -z "${best_cpu[$k]:-}" ] || [ "$(calc "$cpu < ${best_cpu[$k]}")" = 1 ]; then
            best_cpu[$k]=$cpu
        fi
    done
done

echo "${#photos[@]} photos at $ratio %, --jobs 1, best of $repeats rounds; load average" \
    "before $load_before, after $(cut -d' ' -f1-3 /proc/loadavg)"
printf '\n%-28s %8s %10s %8s %10s\n' "" "wall s" "x vips" "cpu s" "x vips"
for k in "${!commands[@]}"; do
    printf '%-28s %8.3f %10.3f %8.3f %10.3f\n' "${labels[$k]}" "${best_wall[$k]}" \
        "$(calc "${best_wall[$k]} / ${best_wall[2]}")" "${best_cpu[$k]}" \
        "$(calc "${best_cpu[$k]} / ${best_cpu[2]}")"
done

# PSNR in dB of FILE against the reference REF (both the same size).
psnr() { "$compare" -metric PSNR "$1" "$2" null: 2>&1 || true; }
# The reference: vips reduce of the full-size decode with Lanczos-3, to exactly WxH.
reference() {  # SOURCE WxH OUTPUT
    local width=${2%x*} height=${2#*x} source_width source_height
    source_width=$(vipsheader -f width "$1")
    source_height=$(vipsheader -f height "$1")
    vips reduce "$1" "$3" "$(calc "$source_width / $width")" "$(calc "$source_height / $height")" \
        --kernel lanczos3
}

printf '\nPSNR (dB) against vips reduce --kernel lanczos3 of the full-size decode\n'
printf '%-26s %10s %9s %9s %9s %9s\n' file size lanczos vips nearest "l - vips"
sum_lanczos=0
sum_vips=0
sum_nearest=0
worst=""
for i in "${!photos[@]}"; do
    reference "${photos[$i]}" "${sizes[$i]}" "$work/ref$i.png"
    l=$(psnr "$work/ref$i.png" "$(pixmora_output "$work/lanczos" "${photos[$i]}")")
    v=$(psnr "$work/ref$i.png" "$work/vips/$i.jpg")
    n=$(psnr "$work/ref$i.png" "$(pixmora_output "$work/nearest" "${photos[$i]}")")
    d=$(calc "$l - $v")
    printf '%-26s %10s %9.2f %9.2f %9.2f %+9.2f\n' "$(basename "${photos[$i]}")" "${sizes[$i]}" \
        "$l" "$v" "$n" "$d"
    sum_lanczos=$(calc "$sum_lanczos + $l")
    sum_vips=$(calc "$sum_vips + $v")
    sum_nearest=$(calc "$sum_nearest + $n")
    if [ -z "$worst" ] || [ "$(calc "$d < $worst")" = 1 ]; then worst=$d; fi
done
count=${#photos[@]}
printf '%-26s %10s %9.2f %9.2f %9.2f %+9.2f\n' "mean" "" "$(calc "$sum_lanczos / $count")" \
    "$(calc "$sum_vips / $count")" "$(calc "$sum_nearest / $count")" \
    "$(calc "($sum_lanczos - $sum_vips) / $count")"

# A zone plate of 2048 x 2048 (rings up to the sampling limit at the edges), quality 100,
# 4:4:4: what nearest-neighbour sampling folds into false rings, a good filter fades.
mkdir -p "$work/zone"
vips zone "$work/zone.v" 2048 2048
vips linear "$work/zone.v" "$work/zone8.v" 127.5 127.5 --uchar
vips bandjoin "$work/zone8.v $work/zone8.v $work/zone8.v" "$work/zone3.v"
vips copy "$work/zone3.v" "$work/zone3s.v" --interpretation srgb
vips jpegsave "$work/zone3s.v" "$work/zone/zoneplate.jpg" --Q 100 --subsample-mode off
zone=$work/zone/zoneplate.jpg
pixmora_run lanczos "$work/zl" "$zone" >/dev/null 2>&1
pixmora_run nearest "$work/zn" "$zone" >/dev/null 2>&1
zone_size="$(vipsheader -f width "$(pixmora_output "$work/zl" "$zone")")x$(vipsheader -f height \
    "$(pixmora_output "$work/zl" "$zone")")"
VIPS_CONCURRENCY=1 vipsthumbnail "$zone" --no-rotate -s "$zone_size!" \
    -o "$work/zone_vips.jpg[Q=90,subsample-mode=on]"
reference "$zone" "$zone_size" "$work/zone_ref.png"
zl=$(psnr "$work/zone_ref.png" "$(pixmora_output "$work/zl" "$zone")")
zv=$(psnr "$work/zone_ref.png" "$work/zone_vips.jpg")
zn=$(psnr "$work/zone_ref.png" "$(pixmora_output "$work/zn" "$zone")")
printf '%-26s %10s %9.2f %9.2f %9.2f %+9.2f\n' "zone plate 2048x2048" "$zone_size" "$zl" "$zv" \
    "$zn" "$(calc "$zl - $zv")"

printf '\nGoals: lanczos within 0.3 dB of vipsthumbnail (worst photo %+.2f, zone plate %+.2f);\n' \
    "$worst" "$(calc "$zl - $zv")"
printf '       lanczos at most 0.60 x vipsthumbnail'"'"'s time (wall %.3f, cpu %.3f)\n' \
    "$(calc "${best_wall[0]} / ${best_wall[2]}")" "$(calc "${best_cpu[0]} / ${best_cpu[2]}")"
