// The numeric entry unit: the input formats and the error class shared by the numeric edit box
// (TNumIO, KEL_NumIO_Edit.h, built on the framework's edit box) and the custom-drawn numeric
// input control (TNumIO2, KEL_NumIO2.h). Including this header gives both controls.
//
// Texts in the digit formats (itHex, itOct, itBin, and the dynamic prefixes "$" hexadecimal,
// "%" binary, "&" octal) are checked with the digit checks of KEL_NumText.h and read with the
// digit scanners as an unsigned 32-bit pattern; the Value of such a text is that pattern taken
// as a 32-bit signed integer ("FFFFFFFF" reads -1). Writing Value in a digit format formats the
// rounded value with the digit formatters.
#pragma once

#include "KEL_NumText.h"
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

#if __has_include("KEL_NumIO_Edit.h")
#include "KEL_NumIO_Edit.h"
#endif
#if __has_include("KEL_NumIO2.h")
#include "KEL_NumIO2.h"
#endif
