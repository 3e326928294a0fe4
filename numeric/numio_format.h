// The input formats and the error class shared by the two numeric input controls.
#pragma once

#include "numtext.h"
#include "Kel_error.h"

#include <cstdint>

namespace kel {

// The number formats a numeric input accepts.
enum TInFormat : std::uint8_t {
    itExp,      // decimal number with optional exponent
    itFloat,    // fixed-point number without exponent
    itFixPoint, // fixed-point number with a fixed number of decimals
    itInt,      // signed decimal integer
    itHex,      // hexadecimal digits
    itOct,      // octal digits
    itBin,      // binary digits
    itDynamic   // chosen by the first character: "$" hex, "%" binary, "&" octal, else itExp
};

// Errors of the numeric input controls.
class EKELNumIO2Error : public EKELError {
  public:
    using EKELError::EKELError;
};

} // namespace kel
