// Style services: the built-in style (system colours and the default font), the installed
// style, and the shared drawing routines of the look.
#include "kel_themes.h"

#include "kel_utf8.h"

#include <algorithm>

namespace kel {

namespace {

constexpr TColor kStyleColors[StyleColorCount] = {
    clWindow,    clWindowText, clBtnFace,   clBtnText,       clBtnHighlight, cl3DLight,
    clBtnShadow, cl3DDkShadow, clHighlight, clHighlightText, clGrayText,     clWindowFrame,
    clHotLight,  clInfoBk,     clInfoText,  clMenu,          clMenuText,     clMenuHighlight};

TCustomStyleServices*& Installed() {
    static TCustomStyleServices* installed = nullptr;
    return installed;
}

} // namespace

TColor TCustomStyleServices::GetStyleColor(TStyleColor Element) const {
    int i = int(Element);
    return i >= 0 && i < StyleColorCount ? kStyleColors[i] : clNone;
}

TColor TCustomStyleServices::GetSystemColor(TColor Color) const { return ColorToRGB(Color); }

void TCustomStyleServices::GetStyleFont(TStyleFont Element, TFont& Font) const {
    TFont plain; // the default face, 8 points
    Font.Assign(&plain);
    switch (Element) {
    case sfCaption:
        Font.SetStyle(TFontStyles{fsBold});
        Font.SetColor(clCaptionText);
        break;
    case sfMenu:
        Font.SetColor(clMenuText);
        break;
    case sfHint:
        Font.SetColor(clInfoText);
        break;
    case sfControl:
        break;
    }
}

TCustomStyleServices& StyleServices() {
    static TCustomStyleServices builtIn;
    return Installed() != nullptr ? *Installed() : builtIn;
}

void SetStyleServices(TCustomStyleServices* Style) { Installed() = Style; }

// ---- Drawing helpers --------------------------------------------------------------------------

void FillSolidRect(TCanvas& C, const TRect& R, TColor Color) {
    C.Brush().SetStyle(bsSolid);
    C.Brush().SetColor(Color);
    C.FillRect(R);
}

void Frame3D(TCanvas& C, TRect& R, TColor TopColor, TColor BottomColor, int Width) {
    for (int i = 0; i < Width && !R.IsEmpty(); ++i) {
        FillSolidRect(C, Rect(R.Left, R.Top, R.Right - 1, R.Top + 1), TopColor);
        FillSolidRect(C, Rect(R.Left, R.Top, R.Left + 1, R.Bottom - 1), TopColor);
        FillSolidRect(C, Rect(R.Right - 1, R.Top, R.Right, R.Bottom), BottomColor);
        FillSolidRect(C, Rect(R.Left, R.Bottom - 1, R.Right, R.Bottom), BottomColor);
        R = Rect(R.Left + 1, R.Top + 1, R.Right - 1, R.Bottom - 1);
    }
}

TRect DrawButtonFace(TCanvas& C, const TRect& R, bool Down, TColor FaceColor) {
    const TCustomStyleServices& s = StyleServices();
    TRect r = R;
    if (Down) {
        Frame3D(C, r, s.GetStyleColor(scButtonDarkShadow), s.GetStyleColor(scButtonHighlight), 1);
        Frame3D(C, r, s.GetStyleColor(scButtonShadow), s.GetStyleColor(scButtonLight), 1);
    } else {
        Frame3D(C, r, s.GetStyleColor(scButtonHighlight), s.GetStyleColor(scButtonDarkShadow), 1);
        Frame3D(C, r, s.GetStyleColor(scButtonLight), s.GetStyleColor(scButtonShadow), 1);
    }
    FillSolidRect(C, r, FaceColor);
    return r;
}

TRect DrawSunkenFrame(TCanvas& C, const TRect& R) {
    const TCustomStyleServices& s = StyleServices();
    TRect r = R;
    Frame3D(C, r, s.GetStyleColor(scButtonShadow), s.GetStyleColor(scButtonHighlight), 1);
    Frame3D(C, r, s.GetStyleColor(scButtonDarkShadow), s.GetStyleColor(scButtonLight), 1);
    return r;
}

void DrawFocusRect(TCanvas& C, const TRect& R) {
    if (R.IsEmpty()) return;
    auto invert = [&](int x, int y) {
        TColor p = C.Pixels(x, y);
        if (p == 0xFFFFFFFF) return;
        C.SetPixels(x, y, (~p) & 0xFFFFFF);
    };
    // Pixels whose coordinates sum to an even number, once each round the ring.
    for (int x = R.Left; x < R.Right; ++x) {
        if (((x + R.Top) & 1) == 0) invert(x, R.Top);
        if (R.Bottom - 1 > R.Top && ((x + R.Bottom - 1) & 1) == 0) invert(x, R.Bottom - 1);
    }
    for (int y = R.Top + 1; y < R.Bottom - 1; ++y) {
        if (((R.Left + y) & 1) == 0) invert(R.Left, y);
        if (R.Right - 1 > R.Left && ((R.Right - 1 + y) & 1) == 0) invert(R.Right - 1, y);
    }
}

void FillCheckered(TCanvas& C, const TRect& R) {
    const TCustomStyleServices& s = StyleServices();
    FillSolidRect(C, R, s.GetStyleColor(scButtonFace));
    TColor hi = s.GetSystemColor(s.GetStyleColor(scButtonHighlight));
    for (int y = R.Top; y < R.Bottom; ++y)
        for (int x = R.Left + ((R.Left + y) & 1); x < R.Right; x += 2) C.SetPixels(x, y, hi);
}

std::string StripAccelChars(const std::string& Caption, int* Accel) {
    std::string out;
    int accel = -1;
    for (std::size_t i = 0; i < Caption.size(); ++i) {
        if (Caption[i] == '&' && i + 1 < Caption.size()) {
            ++i;
            if (Caption[i] != '&' && accel < 0) accel = int(out.size());
        }
        out += Caption[i];
    }
    if (Accel != nullptr) *Accel = accel;
    return out;
}

bool IsAccel(char32_t Key, const std::string& Caption) {
    int accel = -1;
    const std::string text = StripAccelChars(Caption, &accel);
    if (accel < 0) return false;
    const auto* b = reinterpret_cast<const unsigned char*>(text.data());
    const unsigned char* p = b + accel;
    char32_t ch = NextCodePoint(p, b + text.size());
    auto lower = [](char32_t c) { return c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c; };
    return lower(ch) == lower(Key);
}

void DrawAccelText(TCanvas& C, int X, int Y, const std::string& Caption, TColor Color,
                   bool Enabled) {
    int accel = -1;
    const std::string text = StripAccelChars(Caption, &accel);
    TBrushStyle old = C.Brush().Style();
    auto draw = [&](int x, int y, TColor color) {
        C.Brush().SetStyle(bsClear);
        C.Font().SetColor(color);
        C.TextOut(x, y, text);
        if (accel < 0) return;
        // The underline: one pixel below the baseline, under the whole character.
        const auto* b = reinterpret_cast<const unsigned char*>(text.data());
        const unsigned char* p = b + accel;
        NextCodePoint(p, b + text.size());
        std::size_t end = std::size_t(p - b);
        int u0 = C.TextWidth(text.substr(0, std::size_t(accel)));
        int u1 = C.TextWidth(text.substr(0, end));
        int base = y + C.TextMetrics().tmAscent + 1;
        FillSolidRect(C, Rect(x + u0, base, x + u1, base + 1), color);
    };
    if (Enabled) {
        draw(X, Y, Color);
    } else {
        const TCustomStyleServices& s = StyleServices();
        draw(X + 1, Y + 1, s.GetStyleColor(scButtonHighlight));
        draw(X, Y, s.GetStyleColor(scButtonShadow));
    }
    C.Brush().SetStyle(old);
}

} // namespace kel
