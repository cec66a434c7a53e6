#include "steps/csv.h"

std::string csvHeader(bool scale) {
    std::string header;
    for (const ColumnName& name : columnNames(scale)) {
        header.append(header.empty() ? "" : ",").append(name.csv);
    }
    return header.append("\r\n");  // as RFC 4180 ends its records
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
