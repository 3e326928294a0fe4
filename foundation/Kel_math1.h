// Small numeric helpers: checking integer text and the floor of a real as an integer.
#pragma once

#include "Kel_error.h"

#include <string>

namespace kel {

// True for an optional "+" or "-" followed by one or more ASCII digits whose value fits a 32-bit
// signed integer; no blanks or other characters anywhere.
bool IsValidDecInt(const std::string& s);

// The greatest integer not above x (IntNeg(-2.5) = -3, IntNeg(2.5) = 2). Raises EKELError when
// x is not a number or its floor does not fit a 32-bit signed integer.
int IntNeg(double x);

} // namespace kel
