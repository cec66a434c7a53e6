#!/usr/bin/env bash
# Checks that every file the user's guide names is there beside it, and
# that the examples open with what users open them with: the picture in a
# second SVG engine, the CSV in Python's csv module, the lesson page in
# headless Chromium (each where the tool is installed).
#   tests/packaging/check_examples.sh FOLDER GUIDE
set -euo pipefail
folder=$1
guide=$2
fail() { echo "FAILED examples in $folder: $*" >&2; exit 1; }

grep -q 'README.md\|docs/' "$guide" && fail "the guide names a file that does not come with it"
named=$(grep -o 'examples/[A-Za-z0-9._-]*[A-Za-z0-9]' "$guide" | sort -u)
[ -n "$named" ] || fail "the guide names no example"
for file in $named; do
    [ -f "$folder/$file" ] || fail "the guide names $file, which is not there"
done
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
for file in $named; do
    case "$file" in
    *.svg)
        if command -v rsvg-convert >/dev/null; then
            rsvg-convert "$folder/$file" -o "$scratch/picture.png" 2>"$scratch/warnings" && [ ! -s "$scratch/warnings" ] ||
                fail "rsvg-convert cannot draw $file"
        fi ;;
    *.csv)
        python3 -c 'import csv, sys; rows = list(csv.DictReader(open(sys.argv[1], newline=""))); assert rows and "x" in rows[0]' \
            "$folder/$file" || fail "Python's csv cannot read $file" ;;
    *.html)
        if [ -x /usr/bin/chromium ]; then
            timeout 60 /usr/bin/chromium --headless --no-sandbox --disable-gpu --disable-quic --no-first-run \
                --disable-background-networking --disable-component-update --disable-sync \
                --user-data-dir="$scratch/profile" --dump-dom "file://$(realpath "$folder/$file")" \
                >"$scratch/dom" 2>/dev/null || true
            grep -q 'tr data-chord="6"' "$scratch/dom" || fail "Chromium does not show the page $file"
        fi ;;
    esac
done
echo "passed: the guide's $(wc -w <<<"$named") examples are there and open"
