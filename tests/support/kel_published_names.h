// The published names of the library's components as their documentation lists them, and the
// check of the class registry against that list: one line per class, so a new component adds
// its line and is checked like the others.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kel::test {

struct TListedNames {
    const char* Class;
    // Every published property the documentation names for the class: its own and the ones it
    // publishes as inherited from the framework. Events are left out: they are members, not
    // streamed, so the registry does not hold them. "Name" is the form file's header line, not a
    // property, and is left out too.
    std::vector<const char*> Names;
    // A framework class whose whole published list the class keeps ("the speed button's usual
    // ones"), or nullptr.
    const char* Usual = nullptr;
};

// The table: one entry per component class of the library (also for classes not built yet).
const std::vector<TListedNames>& ListedPublishedNames();

// The framework's own classes, the bases and the sub-object classes: their lists are checked by
// the framework's tests, not by the table.
const std::vector<const char*>& FrameworkClassNames();

// Entry against the registry: every listed name is published with exactly that spelling, and
// every name the class declares itself is listed (or belongs to its Usual class). A class that
// is not registered fails with a message saying so (callers skip entries of classes not built).
::testing::AssertionResult PublishesItsListedNames(const TListedNames& Entry);

// The registered classes that are neither in the table nor framework classes.
std::vector<std::string> RegisteredClassesWithoutListedNames();

} // namespace kel::test
