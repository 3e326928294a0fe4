// Gallery entries for the on/off button: a coloured slide switch with captions, and a radio
// group of three lamps on a panel, of which one is on at a time.
#include "KEL_onoffbut.h"
#include "gallery.h"
#include "kel_extctrls.h"

KEL_GALLERY_ITEM("TOnOffBut", 140, 80, [](kel::TWinControl* p) -> kel::TControl* {
    auto* b = new kel::TOnOffBut(p);
    b->SetTopText("Pump 1");
    b->SetLeftText("Off");
    b->SetRightText("On");
    return b;
});

KEL_GALLERY_ITEM("TOnOffBut group", 180, 60, [](kel::TWinControl* p) -> kel::TControl* {
    auto* panel = new kel::TPanel(p);
    panel->SetBevelOuter(kel::bvNone);
    panel->SetParentBackground(false);
    const char* names[3] = {"Low", "Mid", "High"};
    for (int i = 0; i < 3; ++i) {
        auto* b = new kel::TOnOffBut(panel);
        b->SetParent(panel);
        b->SetBounds(60 * i, 0, 60, 60);
        b->SetButtonStyle(kel::oobsBeveledLed);
        b->SetBottomText(names[i]);
        b->SetFrameStyle(kel::fstNone);
        b->SetOnOff(i == 1);
        b->SetGroupIndex(1);
        b->SetAllowAllOff(false);
    }
    return panel;
});
