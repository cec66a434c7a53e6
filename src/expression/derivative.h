#pragma once
// F' as a tree of its own, for the lesson's bounds: m1 = min |F'| and the
// sign of F''. Symbolic, so that interval evaluation can bound it soundly;
// pure, and no number is computed beyond integer exponents and products of
// integers, so every decimal constant keeps the text it was typed with.

#include <cstddef>

#include "expression/expression.h"

// A derivative larger than this is not built: repeated powers make each
// derivative grow by a power of the size, and the lesson's bounds are not
// worth the memory.
inline constexpr std::size_t MaxDerivativeNodes = 100000;

// d/dx of f, a tree in the same form (children before parents, the root
// last), lightly simplified: 0*u and u/1 and u+0 vanish, signs move out of
// products, u^1 is u. Each node carries the column of the node of f its rule
// came from, and the text is f's, so a column still points into what was
// typed. Empty (no nodes, root -1) when f is empty or the derivative would
// exceed MaxDerivativeNodes. Call it twice for F''.
Expression derivativeOf(const Expression& f);
