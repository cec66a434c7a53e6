#pragma once
// The fixed texts of chords-steps, kept in Windows-1251 like the dialog's.

#include <string>

#include "text/cp1251_text.h"

inline constexpr const char* ProgramName = "chords-steps";

// A fixed text as a string, to build lines from.
inline std::string text(const CatalogueText& catalogueText) {
    return catalogueText.data();
}

// Every option, in lines under the program's name; the help's descriptions
// start in the same column.
inline constexpr CatalogueText TextUsage[] = {
    cp1251Text("Использование: chords-steps XIB XIE EPS LIMIT [--svg ФАЙЛ] [--html ФАЙЛ] [--csv ФАЙЛ] [--animate]"),
    cp1251Text("               [--equation ВЫРАЖЕНИЕ] [--precision single|double|extended] [--compare]"),
    cp1251Text("               [--method chords|illinois|pegasus|anderson-bjorck|bisection|newton|secant|"),
    cp1251Text("                         combined|iteration] [--stop residual|step|relative]"),
    cp1251Text("               [--x0 X] [--phi ВЫРАЖЕНИЕ] [--html-app ФАЙЛ]"),
    cp1251Text("          или: chords-steps --html-app ФАЙЛ"),
    cp1251Text("          или: chords-steps --separate A B [N] [--equation ВЫРАЖЕНИЕ]"),
    cp1251Text("               [--precision single|double|extended] [--svg ФАЙЛ] [--html ФАЙЛ] [--csv ФАЙЛ]"),
    cp1251Text("          или: chords-steps --help | --version"),
};
inline constexpr std::size_t HelpColumn = 15;
inline constexpr CatalogueText TextHelpPurpose =
    cp1251Text("Показывает каждую хорду метода хорд для уравнения F(x) = 0, где");
inline constexpr CatalogueText TextEquation =
    cp1251Text("F(x) = 2*exp(-x) + 0.2*x^2 - 1.5");
inline constexpr CatalogueText TextHelpArguments[] = {
    cp1251Text("  XIB, XIE     начало и конец интервала поиска корня"),
    cp1251Text("  EPS          точность: поиск окончен, когда |F(x)| < EPS"),
    cp1251Text("  LIMIT        наибольшее число итераций, от 0 до 4294967295"),
    cp1251Text("  --svg ФАЙЛ   записать также рисунок: кривую, хорды и корень (SVG)"),
    cp1251Text("  --html ФАЙЛ  записать страницу урока: таблицу и рисунок, по хордам клавишами"),
    cp1251Text("               <- и -> (Home, End - к началу и к концу, пробел - показ по порядку);"),
    cp1251Text("               адрес ФАЙЛ#3 открывает страницу на хорде 3; где установлен модуль"),
    cp1251Text("               страницы (chords-steps-web.js), на ней и форма, которая считает"),
    cp1251Text("               в браузере те же биты"),
    cp1251Text("  --html-app ФАЙЛ  то же, но без модуля - отказ; без чисел - пример 0 1 0.0001 100"),
    cp1251Text("  --csv ФАЙЛ   записать таблицу для электронных таблиц (CSV, десятичная точка)"),
    cp1251Text("  --animate    на рисунке хорды появляются одна за другой, по секунде на хорду"),
    cp1251Text("               ФАЙЛ \"-\" - стандартный вывод вместо таблицы (только один файл)"),
    cp1251Text("  --equation ВЫРАЖЕНИЕ  своё уравнение F(x) = 0: числа, x, + - * / ^, скобки, pi, e,"),
    cp1251Text("               exp ln lg log10 sqrt abs sin cos tg tan ctg cot arcsin asin arccos acos"),
    cp1251Text("               arctg atan sinh cosh tanh; умножение явно: 2*x; концы XIB и XIE"),
    cp1251Text("               тогда - числа или выражения без x: pi/4, 3*pi/2, sqrt(2)"),
    cp1251Text("  --precision single|double|extended  хранение и вычисления: single - как в диалоге"),
    cp1251Text("               (по умолчанию без --equation), double - IEEE binary64 (по умолчанию"),
    cp1251Text("               с --equation), extended - 64-битная мантисса; те же биты на любой системе"),
    cp1251Text("  --method chords|illinois|pegasus|anderson-bjorck  метод хорд или его изменения,"),
    cp1251Text("               которые уменьшают значение на удерживаемом конце и сходятся быстрее;"),
    cp1251Text("               F(a), F(b) со звёздочкой - такие значения, Множитель - их множитель;"),
    cp1251Text("               bisection - половинное деление, newton - касательные, secant - секущие,"),
    cp1251Text("               combined - хорды и касательные вместе, iteration - простая итерация;"),
    cp1251Text("               у каждого в шапке его условия и оценки, в таблице и CSV его столбцы:"),
    cp1251Text("               bisection  n,a,b,x,F(x),bound,note"),
    cp1251Text("               newton     n,x_n,F(x_n),dF(x_n),x,F(x),step,bound,note"),
    cp1251Text("               secant     n,x_prev,x_n,x,F(x),step,bound,note"),
    cp1251Text("               combined   n,a,b,x_chord,x_tangent,x,F(x),gap,note"),
    cp1251Text("               iteration  n,x_n,x,F(x),step,bound,note (x = phi(x_n))"),
    cp1251Text("  --stop residual|step|relative  остановка по |F(x)| < EPS (по умолчанию), по"),
    cp1251Text("               |x - x предыдущей хорды| < EPS (не раньше второй хорды) или, relative,"),
    cp1251Text("               по |x(n) - x(n-1)| < EPS*|x(n)|; у половинного деления шаг - (b - a)/2"),
    cp1251Text("  --x0 X       начальное приближение метода касательных и простой итерации"),
    cp1251Text("  --phi ВЫРАЖЕНИЕ  phi(x) простой итерации x = phi(x); без него x - F(x)/k, k = M1*sign F'"),
    cp1251Text("  --compare    вместо таблицы - строка на каждый метод: шагов, вычислений F, F', phi,"),
    cp1251Text("               корень, F в корне, порядок, почему остановился"),
    cp1251Text("  --separate A B [N]  отделение корней вместо метода: F в N + 1 точках сетки от A до B"),
    cp1251Text("               (N = 20 по умолчанию), знак F в каждой и интервалы [x_i, x_i+1], где F"),
    cp1251Text("               меняет знак, - с командой метода хорд для каждого; B < A - концы меняются"),
    cp1251Text("               местами; не сочетается с --method, --stop, --compare и --animate"),
    cp1251Text("  --help       показать эту справку и выйти"),
    cp1251Text("  --version    показать версию и выйти"),
    cp1251Text("Примеры:"),
    cp1251Text("  chords-steps 0 1 0.0001 100 --html lesson.html --svg c.svg --csv c.csv"),
    cp1251Text("  chords-steps --equation 'cos(x) - x' 0.5 0.7853981633974483 1e-10 20"),
    cp1251Text("  chords-steps --equation 'x^3 + 4*x^2 - 10' 1 2 1e-10 100 --compare"),
    cp1251Text("  chords-steps --equation 'x^2 - 2' 0 10 0.1 100 --method illinois --html illinois.html"),
    cp1251Text("  chords-steps --separate -10 10 40 --svg roots.svg"),
    cp1251Text("Столбцы таблицы:"),
    cp1251Text("  Хорда        номер хорды, строка на каждую проведённую; \"Число итераций\" в"),
    cp1251Text("               итоге считает только хорды, не достигшие точности"),
    cp1251Text("  a, b         концы интервала, между которыми проведена хорда"),
    cp1251Text("  F(a), F(b)   значения F на концах"),
    cp1251Text("  x, F(x)      точка, где хорда пересекает ось, и F в ней"),
    cp1251Text("  Замена       конец, место которого занял x (a или b)"),
    cp1251Text("  Шаг          |x - x предыдущей хорды|"),
    cp1251Text("  Отношение    Шаг / предыдущий Шаг: стремится к скорости сходимости метода"),
    cp1251Text("  Оценка       |F(x)|/m1, граница погрешности x; m1 = min |F'| на [XIB, XIE]"),
    cp1251Text("  Оценка M1    (M1 - m1)/m1*Шаг, вторая граница погрешности x; M1 = max |F'|"),
    cp1251Text("  Примечание   точность достигнута (шаг меньше EPS - при --stop step), хорду не провести,"),
    cp1251Text("               переполнение exp, заменён неподвижный конец (x из-за округления оказался"),
    cp1251Text("               за корнем), разрыв: шаг мал, а |F| больше, чем на концах"),
    cp1251Text("Неподвижный конец - тот, где F*F'' > 0: в точной арифметике он не меняется."),
    cp1251Text("a, b, F(a), x и F(x) хранятся в одинарной точности, как в диалоге chords:"),
    cp1251Text("b = 2.6 хранится как 2.5999999. F(b) - не округлённое значение расширенной"),
    cp1251Text("точности, поэтому в последних цифрах оно может отличаться от F(x) строкой выше."),
    cp1251Text("Числа таблицы - 9 значащих цифр, оценки - 3; в CSV - столько, сколько нужно,"),
    cp1251Text("чтобы прочитать то же значение. Числа пишутся с точкой: 0.5, а не 0,5."),
    cp1251Text("Числа читаются по правилам диалога chords; каждый аргумент - одно число."),
    cp1251Text("Состояние выхода: 0 - таблица выведена, 1 - интервал не подходит,"),
    cp1251Text("файл не записан или таблицу не удалось вывести, 2 - ошибка в аргументах."),
};

// Argument errors; each follows the program's name and ": ".
inline constexpr CatalogueText TextMissingArgument = cp1251Text("не хватает аргумента ");
inline constexpr CatalogueText TextNotOneNumber = cp1251Text(" должен быть одним числом");
inline constexpr CatalogueText TextNotOneCount =
    cp1251Text(" должен быть одним целым числом от 0 до 4294967295");
inline constexpr CatalogueText TextNotOneStepCount =
    cp1251Text(" должен быть одним целым числом от 1 до 4294967295");
inline constexpr CatalogueText TextDecimalPoint =
    cp1251Text(" (дробную часть отделяет точка: 0.5, а не 0,5)");
// Followed by the argument as typed and the closing quote.
inline constexpr CatalogueText TextExtraArgument = cp1251Text("лишний аргумент «");
inline constexpr CatalogueText TextUnknownOption = cp1251Text("неизвестный параметр «");
inline constexpr CatalogueText TextClosingQuote = cp1251Text("»");
// Follow the option's name.
inline constexpr CatalogueText TextFileMissing = cp1251Text(": нужно имя файла");
inline constexpr CatalogueText TextOptionTwice = cp1251Text(": параметр указан дважды");
inline constexpr CatalogueText TextOutputTwice =
    cp1251Text(": на стандартный вывод (\"-\") можно направить только один файл");
// The file as given between these two, then the two options and TextAnd.
inline constexpr CatalogueText TextFileNamedTwice = cp1251Text("файл ");
inline constexpr CatalogueText TextNamedForTwoOutputs = cp1251Text(" назван для двух выводов: ");

// Rejected intervals.
inline constexpr CatalogueText TextBadIntervalPrefix = cp1251Text("неудачный интервал: ");
inline constexpr CatalogueText TextInfiniteEnd = cp1251Text(" вне диапазона одинарной точности");
inline constexpr CatalogueText TextStartValueTooLarge =
    cp1251Text(" вне диапазона одинарной точности, хорду не провести");
inline constexpr CatalogueText TextBeyondDouble = cp1251Text(" вне диапазона double");
inline constexpr CatalogueText TextBeyondExtended = cp1251Text(" вне диапазона extended");
inline constexpr CatalogueText TextNoChordThen = cp1251Text(", хорду не провести");
inline constexpr CatalogueText TextAnd = cp1251Text(" и ");
inline constexpr CatalogueText TextSameSign = cp1251Text(": F не меняет знак");

inline constexpr CatalogueText TextOutputFailed =
    cp1251Text("не удалось вывести таблицу: стандартный вывод не принимает данные");
// A picture that cannot be written: the prefix, the file as given, ": " and
// the reason.
inline constexpr CatalogueText TextPictureNotWritten =
    cp1251Text("не удалось записать рисунок в файл ");
inline constexpr CatalogueText TextPageNotWritten = cp1251Text("не удалось записать страницу в файл ");
inline constexpr CatalogueText TextCsvNotWritten =
    cp1251Text("не удалось записать таблицу CSV в файл ");
inline constexpr CatalogueText TextPictureToOutput = cp1251Text("стандартный вывод");
inline constexpr CatalogueText TextNoSuchFile = cp1251Text("нет такого файла или каталога");
inline constexpr CatalogueText TextAccessDenied = cp1251Text("доступ запрещен");
inline constexpr CatalogueText TextIsAFolder = cp1251Text("это каталог");
inline constexpr CatalogueText TextNoSpace = cp1251Text("нет места на устройстве");
inline constexpr CatalogueText TextReadOnly = cp1251Text("файловая система только для чтения");
inline constexpr CatalogueText TextOutputRefused = cp1251Text("вывод не принимает данные");
inline constexpr CatalogueText TextErrorNumber = cp1251Text("ошибка номер ");
inline constexpr CatalogueText TextTableCut = cp1251Text(
    "таблица выведена не полностью: стандартный вывод перестал принимать данные");

// The table.
inline constexpr CatalogueText TextTitle = cp1251Text("Метод хорд для уравнения ");
inline constexpr CatalogueText TextInterval = cp1251Text("Интервал: ");
inline constexpr CatalogueText TextAccuracy = cp1251Text("; точность ");
inline constexpr CatalogueText TextLimit = cp1251Text("; наибольшее число итераций ");
inline constexpr CatalogueText TextColumnChord = cp1251Text("Хорда");
inline constexpr CatalogueText TextColumnReplaced = cp1251Text("Замена");
inline constexpr CatalogueText TextColumnStep = cp1251Text("Шаг");
inline constexpr CatalogueText TextColumnRatio = cp1251Text("Отношение");
inline constexpr CatalogueText TextColumnBound = cp1251Text("Оценка");
inline constexpr CatalogueText TextColumnBoundM1 = cp1251Text("Оценка M1");
inline constexpr CatalogueText TextColumnNote = cp1251Text("Примечание");
inline constexpr CatalogueText TextFixedEnd = cp1251Text("Неподвижный конец: ");
inline constexpr CatalogueText TextFixedEndRule =
    cp1251Text(", так как F*F'' > 0 на нём (F'' > 0 всюду); ");
inline constexpr CatalogueText TextMovingEnd = cp1251Text(" движется к корню");
inline constexpr CatalogueText TextNoFixedEnd =
    cp1251Text("Неподвижный конец: нет, F не положительна ни на одном конце");
inline constexpr CatalogueText TextSlopeOn = cp1251Text("m1 = min |F'(x)| на [");
inline constexpr CatalogueText TextSlopeBound = cp1251Text("; Оценка погрешности = |F(x)|/m1");
inline constexpr CatalogueText TextNoSlope = cp1251Text(
    "]: F' может обращаться в нуль, оценка погрешности |F(x)|/m1 не вычисляется");
// The second bound's line: M1, and the bound's formula or why it has none.
inline constexpr CatalogueText TextLargestSlopeOn = cp1251Text("M1 = max |F'(x)| на [");
inline constexpr CatalogueText TextSecondBoundFormula = cp1251Text("(M1 - m1)/m1*|x - x предыдущей хорды|");
inline constexpr CatalogueText TextSecondBound = cp1251Text("; Оценка M1 = ");
// Around the formula.
inline constexpr CatalogueText TextNoSecondBound = cp1251Text("; оценка ");
inline constexpr CatalogueText TextNoSecondBoundWhy = cp1251Text(" без m1 не вычисляется");
// A typed F's M1 not found; the dialog's F's beyond double, where F overflows.
// Both go on with the formula and TextNoLargestSlopeWhy.
inline constexpr CatalogueText TextNoLargestSlope =
    cp1251Text("]: не найдено (F' может быть неограничена, не определена или вне диапазона double), оценка ");
inline constexpr CatalogueText TextLargestSlopeBeyond = cp1251Text("]: вне диапазона double, оценка ");
inline constexpr CatalogueText TextNoLargestSlopeWhy = cp1251Text(" не вычисляется");
inline constexpr CatalogueText TextLegendReplaced =
    cp1251Text("Замена - конец (a или b), место которого занял x");
inline constexpr CatalogueText TextLegendSteps =
    cp1251Text("; Шаг = |x - x предыдущей хорды|; Отношение = Шаг / предыдущий Шаг");
inline constexpr CatalogueText TextCounts = cp1251Text(
    "Строка - одна проведённая хорда; \"Число итераций\" в итоге считает хорды, "
    "не достигшие точности");
inline constexpr CatalogueText TextFixedEndReplaced =
    cp1251Text("заменён неподвижный конец: x за корнем из-за округления");
inline constexpr CatalogueText TextNoChord = cp1251Text("хорду не провести");
inline constexpr CatalogueText TextOverflowMark = cp1251Text("переполнение exp");
inline constexpr CatalogueText TextAccuracyMet = cp1251Text("точность достигнута");
inline constexpr CatalogueText TextIdleFrom = cp1251Text("Хорды с ");
inline constexpr CatalogueText TextIdleTo = cp1251Text(" по ");
inline constexpr CatalogueText TextIdleRepeat = cp1251Text(" повторяют хорду ");
inline constexpr CatalogueText TextIdleReason = cp1251Text(": a и b больше не меняются");
inline constexpr CatalogueText TextIdleFixedEnd =
    cp1251Text("; каждая заменяет неподвижный конец из-за округления");

// The picture's caption.
inline constexpr CatalogueText TextCaptionTitle = cp1251Text("Метод хорд: ");
inline constexpr CatalogueText TextCaptionAccuracy = cp1251Text(", точность ");
inline constexpr CatalogueText TextCaptionLimit = cp1251Text(", наибольшее число итераций ");
inline constexpr CatalogueText TextCaptionChords = cp1251Text("Хорд проведено: ");
inline constexpr CatalogueText TextCaptionSteps = cp1251Text("Шагов сделано: ");
inline constexpr CatalogueText TextCaptionDistinct =
    cp1251Text("; на рисунке (остальные легли на те же пиксели или ближе 3 пикселей): ");
inline constexpr CatalogueText TextCaptionRoot = cp1251Text("корень");
inline constexpr CatalogueText TextPictureFixedEnd = cp1251Text("неподвижный конец");
inline constexpr CatalogueText TextPictureOutside = cp1251Text("вне рисунка");
inline constexpr CatalogueText TextCaptionCounts = cp1251Text(
    "Хорда - строка таблицы; \"Число итераций\" в ответе считает хорды, не достигшие точности");
inline constexpr CatalogueText TextCaptionStepCounts =
    cp1251Text("Шаг - строка таблицы; \"Число итераций\" в ответе считает шаги, не достигшие точности");
inline constexpr CatalogueText TextCaptionFixedEndReplaced =
    cp1251Text("заменён неподвижный конец (округление)");

// The lesson page.
inline constexpr CatalogueText TextPageTableName = cp1251Text("Таблица хорд");
inline constexpr CatalogueText TextPageGapFrom = cp1251Text("Хорды с ");
inline constexpr CatalogueText TextPageGapLeftOut =
    cp1251Text(" здесь не показаны; все они есть в таблице программы и в CSV");
inline constexpr CatalogueText TextPageSummary = cp1251Text("Сводка");
inline constexpr CatalogueText TextPageReport = cp1251Text("Ответ программы chords");
inline constexpr CatalogueText TextPageOutcome = cp1251Text("Итог");
inline constexpr CatalogueText TextPageLastX = cp1251Text("Последнее приближение");
inline constexpr CatalogueText TextPageChordsDrawn = cp1251Text("Хорд проведено");
inline constexpr CatalogueText TextPageStop = cp1251Text("Почему остановились");
inline constexpr CatalogueText TextPageStepsTaken = cp1251Text("Шагов сделано");
inline constexpr CatalogueText TextPageStepName = cp1251Text("Шаг");
inline constexpr CatalogueText TextPageStepsTable = cp1251Text("Таблица шагов");
inline constexpr CatalogueText TextPageStepsFrom = cp1251Text("Шаги с ");
inline constexpr CatalogueText TextPageStopAccuracy = cp1251Text("|F(x)| < EPS на хорде ");
inline constexpr CatalogueText TextPageStopStep = cp1251Text("|x - x предыдущей хорды| < EPS на хорде ");
inline constexpr CatalogueText TextPageStopRelative = cp1251Text("|x - x предыдущей хорды| < EPS*|x| на хорде ");
inline constexpr CatalogueText TextPageStopLimit = cp1251Text("достигнуто наибольшее число итераций ");
inline constexpr CatalogueText TextPageFixedEnd = cp1251Text("Неподвижный конец");
inline constexpr CatalogueText TextPageBound = cp1251Text("Оценка погрешности");
inline constexpr CatalogueText TextPageBoundM1 = cp1251Text("Оценка M1");
inline constexpr CatalogueText TextPageRate = cp1251Text("Наблюдаемая скорость (Шаг / предыдущий Шаг)");
inline constexpr CatalogueText TextPageRateAt = cp1251Text(" (на хорде ");
inline constexpr CatalogueText TextPageControls = cp1251Text("Шаги метода");
inline constexpr CatalogueText TextPageFirst = cp1251Text("В начало");
inline constexpr CatalogueText TextPagePrevious = cp1251Text("Назад");
inline constexpr CatalogueText TextPagePlay = cp1251Text("Пуск");
inline constexpr CatalogueText TextPagePause = cp1251Text("Пауза");
inline constexpr CatalogueText TextPageNext = cp1251Text("Вперёд");
inline constexpr CatalogueText TextPageLast = cp1251Text("В конец");
inline constexpr CatalogueText TextPageShowAll = cp1251Text("Показать всё");
inline constexpr CatalogueText TextPageStepPanel = cp1251Text("Что сделал шаг");
// What the panel beside the picture says of a step.
inline constexpr CatalogueText TextSayStart = cp1251Text("Начало: отрезок [");
inline constexpr CatalogueText TextSaySigns = cp1251Text("F на концах разных знаков: корень между ними.");
inline constexpr CatalogueText TextSayChordQuestion = cp1251Text("Какой конец заменит первая хорда?");
inline constexpr CatalogueText TextSayStepQuestion = cp1251Text("Каким будет первый шаг?");
inline constexpr CatalogueText TextSayChordThrough = cp1251Text(": через ");
inline constexpr CatalogueText TextSayReplacesA =
    cp1251Text("F(x) того же знака, что F(a): x заменяет a, корень остаётся между x и b.");
inline constexpr CatalogueText TextSayReplacesB =
    cp1251Text("F(x) того же знака, что F(b): x заменяет b, корень остаётся между a и x.");
inline constexpr CatalogueText TextSayRuleNotMet = cp1251Text("Условие остановки ");
inline constexpr CatalogueText TextSayNextChord = cp1251Text(" не выполнено: дальше следующая хорда.");
inline constexpr CatalogueText TextSayNextStep = cp1251Text("Условие остановки не выполнено: дальше следующий шаг.");
inline constexpr CatalogueText TextSayStopped = cp1251Text("Остановка: ");
inline constexpr CatalogueText TextRuleResidual = cp1251Text("|F(x)| < EPS");
inline constexpr CatalogueText TextRuleStep = cp1251Text("|x - x предыдущей хорды| < EPS");
inline constexpr CatalogueText TextRuleRelative = cp1251Text("|x - x предыдущей хорды| < EPS*|x|");
inline constexpr CatalogueText TextInsetScale = cp1251Text("последние хорды, увеличение ");

// The form of a page that computes in the browser.
inline constexpr CatalogueText TextAppTitle = cp1251Text("Свой вариант: считает сама страница");
inline constexpr CatalogueText TextAppHint =
    cp1251Text("Измените поле - страница пересчитает шаги теми же битами, что chords-steps.");
inline constexpr CatalogueText TextAppHintMore =
    cp1251Text(" Концы отрезка можно тянуть на рисунке. Пустое уравнение - F диалога.");
inline constexpr CatalogueText TextAppEquation = cp1251Text("Уравнение F(x) =");
inline constexpr CatalogueText TextAppLimit = cp1251Text("Наибольшее число итераций");
inline constexpr CatalogueText TextAppMethod = cp1251Text("Метод");
inline constexpr CatalogueText TextAppPrecision = cp1251Text("Точность вычислений");
inline constexpr CatalogueText TextAppStop = cp1251Text("Остановка");
inline constexpr CatalogueText TextAppStart = cp1251Text("x0 (касательные, простая итерация)");
inline constexpr CatalogueText TextAppPhi = cp1251Text("phi(x) (простая итерация)");
inline constexpr CatalogueText TextAppDefault = cp1251Text("по умолчанию");
inline constexpr CatalogueText TextAppCsv = cp1251Text("Скачать CSV");
inline constexpr CatalogueText TextAppFailed =
    cp1251Text("Вычисление прервано внутри модуля; модуль загружен заново, измените поле ещё раз.");
inline constexpr CatalogueText TextAppNoModule = cp1251Text("модуль страницы не найден: ");

// Typed equations.
inline constexpr CatalogueText TextFixedEquationText = cp1251Text("2*exp(-x) + 0.2*x^2 - 1.5");
inline constexpr CatalogueText TextExpressionFault = cp1251Text("ошибка в выражении: ");
// Follows the argument's name (XIB, XIE).
inline constexpr CatalogueText TextArgumentWithX =
    cp1251Text(" не может зависеть от x: нужно число или выражение без x, например pi/4");
inline constexpr CatalogueText TextValueMissing = cp1251Text(": нужно значение");
inline constexpr CatalogueText TextUnknownValue = cp1251Text("неизвестное значение «");
inline constexpr CatalogueText TextOfOption = cp1251Text("» параметра ");
inline constexpr CatalogueText TextPrecisionValues = cp1251Text(": допустимы single, double, extended");
inline constexpr CatalogueText TextMethodValues =
    cp1251Text(": допустимы chords|illinois|pegasus|anderson-bjorck|bisection|newton|secant|combined|iteration");
inline constexpr CatalogueText TextStopValues = cp1251Text(": допустимы residual, step, relative");
inline constexpr CatalogueText TextCompareTableOnly =
    cp1251Text("--compare пишет только таблицу сравнения, без --svg, --html и --csv");
inline constexpr CatalogueText TextMethodPlain = cp1251Text("метод хорд");
inline constexpr CatalogueText TextMethodIllinois = cp1251Text("метод Иллинойс");
inline constexpr CatalogueText TextMethodPegasus = cp1251Text("метод Пегас");
inline constexpr CatalogueText TextMethodAndersonBjorck = cp1251Text("метод Андерсона - Бьёрка");
inline constexpr CatalogueText TextComputedIn = cp1251Text("Вычисления: ");
inline constexpr CatalogueText TextPrecisionSingle = cp1251Text(
    "single (хранение в одинарной точности, формулы в расширенной, как в диалоге)");
inline constexpr CatalogueText TextPrecisionDouble = cp1251Text("double (IEEE binary64: хранение и формулы)");
inline constexpr CatalogueText TextPrecisionExtended =
    cp1251Text("extended (64-битная мантисса: хранение и формулы)");
inline constexpr CatalogueText TextStopResidual = cp1251Text("; остановка, когда |F(x)| < EPS");
inline constexpr CatalogueText TextStopStep =
    cp1251Text("; остановка, когда |x - x предыдущей хорды| < EPS");
inline constexpr CatalogueText TextColumnScale = cp1251Text("Множитель");
inline constexpr CatalogueText TextScaledLegend = cp1251Text(
    "* - значение на удерживаемом конце, умноженное на Множитель прежних строк");
inline constexpr CatalogueText TextUndefinedAtX = cp1251Text("F не определена в x");
inline constexpr CatalogueText TextUndefinedAtEnd = cp1251Text(": F там не определена");
inline constexpr CatalogueText TextNoFixedEndTyped = cp1251Text(
    "Неподвижный конец: нет, F'' может менять знак или не определена на интервале");
inline constexpr CatalogueText TextFixedEndOfPlain = cp1251Text("У метода хорд неподвижен был бы конец ");
inline constexpr CatalogueText TextFixedEndModified = cp1251Text(
    ", так как F*F'' > 0 на нём; изменённый метод уменьшает значение F на этом конце, и он тоже движется");
inline constexpr CatalogueText TextFixedEndTypedRule =
    cp1251Text(", так как F*F'' > 0 на нём (знак F'' постоянен на интервале); ");
inline constexpr CatalogueText TextCompareTitle = cp1251Text("Сравнение методов: ");
inline constexpr CatalogueText TextCompareHeader = cp1251Text("Метод");
inline constexpr CatalogueText TextCompareChords = cp1251Text("Хорд");
inline constexpr CatalogueText TextCompareRoot = cp1251Text("Корень");
inline constexpr CatalogueText TextCompareResidual = cp1251Text("F(корня)");
inline constexpr CatalogueText TextCompareOrder = cp1251Text("Порядок");
inline constexpr CatalogueText TextCompareNotFound = cp1251Text("не найден");
inline constexpr CatalogueText TextCompareOrderNote = cp1251Text(
    "Порядок p, где Шаг(n+1) ~ C*Шаг(n)^p: по последним шагам, в среднем за три шага");
inline constexpr CatalogueText TextNoTypedEquations =
    cp1251Text("эта сборка без MPFR: --equation, --precision double и extended и --phi недоступны");
// Root separation.
inline constexpr CatalogueText TextSeparateWith = cp1251Text("--separate не сочетается с ");
inline constexpr CatalogueText TextStartUnused = cp1251Text("--x0 задаёт начальное приближение только методам newton и iteration");
inline constexpr CatalogueText TextPhiUnused = cp1251Text("--phi задаёт функцию phi только методу iteration");
inline constexpr CatalogueText TextSeparateEmpty = cp1251Text(", отделять корни не на чем");
inline constexpr CatalogueText TextSeparateTitle = cp1251Text("Отделение корней: F(x) = ");
inline constexpr CatalogueText TextSeparateOn = cp1251Text(" на [");
inline constexpr CatalogueText TextSeparateSteps = cp1251Text("], шагов сетки N = ");
inline constexpr CatalogueText TextSeparateGrid =
    cp1251Text("Точки сетки x_i = A + i*h, i = 0, ..., N; h = (B - A)/N = ");
inline constexpr CatalogueText TextSeparateLegend = cp1251Text("Знак - знак F(x_i): +, - или 0");
inline constexpr CatalogueText TextSeparateLegendChange =
    cp1251Text("; где знаки соседних точек разные, между ними лежит корень (или разрыв F)");
inline constexpr CatalogueText TextColumnSign = cp1251Text("Знак");
inline constexpr CatalogueText TextSignUndefined = cp1251Text("не определена");
inline constexpr CatalogueText TextSignChange = cp1251Text("Смена знака на [");
inline constexpr CatalogueText TextGridRoot = cp1251Text("Корень на сетке: x = ");
inline constexpr CatalogueText TextSeparateFound = cp1251Text("Найдено интервалов со сменой знака: ");
inline constexpr CatalogueText TextSeparateRoots = cp1251Text("; корней на сетке: ");
inline constexpr CatalogueText TextSeparateNone =
    cp1251Text("Интервалов со сменой знака и корней на сетке нет; корни могут лежать и между точками");
inline constexpr CatalogueText TextSeparateNoneHint =
    cp1251Text(" (два близких корня, касание оси): попробуйте большее N или другой интервал");
inline constexpr CatalogueText TextSeparateUndefined = cp1251Text("F не определена в точках сетки: ");
inline constexpr CatalogueText TextSeparateUndefinedNote =
    cp1251Text("; интервал рядом с такой точкой сменой знака не считается");
inline constexpr CatalogueText TextSeparateMore = cp1251Text("Не показаны здесь, но видны в столбце Знак: ещё ");
inline constexpr CatalogueText TextSeparateMoreWhat = cp1251Text(" интервалов и корней на сетке");
inline constexpr CatalogueText TextSeparateCaption = cp1251Text("Отделение корней: ");
inline constexpr CatalogueText TextSeparatePositive = cp1251Text("F > 0");
inline constexpr CatalogueText TextSeparateNegative = cp1251Text("F < 0");
inline constexpr CatalogueText TextSeparateBand = cp1251Text("смена знака");
inline constexpr CatalogueText TextSeparateRootMark = cp1251Text("корень на сетке");
inline constexpr CatalogueText TextPageGridName = cp1251Text("Таблица значений F");
inline constexpr CatalogueText TextPageGridGap = cp1251Text("Точки с ");
inline constexpr CatalogueText TextPageFound = cp1251Text("Результат");
inline constexpr CatalogueText TextPageIntervals = cp1251Text("Интервалы для метода");
inline constexpr CatalogueText TextPressAnyKey = cp1251Text("Нажмите любую клавишу…");
