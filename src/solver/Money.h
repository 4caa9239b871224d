#pragma once

#include "planner/Arithmetic.h"

#include <QString>

namespace solver {

// Cents as the solver's and the reconciler's messages show them: "8838.17", "-0.01".
QString moneyText(planner::Cents cents);

// A percentage with at most `decimals` decimals and no trailing zeros: "11", "10.999652".
QString percentText(double percent, int decimals = 6);

}  // namespace solver
