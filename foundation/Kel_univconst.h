// Universal numeric constants shared by the numeric units: the largest double (the clamp of the
// number scanners and the default range of numeric boxes), the start value of minimum searches
// and ln 10 (powers of ten computed as exp(n * ln 10)).
#pragma once

#include <limits>

namespace kel {

// Largest finite double, about 1.797e308.
inline constexpr double uc_MaxDouble = std::numeric_limits<double>::max();
// Start value of minimum searches: larger than any value a search can meet. The library's real
// type is double, so this equals uc_MaxDouble.
inline constexpr double uc_MaxReal = std::numeric_limits<double>::max();
// Natural logarithm of 10.
inline constexpr double uc_ln10 = 2.302585092994045684017991454684364208;

} // namespace kel
