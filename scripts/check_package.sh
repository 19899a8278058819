#!/usr/bin/env bash
# Checks a Pixmora .deb as a user would meet it: shows its control fields and files,
# unpacks it into a scratch root with dpkg -x, resizes a photo with its pixmora-batch,
# starts its pixmora offscreen and checks that the window stays up and writes its first
# settings. Every shared library the two programs load (Qt's plugins included) must come
# from a package the .deb depends on, directly or through its dependencies, and none from
# a -dev package.
# Usage: check_package.sh PIXMORA.deb
set -euo pipefail
export LC_ALL=C
deb=$(realpath "$1")
photo=/usr/share/backgrounds/mate/nature/Aqua.jpg
ratio=25

scratch=$(mktemp -d)
window_pid=
cleanup() {
    [ -n "$window_pid" ] && kill "$window_pid" 2>/dev/null
    rm -rf "$scratch"
}
trap cleanup EXIT
status=0
fail() {
    echo "FAIL: $*" >&2
    status=1
}

echo "== dpkg-deb -I"
dpkg-deb -I "$deb"
echo "== dpkg-deb -c"
dpkg-deb -c "$deb" | awk '{ print $1, $2, $6 }'

root=$scratch/root
dpkg -x "$deb" "$root"
version=$(dpkg-deb -f "$deb" Version)
upstream=${version%-*}

echo "== pixmora-batch --version"
batch_version=$("$root/usr/bin/pixmora-batch" --version)
echo "$batch_version"
[[ $batch_version == *"V$upstream"* ]] || fail "pixmora-batch --version does not name V$upstream"

echo "== pixmora-batch --ratio $ratio $photo"
mkdir "$scratch/out"
"$root/usr/bin/pixmora-batch" --ratio "$ratio" --fixed-folder "$scratch/out" "$photo" 2>&1
output=$scratch/out/$(basename "$(dirname "$photo")")/$(basename "$photo")
size_of() { file -b "$1" | grep -o ', [0-9]*x[0-9]*,' | tr -d ', '; }
before=$(size_of "$photo")
after=$(size_of "$output" || true)
expected=$((${before%x*} * ratio / 100))x$((${before#*x} * ratio / 100))
echo "$photo: $before -> $output: ${after:-missing}"
[ "$after" = "$expected" ] || fail "the resized photo is ${after:-missing}, not $expected"

echo "== QT_QPA_PLATFORM=offscreen pixmora"
mkdir "$scratch/home"
mkdir -m 700 "$scratch/runtime"
env -u XDG_DATA_HOME HOME="$scratch/home" XDG_RUNTIME_DIR="$scratch/runtime" QT_QPA_PLATFORM=offscreen \
    "$root/usr/bin/pixmora" >"$scratch/window.log" 2>&1 &
window_pid=$!
sleep 3
if kill -0 "$window_pid" 2>/dev/null; then
    libraries=$(grep -o '/[^ ]*\.so[^ /]*$' "/proc/$window_pid/maps" | sort -u)
    echo "Qt plugins loaded: $(grep qt6/plugins/ <<<"$libraries" | sed 's|.*/plugins/||' | tr '\n' ' ')"
    kill "$window_pid"
    wait "$window_pid" 2>/dev/null || true
    window_pid=
    echo "pixmora stayed up for 3 s (stopped by the check), with $(wc -l <<<"$libraries") shared libraries loaded"
    settings=$scratch/home/.local/share/_data_Pixmora/datas.ini
    if [ -f "$settings" ]; then
        echo "it wrote its first settings, ${settings#"$scratch"/}:"
        tr -d '\r' <"$settings" | sed 's/^/    /'
    else
        fail "pixmora wrote no ${settings#"$scratch"/}"
    fi
else
    wait "$window_pid" && code=0 || code=$?
    window_pid=
    fail "pixmora ended by itself within 3 s, exit status $code"
    cat "$scratch/window.log" >&2
    libraries=
fi
[ -s "$scratch/window.log" ] && { echo "pixmora wrote:"; cat "$scratch/window.log"; }
libraries+=$'\n'$(ldd "$root/usr/bin/pixmora-batch" | grep -o '/[^ ]*\.so[^ ]*')

echo "== packages of the loaded libraries"
# dpkg knows a file by the path its package ships, before or after the /usr merge.
package_of() {
    local path
    for path in "$1" "$(realpath "$1")" "${1#/usr}" "$(realpath "$1" | sed 's|^/usr||')"; do
        dpkg-query -S "$path" 2>/dev/null | sed 's/:.*//; s/, /\n/g' && return 0
    done
    return 1
}
mapfile -t depends < <(dpkg-deb -f "$deb" Depends | sed 's/([^)]*)//g; s/[,|]/\n/g' | tr -d ' ' | sort -u)
closure=$(apt-cache depends --recurse --no-recommends --no-suggests --no-conflicts \
    --no-breaks --no-replaces --no-enhances "${depends[@]}" | grep -v '^ ' | sed 's/:.*//' | sort -u)
used=()
while read -r library; do
    [ -n "$library" ] || continue
    if ! owners=$(package_of "$library"); then
        fail "no package ships $library"
        continue
    fi
    for package in $owners; do
        used+=("$package")
        [[ $package == *-dev ]] && fail "$library comes from the development package $package"
        grep -qx "$package" <<<"$closure" || fail "$library comes from $package, outside the dependencies"
    done
done <<<"$libraries"
printf '%s\n' "${used[@]}" | sort -u | tr '\n' ' '
echo

[ "$status" -eq 0 ] && echo "package checked: $deb"
exit "$status"
