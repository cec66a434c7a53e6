#pragma once
// The program's texts as a UTF-8 terminal shows them, for building the
// transcripts the end-to-end tests expect.

#include <string>

namespace text {
inline const std::string Banner = "Программа демонстрирует решение нелинейного уравнения методом хорд";
inline const std::string AskXib = "Введите начало интервала поиска корня Xib: ";
inline const std::string AskXie = "Введите конец интервала поиска корня Xie: ";
inline const std::string AskEpsilon = "Введите точность расчета: ";
inline const std::string AskLimit = "Введите максимальное число итераций:";
inline const std::string BadInterval = "Неудачный интервал, попробуйте еще раз";
inline const std::string NotFound = "Решение не найдено";
inline const std::string PressKey = "Нажмите любую клавишу";
inline const std::string ReadFailed = "Не удалось прочитать число, расчет прерван";
inline const std::string OverflowLine = "\r\nexp: OVERFLOW error\r\n";
}  // namespace text

// The two report lines of a root found, each followed by `lineEnd`.
inline std::string rootFound(const std::string& root, const std::string& value,
                             const std::string& count, const std::string& lineEnd = "\n") {
    return "Корень = " + root + " F(" + root + ")=" + value + lineEnd + "Число итераций = " + count +
           lineEnd;
}

// The whole output of a run that got its interval at the first attempt.
inline std::string acceptedRun(const std::string& report, const std::string& lineEnd = "\n") {
    return text::Banner + lineEnd + text::AskXib + text::AskXie + text::AskEpsilon + text::AskLimit +
           report + text::PressKey;
}

// The run of the classic input "0 1 0.0001 100".
inline std::string zeroToOneRun(const std::string& lineEnd = "\n") {
    return acceptedRun(rootFound("0.299771", "-5.19123e-05", "5", lineEnd), lineEnd);
}

inline std::string repeated(const std::string& piece, int times) {
    std::string all;
    while (times-- > 0) {
        all += piece;
    }
    return all;
}
