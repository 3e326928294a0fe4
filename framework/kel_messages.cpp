// The key state table behind GetKeyState and the shift-state conversions of mouse and key
// messages. Hosts keep the table current; everything runs on the user-interface thread.
#include "kel_messages.h"

#include <bitset>

namespace kel {

namespace {
std::bitset<256>& KeyTable() {
    static std::bitset<256> keys;
    return keys;
}
bool InRange(int vk) { return vk >= 0 && vk < 256; }
} // namespace

void SetKeyDown(int VKey, bool Down) {
    if (InRange(VKey)) KeyTable()[static_cast<std::size_t>(VKey)] = Down;
}

bool KeyIsDown(int VKey) { return InRange(VKey) && KeyTable()[static_cast<std::size_t>(VKey)]; }

void ReleaseAllKeys() { KeyTable().reset(); }

std::int16_t GetKeyState(int VKey) {
    return KeyIsDown(VKey) ? static_cast<std::int16_t>(-0x8000) : std::int16_t{0};
}

TShiftState CurrentShiftState() {
    TShiftState s;
    if (KeyIsDown(VK_SHIFT) || KeyIsDown(VK_LSHIFT) || KeyIsDown(VK_RSHIFT)) s.include(ssShift);
    if (KeyIsDown(VK_MENU) || KeyIsDown(VK_LMENU) || KeyIsDown(VK_RMENU)) s.include(ssAlt);
    if (KeyIsDown(VK_CONTROL) || KeyIsDown(VK_LCONTROL) || KeyIsDown(VK_RCONTROL))
        s.include(ssCtrl);
    return s;
}

TShiftState KeysToShiftState(std::uint32_t Keys) {
    TShiftState s;
    if (Keys & MK_SHIFT) s.include(ssShift);
    if (Keys & MK_CONTROL) s.include(ssCtrl);
    if (Keys & MK_LBUTTON) s.include(ssLeft);
    if (Keys & MK_RBUTTON) s.include(ssRight);
    if (Keys & MK_MBUTTON) s.include(ssMiddle);
    if (CurrentShiftState().contains(ssAlt)) s.include(ssAlt);
    return s;
}

TShiftState KeyDataToShiftState(LPARAM KeyData) {
    TShiftState s = CurrentShiftState() - ssAlt;
    if (static_cast<std::uint32_t>(KeyData) & KF_ALTDOWN_BIT) s.include(ssAlt);
    return s;
}

} // namespace kel
