#pragma once

#include "text/cp1251_text.h"

// TextCatalogue: the dialog's fixed texts.
inline constexpr CatalogueText TextBanner =
    cp1251Text("Программа демонстрирует решение нелинейного уравнения методом хорд");
inline constexpr CatalogueText TextPromptXib =
    cp1251Text("Введите начало интервала поиска корня Xib: ");
inline constexpr CatalogueText TextPromptXie =
    cp1251Text("Введите конец интервала поиска корня Xie: ");
inline constexpr CatalogueText TextBadInterval =
    cp1251Text("Неудачный интервал, попробуйте еще раз");
inline constexpr CatalogueText TextPromptEpsilon = cp1251Text("Введите точность расчета: ");
inline constexpr CatalogueText TextPromptLimit =
    cp1251Text("Введите максимальное число итераций:");
inline constexpr CatalogueText TextNotFound = cp1251Text("Решение не найдено");
inline constexpr CatalogueText TextRoot = cp1251Text("Корень = ");
inline constexpr const char* TextValueOpen = " F(";
inline constexpr const char* TextValueClose = ")=";
inline constexpr CatalogueText TextIterations = cp1251Text("Число итераций = ");
inline constexpr CatalogueText TextPressKey = cp1251Text("Нажмите любую клавишу");
// Written when a number cannot be read: malformed, out of range, or the
// input has ended.
inline constexpr CatalogueText TextReadFailed =
    cp1251Text("Не удалось прочитать число, расчет прерван");
