#include "steps/method_table.h"

#include "steps/method_texts.h"
#include "steps/texts.h"

std::vector<MethodColumn> methodColumns(Method method) {
    const MethodColumn x{MethodCell::X, "x", "x"};
    const MethodColumn fx{MethodCell::FX, "F(x)", "F(x)"};
    const MethodColumn step{MethodCell::Step, text(TextColumnStep), "step"};
    const MethodColumn bound{MethodCell::Bound, text(TextColumnBound), "bound"};
    const MethodColumn xn{MethodCell::A, "x(n)", "x_n"};
    switch (method) {
    case Method::Bisection:
        return {{MethodCell::A, "a", "a"}, {MethodCell::B, "b", "b"}, x, fx, bound};
    case Method::Newton:
        return {xn, {MethodCell::FA, "F(x(n))", "F(x_n)"}, {MethodCell::Slope, "F'(x(n))", "dF(x_n)"}, x, fx, step,
                bound};
    case Method::Secant:
        return {{MethodCell::A, "x(n-1)", "x_prev"}, {MethodCell::B, "x(n)", "x_n"}, x, fx, step, bound};
    case Method::Combined:
        return {{MethodCell::A, "a", "a"},
                {MethodCell::B, "b", "b"},
                {MethodCell::ChordX, text(TextColumnChordX), "x_chord"},
                {MethodCell::TangentX, text(TextColumnTangentX), "x_tangent"},
                x,
                fx,
                {MethodCell::Step, text(TextColumnGap), "gap"}};
    default:
        return {xn, x, fx, step, bound};
    }
}

std::string methodCsvHeader(Method method) {
    std::string header = "n";
    for (const MethodColumn& column : methodColumns(method)) {
        header.append(",").append(column.csv);
    }
    return header + ",note\r\n";
}

namespace {

// The words of each note, the table's and the CSV's, in the order written.
template <typename Words>
std::string joinedNotes(const MethodNotes& notes, Words words) {
    std::string joined;
    const auto add = [&](const std::string& word) { joined.append(joined.empty() ? "" : words.separator).append(word); };
    if (notes.outside) {
        add(words.outside);
    }
    if (notes.noPoint || notes.flat) {
        add(notes.flat ? words.flat : words.noPoint);
    } else if (notes.undefined) {
        add(words.undefined);
    } else if (notes.pole) {
        add(words.pole);
    } else if (notes.met) {
        add(notes.exactZero                        ? words.zero
            : notes.method == Method::Combined     ? words.combined
            : notes.rule == StopRule::Residual     ? words.residual
            : notes.rule == StopRule::Step         ? words.step
                                                   : words.relative);
    }
    return joined;
}

struct NoteWords {
    const char* separator;
    std::string outside, flat, noPoint, undefined, pole, zero, combined, residual, step, relative;
};

}  // namespace

std::string methodNoteWords(const MethodNotes& notes) {
    return joinedNotes(notes, NoteWords{"; ", text(TextOutside), text(TextFlat), text(TextNoPoint), text(TextUndefinedAtX),
                                        text(TextPoleNotRoot), text(TextMetZero), text(TextMetCombined), text(TextMetResidual),
                                        text(TextMetStep), text(TextMetRelative)});
}

std::string methodNoteCsv(const MethodNotes& notes) {
    return joinedNotes(notes, NoteWords{", ", "outside", "flat", "no point", "undefined", "pole, not a root", "zero", "gap below 2*EPS",
                                        "residual below EPS", "step below EPS", "step below EPS*|x|"});
}

std::string methodIdleRow(std::uint64_t first, std::uint64_t last) {
    return text(TextStepsIdleFrom) + std::to_string(first) + text(TextIdleTo) + std::to_string(last) +
           text(TextStepsIdleRepeat) + std::to_string(first - 1) + text(TextStepsIdleReason);
}
