// The numeric entry unit: the input formats and the error class shared by the numeric edit box
// (TNumIO, numio_edit.h, built on the framework's edit box) and the custom-drawn numeric
// input control (TNumIO2, numio2.h). Including this header gives both controls.
//
// Texts in the digit formats (itHex, itOct, itBin, and the dynamic prefixes "$" hexadecimal,
// "%" binary, "&" octal) are checked with the digit checks of numtext.h and read with the
// digit scanners as an unsigned 32-bit pattern; the Value of such a text is that pattern taken
// as a 32-bit signed integer ("FFFFFFFF" reads -1). Writing Value in a digit format formats the
// rounded value with the digit formatters.
#pragma once

#include "numio_format.h"
#include "numio_edit.h"
#include "numio2.h"
