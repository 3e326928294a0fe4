// The report list unit: the exception classes of the report list and, through the headers it
// includes, the data container TRLData with its exchange formats (CSV, text lines, XML, HTML)
// and the test that recognises a report list file or stream.
#pragma once

#include "rldata.h"
#include "rlview.h"
