// Texts in the terminal's character set, as the locale names it.
#include <iconv.h>
#include <langinfo.h>

#include <array>
#include <cerrno>
#include <clocale>
#include <cstring>

#include "console/posix/posix.h"
#include "text/text_codec.h"

namespace {

// The whole text or nothing: false when a character has no place in the
// target set.
bool convertWith(iconv_t with, std::string_view cp1251Text, std::string& converted) {
    // Four bytes a character hold any multibyte form of a Cyrillic letter.
    converted.assign(cp1251Text.size() * 4 + 16, '\0');
    auto* in = const_cast<char*>(cp1251Text.data());
    std::size_t inLeft = cp1251Text.size();
    char* out = converted.data();
    std::size_t outLeft = converted.size();
    ::iconv(with, nullptr, nullptr, nullptr, nullptr);
    const bool whole = ::iconv(with, &in, &inLeft, &out, &outLeft) != static_cast<std::size_t>(-1) &&
                       ::iconv(with, nullptr, nullptr, &out, &outLeft) != static_cast<std::size_t>(-1);
    converted.resize(converted.size() - outLeft);
    return whole;
}

// Every Cyrillic letter of the code page must survive the conversion.
bool showsCyrillic(iconv_t with) {
    std::string letters;
    for (int byte = 0xC0; byte <= 0xFF; ++byte) {
        letters += static_cast<char>(byte);
    }
    letters += "\xA8\xB8";  // Ё ё
    std::string converted;
    return convertWith(with, letters, converted);
}

}  // namespace

std::optional<iconv_t> openTextConversion() {
    // Only the character set: numbers are never formatted or scanned
    // through the locale.
    std::setlocale(LC_CTYPE, "");
    const char* codeset = ::nl_langinfo(CODESET);
    // UTF-8 is built in, and plain ASCII has no Cyrillic letters: neither
    // needs the converter module loaded.
    if (std::strcmp(codeset, "UTF-8") == 0 || std::strcmp(codeset, "ANSI_X3.4-1968") == 0) {
        return std::nullopt;
    }
    const iconv_t converter = ::iconv_open(codeset, "CP1251");
    if (converter == reinterpret_cast<iconv_t>(-1)) {
        return std::nullopt;
    }
    if (!showsCyrillic(converter)) {
        ::iconv_close(converter);
        return std::nullopt;
    }
    return converter;
}

void closeTextConversion(std::optional<iconv_t> converter) {
    if (converter) {
        ::iconv_close(*converter);
    }
}

std::string convertToTerminal(void* devices, std::string_view cp1251Text) {
    const std::optional<iconv_t> converter = static_cast<const PosixDevices*>(devices)->converter;
    std::string converted;
    if (converter && convertWith(*converter, cp1251Text, converted)) {
        return converted;
    }
    return cp1251ToUtf8(cp1251Text);
}

bool terminalUsesUtf8(const PosixDevices& devices) {
    return !devices.converter;
}
