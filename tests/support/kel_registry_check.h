// Checks over the class registry: a published property's declared default is what a freshly
// constructed object holds, for every registered class.
#pragma once

#include "kel_props.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kel::test {

// Every property of Info (inherited ones included) that declares a default, compared with Fresh,
// a freshly constructed object of that class. A property the writer never stores on Fresh
// (its Stored predicate is false) is compared too: its declared default must still be right.
// Sub-objects are checked against their own class's declared defaults only when Deep is set.
// Checked, when given, receives the number of properties compared.
::testing::AssertionResult HasDeclaredDefaults(const TPersistent& Fresh, const TClassInfo& Info,
                                               int* Checked = nullptr, bool Deep = false);

// Every registered class: a class that can be created by name is created fresh (without owner)
// and compared; a class that is only a sub-object (a font, the size limits) is compared on the
// sub-object of a fresh instance of the class that declares that property (the first such
// sub-object: a meter's second needle may start otherwise than its main one). The names of the
// classes compared go to Covered; a class that is neither creatable nor declared as any class's
// sub-object is reported as not covered.
::testing::AssertionResult
EveryRegisteredClassHasItsDeclaredDefaults(std::vector<std::string>* Covered = nullptr);

} // namespace kel::test
