#pragma once
// The texts of the methods beside the chords, in Windows-1251 like the rest.

#include "text/cp1251_text.h"

inline constexpr CatalogueText TextMethodBisection = cp1251Text("метод половинного деления");
inline constexpr CatalogueText TextMethodNewton = cp1251Text("метод касательных (Ньютона)");
inline constexpr CatalogueText TextMethodSecant = cp1251Text("метод секущих");
inline constexpr CatalogueText TextMethodCombined = cp1251Text("комбинированный метод хорд и касательных");
inline constexpr CatalogueText TextMethodIteration = cp1251Text("метод простой итерации");
inline constexpr CatalogueText TextForEquation = cp1251Text(" для уравнения ");
inline constexpr CatalogueText TextStopRelative =
    cp1251Text("; остановка, когда |x(n) - x(n-1)| < EPS*|x(n)|");
inline constexpr CatalogueText TextStopStepOfMethod = cp1251Text("; остановка, когда |x(n) - x(n-1)| < EPS");
inline constexpr CatalogueText TextStopHalfWidth = cp1251Text("; остановка, когда (b - a)/2 < EPS");
inline constexpr CatalogueText TextStopHalfWidthRelative =
    cp1251Text("; остановка, когда (b - a)/2 < EPS*|x|");
inline constexpr CatalogueText TextStopCombined =
    cp1251Text("; остановка, когда |x кас. - x хорд| < 2*EPS, ответ - их середина");

// The conditions on the interval.
inline constexpr CatalogueText TextSlopeKeeps = cp1251Text("F' сохраняет знак на интервале: F' ");
inline constexpr CatalogueText TextSlopeMayChange = cp1251Text(
    "F' может обращаться в нуль на интервале: корень может быть не один, касательная - горизонтальной");
inline constexpr CatalogueText TextCurvatureKeeps = cp1251Text("; F'' сохраняет знак: F'' ");
inline constexpr CatalogueText TextCurvatureMayChange =
    cp1251Text("; F'' может менять знак: у кривой перегиб, условие Фурье не выполнено на всём интервале");
inline constexpr CatalogueText TextMayBeUnbounded = cp1251Text(
    "Внимание: F может быть неограничена на интервале (разрыв): смена знака не доказывает корня");
inline constexpr CatalogueText TextBoundsAre = cp1251Text("Оценки: ");
inline constexpr CatalogueText TextNoBound = cp1251Text("не вычисляется");

// Each method's own head line.
inline constexpr CatalogueText TextStepsIdleFrom = cp1251Text("Шаги с ");
inline constexpr CatalogueText TextStepsIdleRepeat = cp1251Text(" повторяют шаг ");
inline constexpr CatalogueText TextStepsIdleReason = cp1251Text(": точки и значения F больше не меняются");
inline constexpr CatalogueText TextBisectionCount = cp1251Text("Априорное число шагов: n = ");
inline constexpr CatalogueText TextBisectionCountRule =
    cp1251Text(", наименьшее с (Xie - Xib)/2^n <= EPS; Оценка = (b - a)/2");
inline constexpr CatalogueText TextBisectionNoCount =
    cp1251Text("Априорное число шагов не вычисляется: EPS не положительна");
inline constexpr CatalogueText TextStartFourier =
    cp1251Text(", так как F*F'' > 0 в нём (условие Фурье)");
inline constexpr CatalogueText TextStartGiven = cp1251Text(" (задано --x0)");
inline constexpr CatalogueText TextNewtonBound = cp1251Text("Оценка = M2/(2*m1)*Шаг^2, M2 = max |F''| = ");
inline constexpr CatalogueText TextSecantBound = cp1251Text("Оценка = |F(x)|/m1, m1 = ");
inline constexpr CatalogueText TextCombinedTangent = cp1251Text("Касательные - из конца ");
inline constexpr CatalogueText TextCombinedChords = cp1251Text(" (F*F'' > 0), хорды - через a и b");
inline constexpr CatalogueText TextPhiDefault = cp1251Text("phi(x) = x - F(x)/k, k = M1*sign F' = ");
inline constexpr CatalogueText TextPhiTyped = cp1251Text("phi(x) = ");
inline constexpr CatalogueText TextContraction = cp1251Text("q = max |phi'| = ");
inline constexpr CatalogueText TextContractionDefault = cp1251Text("q = 1 - m1/M1 = ");
inline constexpr CatalogueText TextIterationBound = cp1251Text("; Оценка = q/(1 - q)*Шаг");
inline constexpr CatalogueText TextIterationCountRule =
    cp1251Text(", наименьшее с q^n*|x1 - x0|/(1 - q) <= EPS");
inline constexpr CatalogueText TextQNotBelowOne =
    cp1251Text(": q >= 1, сходимость не гарантирована, итерации могут расходиться");
inline constexpr CatalogueText TextQUnknown =
    cp1251Text("q оценить не удалось: сходимость не гарантирована, итерации могут расходиться");

// Refusals.
inline constexpr CatalogueText TextStartNeeded = cp1251Text(
    "нет конца, где F*F'' > 0 (F'' может менять знак на интервале): задайте начальное приближение --x0");
inline constexpr CatalogueText TextCombinedNoFourier = cp1251Text(
    "комбинированный метод невозможен: нет конца, где F*F'' > 0 (F'' может менять знак на интервале)");
inline constexpr CatalogueText TextCombinedOwnStop =
    cp1251Text("комбинированный метод останавливается по своему правилу: --stop с ним не задаётся");
inline constexpr CatalogueText TextPhiNeeded = cp1251Text(
    "F' может менять знак на интервале, phi(x) = x - F(x)/k не строится: задайте phi через --phi");
inline constexpr CatalogueText TextStartNotNumber = cp1251Text("--x0: нужно одно число");

// The columns.
inline constexpr CatalogueText TextColumnN = cp1251Text("Шаг n");
inline constexpr CatalogueText TextColumnChordX = cp1251Text("x хорд");
inline constexpr CatalogueText TextColumnTangentX = cp1251Text("x кас.");
inline constexpr CatalogueText TextColumnGap = cp1251Text("|xк - xх|");

// The notes.
inline constexpr CatalogueText TextMetResidual = cp1251Text("|F(x)| < EPS");
inline constexpr CatalogueText TextMetStep = cp1251Text("шаг меньше EPS");
inline constexpr CatalogueText TextPoleNotRoot = cp1251Text("шаг мал, но |F| больше, чем на концах: разрыв, не корень");
inline constexpr CatalogueText TextMetRelative = cp1251Text("шаг меньше EPS*|x|");
inline constexpr CatalogueText TextMetCombined = cp1251Text("|x кас. - x хорд| < 2*EPS");
inline constexpr CatalogueText TextMetZero = cp1251Text("F(x) = 0");
inline constexpr CatalogueText TextFlat = cp1251Text("F' = 0: касательную не провести");
inline constexpr CatalogueText TextNoPoint = cp1251Text("новую точку не найти");
inline constexpr CatalogueText TextOutside = cp1251Text("x вне [Xib, Xie]");

// The comparison.
inline constexpr CatalogueText TextCompareSteps = cp1251Text("Шагов");
inline constexpr CatalogueText TextCompareStop = cp1251Text("Остановка");
inline constexpr CatalogueText TextCompareNone = cp1251Text("—");
inline constexpr CatalogueText TextCompareLimit = cp1251Text("предел итераций");
inline constexpr CatalogueText TextCompareEvaluations =
    cp1251Text("F, F', phi - сколько значений вычислил метод (повторно использованное не считается)");
inline constexpr CatalogueText TextCompareOrderUnknown =
    cp1251Text("Порядок \"—\": последних шагов мало для оценки, или корень не найден");
