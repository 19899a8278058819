#!/usr/bin/env bash
# Installs a build into a scratch prefix and checks what lands there: exactly the expected
# files, the icon at each size, and the desktop entry, the AppStream metadata and the manual
# pages as desktop-file-validate, appstreamcli and mandoc see them. Any finding fails.
# Usage: check_install.sh BUILD-DIR SCRATCH-PREFIX APP-ID window|no-window
set -euo pipefail
export LC_ALL=C
build=$1
prefix=$2
id=$3
window=$4
icon_sizes=(16 24 32 48 64 72 96 128)

rm -rf "$prefix"
cmake --install "$build" --prefix "$prefix" >/dev/null

status=0
fail() {
    echo "FAIL: $*" >&2
    status=1
}
# Runs a checking tool; its findings, or a failing exit, fail the check.
tool_clean() {
    local output
    if ! output=$("$@" 2>&1) || [ -n "$output" ]; then
        fail "$*"
        printf '%s\n' "$output" >&2
    fi
}

expected=(bin/pixmora-batch share/doc/pixmora/copyright share/man/man1/pixmora-batch.1)
if [ "$window" = window ]; then
    expected+=(bin/pixmora share/man/man1/pixmora.1
        "share/applications/$id.desktop" "share/metainfo/$id.metainfo.xml"
        "share/icons/hicolor/scalable/apps/$id.svg")
    for size in "${icon_sizes[@]}"; do
        expected+=("share/icons/hicolor/${size}x${size}/apps/$id.png")
    done
fi
installed=$(cd "$prefix" && find . -type f -o -type l | sed 's|^\./||' | sort)
wanted=$(printf '%s\n' "${expected[@]}" | sort)
if [ "$installed" != "$wanted" ]; then
    fail "the installed files differ from the expected ones"
    diff <(printf '%s\n' "$wanted") <(printf '%s\n' "$installed") >&2 || true
fi
for program in bin/pixmora-batch bin/pixmora; do
    if [ -e "$prefix/$program" ] && [ ! -x "$prefix/$program" ]; then
        fail "$program is not executable"
    fi
done

if [ "$window" = window ]; then
    for size in "${icon_sizes[@]}"; do
        png="$prefix/share/icons/hicolor/${size}x${size}/apps/$id.png"
        if ! file -b "$png" | grep -q "^PNG image data, $size x $size, 8-bit/color RGBA"; then
            fail "$png is not a $size px RGBA PNG: $(file -b "$png")"
        fi
    done
    tool_clean desktop-file-validate "$prefix/share/applications/$id.desktop"
    # The metadata's infos (hints below the warning level) are shown, not failed on.
    if ! appstreamcli validate --no-net "$prefix/share/metainfo/$id.metainfo.xml"; then
        fail "appstreamcli validate --no-net $id.metainfo.xml"
    fi
fi
for page in "$prefix"/share/man/man1/*.1; do
    tool_clean mandoc -T lint -W all "$page"
done

[ "$status" -eq 0 ] && echo "installed and validated: $(wc -l <<<"$installed") files"
exit "$status"
