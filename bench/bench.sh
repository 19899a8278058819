#!/usr/bin/env bash
# Times the 50 % resize of a set of photos (load, decode, stretch, encode, save) against
# the libjpeg-turbo codec floor and other tools, on one core and then on N, and reports the
# peak memory of one job and of N jobs.
# Usage: bench/bench.sh [--program PATH | --driver PATH] [--repeats N] [--jobs N] [--scaling]
#                       [--instructions] [PHOTO...]
#   --program PATH  pixmora-batch to time (default build/cli/pixmora-batch when built)
#   --driver PATH   a driver taking "RATIO OUTPUT_FOLDER FILE..." (default
#                   build/bench/resize_files when no pixmora-batch is built; one core only)
#   --repeats N     best of N runs for every timing (default 3)
#   --jobs N        cores of the second table (default: online cores)
#   --scaling       also time 16, 64 and 256 copies of a photo, and 1, 4 and 16 megapixels
#   --instructions  also count the instructions of the one-core rows under callgrind: slow,
#                   but the same however busy the machine is
#   PHOTO...        JPEG files (default: the MATE background photos)
set -euo pipefail
cd "$(dirname "$0")/.."

program=""
driver=""
repeats=3
jobs=$(nproc)
scaling=0
instructions=0
photos=()
while [ $# -gt 0 ]; do
    case "$1" in
        --program) program=$2; shift 2 ;;
        --driver) driver=$2; shift 2 ;;
        --repeats) repeats=$2; shift 2 ;;
        --jobs) jobs=$2; shift 2 ;;
        --scaling) scaling=1; shift ;;
        --instructions) instructions=1; shift ;;
        -h|--help) sed -n '2,15p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
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
# ImageMagick itself, not a wrapper that may stand first on the PATH.
magick=/usr/bin/convert
[ -x "$magick" ] || magick=convert
for tool in djpeg cjpeg vips gm "$magick" identify xargs /usr/bin/time; do
    command -v "$tool" >/dev/null || { echo "missing $tool (scripts/setup.sh --bench)" >&2; exit 2; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/half" "$work/out"

# pixmora on the given files with N jobs, into an emptied output folder, under the command
# given before "--" (none, /usr/bin/time, valgrind).
pixmora_under() {  # [COMMAND...] -- JOBS FILE...
    local under=()
    while [ "$1" != -- ]; do under+=("$1"); shift; done
    local jobs=$2
    shift 2
    rm -rf "$work/out"/*
    if [ -n "$program" ]; then
        "${under[@]}" "$program" --jobs "$jobs" --ratio 50 --fixed-folder "$work/out" "$@"
    else
        "${under[@]}" "$driver" 50 "$work/out" "$@"
    fi
}
run_pixmora() { pixmora_under -- "$@" >/dev/null 2>&1; }  # JOBS FILE...

# The largest picture (width x height x 3 bytes): the memory yardstick, and the one file
# whose own resize bounds the time of any number of jobs.
largest=0
largest_name=""
largest_photo=""
for photo in "${photos[@]}"; do
    read -r width height < <(identify -ping -format '%w %h\n' "$photo[0]")
    bytes=$((width * height * 3))
    if [ "$bytes" -gt "$largest" ]; then
        largest=$bytes
        largest_name=$(basename "$photo")
        largest_photo=$photo
    fi
done

# The codec floor: a full floating-point decode of each source, and the encoding at
# quality 90, 4:2:0, of its half-size picture (made beforehand, outside the timing). The
# matched floor also encodes progressively where the source is progressive, as the program
# must.
i=0
progressive=()
for photo in "${photos[@]}"; do
    "$magick" "$photo" -sample 50% "$work/half/$i.ppm"
    if [ "$(identify -ping -format '%[interlace]' "$photo[0]")" = JPEG ]; then
        progressive+=(-progressive)
    else
        progressive+=(-baseline)
    fi
    i=$((i + 1))
done
floor_one() {  # INDEX PHOTO [matched]
    local scan_mode=()
    [ "${3:-}" = matched ] && scan_mode=("${progressive[$1]}")
    djpeg -dct float "$2" >/dev/null
    cjpeg -dct float -quality 90 -sample 2x2 "${scan_mode[@]}" "$work/half/$1.ppm" \
        >"$work/out/floor$1.jpg"
}
run_floor() {
    local i=0
    for photo in "${photos[@]}"; do
        floor_one "$i" "$photo" "${1:-}"
        i=$((i + 1))
    done
}
# The peers, one process per file and one core each.
vips_one() { VIPS_CONCURRENCY=1 vips resize "$1" "$work/out/vips_$(basename "$1")" 0.5 --kernel nearest; }
gm_one() { gm convert -limit threads 1 "$1" -sample 50% "$work/out/gm_$(basename "$1")"; }
magick_one() { "$magick" -limit thread 1 "$1" -sample 50% "$work/out/magick_$(basename "$1")"; }
# The peers with their own threads.
vips_threads() { vips resize "$1" "$work/out/vips_$(basename "$1")" 0.5 --kernel nearest; }
gm_threads() { gm convert "$1" -sample 50% "$work/out/gm_$(basename "$1")"; }
magick_threads() { "$magick" "$1" -sample 50% "$work/out/magick_$(basename "$1")"; }
export work magick
export -f floor_one vips_one gm_one magick_one
each() { local tool=$1 p; for p in "${photos[@]}"; do "$tool" "$p"; done; }
# N files at a time, with xargs -P.
each_parallel() { printf '%s\0' "${photos[@]}" | xargs -0 -n 1 -P "$jobs" bash -c "$1"' "$0"'; }
floor_parallel() {
    local i
    for i in "${!photos[@]}"; do printf '%s\0%s\0' "$i" "${photos[$i]}"; done |
        xargs -0 -n 2 -P "$jobs" bash -c 'floor_one "$0" "$1"'
}

calc() { awk "BEGIN { print $1 }"; }
load_before=$(cut -d' ' -f1-3 /proc/loadavg)

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

peak_kb() {  # JOBS FILE...: the program's peak resident memory in kilobytes
    pixmora_under /usr/bin/time -f %M -- "$@" 2>&1 >/dev/null | tail -1
}

# The rows, each a command timed as a whole. The rounds run every row once in turn, so that
# a change of the machine's load during the benchmark touches every row alike.
labels=()
commands=()
add_row() { labels+=("$1"); commands+=("$2"); }
pixmora_one() { run_pixmora 1 "${photos[@]}"; }
pixmora_many() { run_pixmora "$jobs" "${photos[@]}"; }
# No number of jobs can finish before the largest file's own resize: one job does each file.
pixmora_largest() { run_pixmora 1 "$largest_photo"; }
add_row "pixmora ($(basename "${program:-$driver}")${program:+ --jobs 1})" pixmora_one
add_row "codec floor (djpeg+cjpeg)" run_floor
add_row "matched floor (progressive)" "run_floor matched"
add_row "vips resize nearest" "each vips_one"
add_row "gm convert -sample" "each gm_one"
add_row "ImageMagick convert -sample" "each magick_one"
one_core_rows=${#commands[@]}
if [ -n "$program" ]; then
    add_row "pixmora --jobs $jobs" pixmora_many
    add_row "pixmora, the largest file alone" pixmora_largest
    add_row "codec floor, xargs -P $jobs" floor_parallel
    add_row "vips, its own threads" "each vips_threads"
    add_row "vips, xargs -P $jobs" "each_parallel vips_one"
    add_row "gm, its own threads" "each gm_threads"
    add_row "gm, xargs -P $jobs" "each_parallel gm_one"
    add_row "ImageMagick, its own threads" "each magick_threads"
    add_row "ImageMagick, xargs -P $jobs" "each_parallel magick_one"
fi
best_wall=()
best_cpu=()
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
floor=${best_wall[1]}
floor_cpu=${best_cpu[1]}

echo "${#photos[@]} photos, best of $repeats rounds, ratio 50 %; load average before" \
    "$load_before, after $(cut -d' ' -f1-3 /proc/loadavg)"
header() {
    printf '\n%s\n%-34s %8s %9s %8s %9s\n' "$1" "" "wall s" "x floor" "cpu s" "x floor"
}
row() {
    printf '%-34s %8.3f %9.3f %8.3f %9.3f\n' "${labels[$1]}" "${best_wall[$1]}" \
        "$(calc "${best_wall[$1]} / $floor")" "${best_cpu[$1]}" "$(calc "${best_cpu[$1]} / $floor_cpu")"
}
header "One core: one file at a time, peers limited to one thread"
for ((k = 0; k < one_core_rows; k++)); do row "$k"; done
if [ -n "$program" ]; then
    header "$jobs cores: each tool at its best parallel setting"
    for ((k = one_core_rows; k < ${#commands[@]}; k++)); do row "$k"; done
    printf '\npixmora / codec floor: --jobs 1 %.3f, --jobs %s %.3f (wall)\n' \
        "$(calc "${best_wall[0]} / $floor")" "$jobs" \
        "$(calc "${best_wall[$one_core_rows]} / $floor")"
fi

# Peak memory against the largest decoded picture (width x height x 3).
peak_one=$(peak_kb 1 "${photos[@]}")
printf '\npeak RSS, one job: %.1f MB; largest decoded picture %.1f MB (%s); ratio %.2f\n' \
    "$(calc "$peak_one / 1024")" "$(calc "$largest / 1048576")" "$largest_name" \
    "$(calc "$peak_one * 1024 / $largest")"
if [ -n "$program" ]; then
    peak_many=$(peak_kb "$jobs" "${photos[@]}")
    printf 'peak RSS, %s jobs: %.1f MB; %.2f x one job\n' "$jobs" "$(calc "$peak_many / 1024")" \
        "$(calc "$peak_many / $peak_one")"
fi

if [ "$instructions" = 1 ]; then
    command -v valgrind >/dev/null || { echo "missing valgrind (scripts/setup.sh --bench)" >&2; exit 2; }
    # Instructions of one process, every thread counted.
    callgrind=(valgrind --tool=callgrind --callgrind-out-file="$work/cg.out")
    count_ir() {
        rm -f "$work/cg.out"
        "${callgrind[@]}" "$@" >/dev/null 2>&1
        sed -n 's/^totals: //p' "$work/cg.out"
    }
    pixmora_ir() {
        rm -f "$work/cg.out"
        pixmora_under "${callgrind[@]}" -- 1 "$@" >/dev/null 2>&1
        sed -n 's/^totals: //p' "$work/cg.out"
    }
    ir_floor=0
    ir_matched=0
    i=0
    for photo in "${photos[@]}"; do
        decode=$(count_ir djpeg -dct float "$photo")
        plain=$(count_ir cjpeg -dct float -quality 90 -sample 2x2 -baseline "$work/half/$i.ppm")
        matched=$plain
        if [ "${progressive[$i]}" = -progressive ]; then
            matched=$(count_ir cjpeg -dct float -quality 90 -sample 2x2 -progressive \
                "$work/half/$i.ppm")
        fi
        ir_floor=$(calc "$ir_floor + $decode + $plain")
        ir_matched=$(calc "$ir_matched + $decode + $matched")
        i=$((i + 1))
    done
    ir_pixmora=$(pixmora_ir "${photos[@]}")
    ir_largest=$(pixmora_ir "$largest_photo")
    printf '\nInstructions (callgrind), one core %12s %9s\n' "x 10^9" "x floor"
    ir_row() { printf '%-34s %12.3f %9.3f\n' "$1" "$(calc "$2 / 1e9")" "$(calc "$2 / $ir_floor")"; }
    ir_row "pixmora ($(basename "${program:-$driver}")${program:+ --jobs 1})" "$ir_pixmora"
    ir_row "codec floor (djpeg+cjpeg)" "$ir_floor"
    ir_row "matched floor (progressive)" "$ir_matched"
    ir_row "pixmora, the largest file alone" "$ir_largest"
fi

[ "$scaling" = 1 ] && [ -n "$program" ] || exit 0

# Growth with the number of files: copies of one photo of about 2 megapixels.
sample=""
for photo in "${photos[@]}"; do
    if [ "$(identify -ping -format '%w' "$photo[0]")" = 1920 ]; then sample=$photo; break; fi
done
sample=${sample:-${photos[0]}}
printf '\nCopies of %s: seconds, and milliseconds per file\n' "$(basename "$sample")"
printf '%-8s %10s %10s %12s %10s\n' files "--jobs 1" "ms/file" "--jobs $jobs" "ms/file"
for count in 16 64 256; do
    mkdir -p "$work/copies$count"
    for k in $(seq -w 1 "$count"); do cp "$sample" "$work/copies$count/c$k.jpg"; done
    read -r t1 _ < <(best_of run_pixmora 1 "$work/copies$count")
    read -r tn _ < <(best_of run_pixmora "$jobs" "$work/copies$count")
    printf '%-8s %10.3f %10.1f %12.3f %10.1f\n' "$count" "$t1" "$(calc "$t1 * 1000 / $count")" \
        "$tn" "$(calc "$tn * 1000 / $count")"
    rm -rf "$work/copies$count"
done

# Growth with the picture size: 16 files of 1, 4 and 16 megapixels (16:9, quality 90,
# made from the largest photo).
printf '\n16 files of each size: seconds, and milliseconds per megapixel\n'
printf '%-12s %10s %10s %12s %10s\n' megapixels "--jobs 1" "ms/MP" "--jobs $jobs" "ms/MP"
for megapixels in 1 4 16; do
    height=$(calc "int(sqrt($megapixels * 1000000 * 9 / 16))")
    width=$(calc "int($height * 16 / 9)")
    mkdir -p "$work/size$megapixels"
    "$magick" "$largest_photo" -resize "${width}x${height}!" "$work/size.ppm"
    cjpeg -quality 90 "$work/size.ppm" >"$work/size$megapixels/s01.jpg"
    for k in $(seq -w 2 16); do cp "$work/size$megapixels/s01.jpg" "$work/size$megapixels/s$k.jpg"; done
    read -r t1 _ < <(best_of run_pixmora 1 "$work/size$megapixels")
    read -r tn _ < <(best_of run_pixmora "$jobs" "$work/size$megapixels")
    total=$(calc "16 * $width * $height / 1000000")
    printf '%-12s %10.3f %10.1f %12.3f %10.1f\n' "$megapixels (${width}x$height)" "$t1" \
        "$(calc "$t1 * 1000 / $total")" "$tn" "$(calc "$tn * 1000 / $total")"
    rm -rf "$work/size$megapixels" "$work/size.ppm"
done
echo "load average at the end $(cut -d' ' -f1-3 /proc/loadavg)"
