// The window host on SDL2 (see sdl_host.h). One SDL window per shown form; the form's surface
// is copied into the window's surface rectangle by rectangle and only those rectangles are
// presented. SDL events become the form's Host* calls, SDL key codes become virtual keys, and
// the application's clock, input pump, clipboard and cursor hook point here while the host lives.
//
// Index: key mapping; cursor mapping; window bookkeeping; TFormHost notifications; input pump
// and event dispatch; presenting.
#include "sdl_host.h"

#include "kel_popup.h"

#include <SDL.h>
#ifdef KEL_SDL_HAVE_X11
#include <X11/Xlib.h>
#include <X11/Xproto.h>
#endif

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace kel {

namespace {

// ---- key mapping: SDL key codes to virtual keys --------------------------------------------

std::uint16_t KeypadKey(SDL_Keycode sym, bool numLock) {
    // With Num Lock off the keypad digits are the navigation keys they are labelled with.
    switch (sym) {
    case SDLK_KP_0:
        return numLock ? VK_NUMPAD0 : VK_INSERT;
    case SDLK_KP_1:
        return numLock ? VK_NUMPAD1 : VK_END;
    case SDLK_KP_2:
        return numLock ? VK_NUMPAD2 : VK_DOWN;
    case SDLK_KP_3:
        return numLock ? VK_NUMPAD3 : VK_NEXT;
    case SDLK_KP_4:
        return numLock ? VK_NUMPAD4 : VK_LEFT;
    case SDLK_KP_5:
        return numLock ? VK_NUMPAD5 : VK_CLEAR;
    case SDLK_KP_6:
        return numLock ? VK_NUMPAD6 : VK_RIGHT;
    case SDLK_KP_7:
        return numLock ? VK_NUMPAD7 : VK_HOME;
    case SDLK_KP_8:
        return numLock ? VK_NUMPAD8 : VK_UP;
    case SDLK_KP_9:
        return numLock ? VK_NUMPAD9 : VK_PRIOR;
    case SDLK_KP_PERIOD:
    case SDLK_KP_DECIMAL:
        return numLock ? VK_DECIMAL : VK_DELETE;
    case SDLK_KP_MULTIPLY:
        return VK_MULTIPLY;
    case SDLK_KP_PLUS:
        return VK_ADD;
    case SDLK_KP_MINUS:
        return VK_SUBTRACT;
    case SDLK_KP_DIVIDE:
        return VK_DIVIDE;
    case SDLK_KP_ENTER:
        return VK_RETURN;
    case SDLK_KP_COMMA:
        return VK_SEPARATOR;
    default:
        return 0;
    }
}

std::uint16_t MapKey(const SDL_Keysym& ks) {
    const SDL_Keycode sym = ks.sym;
    if (sym >= SDLK_a && sym <= SDLK_z) return static_cast<std::uint16_t>('A' + (sym - SDLK_a));
    if (sym >= SDLK_0 && sym <= SDLK_9) return static_cast<std::uint16_t>('0' + (sym - SDLK_0));
    if (sym >= SDLK_F1 && sym <= SDLK_F12)
        return static_cast<std::uint16_t>(VK_F1 + (sym - SDLK_F1));
    if (std::uint16_t k = KeypadKey(sym, (ks.mod & KMOD_NUM) != 0)) return k;
    switch (sym) {
    case SDLK_BACKSPACE:
        return VK_BACK;
    case SDLK_TAB:
        return VK_TAB;
    case SDLK_RETURN:
        return VK_RETURN;
    case SDLK_ESCAPE:
        return VK_ESCAPE;
    case SDLK_SPACE:
        return VK_SPACE;
    case SDLK_DELETE:
        return VK_DELETE;
    case SDLK_INSERT:
        return VK_INSERT;
    case SDLK_HOME:
        return VK_HOME;
    case SDLK_END:
        return VK_END;
    case SDLK_PAGEUP:
        return VK_PRIOR;
    case SDLK_PAGEDOWN:
        return VK_NEXT;
    case SDLK_LEFT:
        return VK_LEFT;
    case SDLK_RIGHT:
        return VK_RIGHT;
    case SDLK_UP:
        return VK_UP;
    case SDLK_DOWN:
        return VK_DOWN;
    case SDLK_LSHIFT:
    case SDLK_RSHIFT:
        return VK_SHIFT;
    case SDLK_LCTRL:
    case SDLK_RCTRL:
        return VK_CONTROL;
    case SDLK_LALT:
    case SDLK_RALT:
        return VK_MENU;
    case SDLK_LGUI:
        return VK_LWIN;
    case SDLK_RGUI:
        return VK_RWIN;
    case SDLK_APPLICATION:
        return VK_APPS;
    case SDLK_CAPSLOCK:
        return VK_CAPITAL;
    case SDLK_NUMLOCKCLEAR:
        return VK_NUMLOCK;
    case SDLK_SCROLLLOCK:
        return VK_SCROLL;
    case SDLK_PAUSE:
        return VK_PAUSE;
    case SDLK_PRINTSCREEN:
        return VK_SNAPSHOT;
    case SDLK_HELP:
        return VK_HELP;
    case SDLK_EQUALS:
    case SDLK_PLUS:
        return VK_OEM_PLUS;
    case SDLK_COMMA:
        return VK_OEM_COMMA;
    case SDLK_MINUS:
        return VK_OEM_MINUS;
    case SDLK_PERIOD:
        return VK_OEM_PERIOD;
    case SDLK_SEMICOLON:
        return VK_OEM_1;
    case SDLK_SLASH:
        return VK_OEM_2;
    case SDLK_BACKQUOTE:
        return VK_OEM_3;
    case SDLK_LEFTBRACKET:
        return VK_OEM_4;
    case SDLK_BACKSLASH:
        return VK_OEM_5;
    case SDLK_RIGHTBRACKET:
        return VK_OEM_6;
    case SDLK_QUOTE:
        return VK_OEM_7;
    default:
        break;
    }
    // Layouts whose letter keys produce other symbols: fall back to the key's position.
    const SDL_Scancode sc = ks.scancode;
    if (sc >= SDL_SCANCODE_A && sc <= SDL_SCANCODE_Z)
        return static_cast<std::uint16_t>('A' + (sc - SDL_SCANCODE_A));
    if (sc >= SDL_SCANCODE_1 && sc <= SDL_SCANCODE_9)
        return static_cast<std::uint16_t>('1' + (sc - SDL_SCANCODE_1));
    if (sc == SDL_SCANCODE_0) return '0';
    return 0;
}

TShiftState ModShift(std::uint16_t mod) {
    TShiftState s;
    if (mod & KMOD_SHIFT) s.include(ssShift);
    if (mod & KMOD_CTRL) s.include(ssCtrl);
    if (mod & KMOD_ALT) s.include(ssAlt);
    return s;
}

// Keeps the key state table's modifier entries in step with SDL's.
void SyncModifiers(std::uint16_t mod) {
    SetKeyDown(VK_SHIFT, (mod & KMOD_SHIFT) != 0);
    SetKeyDown(VK_LSHIFT, (mod & KMOD_LSHIFT) != 0);
    SetKeyDown(VK_RSHIFT, (mod & KMOD_RSHIFT) != 0);
    SetKeyDown(VK_CONTROL, (mod & KMOD_CTRL) != 0);
    SetKeyDown(VK_LCONTROL, (mod & KMOD_LCTRL) != 0);
    SetKeyDown(VK_RCONTROL, (mod & KMOD_RCTRL) != 0);
    SetKeyDown(VK_MENU, (mod & KMOD_ALT) != 0);
    SetKeyDown(VK_LMENU, (mod & KMOD_LALT) != 0);
    SetKeyDown(VK_RMENU, (mod & KMOD_RALT) != 0);
}

// ---- cursor mapping --------------------------------------------------------------------------

SDL_SystemCursor SystemCursor(TCursor c) {
    switch (c) {
    case crCross:
        return SDL_SYSTEM_CURSOR_CROSSHAIR;
    case crIBeam:
        return SDL_SYSTEM_CURSOR_IBEAM;
    case crSizeNESW:
        return SDL_SYSTEM_CURSOR_SIZENESW;
    case crSizeNS:
    case crVSplit:
        return SDL_SYSTEM_CURSOR_SIZENS;
    case crSizeNWSE:
        return SDL_SYSTEM_CURSOR_SIZENWSE;
    case crSizeWE:
    case crHSplit:
        return SDL_SYSTEM_CURSOR_SIZEWE;
    case crHourGlass:
    case crSQLWait:
        return SDL_SYSTEM_CURSOR_WAIT;
    case crAppStart:
        return SDL_SYSTEM_CURSOR_WAITARROW;
    case crNoDrop:
    case crNo:
        return SDL_SYSTEM_CURSOR_NO;
    case crHandPoint:
        return SDL_SYSTEM_CURSOR_HAND;
    case crSizeAll:
        return SDL_SYSTEM_CURSOR_SIZEALL;
    default:
        return SDL_SYSTEM_CURSOR_ARROW;
    }
}

std::uint32_t WindowFlags(TFormBorderStyle bs) {
    std::uint32_t f = SDL_WINDOW_SHOWN;
    if (bs == bsSizeable || bs == bsSizeToolWin) f |= SDL_WINDOW_RESIZABLE;
    if (bs == bsNone) f |= SDL_WINDOW_BORDERLESS;
    if (bs == bsToolWindow || bs == bsSizeToolWin) f |= SDL_WINDOW_UTILITY;
    return f;
}

} // namespace

// ---- window bookkeeping ----------------------------------------------------------------------

struct TSDLHost::Window {
    SDL_Window* Handle = nullptr;
    std::uint32_t Id = 0;
    TForm* Form = nullptr;
};

bool TSDLHost::DisplayAvailable() {
    const char* headless = std::getenv("KEL_HEADLESS");
    if (headless && std::strcmp(headless, "1") == 0) return false;
    const char* x = std::getenv("DISPLAY");
    const char* w = std::getenv("WAYLAND_DISPLAY");
    return (x && *x) || (w && *w);
}

#ifdef KEL_SDL_HAVE_X11
namespace {
XErrorHandler gPreviousXErrorHandler = nullptr;

// While it waits for events, SDL sends its wake-up message to one of its windows over a second
// display connection. When that window is a dialog that closes just then, the server can see
// the window destroyed before the message arrives, and Xlib's default handler ends the program
// for the BadWindow error. A message to a window that is gone has nobody to wake: that one
// error is dropped, every other goes to the handler that was installed before.
int IgnoreSendToClosedWindow(Display* Dpy, XErrorEvent* Error) {
    if (Error->error_code == BadWindow && Error->request_code == X_SendEvent) return 0;
    return gPreviousXErrorHandler ? gPreviousXErrorHandler(Dpy, Error) : 0;
}
} // namespace
#endif

TSDLHost::TSDLHost() {
    // The platform's double click: second press within 500 ms and 4 pixels.
    SDL_SetHint(SDL_HINT_MOUSE_DOUBLE_CLICK_TIME, "500");
    SDL_SetHint(SDL_HINT_MOUSE_DOUBLE_CLICK_RADIUS, "4");
    // A click that activates a window is a click too.
    SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
    SDL_SetHint(SDL_HINT_VIDEO_X11_NET_WM_BYPASS_COMPOSITOR, "0");
    if (SDL_Init(SDL_INIT_VIDEO) != 0)
        throw EInvalidOperation(std::string("Cannot open a display: ") + SDL_GetError());
#ifdef KEL_SDL_HAVE_X11
    const char* driver = SDL_GetCurrentVideoDriver();
    if (driver && std::strcmp(driver, "x11") == 0 && gPreviousXErrorHandler == nullptr)
        gPreviousXErrorHandler = XSetErrorHandler(IgnoreSendToClosedWindow);
#endif
    SDL_StartTextInput();

    Application->SetClock(std::make_unique<TSteadyClock>());
    Application->SetInputPump([this](int timeoutMs) { return Pump(timeoutMs); });
    Application->SetShowExceptionHandler(
        [](const std::string& msg) { std::fprintf(stderr, "kel: %s\n", msg.c_str()); });
    Clipboard().SetBackend({[] {
                                char* t = SDL_GetClipboardText();
                                std::string s = t ? t : "";
                                SDL_free(t);
                                return s;
                            },
                            [](const std::string& s) { SDL_SetClipboardText(s.c_str()); },
                            [] { return SDL_HasClipboardText() == SDL_TRUE; }});
    Screen->SetOnCursorChange([this](TCursor) { UpdateCursor(); });
    SetFormHost(this);
    // Forms shown before the host existed get their windows now.
    for (int i = 0; i < FormCount(); ++i)
        if (Forms(i)->Visible()) FormShown(Forms(i));
}

TSDLHost::~TSDLHost() {
    SetFormHost(nullptr);
    Screen->SetOnCursorChange(nullptr);
    Clipboard().SetBackend({});
    Application->SetShowExceptionHandler(nullptr);
    Application->SetInputPump(nullptr);
    Application->SetClock(nullptr);
    for (auto& [form, w] : windows_) SDL_DestroyWindow(w->Handle);
    windows_.clear();
    for (auto& [c, cur] : cursors_) SDL_FreeCursor(static_cast<SDL_Cursor*>(cur));
    cursors_.clear();
    SDL_StopTextInput();
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    SDL_Quit();
}

TSDLHost::Window* TSDLHost::WindowOf(TForm* Form) {
    auto it = windows_.find(Form);
    return it == windows_.end() ? nullptr : it->second.get();
}

TSDLHost::Window* TSDLHost::WindowById(std::uint32_t Id) {
    for (auto& [form, w] : windows_)
        if (w->Id == Id) return w.get();
    return nullptr;
}

void TSDLHost::CloseWindow(TForm* Form) {
    auto it = windows_.find(Form);
    if (it == windows_.end()) return;
    SDL_DestroyWindow(it->second->Handle);
    windows_.erase(it);
    if (pointerForm_ == Form) pointerForm_ = nullptr;
}

void TSDLHost::Run(TForm* MainForm) {
    mainForm_ = MainForm;
    Application->ResetTerminated();
    if (MainForm && !MainForm->Visible()) MainForm->Show();
    Application->Run();
    mainForm_ = nullptr;
}

// ---- TFormHost notifications -----------------------------------------------------------------

void TSDLHost::FormShown(TForm* Form) {
    if (Window* kept = WindowOf(Form)) {
        // A popup's window is kept while hidden (destroying and re-creating override-redirect
        // windows at the rate menus open races with the X server); it shows at its new place.
        if (dynamic_cast<TPopupWindow*>(Form) != nullptr) {
            const TPoint o = Form->ClientOrigin();
            SDL_SetWindowPosition(kept->Handle, o.X, o.Y);
            SDL_SetWindowSize(kept->Handle, std::max(1, Form->ClientWidth()),
                              std::max(1, Form->ClientHeight()));
            SDL_ShowWindow(kept->Handle);
            Present(*kept, true);
            if (TForm* active = ActiveForm())
                if (Window* aw = WindowOf(active)) SDL_SetWindowInputFocus(aw->Handle);
        }
        return;
    }
    const TPoint at = Form->ClientOrigin();
    const int w = std::max(1, Form->ClientWidth()), h = std::max(1, Form->ClientHeight());
    // A popup (menu, drop-down list) is a borderless popup-menu window (override-redirect on
    // X11: no frame, no taskbar entry, above the others).
    const std::uint32_t flags =
        dynamic_cast<TPopupWindow*>(Form) != nullptr
            ? SDL_WINDOW_SHOWN | SDL_WINDOW_BORDERLESS | SDL_WINDOW_POPUP_MENU
            : WindowFlags(Form->BorderStyle());
    SDL_Window* win = SDL_CreateWindow(Form->Caption().c_str(), at.X, at.Y, w, h, flags);
    if (!win) throw EOutOfResources(std::string("Cannot create a window: ") + SDL_GetError());
    auto rec = std::make_unique<Window>();
    rec->Handle = win;
    rec->Id = SDL_GetWindowID(win);
    rec->Form = Form;
    Window& ref = *rec;
    windows_[Form] = std::move(rec);
    if (Form->Modal()) {
        // A modal form stays above the window of the form that opened it (the active one, or
        // any other), and takes the keyboard.
        SDL_Window* parent = nullptr;
        for (auto& [f, w] : windows_)
            if (f != Form && (parent == nullptr || f == ActiveForm())) parent = w->Handle;
        if (parent != nullptr) SDL_SetWindowModalFor(win, parent);
        SDL_RaiseWindow(win);
    }
    Present(ref, true);
    // Without a window manager SDL gives every window it shows the keyboard; a popup's goes
    // straight back to the active form (the popup layer routes the keys from there).
    if (dynamic_cast<TPopupWindow*>(Form) != nullptr)
        if (TForm* active = ActiveForm())
            if (Window* aw = WindowOf(active)) SDL_SetWindowInputFocus(aw->Handle);
}

void TSDLHost::FormHidden(TForm* Form) {
    // Without a window manager SDL gives every window it shows the keyboard, popups included;
    // before a popup's window goes the keyboard returns to the active form's window (else it
    // would reach no window of ours).
    if (dynamic_cast<TPopupWindow*>(Form) != nullptr && WindowOf(Form) != nullptr)
        if (TForm* active = ActiveForm())
            if (Window* w = WindowOf(active)) SDL_SetWindowInputFocus(w->Handle);
    if (dynamic_cast<TPopupWindow*>(Form) != nullptr) {
        if (Window* w = WindowOf(Form)) SDL_HideWindow(w->Handle);
        if (pointerForm_ == Form) pointerForm_ = nullptr;
        return;
    }
    CloseWindow(Form);
    if (Form == mainForm_) Application->Terminate();
}

void TSDLHost::FormInvalidated(TForm*) { workPending_ = true; }

void TSDLHost::FormPainted(TForm* Form) {
    if (Window* w = WindowOf(Form))
        Present(*w, false);
    else
        Form->TakeUpdatedRects();
}

void TSDLHost::FormBoundsChanged(TForm* Form) {
    Window* w = WindowOf(Form);
    if (!w || resizing_) return;
    const TPoint at = Form->ClientOrigin();
    SDL_SetWindowPosition(w->Handle, at.X, at.Y);
    SDL_SetWindowSize(w->Handle, std::max(1, Form->ClientWidth()),
                      std::max(1, Form->ClientHeight()));
    const TFormBorderStyle bs = Form->BorderStyle();
    SDL_SetWindowResizable(w->Handle,
                           (bs == bsSizeable || bs == bsSizeToolWin) ? SDL_TRUE : SDL_FALSE);
    SDL_SetWindowBordered(w->Handle, bs == bsNone ? SDL_FALSE : SDL_TRUE);
    Present(*w, true);
}

void TSDLHost::FormCaptionChanged(TForm* Form) {
    if (Window* w = WindowOf(Form)) SDL_SetWindowTitle(w->Handle, Form->Caption().c_str());
}

void TSDLHost::FormCaptureChanged(TForm*, bool Captured) {
    // Keeps mouse events coming while a drag leaves the window.
    SDL_CaptureMouse(Captured ? SDL_TRUE : SDL_FALSE);
}

void TSDLHost::FormDestroying(TForm* Form) {
    CloseWindow(Form);
    if (Form == mainForm_) {
        mainForm_ = nullptr;
        Application->Terminate();
    }
}

TSize TSDLHost::ScreenSize() const {
    SDL_DisplayMode mode;
    if (SDL_GetDesktopDisplayMode(0, &mode) != 0) return {1920, 1080};
    return {mode.w, mode.h};
}

// ---- input ------------------------------------------------------------------------------------

bool TSDLHost::Pump(int TimeoutMs) {
    SDL_Event e;
    bool any = false;
    if (TimeoutMs != 0 && !workPending_) {
        const int got = TimeoutMs < 0 ? SDL_WaitEvent(&e) : SDL_WaitEventTimeout(&e, TimeoutMs);
        if (got) {
            DispatchEvent(&e);
            any = true;
        }
    }
    workPending_ = false;
    while (SDL_PollEvent(&e)) {
        DispatchEvent(&e);
        any = true;
    }
    if (any) UpdateCursor();
    return any;
}

void TSDLHost::DispatchEvent(const void* Event) {
    const SDL_Event& e = *static_cast<const SDL_Event*>(Event);
    auto mouseShift = [this] {
        TShiftState s = ModShift(static_cast<std::uint16_t>(SDL_GetModState()));
        if (buttons_ & MK_LBUTTON) s.include(ssLeft);
        if (buttons_ & MK_RBUTTON) s.include(ssRight);
        if (buttons_ & MK_MBUTTON) s.include(ssMiddle);
        return s;
    };
    auto buttonOf = [](std::uint8_t b, TMouseButton& out, std::uint32_t& flag) {
        switch (b) {
        case SDL_BUTTON_LEFT:
            out = mbLeft;
            flag = MK_LBUTTON;
            return true;
        case SDL_BUTTON_RIGHT:
            out = mbRight;
            flag = MK_RBUTTON;
            return true;
        case SDL_BUTTON_MIDDLE:
            out = mbMiddle;
            flag = MK_MBUTTON;
            return true;
        default:
            return false;
        }
    };

    switch (e.type) {
    case SDL_QUIT:
        Application->Terminate();
        break;
    case SDL_MOUSEMOTION:
        if (Window* w = WindowById(e.motion.windowID)) {
            pointerForm_ = w->Form;
            w->Form->HostMouseMove(e.motion.x, e.motion.y, mouseShift());
        }
        break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
        TMouseButton mb;
        std::uint32_t flag;
        if (!buttonOf(e.button.button, mb, flag)) break;
        Window* w = WindowById(e.button.windowID);
        if (e.type == SDL_MOUSEBUTTONDOWN) {
            buttons_ |= flag;
            if (!w) break;
            // Every second press of a run of quick clicks is a double click.
            if (e.button.clicks >= 2 && e.button.clicks % 2 == 0)
                w->Form->HostDoubleClick(mb, mouseShift(), e.button.x, e.button.y);
            else
                w->Form->HostMouseDown(mb, mouseShift(), e.button.x, e.button.y);
        } else {
            buttons_ &= ~flag;
            if (w) w->Form->HostMouseUp(mb, mouseShift(), e.button.x, e.button.y);
        }
        break;
    }
    case SDL_MOUSEWHEEL:
        if (Window* w = WindowById(e.wheel.windowID)) {
            int notches = e.wheel.y;
            if (e.wheel.direction == SDL_MOUSEWHEEL_FLIPPED) notches = -notches;
            if (notches == 0) break;
            int x = 0, y = 0;
#if SDL_VERSION_ATLEAST(2, 26, 0)
            x = e.wheel.mouseX;
            y = e.wheel.mouseY;
#else
            SDL_GetMouseState(&x, &y);
#endif
            w->Form->HostMouseWheel(notches * WHEEL_DELTA, mouseShift(), x, y);
        }
        break;
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
        SyncModifiers(e.key.keysym.mod);
        const std::uint16_t vk = MapKey(e.key.keysym);
        if (vk == 0) break;
        const bool down = e.type == SDL_KEYDOWN;
        if (vk != VK_SHIFT && vk != VK_CONTROL && vk != VK_MENU) SetKeyDown(vk, down);
        Window* w = WindowById(e.key.windowID);
        // Keys SDL reports without a window of ours (its keyboard focus was a popup window
        // that is gone) go to the active form.
        TForm* target = w ? w->Form : ActiveForm();
        if (!target) break;
        const TShiftState shift = ModShift(e.key.keysym.mod);
        if (down)
            target->HostKeyDown(vk, shift);
        else
            target->HostKeyUp(vk, shift);
        break;
    }
    case SDL_TEXTINPUT: {
        Window* w = WindowById(e.text.windowID);
        if (TForm* target = w ? w->Form : ActiveForm()) target->HostTextInput(e.text.text);
        break;
    }
    case SDL_WINDOWEVENT: {
        Window* w = WindowById(e.window.windowID);
        if (!w) break;
        TForm* form = w->Form;
        switch (e.window.event) {
        case SDL_WINDOWEVENT_CLOSE:
            form->HostCloseRequest();
            break;
        case SDL_WINDOWEVENT_FOCUS_GAINED:
            form->HostActivate(true);
            break;
        case SDL_WINDOWEVENT_FOCUS_LOST:
            // A popup window taking the X focus leaves the form that opened it active (the
            // popup layer hands it the keys).
            if (OpenPopupCount() > 0) break;
            ReleaseAllKeys();
            form->HostActivate(false);
            break;
        case SDL_WINDOWEVENT_ENTER:
            pointerForm_ = form;
            break;
        case SDL_WINDOWEVENT_LEAVE:
            if (pointerForm_ == form) pointerForm_ = nullptr;
            form->HostMouseLeave();
            break;
        case SDL_WINDOWEVENT_SIZE_CHANGED:
            resizing_ = true;
            form->HostResize(e.window.data1, e.window.data2);
            resizing_ = false;
            if (Window* again = WindowOf(form)) Present(*again, true);
            break;
        case SDL_WINDOWEVENT_MOVED: {
            // The window manager placed or the user moved the window: the form's Left/Top
            // follow, so screen coordinates (popup menus, ClientToScreen) stay right.
            const TRect frame = form->FrameWidths();
            const int left = e.window.data1 - frame.Left, top = e.window.data2 - frame.Top;
            if (left != form->Left() || top != form->Top()) {
                resizing_ = true;
                form->SetBounds(left, top, form->Width(), form->Height());
                resizing_ = false;
            }
            break;
        }
        case SDL_WINDOWEVENT_EXPOSED:
            Present(*w, true);
            break;
        default:
            break;
        }
        break;
    }
    default:
        break;
    }
}

void TSDLHost::UpdateCursor() {
    TCursor c = pointerForm_ ? pointerForm_->CurrentCursor() : Screen->Cursor();
    if (c == crDefault) c = crArrow;
    if (c == shownCursor_) return;
    shownCursor_ = c;
    if (c == crNone) {
        SDL_ShowCursor(SDL_DISABLE);
        return;
    }
    SDL_ShowCursor(SDL_ENABLE);
    const SDL_SystemCursor id = SystemCursor(c);
    auto it = cursors_.find(static_cast<int>(id));
    if (it == cursors_.end())
        it = cursors_.emplace(static_cast<int>(id), SDL_CreateSystemCursor(id)).first;
    if (it->second) SDL_SetCursor(static_cast<SDL_Cursor*>(it->second));
}

// ---- presenting --------------------------------------------------------------------------------

void TSDLHost::Present(Window& W, bool Everything) {
    std::vector<TRect> rects = W.Form->TakeUpdatedRects();
    SDL_Surface* target = SDL_GetWindowSurface(W.Handle);
    if (!target) return;
    const TBitmap& surface = W.Form->Surface();
    const TRect bounds =
        Rect(0, 0, std::min(surface.Width(), target->w), std::min(surface.Height(), target->h));
    if (Everything) rects.assign(1, Rect(0, 0, target->w, target->h));
    if (surface.Empty() || rects.empty()) return;

    // The form's surface holds 0x00RRGGBB words: SDL's RGB888.
    SDL_Surface* src = SDL_CreateRGBSurfaceWithFormatFrom(
        const_cast<std::uint32_t*>(surface.Bits()), surface.Width(), surface.Height(), 32,
        surface.Width() * 4, SDL_PIXELFORMAT_RGB888);
    if (!src) return;
    SDL_SetSurfaceBlendMode(src, SDL_BLENDMODE_NONE);
    // Whatever lies beyond the form's surface (a resize in progress) is cleared.
    if (Everything) SDL_FillRect(target, nullptr, SDL_MapRGB(target->format, 0xF0, 0xF0, 0xF0));
    std::vector<SDL_Rect> shown;
    shown.reserve(rects.size());
    for (const TRect& r0 : rects) {
        const TRect r = IntersectRect(r0, bounds);
        if (!r.IsEmpty()) {
            SDL_Rect sr{r.Left, r.Top, r.Width(), r.Height()};
            SDL_Rect dr = sr;
            SDL_BlitSurface(src, &sr, target, &dr);
        }
        const TRect whole = Everything ? Rect(0, 0, target->w, target->h) : r;
        if (!whole.IsEmpty())
            shown.push_back(SDL_Rect{whole.Left, whole.Top, whole.Width(), whole.Height()});
    }
    SDL_FreeSurface(src);
    if (shown.empty()) return;
    SDL_UpdateWindowSurfaceRects(W.Handle, shown.data(), static_cast<int>(shown.size()));
    presentedRects_ += shown.size();
}

bool TSDLHost::ReadWindowPixels(TForm* Form, TBitmap& Bmp) const {
    auto it = windows_.find(Form);
    if (it == windows_.end()) return false;
    SDL_Surface* target = SDL_GetWindowSurface(it->second->Handle);
    if (!target) return false;
    SDL_Surface* copy = SDL_ConvertSurfaceFormat(target, SDL_PIXELFORMAT_RGB888, 0);
    if (!copy) return false;
    Bmp.SetSize(copy->w, copy->h);
    SDL_LockSurface(copy);
    for (int y = 0; y < copy->h; ++y)
        std::memcpy(Bmp.ScanLine(y),
                    static_cast<const std::uint8_t*>(copy->pixels) + y * copy->pitch,
                    static_cast<std::size_t>(copy->w) * 4);
    SDL_UnlockSurface(copy);
    SDL_FreeSurface(copy);
    return true;
}

} // namespace kel
