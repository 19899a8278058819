#!/usr/bin/env bash
# Checks that the manual page of pixmora-batch lists the options its --help lists, each with
# the same value name, so that a change to the options cannot leave the page behind.
# Usage: check_manual_options.sh PIXMORA-BATCH PAGE
set -euo pipefail
export LC_ALL=C
batch=$1
page=$2

# Help: the option lines are indented by at most four blanks; the option and its value run
# up to the first run of two blanks ("  --ratio N            scale in percent").
help_options() {
    "$batch" --help | sed -n 's/^ \{1,4\}\(-[^ ].*\)$/\1/p' | sed 's/  .*//' | sort
}

# Page: the tag line after each .TP of the OPTIONS section, in plain words. A tag written
# with a font macro (.B, .BI, ...) has its arguments joined as roff joins them; font escapes
# and the roff minus go.
page_options() {
    awk '
        /^\.SH/ { in_options = ($0 ~ /^\.SH "?OPTIONS"?$/); next }
        !in_options { next }
        /^\.TP/ { tag_next = 1; next }
        tag_next {
            tag_next = 0
            line = $0
            if (line ~ /^\.[BIR][BIR]? /) {
                macro = substr(line, 2, index(line, " ") - 2)
                rest = substr(line, index(line, " ") + 1)
                line = ""; n = 0
                while (length(rest) > 0) {
                    sub(/^ +/, "", rest)
                    if (rest == "") break
                    if (substr(rest, 1, 1) == "\"") {
                        end = index(substr(rest, 2), "\"")
                        word = substr(rest, 2, end - 1); rest = substr(rest, end + 2)
                    } else {
                        end = index(rest, " "); if (end == 0) end = length(rest) + 1
                        word = substr(rest, 1, end - 1); rest = substr(rest, end)
                    }
                    sep = (n > 0 && length(macro) == 1) ? " " : ""
                    line = line sep word; n++
                }
            }
            gsub(/\\f[BIRP]/, "", line)
            gsub(/\\-/, "-", line)
            gsub(/\\&/, "", line)
            print line
        }
    ' "$page" | sort
}

help_list=$(help_options)
page_list=$(page_options)
if [ -z "$help_list" ]; then
    echo "no option found in the output of '$batch --help'" >&2
    exit 1
fi
if [ "$help_list" != "$page_list" ]; then
    echo "The options of '$batch --help' and of $page differ." >&2
    echo "Only in --help:" >&2
    comm -23 <(printf '%s\n' "$help_list") <(printf '%s\n' "$page_list") | sed 's/^/    /' >&2
    echo "Only in the page:" >&2
    comm -13 <(printf '%s\n' "$help_list") <(printf '%s\n' "$page_list") | sed 's/^/    /' >&2
    exit 1
fi
printf '%s\n' "$help_list"
