#include "dialog/command_line.h"

#include <string>

#include "text/cp1251_text.h"

namespace {

constexpr CatalogueText HelpLines[] = {
    cp1251Text("Использование: chords [--help | --version]"),
    cp1251Text("Решает уравнение F(x) = 2*exp(-x) + 0.2*x^2 - 1.5 = 0 методом хорд в диалоге:"),
    cp1251Text("спрашивает интервал Xib, Xie, пока F не сменит на нём знак, затем точность"),
    cp1251Text("и наибольшее число итераций; выводит корень, F в нём и число итераций"),
    cp1251Text("(или \"Решение не найдено\") и ждёт нажатия клавиши."),
    cp1251Text("Числа пишутся с точкой: 0.5. Другие аргументы не учитываются."),
    cp1251Text("Каждую хорду той же итерации показывает chords-steps (man chords-steps)."),
    cp1251Text("  --help       показать эту справку и выйти"),
    cp1251Text("  --version    показать версию и выйти"),
};

}  // namespace

DialogRequest requestOf(std::span<const char* const> arguments) {
    if (arguments.size() != 1) {
        return DialogRequest::Dialog;
    }
    const std::string_view only = arguments[0];
    return only == "--help"      ? DialogRequest::Help
           : only == "--version" ? DialogRequest::Version
                                 : DialogRequest::Dialog;
}

void showDialogHelp(Console& console) {
    for (const CatalogueText& line : HelpLines) {
        showText(console, line.data());
        endLine(console);
    }
}

void showDialogVersion(Console& console, const char* version) {
    writeRaw(console, std::string("chords ") + version);
    endLine(console);
}
