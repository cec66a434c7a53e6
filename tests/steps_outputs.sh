#!/usr/bin/env bash
# Writes what chords-steps makes of a broad set of runs into a folder: for
# each case its standard output, standard error, exit status and the files
# it wrote. Run it with two builds and compare the folders byte for byte
# (diff -r) before and after a change that should not move a byte:
#   tests/steps_outputs.sh OLD/chords-steps before
#   tests/steps_outputs.sh NEW/chords-steps after
#   diff -r before after
set -u
program=$(realpath "$1")
cases=$(realpath "$(dirname "$0")/typed_tables/cases.txt")
out=$2
rm -rf "$out"
mkdir -p "$out"
cd "$out" || exit 1
n=0
# run NAME ARGS...: one case in a folder of its own, files written there.
run() {
    local name=$1
    shift
    n=$((n + 1))
    local dir
    dir=$(printf '%03d-%s' "$n" "$name")
    mkdir "$dir"
    (cd "$dir" && "$program" "$@" >stdout 2>stderr </dev/null; echo $? >status)
}
files() { echo --svg p.svg --html p.html --csv p.csv; }

# The fixed equation: the dialog's examples and its limits.
for c in "0 1 0.0001 100" "2 3 0.000001 50" "0 0.3 0.001 5" "0 1 1e-12 10" "2 3 1e-7 100" \
         "0 1 0 10" "2.5 2.6 0 20" "1 -100 0.001 10" "1 -800 0.001 3" "1 0 0.0001 100" \
         "-709.7822 1 0.001 3" "0 1 0.0001 0" "0 1 0.0001 4294967295" "2.5 2.6 0 100000"; do
    # shellcheck disable=SC2046
    run fixed $c $(files)
done
run fixed-animate 0 1 0.0001 100 --svg p.svg --animate
for c in "3 4 0.1 10" "0 3 0.1 10" "1 2 0.1 10" "-100 1 0.1 10" "1e39 1 0.1 10" "-709.8 1 0.1 3"; do
    # shellcheck disable=SC2046
    run fixed-refused $c $(files)
done
for kind in --svg --html --csv; do
    run fixed-stdout 0 1 0.0001 100 "$kind" -
    run typed-stdout --equation 'x^2 - 2' 0 2 1e-9 50 --method illinois "$kind" -
done
run help --help
run version --version
run bad-number 0 1,5 0.1 10
run bad-value --method nope 0 1 0.1 10

# Typed equations: every precision, method and stopping rule.
for p in single double extended; do
    for m in chords illinois pegasus anderson-bjorck; do
        for s in residual step; do
            # shellcheck disable=SC2046
            run "typed-$p-$m-$s" --equation 'x^3 + 4*x^2 - 10' 1 2 1e-6 60 --precision "$p" --method "$m" \
                --stop "$s" $(files)
            # shellcheck disable=SC2046
            run "fixedF-$p-$m-$s" --precision "$p" --method "$m" --stop "$s" 2.5 2.6 0 20 $(files)
        done
    done
    run "compare-$p" --equation 'x^2 - 2' 0 10 1e-10 100 --compare --precision "$p"
    # shellcheck disable=SC2046
    run "undefined-$p" --equation 'x - 0.4 + 0*sqrt(x^2 - 0.25)' -2 3 1e-6 20 --precision "$p" $(files)
    # shellcheck disable=SC2046
    run "pole-$p" --equation 'tan(x) - x' 4.6 4.8 1e-9 30 --precision "$p" $(files)
    # shellcheck disable=SC2046
    run "refused-$p" --equation 'x^2 + 1' 0 1 1e-6 20 --precision "$p" $(files)
    run "beyond-$p" --equation 'x - 1' 1e400 1 1e-6 20 --precision "$p"
    # shellcheck disable=SC2046
    run "fixed-typed-$p" --equation '2*exp(-x)+0.2*x^2-1.5' --precision "$p" 2.5 2.6 0 20 $(files)
    # shellcheck disable=SC2046
    run "pole-1x-$p" --equation '1/x' -1 1 1e-6 20 --precision "$p" $(files)
done
run compare-step --equation 'x^2 - 2' 0 10 0.01 100 --stop step --compare
run compare-fixed --compare 0 1 0.0001 100
run long-equation --equation 'x^3 + 4*x^2 - 10 + 0*sin(x) + 0*cos(x) + 0*tan(x/100) + 0*exp(-x) + 0*ln(x+10)' \
    1 2 1e-9 40 --svg p.svg --html p.html
run parse-fault --equation '2*x +* 3' 0 1 0.1 10
run long-typed --equation 'x^2 - 2' 0 10 0 100000 --csv p.csv
# The methods beside the chords, for a typed equation and the dialog's F.
for p in single double extended; do
    for m in bisection newton secant combined iteration; do
        # shellcheck disable=SC2046
        run "method-$p-$m" --equation 'x^3 - 2*x - 5' 2 3 1e-9 60 --precision "$p" --method "$m" $(files)
        # shellcheck disable=SC2046
        run "method-fixedF-$p-$m" --precision "$p" --method "$m" --stop step 0 1 1e-6 40 $(files)
    done
done
# The cross-platform set, "_" a blank inside one argument, with every file.
while read -r name line; do
    words=()
    for word in $line; do words+=("${word//_/ }"); done
    # shellcheck disable=SC2046
    run "cross-${name%%.*}" "${words[@]}" $(files)
done <"$cases"
# Root separation: the fixed F, a pole, roots on the grid, every precision.
# shellcheck disable=SC2046
run separate --separate 0 3 $(files)
run separate-reversed --separate 10 -10 40
for p in single double extended; do
    # shellcheck disable=SC2046
    run "separate-pole-$p" --equation '1/x' --precision "$p" --separate -1 1 4 $(files)
    run "separate-roots-$p" --equation 'x^2-1' --precision "$p" --separate -2 2 4
done
run separate-refused --separate 0 3 --compare
# Ends typed as constant expressions, an expression split by the shell, and
# the functions by their Russian textbook names.
for p in single double extended; do
    run "constant-ends-$p" --equation 'x^2 - 2' 'pi/4' 'sqrt(2) + 1' 1e-9 20 --precision "$p"
done
run split-equation --equation 'x^2' - 2 0 10 0.1 100
run textbook-names --equation 'tg(x/2) - ctg(x) + arcsin(x/4) - arccos(x/4) + arctg(x) - lg(x)' 0.5 1.5 1e-12 60
echo "$n cases in $out"
