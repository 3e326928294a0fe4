// The clipboard and undo shortcuts that the edit box and the memo handle alike.
#pragma once

#include "kel_messages.h"

#include <cstdint>

namespace kel::detail {

// Ctrl+A, Ctrl+C, Ctrl+V, Ctrl+X and Ctrl+Z as the characters they type (1, 3, 22, 24, 26).
// Returns whether Ch was one of them.
template <class TEditor>
bool EditShortcutChar(TEditor& E, char32_t Ch) {
    switch (Ch) {
    case 1:
        E.SelectAll();
        return true;
    case 3:
        E.CopyToClipboard();
        return true;
    case 22:
        E.PasteFromClipboard();
        return true;
    case 24:
        E.CutToClipboard();
        return true;
    case 26:
        E.Undo();
        return true;
    default:
        return false;
    }
}

// Ctrl+Insert copies, Shift+Insert pastes, Alt+Backspace (the old undo key) undoes. Returns
// whether Key was Insert or Backspace.
template <class TEditor>
bool EditShortcutKey(TEditor& E, std::uint16_t Key, TShiftState Shift) {
    if (Key == VK_INSERT) {
        if (Shift.contains(ssCtrl))
            E.CopyToClipboard();
        else if (Shift.contains(ssShift))
            E.PasteFromClipboard();
        return true;
    }
    if (Key == VK_BACK) {
        if (Shift.contains(ssAlt)) E.Undo();
        return true;
    }
    return false;
}

} // namespace kel::detail
