#!/usr/bin/env bash
# Checks the Windows zip: it holds the programs and a README that Notepad
# reads (UTF-8 with a byte order mark, CR LF), and the chords.exe unpacked
# from it answers the classic dialog under wine, as a Russian system without
# a console gets it (code page 866, CR LF).
#   tests/packaging/check_zip.sh build/packages/chords-1.0-windows-x64.zip WINEPREFIX
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
zip=$1
# A Russian system: output without a console goes out in code page 866.
wine=(env "WINEPREFIX=$(realpath -m "$2")" WINEDEBUG=-all LC_ALL=ru_RU.UTF-8)
fail() { echo "FAILED $(basename "$zip"): $*" >&2; exit 1; }

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
unzip -q "$zip" -d "$scratch"
folder=$(basename "$zip" .zip)
expected="$folder/README.txt $folder/chords.exe"
if [ -d "$here/../../src/steps" ]; then
    expected="$expected $folder/chords-steps.exe $folder/chords-steps-web.js"
fi
# The guide's examples.
if [ -d "$here/../../src/steps" ]; then
    for example in chords-0-1.svg lesson-0-1.html chords-0-1.csv illinois-1-2.html chords.html; do
        expected="$expected $folder/examples/$example"
    done
fi
# MPFR and GMP, linked into chords-steps.exe, come with their licences.
if [ -d "$scratch/$folder/licenses" ]; then
    for licence in THIRD-PARTY.txt mpfr/COPYING mpfr/COPYING.LESSER gmp/COPYING.LESSERv3 gmp/COPYINGv2 gmp/COPYINGv3; do
        expected="$expected $folder/licenses/$licence"
    done
fi
held=$(cd "$scratch" && find . -type f | sed 's|^\./||' | sort | tr '\n' ' ')
[ "$held" = "$(tr ' ' '\n' <<<"$expected" | sort | tr '\n' ' ')" ] ||
    fail "holds $held instead of $expected"

readme="$scratch/$folder/README.txt"
# README.txt is the user's guide: every file it names is in the zip.
if [ -d "$here/../../src/steps" ]; then
    grep -q 'Руководство\|руководство' "$readme" || fail "README.txt is not the user's guide"
    "$here/check_examples.sh" "$scratch/$folder" "$readme" || fail "the guide's examples"
fi
[ "$(head -c3 "$readme" | od -An -tx1 | tr -d ' ')" = efbbbf ] || fail "README.txt has no byte order mark"
[ "$(tr -cd '\n' <"$readme" | wc -c)" -eq "$(grep -c $'\r$' "$readme")" ] ||
    fail "README.txt has a line not ended by CR LF"

# A new prefix goes on initialising after its first program; let it finish.
"${wine[@]}" wine wineboot --init >/dev/null 2>&1 || true
"${wine[@]}" wineserver --wait
status=0
printf '0 1 0.0001 100\r\n' |
    setsid -w "${wine[@]}" wine "$scratch/$folder/chords.exe" >"$scratch/out" 2>"$scratch/err" ||
    status=$?
[ "$status" -eq 0 ] || { cat "$scratch/err" >&2; fail "chords.exe ended with status $status"; }
iconv -f UTF-8 -t CP866 "$here/zero_to_one.txt" | sed 's/$/\r/' | head -c -1 >"$scratch/expected"
cmp "$scratch/expected" "$scratch/out" || fail "chords.exe wrote other bytes than expected"

echo "passed: $(basename "$zip"): $(wc -w <<<"$expected") files, README for Notepad, dialog bytes as expected under wine"
