// Declarations every unit of the base library shares: the family's exception class (every unit
// that raises errors of its own derives its class from EKELError, and what() carries the message
// text) and the progress event of long operations.
#pragma once

#include "kel_classes.h"

#include <functional>
#include <stdexcept>
#include <string>

namespace kel {

class EKELError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Percentage (0 to 100) of a long operation done so far.
using TOnPercentDoneEvent = std::function<void(TObject* Sender, int Percent)>;

} // namespace kel
