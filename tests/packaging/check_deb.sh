#!/usr/bin/env bash
# Checks one Debian package of chords: lintian finds no error and no
# warning; unpacked into a scratch root, the program answers the classic
# dialog with the expected bytes (a package for another processor runs
# under qemu-user), and every manual page renders without a warning.
#   tests/packaging/check_deb.sh build/packages/chords_1.0_amd64.deb
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
deb=$1
fail() { echo "FAILED $(basename "$deb"): $*" >&2; exit 1; }

echo "== lintian $(basename "$deb")"
lintian --fail-on error,warning --display-info --pedantic --color never "$deb" 2>/dev/null ||
    fail "lintian reports errors or warnings"

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "$deb" "$root"

arch=$(dpkg-deb -f "$deb" Architecture)
run=()
case "$arch" in
    "$(dpkg --print-architecture)") ;;
    arm64) run=(qemu-aarch64 -L /usr/aarch64-linux-gnu -E LD_LIBRARY_PATH=/usr/aarch64-linux-gnu/lib) ;;
    armhf) run=(qemu-arm -L /usr/arm-linux-gnueabihf -E LD_LIBRARY_PATH=/usr/arm-linux-gnueabihf/lib) ;;
    *) fail "no way to run a program for $arch here" ;;
esac

# The C locale: the texts come out in UTF-8. No controlling terminal: the
# key wait returns at once.
printf '0 1 0.0001 100\n' |
    setsid -w env -i "${run[@]}" "$root/usr/bin/chords" >"$root/out" 2>"$root/err" ||
    fail "chords ended with status $?"
cmp "$here/zero_to_one.txt" "$root/out" || fail "chords wrote other bytes than expected"
[ ! -s "$root/err" ] || fail "chords wrote to standard error"

if [ -e "$root/usr/bin/chords-steps" ]; then
    setsid -w env -i "${run[@]}" "$root/usr/bin/chords-steps" 0 1 0.0001 100 >"$root/out" ||
        fail "chords-steps ended with status $?"
    grep -qxF 'Корень = 0.299771 F(0.299771)=-5.19123e-05' "$root/out" ||
        fail "chords-steps did not report the root"
    # The lesson page's module, where chords-steps looks for it: its pages
    # then compute in the browser.
    [ -f "$root/usr/share/chords/chords-steps-web.js" ] || fail "the lesson page's module is missing"
    setsid -w env -i "${run[@]}" "$root/usr/bin/chords-steps" --html-app "$root/app.html" >/dev/null ||
        fail "chords-steps --html-app ended with status $?"
    grep -q 'id="compute"' "$root/app.html" || fail "the page has no form: the module was not found"
elif [ -d "$here/../../src/steps" ]; then
    fail "chords-steps is missing from the package"
fi

# The guide, and every example it names beside it.
doc="$root/usr/share/doc/chords"
if [ -d "$here/../../src/steps" ]; then
    [ -f "$doc/guide.ru.md.gz" ] || fail "the user's guide is missing"
    gunzip -c "$doc/guide.ru.md.gz" >"$root/guide.md"
    "$here/check_examples.sh" "$doc" "$root/guide.md" || fail "the guide's examples"
fi

pages=0
for page in "$root"/usr/share/man/man1/*.1.gz "$root"/usr/share/man/ru/man1/*.1.gz; do
    rendered=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$page" 2>"$root/warnings") ||
        fail "man cannot render ${page#"$root"}"
    [ ! -s "$root/warnings" ] || { cat "$root/warnings" >&2; fail "man warns on ${page#"$root"}"; }
    grep -q "^NAME\|^ИМЯ" <<<"$rendered" || fail "${page#"$root"} has no NAME section"
    pages=$((pages + 1))
done
programs=$(find "$root/usr/bin" -type f | wc -l)
[ "$pages" -eq $((2 * programs)) ] || fail "$pages manual pages for $programs programs"

echo "passed: $(basename "$deb"): lintian clean, dialog bytes as expected, $pages manual pages render"
