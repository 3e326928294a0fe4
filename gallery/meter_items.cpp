// Gallery items of the analog meter: the needle follows the mouse. Moving the pointer over the
// dial reports the scale value under it (OnMouseMoveInMeter); the meter takes that value, so
// the needle, the caption and the limit lamps follow the pointer. With --log-input every
// report is printed ("meter: in 0.4213" or "meter: out").
#include "gallery.h"

#include "KEL_Meter.h"
#include "numtext.h"

#include <cstdio>

namespace kel::gallery {
namespace {

TControl* GaugeDrivenMeter(TWinControl* Parent, bool Log) {
    auto* m = new TMeter(Parent);
    if (Log) {
        m->SetMeterMaxValue(1000);
        m->SetMeterMinValue(1);
        m->SetLogarithmic(true);
        m->SetMeterDecPlaces(0);
        m->SetMeterLayout(mlCirc270);
        m->SetThresholdLow(3);
        m->SetThresholdHigh(300);
        m->SetValue(30);
    } else {
        m->SetThresholdLow(0.2);
        m->SetThresholdHigh(0.8);
        m->SetValue(0.5);
    }
    m->SetScaleBkVisible(true);
    m->SetScaleBkWidth(8);
    m->SetCaption(FloatToFieldStr(1, Log ? 1 : 2, m->Value()));
    m->SetOnMouseMoveInMeter([m, Log](TObject*, bool WithinRange, TShiftState, double Value) {
        if (gLogInput) {
            if (WithinRange)
                std::printf("meter: in %.4f\n", Value);
            else
                std::printf("meter: out\n");
            std::fflush(stdout);
        }
        if (!WithinRange) return;
        m->SetValue(Value);
        m->SetCaption(FloatToFieldStr(1, Log ? 1 : 2, m->Value()));
    });
    return m;
}

} // namespace

KEL_GALLERY_ITEM("TMeter", 297, 209, [](TWinControl* p) { return GaugeDrivenMeter(p, false); });
KEL_GALLERY_ITEM("TMeter (logarithmic)", 297, 209,
                 [](TWinControl* p) { return GaugeDrivenMeter(p, true); });

} // namespace kel::gallery
