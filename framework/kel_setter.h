// The one shape of a property setter: compare, store, report the change. A setter reads
//
//     void TMeter::SetColorScale(TColor Value) {
//         if (SetField(FColorScale, Value)) Changed();
//     }
//
// and adds its own clamping before and its recomputing after, so the exceptions stand out.
// Changed() of a component invalidates (see docs/conventions.md, "Repainting").
#pragma once

#include <utility>

namespace kel {

// Stores Value into Field unless they compare equal; true when Field changed.
template <class T, class V>
[[nodiscard]] constexpr bool SetField(T& Field, V&& Value) {
    if (Field == Value) return false;
    Field = std::forward<V>(Value);
    return true;
}

} // namespace kel
