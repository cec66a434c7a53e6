#include "steps/csv.h"

#include <charconv>
#include <cstring>

#include "numeric/extended_digits.h"

namespace {

constexpr const char* LineEnd = "\r\n";  // as RFC 4180 ends its records

template <typename Number>
std::string shortest(Number value) {
    char digits[64];
    return {digits, std::to_chars(digits, digits + sizeof digits, value).ptr};
}

std::string shortest(std::optional<double> value) {
    return value ? shortest(*value) : std::string();
}

[[maybe_unused]] bool sameBits(long double a, long double b) {
    return std::memcmp(&a, &b, 10) == 0;  // the x87 format's ten bytes
}

[[maybe_unused]] bool sameBits(const SoftExtended& a, const SoftExtended& b) {
    return a.significand == b.significand && a.exponent == b.exponent &&
           a.negative == b.negative && a.kind == b.kind;
}

const char* endName(ChordEnd end) {
    return end == ChordEnd::A ? "a" : end == ChordEnd::B ? "b" : "";
}

}  // namespace

std::string csvHeader(bool scale) {
    std::string header;
    for (const ColumnName& name : columnNames(scale)) {
        header.append(header.empty() ? "" : ",").append(name.csv);
    }
    return header.append(LineEnd);
}

std::string csvField(const std::string& field) {
    if (field.find_first_of(",\"\r\n") == std::string::npos) {
        return field;
    }
    std::string quoted = "\"";
    for (const char c : field) {
        quoted += c == '"' ? "\"\"" : std::string(1, c);
    }
    return quoted + "\"";
}

std::string csvRow(CsvFormat& format, std::uint64_t number, const DialogChord& step,
                   const ChordEstimates& estimates, const ChordNotes& notes) {
    if (format.lastFbText.empty() || !sameBits(format.lastFb, step.fb)) {
        format.lastFb = step.fb;
        format.lastFbText = shortestExtendedText(step.fb);
    }
    std::string row = std::to_string(number) + "," + shortest(step.a) + "," + shortest(step.b) +
                      "," + shortest(toFloat(step.fa)) + "," + format.lastFbText + ",";
    if (step.x) {
        row += shortest(*step.x);
    }
    row += ",";
    if (step.x && !step.undefined) {
        row += shortest(step.fx);
    }
    return row + "," + endName(step.replaced) + "," + shortest(estimates.step) + "," +
           shortest(estimates.ratio) + "," + shortest(estimates.bound) + "," +
           csvField(noteCsv(notes)) + LineEnd;
}
