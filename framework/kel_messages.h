// Messages, virtual keys and shift states: the vocabulary that the hosts, the controls and the
// hidden message windows share. A TMessage carries one window message (number, two parameters
// and a result); the numbers are those of the platform the components were written for, so a
// handler written as "case WM_TIMER:" reads as it always has.
//
// Index: TMessage and parameter helpers; WM_* window messages and MK_* flags; CM_*/CN_*
// framework messages; VK_* key codes; TShiftState, TMouseButton, KeysToShiftState; the key
// state table the hosts keep current; HWND, the handle of a hidden message window.
#pragma once

#include <cstdint>

#include "kel_types.h"

namespace kel {

// Handle of a hidden message window (AllocateHWnd in kel_app.h). Null is "no window".
using HWND = struct TMessageWindow*;

using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;

// One window message. Handlers read Msg and the parameters and may set Result.
struct TMessage {
    std::uint32_t Msg = 0;
    WPARAM WParam = 0;
    LPARAM LParam = 0;
    LRESULT Result = 0;
};

// Packing helpers for 32-bit parameters: low word, high word, and the signed halves a mouse
// message carries (negative while the mouse is captured outside the client area).
constexpr std::uint16_t LoWord(std::uintptr_t v) { return static_cast<std::uint16_t>(v & 0xFFFF); }
constexpr std::uint16_t HiWord(std::uintptr_t v) {
    return static_cast<std::uint16_t>((v >> 16) & 0xFFFF);
}
constexpr LPARAM MakeLParam(int lo, int hi) {
    return static_cast<LPARAM>(
        static_cast<std::uint32_t>((static_cast<std::uint32_t>(lo) & 0xFFFF) |
                                   ((static_cast<std::uint32_t>(hi) & 0xFFFF) << 16)));
}
constexpr int GetXLParam(LPARAM lp) {
    return static_cast<std::int16_t>(LoWord(static_cast<std::uintptr_t>(lp)));
}
constexpr int GetYLParam(LPARAM lp) {
    return static_cast<std::int16_t>(HiWord(static_cast<std::uintptr_t>(lp)));
}

// Window messages.
enum : std::uint32_t {
    WM_NULL = 0x0000,
    WM_CREATE = 0x0001,
    WM_DESTROY = 0x0002,
    WM_MOVE = 0x0003,
    WM_SIZE = 0x0005, // wParam SIZE_*, lParam width (low) / height (high)
    WM_ACTIVATE = 0x0006,
    WM_SETFOCUS = 0x0007,  // wParam: window losing the focus (may be none)
    WM_KILLFOCUS = 0x0008, // wParam: window receiving the focus
    WM_ENABLE = 0x000A,
    WM_SETTEXT = 0x000C,
    WM_GETTEXT = 0x000D,
    WM_PAINT = 0x000F,
    WM_CLOSE = 0x0010,
    WM_QUIT = 0x0012,
    WM_ERASEBKGND = 0x0014,
    WM_SHOWWINDOW = 0x0018,
    WM_CANCELMODE = 0x001F,
    WM_SETCURSOR = 0x0020,
    WM_NEXTDLGCTL =
        0x0028, // lParam low word != 0: wParam is the window; else 0 next, != 0 previous
    WM_CONTEXTMENU = 0x007B,
    WM_GETDLGCODE = 0x0087, // result: DLGC_* bits of the keys the control keeps
    WM_KEYFIRST = 0x0100,
    WM_KEYDOWN = 0x0100, // wParam virtual key, lParam key data
    WM_KEYUP = 0x0101,
    WM_CHAR = 0x0102, // wParam character
    WM_DEADCHAR = 0x0103,
    WM_SYSKEYDOWN = 0x0104,
    WM_SYSKEYUP = 0x0105,
    WM_SYSCHAR = 0x0106,
    WM_SYSDEADCHAR = 0x0107,
    WM_KEYLAST = 0x0109,
    WM_COMMAND = 0x0111,
    WM_TIMER = 0x0113, // wParam timer id, lParam callback or 0
    WM_HSCROLL = 0x0114,
    WM_VSCROLL = 0x0115,
    WM_MOUSEFIRST = 0x0200,
    WM_MOUSEMOVE = 0x0200, // wParam MK_* flags, lParam x (low) / y (high), signed
    WM_LBUTTONDOWN = 0x0201,
    WM_LBUTTONUP = 0x0202,
    WM_LBUTTONDBLCLK = 0x0203, // replaces the second press: DOWN, UP, DBLCLK, UP
    WM_RBUTTONDOWN = 0x0204,
    WM_RBUTTONUP = 0x0205,
    WM_RBUTTONDBLCLK = 0x0206,
    WM_MBUTTONDOWN = 0x0207,
    WM_MBUTTONUP = 0x0208,
    WM_MBUTTONDBLCLK = 0x0209,
    WM_MOUSEWHEEL = 0x020A, // wParam high word: signed delta (120 a notch), low word MK_*
    WM_MOUSEHWHEEL = 0x020E,
    WM_MOUSELAST = 0x020E,
    WM_CAPTURECHANGED = 0x0215,
    WM_MOUSELEAVE = 0x02A3,
    WM_USER = 0x0400,
    WM_APP = 0x8000,
};

// WM_SIZE wParam values.
enum : std::uint32_t {
    SIZE_RESTORED = 0,
    SIZE_MINIMIZED = 1,
    SIZE_MAXIMIZED = 2,
    SIZE_MAXSHOW = 3,
    SIZE_MAXHIDE = 4
};

// Mouse message key flags (wParam). There is no flag for Alt.
enum : std::uint32_t {
    MK_LBUTTON = 0x0001,
    MK_RBUTTON = 0x0002,
    MK_SHIFT = 0x0004,
    MK_CONTROL = 0x0008,
    MK_MBUTTON = 0x0010,
    MK_XBUTTON1 = 0x0020,
    MK_XBUTTON2 = 0x0040,
};

// Wheel delta of one notch.
constexpr int WHEEL_DELTA = 120;

// WM_GETDLGCODE result bits.
enum : std::uint32_t {
    DLGC_WANTARROWS = 0x0001,
    DLGC_WANTTAB = 0x0002,
    DLGC_WANTALLKEYS = 0x0004,
    DLGC_WANTMESSAGE = 0x0004,
    DLGC_HASSETSEL = 0x0008,
    DLGC_DEFPUSHBUTTON = 0x0010,
    DLGC_UNDEFPUSHBUTTON = 0x0020,
    DLGC_RADIOBUTTON = 0x0040,
    DLGC_WANTCHARS = 0x0080,
    DLGC_STATIC = 0x0100,
    DLGC_BUTTON = 0x2000,
};

// Key data (lParam of key messages): bit 29 Alt held, bit 30 previous state, bit 31 transition.
enum : std::uint32_t { KF_ALTDOWN_BIT = 1u << 29, KF_REPEAT_BIT = 1u << 30, KF_UP_BIT = 1u << 31 };

// The framework's own messages. CM_* are sent between controls; CN_BASE + WM_xxx is the
// notification form of a window message (keys are pre-processed as CN_KEYDOWN etc. before
// dispatch; a non-zero result consumes the key).
enum : std::uint32_t {
    CM_BASE = 0xB000,
    CM_DIALOGKEY = CM_BASE + 5,
    // wParam: the lower-case letter or digit typed with Alt; a control whose caption marks it as
    // its accelerator acts on it and sets a non-zero Result.
    CM_DIALOGCHAR = CM_BASE + 6,
    CM_PARENTFONTCHANGED = CM_BASE + 8,
    CM_PARENTCOLORCHANGED = CM_BASE + 9,
    CM_HITTEST = CM_BASE + 10,
    CM_VISIBLECHANGED = CM_BASE + 11,
    CM_ENABLEDCHANGED = CM_BASE + 12,
    CM_COLORCHANGED = CM_BASE + 13,
    CM_FONTCHANGED = CM_BASE + 14,
    CM_CURSORCHANGED = CM_BASE + 15,
    CM_TEXTCHANGED = CM_BASE + 18,
    CM_MOUSEENTER = CM_BASE + 19,    // 0xB013; lParam: the control, or 0 for the receiver itself
    CM_MOUSELEAVE = CM_BASE + 20,    // 0xB014
    CM_BUTTONPRESSED = CM_BASE + 24, // 0xB018; wParam group index, lParam the sending control
    CM_SHOWINGCHANGED = CM_BASE + 25,
    CM_ENTER = CM_BASE + 26,
    CM_EXIT = CM_BASE + 27,
    CM_WANTSPECIALKEY = CM_BASE + 30,

    CN_BASE = 0xBC00,
    CN_KEYDOWN = CN_BASE + WM_KEYDOWN,       // 0xBD00
    CN_KEYUP = CN_BASE + WM_KEYUP,           // 0xBD01
    CN_CHAR = CN_BASE + WM_CHAR,             // 0xBD02
    CN_SYSKEYDOWN = CN_BASE + WM_SYSKEYDOWN, // 0xBD04
    CN_SYSCHAR = CN_BASE + WM_SYSCHAR,       // 0xBD06
};

// Virtual-key codes. Letters and digits have none: compare with 'A'..'Z' and '0'..'9'.
enum : std::uint16_t {
    VK_LBUTTON = 0x01,
    VK_RBUTTON = 0x02,
    VK_CANCEL = 0x03,
    VK_MBUTTON = 0x04,
    VK_BACK = 0x08,
    VK_TAB = 0x09,
    VK_CLEAR = 0x0C,
    VK_RETURN = 0x0D,
    VK_SHIFT = 0x10,
    VK_CONTROL = 0x11,
    VK_MENU = 0x12, // Alt
    VK_PAUSE = 0x13,
    VK_CAPITAL = 0x14,
    VK_ESCAPE = 0x1B,
    VK_SPACE = 0x20,
    VK_PRIOR = 0x21, // Page Up
    VK_NEXT = 0x22,  // Page Down
    VK_END = 0x23,
    VK_HOME = 0x24,
    VK_LEFT = 0x25,
    VK_UP = 0x26,
    VK_RIGHT = 0x27,
    VK_DOWN = 0x28,
    VK_SELECT = 0x29,
    VK_PRINT = 0x2A,
    VK_EXECUTE = 0x2B,
    VK_SNAPSHOT = 0x2C,
    VK_INSERT = 0x2D,
    VK_DELETE = 0x2E,
    VK_HELP = 0x2F,
    VK_LWIN = 0x5B,
    VK_RWIN = 0x5C,
    VK_APPS = 0x5D,
    VK_NUMPAD0 = 0x60,
    VK_NUMPAD1 = 0x61,
    VK_NUMPAD2 = 0x62,
    VK_NUMPAD3 = 0x63,
    VK_NUMPAD4 = 0x64,
    VK_NUMPAD5 = 0x65,
    VK_NUMPAD6 = 0x66,
    VK_NUMPAD7 = 0x67,
    VK_NUMPAD8 = 0x68,
    VK_NUMPAD9 = 0x69,
    VK_MULTIPLY = 0x6A,
    VK_ADD = 0x6B,
    VK_SEPARATOR = 0x6C,
    VK_SUBTRACT = 0x6D,
    VK_DECIMAL = 0x6E,
    VK_DIVIDE = 0x6F,
    VK_F1 = 0x70,
    VK_F2 = 0x71,
    VK_F3 = 0x72,
    VK_F4 = 0x73,
    VK_F5 = 0x74,
    VK_F6 = 0x75,
    VK_F7 = 0x76,
    VK_F8 = 0x77,
    VK_F9 = 0x78,
    VK_F10 = 0x79,
    VK_F11 = 0x7A,
    VK_F12 = 0x7B,
    VK_NUMLOCK = 0x90,
    VK_SCROLL = 0x91,
    VK_LSHIFT = 0xA0,
    VK_RSHIFT = 0xA1,
    VK_LCONTROL = 0xA2,
    VK_RCONTROL = 0xA3,
    VK_LMENU = 0xA4,
    VK_RMENU = 0xA5,
    VK_OEM_1 = 0xBA,    // ';:' on the usual layout
    VK_OEM_PLUS = 0xBB, // '=+'
    VK_OEM_COMMA = 0xBC,
    VK_OEM_MINUS = 0xBD,
    VK_OEM_PERIOD = 0xBE,
    VK_OEM_2 = 0xBF, // '/?'
    VK_OEM_3 = 0xC0, // '`~'
    VK_OEM_4 = 0xDB, // '[{'
    VK_OEM_5 = 0xDC, // '\|'
    VK_OEM_6 = 0xDD, // ']}'
    VK_OEM_7 = 0xDE, // quote
};

// Modifier keys and mouse buttons held during an event, ordinals as the platform numbers them.
enum TShiftStateItem : std::uint8_t { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble };
using TShiftState = TSet<TShiftStateItem>;

enum TMouseButton : std::uint8_t { mbLeft, mbRight, mbMiddle };

// Keyboard state as the host last reported it (virtual key -> held). Hosts call SetKeyDown on
// every key press and release (including VK_SHIFT, VK_CONTROL, VK_MENU); ReleaseAllKeys clears
// the table (a window losing the focus, a test starting afresh).
void SetKeyDown(int VKey, bool Down);
bool KeyIsDown(int VKey);
void ReleaseAllKeys();
// The platform's form: bit 15 (0x8000, i.e. a negative value) is set while the key is held.
std::int16_t GetKeyState(int VKey);

// Converts the MK_* flags of a mouse message: MK_SHIFT -> ssShift, MK_CONTROL -> ssCtrl,
// MK_LBUTTON/MK_RBUTTON/MK_MBUTTON -> ssLeft/ssRight/ssMiddle; ssAlt when Alt is held now
// (the flags carry no Alt bit). X buttons are ignored.
TShiftState KeysToShiftState(std::uint32_t Keys);
// Shift state of a key message: Shift and Ctrl from the key state table, Alt from bit 29.
TShiftState KeyDataToShiftState(LPARAM KeyData);
// Shift and Ctrl and Alt as currently held (no buttons).
TShiftState CurrentShiftState();

} // namespace kel
