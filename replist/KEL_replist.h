// The report list unit: the exception classes of the report list and, through the headers it
// includes, the data container TRLData with its exchange formats (CSV, text lines, XML, HTML)
// and the test that recognises a report list file or stream.
#pragma once

#include "Kel_error.h"

namespace kel {

// Raised by the data container TRLData: out of memory, and unreadable or inconsistent
// exchange documents (the message names the problem and, for files, the line).
class EKELRLDataError : public EKELError {
public:
    using EKELError::EKELError;
};

// Raised by the report list view.
class EKELRepListError : public EKELError {
public:
    using EKELError::EKELError;
};

} // namespace kel

#include "KEL_rldata.h"
#include "KEL_rlview.h"
