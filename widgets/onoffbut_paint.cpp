// TOnOffBut painting: background, captions, glyph and frame composed in a work bitmap, with a
// mask beside it (black wherever something opaque was drawn) for the transparent mode, where
// the mask is ANDed onto the parent and the work bitmap ORed on top.
#include "KEL_onoffbut.h"

#include <algorithm>
#include <cstdint>
#include <string>

namespace kel {

TPoint OnOffButCaptionPos(TOnOffButSide Side, TAlignment Alignment, int LeftSpace, int TopSpace,
                          int GlyphW, int GlyphH, int Width, int TextH, int TextW) {
    const int LS = LeftSpace, TS = TopSpace, GW = GlyphW, GH = GlyphH, W = Width, T = TextH,
              tw = TextW;
    switch (Side) {
    case oosLeft:
    case oosRight: {
        const int y = TS + (GH - T) / 2;
        if (Side == oosLeft)
            return {Alignment == taLeftJustify    ? 4
                    : Alignment == taRightJustify ? LS - tw - 3
                                                  : (LS - tw) / 2,
                    y};
        return {Alignment == taLeftJustify    ? LS + GW + 4
                : Alignment == taRightJustify ? W - tw - 4
                                              : (W - tw - LS - GW) / 2 + LS + GW + 1,
                y};
    }
    default: {
        const int y = Side == oosTop ? TS - T - 4 : TS + GH + 4;
        return {Alignment == taLeftJustify    ? 4
                : Alignment == taRightJustify ? W - tw - 4
                                              : LS + (GW - tw) / 2,
                y};
    }
    }
}

void TOnOffBut::Paint() {
    if (!Visible() && !ComponentState().contains(csDesigning)) return;
    const int W = Width(), H = Height();
    if (W <= 0 || H <= 0) return;
    TBitmap& work = *FWork;
    TBitmap& mask = *FMask;
    work.SetSize(W, H);
    mask.SetSize(W, H);
    TCanvas& wc = work.Canvas();
    TCanvas& mc = mask.Canvas();
    wc.SetCopyMode(cmSrcCopy);

    // 1. Background: black (transparent) or the background colour; the mask starts all white.
    wc.Font().Assign(&Font());
    // A transparent button draws 1-bit text, so the mask covers exactly the ink.
    if (FTransParent) wc.Font().SetQuality(fqNonAntialiased);
    const TColor back = FTransParent ? clBlack : FColorBakG;
    wc.Pen().SetColor(back);
    wc.Brush().SetColor(back);
    wc.Brush().SetStyle(bsSolid);
    wc.Rectangle(0, 0, W, H);
    mc.Font().Assign(&wc.Font());
    mc.Font().SetColor(clBlack);
    mc.Pen().SetColor(clWhite);
    mc.Brush().SetColor(clWhite);
    mc.Brush().SetStyle(bsSolid);
    mc.Rectangle(0, 0, W, H);

    // 2. Captions, on the work bitmap and at the same place in black on the mask.
    const int T = wc.TextHeight("(8g]}\xC3\x9C\xC3\x84\xC2\xA7");
    wc.Brush().SetStyle(bsClear);
    mc.Brush().SetStyle(bsClear);
    const bool enabled = Enabled();
    const auto caption = [&](TOnOffButSide Side, TAlignment Alignment, const std::string& Text) {
        if (Text.empty()) return;
        const TPoint p = OnOffButCaptionPos(Side, Alignment, FLeftSpace, FTopSpace, FGlyphWidth,
                                            FGlyphHeight, W, T, wc.TextWidth(Text));
        if (enabled) {
            wc.Font().SetColor(FColorTxt);
            wc.TextOut(p.X, p.Y, Text);
        } else {
            wc.Font().SetColor(clWhite);
            wc.TextOut(p.X + 1, p.Y + 1, Text);
            mc.TextOut(p.X + 1, p.Y + 1, Text);
            wc.Font().SetColor(TColor(0x808080));
            wc.TextOut(p.X, p.Y, Text);
        }
        mc.TextOut(p.X, p.Y, Text);
    };
    caption(oosLeft, FLTAlignment, FLeftText);
    caption(oosRight, FRTAlignment, FRightText);
    caption(oosTop, FTTAlignment, FTopText);
    caption(oosBottom, FBTAlignment, FBottomText);
    wc.Brush().SetStyle(bsSolid);
    mc.Brush().SetStyle(bsSolid);

    // 3. The glyph at (LS + 1, TS + 1): key-coloured pixels become the background (black when
    // transparent) and stay white in the mask, every other pixel is black in the mask.
    const TBitmap& g = Glyph(FOnOff, enabled);
    const std::uint32_t backPixel = ColorToPixel(back);
    const int gx = FLeftSpace + 1, gy = FTopSpace + 1;
    for (int y = std::max(0, -gy); y < g.Height() && gy + y < H; ++y) {
        const std::uint32_t* src = g.ScanLine(y);
        std::uint32_t* dst = work.ScanLine(gy + y);
        std::uint32_t* msk = mask.ScanLine(gy + y);
        for (int x = std::max(0, -gx); x < g.Width() && gx + x < W; ++x) {
            const std::uint32_t p = src[x] & 0xFFFFFF;
            if (p == OnOffButKeyColor) {
                dst[gx + x] = backPixel;
                msk[gx + x] = 0xFFFFFF;
            } else {
                dst[gx + x] = p;
                msk[gx + x] = 0;
            }
        }
    }

    // 4. The frame, in black on the mask as well.
    DrawFrame(wc, FFrameStyle, 0, 0, W - 1, H - 1, 0xFFFFFF, 0xC0C0C0, 0x808080, clBlack, clBlack);
    DrawFrame(mc, FFrameStyle, 0, 0, W - 1, H - 1, clBlack, clBlack, clBlack, clBlack, clBlack);

    // 5. Output: a plain copy, or the mask ANDed and the work bitmap ORed over the parent.
    TCanvas& c = Canvas();
    const TRect r = Rect(0, 0, W, H);
    if (!FTransParent) {
        c.SetCopyMode(cmSrcCopy);
        c.CopyRect(r, wc, r);
    } else {
        c.SetCopyMode(cmSrcAnd);
        c.CopyRect(r, mc, r);
        c.SetCopyMode(cmSrcPaint);
        c.CopyRect(r, wc, r);
        c.SetCopyMode(cmSrcCopy);
    }
}

} // namespace kel
