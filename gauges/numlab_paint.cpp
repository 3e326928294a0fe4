// TNumLab painting: the box text (value text, OnBeforeDisplay, overflow check) and Paint
// (side texts, framed box, value, then an opaque or ANDed copy onto the control).
#include "KEL_NumLab.h"

#include "kel_classes.h"

#include <algorithm>
#include <string>

namespace kel {

std::string TNumLab::BoxValueText() {
    std::string text;
    try {
        text = NumLabValueText(FDisplayType, FDecP, FLabValue, FComma, FPlusSign, FDtFormat,
                               FStateText);
    } catch (const EConvertError&) {
        text = FOverFlowIndi; // a date-time outside the calendar
    }
    if (FOnBeforeDisplay) FOnBeforeDisplay(this, text);
    return text;
}

std::string TNumLab::FitBox(TCanvas& Canvas, std::string Text) const {
    if (FDisplayType != dtState && Canvas.TextWidth(Text) > FLabWidth - 6) return FOverFlowIndi;
    return Text;
}

std::string TNumLab::DisplayedText() {
    if (FEmpty) return {};
    TBitmap bmp;
    bmp.Canvas().Font().Assign(&Font());
    return FitBox(bmp.Canvas(), BoxValueText());
}

void TNumLab::Paint() {
    if (!Visible() && !ComponentState().contains(csDesigning)) return;
    const int W = Width(), H = Height(), LS = FLeftSpace, LW = FLabWidth;
    TCanvas& out = Canvas();
    out.Font().Assign(&Font());
    const int y = (H - out.TextHeight("(8g]}\xC3\x9C\xC3\x84\xC2\xA7")) / 2;

    TBitmap bmp(std::max(W, 0), std::max(H, 0));
    TCanvas& c = bmp.Canvas();
    c.Font().Assign(&Font());
    const TColor back = FTransParent ? clWhite : FColorOutBakG;
    c.Pen().SetColor(back);
    c.Brush().SetColor(back);
    c.Rectangle(0, 0, W, H);

    // Side texts; disabled ones are engraved (a white copy one pixel off, grey on top).
    auto sideText = [&](const std::string& text, int x, int lightDx) {
        if (FEnabled) {
            c.Font().SetColor(FColorOutText);
            c.TextOut(x, y, text);
        } else {
            c.Brush().SetStyle(bsClear);
            c.Font().SetColor(clWhite);
            c.TextOut(x + lightDx, y + 1, text);
            c.Font().SetColor(clGray);
            c.TextOut(x, y, text);
        }
    };
    int tw = c.TextWidth(FLeftText);
    int x = FLTAlignment == taLeftJustify    ? 7
            : FLTAlignment == taRightJustify ? LS - tw - 5
                                             : (LS - tw) / 2;
    sideText(FLeftText, x, 1);
    tw = c.TextWidth(FRightText);
    x = FRTAlignment == taLeftJustify    ? LS + LW + 7
        : FRTAlignment == taRightJustify ? W - tw - 6
                                         : (W - (LS + LW + tw)) / 2 + LS + LW + 1;
    sideText(FRightText, x, FRTAlignment == taRightJustify ? -1 : 1);

    // The box: filled with its colour, then framed.
    c.Pen().SetColor(FFrameStyle == fstNone       ? FColorLabBakG
                     : FFrameStyle == fstEmbossed ? FColWhiteLine
                                                  : FColGrayLine);
    c.Brush().SetColor(FColorLabBakG);
    c.Rectangle(LS + 1, 0, LS + LW + 1, H - 1);
    DrawFrame(c, FFrameStyle, LS + 1, 0, LS + LW, H - 2, clWhite, clSilver, clGray, clBlack,
              clBlack);

    if (!FEmpty) {
        if (FBoxTextStale) { // no setter has asked OnBeforeDisplay for the present state
            FBoxText = BoxValueText();
            FBoxTextStale = false;
        }
        const std::string text = FitBox(c, FBoxText);
        c.Font().SetColor(FEnabled ? FColorLabText : clBtnShadow);
        tw = c.TextWidth(text);
        x = FAlignment == taLeftJustify    ? LS + 4
            : FAlignment == taRightJustify ? LS + LW - tw - 2
                                           : LS + (LW - tw) / 2 + 2;
        c.TextRect(Rect(LS + 3, 2, LS + LW - 1, H - 3), x, y, text);
    }

    if (FTransParent) {
        const TColor box = FColorLabText == clBlack ? FColorLabBakG : clWhite;
        out.Pen().SetColor(box);
        out.Brush().SetColor(box);
        out.Rectangle(LS + 2, 2, LS + LW, H - 2);
        out.SetCopyMode(cmSrcAnd);
    } else {
        out.SetCopyMode(cmSrcCopy);
    }
    out.Draw(0, 0, bmp);
    out.SetCopyMode(cmSrcCopy);
}

} // namespace kel
