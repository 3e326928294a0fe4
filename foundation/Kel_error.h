// The exception class of the library family: every unit that raises errors of its own derives
// its class from EKELError, and what() carries the message text.
#pragma once

#include <stdexcept>
#include <string>

namespace kel {

class EKELError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

} // namespace kel
