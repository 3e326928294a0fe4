// TGradFill: band geometry and colours, setters, painting and the published list of the
// gradient fill.
#include "KEL_gradfl.h"

#include "kel_props.h"
#include "kel_setter.h"

#include <algorithm>

namespace kel {

TColor GradBandColor(TGradType Type, int NrColors, int Band, TColor First, TColor Last) {
    const TColor a = ColorToRGB(First), b = ColorToRGB(Last);
    const int N = NrColors, k = Band;
    const bool midBand = Type == gtMidBandHoriz || Type == gtMidBandVert;
    // One band (or a mid-band gradient without a middle to reach) is the first colour.
    if (N < 2) return a;
    auto component = [&](int shift) -> TColor {
        const int c0 = int((a >> shift) & 0xFF);
        const int dc = int((b >> shift) & 0xFF) - c0;
        int step;
        if (!midBand) {
            step = MulDiv(k, dc, N);
        } else {
            const int m = N / 2;
            step = k <= m ? MulDiv(k, dc, m) : MulDiv(N - k - 1, dc, m);
        }
        return TColor(std::uint8_t(c0 + step)) << shift;
    };
    return component(0) | component(8) | component(16);
}

int GradBandStart(int Band, int Size, int NrColors) { return MulDiv(Band, Size, NrColors); }

// ---- State ------------------------------------------------------------------------------------

TGradFill::TGradFill(TComponent* AOwner) : TGraphicControl(AOwner) { InitBounds(0, 0, 121, 121); }

void TGradFill::SetColorFirst(TColor Value) {
    if (!SetField(FColorFirst, Value)) return;
    (FColorsFlipped ? FColLastOrg : FColFirstOrg) = Value;
    Changed();
}

void TGradFill::SetColorLast(TColor Value) {
    if (!SetField(FColorLast, Value)) return;
    (FColorsFlipped ? FColFirstOrg : FColLastOrg) = Value;
    Changed();
}

void TGradFill::SetColorFlipped(bool Value) {
    if (!SetField(FColorsFlipped, Value)) return;
    if (ComponentState().contains(csLoading)) {
        // The colours read from the file are the shown ones: keep them, and remember that the
        // pair as set is their swap.
        FColFirstOrg = Value ? FColorLast : FColorFirst;
        FColLastOrg = Value ? FColorFirst : FColorLast;
    } else {
        FColorFirst = Value ? FColLastOrg : FColFirstOrg;
        FColorLast = Value ? FColFirstOrg : FColLastOrg;
    }
    Changed();
}

void TGradFill::SetFillType(TGradType Value) {
    if (SetField(FGradType, Value)) Changed();
}

void TGradFill::SetFrameStyle(TFrameStyle Value) {
    if (SetField(FFrameStyle, Value)) Changed();
}

void TGradFill::SetGridColor(TColor Value) {
    if (SetField(FGridColor, Value)) Changed();
}

void TGradFill::SetGridMode(TGridMode Value) {
    if (SetField(FGridMode, Value)) Changed();
}

void TGradFill::SetNrColors(int Value) {
    if (SetField(FNrColors, std::clamp(Value, 1, 255))) Changed();
}

// ---- Painting ---------------------------------------------------------------------------------

void TGradFill::Paint() {
    const int W = Width(), H = Height();
    if (W > 0 && H > 0) {
        TBitmap bmp(W, H);
        TCanvas& c = bmp.Canvas();
        const bool horiz = FGradType == gtHoriz || FGradType == gtMidBandHoriz;
        const int side = horiz ? H : W;
        for (int k = 0; k < FNrColors; ++k) {
            const int from = GradBandStart(k, side, FNrColors);
            const int to = GradBandStart(k + 1, side, FNrColors);
            c.Brush().SetColor(GradBandColor(FGradType, FNrColors, k, FColorFirst, FColorLast));
            c.FillRect(horiz ? Rect(0, from, W, to) : Rect(from, 0, to, H));
        }
        c.Brush().SetColor(FGridColor);
        if (FGridMode == gmHoriz || FGridMode == gmBoth)
            for (int y = 0; y < H; y += 10) c.FillRect(Rect(0, y, W, y + 1));
        if (FGridMode == gmVert || FGridMode == gmBoth)
            for (int x = 0; x < W; x += 10) c.FillRect(Rect(x, 0, x + 1, H));
        DrawFrame(c, FFrameStyle, 0, 0, W - 1, H - 1, 0xFFFFFF, 0xC0C0C0, 0x808080, clBlack,
                  clBlack);
        Canvas().Draw(0, 0, bmp);
    }
    if (FOnPaint) FOnPaint(this);
}

// ---- Published properties ---------------------------------------------------------------------

namespace {
// ColorFlipped comes after the colours (see the header: a form file keeps the shown pair).
const TClassRegistrar<TGradFill> gradFillReg("TGradFill", "TGraphicControl", [](auto& p) {
    using G = TGradFill;
    p.Color("ColorFirst", &G::ColorFirst, &G::SetColorFirst, clMaroon);
    p.Color("ColorLast", &G::ColorLast, &G::SetColorLast, clYellow);
    p.Bool("ColorFlipped", &G::ColorFlipped, &G::SetColorFlipped, false);
    p.Enum("FillType", &G::FillType, &G::SetFillType, gtHoriz,
           {"gtHoriz", "gtVert", "gtMidBandHoriz", "gtMidBandVert"});
    p.Enum("FrameStyle", &G::FrameStyle, &G::SetFrameStyle, fstNone,
           {"fstNone", "fstLoweredThin", "fstLowered", "fstRaised", "fstEmbossed", "fstSimple"});
    p.Color("GridColor", &G::GridColor, &G::SetGridColor, clNavy);
    p.Enum("GridMode", &G::GridMode, &G::SetGridMode, gmNone,
           {"gmNone", "gmHoriz", "gmVert", "gmBoth"});
    p.Int("NrColors", &G::NrColors, &G::SetNrColors, 16);
});
} // namespace

} // namespace kel
