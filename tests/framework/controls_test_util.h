// Shared pieces of the control, form and input tests: a form fixture on the headless host, an
// event log, and small control classes that count their paints or log their key handling.
#pragma once

#include "headless.h"
#include "kel_app.h"
#include "kel_form_fixture.h"
#include "kel_forms.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace kel::test {

inline std::string ShiftText(TShiftState s) {
    std::string t;
    const char* names[] = {"Shift", "Alt", "Ctrl", "Left", "Right", "Middle", "Double"};
    for (int i = 0; i < 7; ++i)
        if (s.contains(TShiftStateItem(i))) {
            if (!t.empty()) t += ',';
            t += names[i];
        }
    return "[" + t + "]";
}

// A windowless control that fills itself with its colour and counts its paints.
class TCountingGraphic : public TGraphicControl {
  public:
    using TGraphicControl::TGraphicControl;
    int Paints = 0;
    TRect LastClip{};
    using TControl::ExcludeStyle;
    using TControl::IncludeStyle;

  protected:
    void Paint() override {
        ++Paints;
        LastClip = Canvas().ClipRect();
        Canvas().Brush().SetColor(Color());
        Canvas().FillRect(ClientRect());
    }
};

// A windowed control that counts its paints and can claim keys through WM_GETDLGCODE.
class TCountingWin : public TCustomControl {
  public:
    using TCustomControl::TCustomControl;
    int Paints = 0;
    LRESULT DlgCode = 0;
    using TControl::ExcludeStyle;
    using TControl::IncludeStyle;

  protected:
    void Paint() override { ++Paints; }
    void WMGetDlgCode(TMessage& Message) override { Message.Result = DlgCode; }
};

// The shared form fixture (a borderless, white 200 x 150 form, shown) with an event log.
class FormFixture : public FormTest {
  protected:
    // Logs the mouse events of c under the name n.
    void WatchMouse(TControl& c, const std::string& n) {
        c.SetOnMouseDown([this, n](TObject*, TMouseButton b, TShiftState s, int x, int y) {
            log.push_back(n + ".down" + ButtonText(b) + ShiftText(s) + Pos(x, y));
        });
        c.SetOnMouseUp([this, n](TObject*, TMouseButton b, TShiftState s, int x, int y) {
            log.push_back(n + ".up" + ButtonText(b) + ShiftText(s) + Pos(x, y));
        });
        c.SetOnMouseMove([this, n](TObject*, TShiftState s, int x, int y) {
            log.push_back(n + ".move" + ShiftText(s) + Pos(x, y));
        });
        c.SetOnClick([this, n](TObject*) { log.push_back(n + ".click"); });
        c.SetOnDblClick([this, n](TObject*) { log.push_back(n + ".dblclick"); });
        c.SetOnMouseEnter([this, n](TObject*) { log.push_back(n + ".enter"); });
        c.SetOnMouseLeave([this, n](TObject*) { log.push_back(n + ".leave"); });
    }
    // Logs the key and focus events of c under the name n.
    void WatchKeys(TWinControl& c, const std::string& n) {
        c.SetOnKeyDown([this, n](TObject*, std::uint16_t& k, TShiftState s) {
            log.push_back(n + ".keydown(" + std::to_string(k) + ")" + ShiftText(s));
        });
        c.SetOnKeyPress([this, n](TObject*, char32_t& ch) {
            log.push_back(n + ".keypress(" + std::to_string(unsigned(ch)) + ")");
        });
        c.SetOnKeyUp([this, n](TObject*, std::uint16_t& k, TShiftState) {
            log.push_back(n + ".keyup(" + std::to_string(k) + ")");
        });
        c.SetOnEnter([this, n](TObject*) { log.push_back(n + ".enterfocus"); });
        c.SetOnExit([this, n](TObject*) { log.push_back(n + ".exitfocus"); });
    }
    static std::string ButtonText(TMouseButton b) {
        return b == mbLeft ? "L" : b == mbRight ? "R" : "M";
    }
    static std::string Pos(int x, int y) {
        std::string s = "(";
        s += std::to_string(x);
        s += ',';
        s += std::to_string(y);
        s += ')';
        return s;
    }
    std::string Log() const {
        std::string s;
        for (const std::string& e : log) {
            if (!s.empty()) s += ' ';
            s += e;
        }
        return s;
    }

    std::vector<std::string> log;
};

} // namespace kel::test
