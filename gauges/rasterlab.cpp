// TRasterLab: state, setters, the character matrices (built-in and scanned from a font), the
// scroll timer and painting. Paint draws into an off-screen bitmap: background, the gaps of the
// raster, the text dot by dot, the frame; then copies it to the control in one step.
#include "KEL_RasterLab.h"

#include "kel_setter.h"

#include "kel_utf8.h"
#include "kel_props.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

namespace kel {

namespace {

// Unicode of the code page positions 128..159 (0 where the code page defines none).
constexpr char32_t kCp1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

// Offsets stop here when the text leaves without looping (no overflow, ever).
constexpr std::int64_t kFarAway = std::int64_t{1} << 30;

void PenAndBrush(TCanvas& C, TColor Color) {
    C.Pen().SetColor(Color);
    C.Brush().SetColor(Color);
}

int ClampToInt(std::int64_t v) { return int(std::clamp<std::int64_t>(v, INT_MIN, INT_MAX)); }

int StepOffset(int Offset, std::int64_t Delta) {
    return int(std::clamp<std::int64_t>(Offset + Delta, -kFarAway, kFarAway));
}

bool IsDefaultFontName(const std::string& Name) {
    if (Name.size() != 7) return false;
    for (std::size_t i = 0; i < 7; ++i)
        if (std::tolower(static_cast<unsigned char>(Name[i])) != "default"[i]) return false;
    return true;
}

} // namespace

// ---- Character matrices -----------------------------------------------------------------------

TRDCharMatrix BuiltInCharMatrix() {
    TRDCharMatrix m;
    m.FontWidth = 7;
    m.FontHeight = 12;
    for (int c = 32; c < 256; ++c) {
        const std::uint8_t* e = RasterFontTable[c - 32];
        m.LeftMostBit[std::size_t(c)] = e[0];
        m.RightMostBit[std::size_t(c)] = e[1];
        for (int r = 0; r < 12; ++r) m.BitData[std::size_t(c)][std::size_t(r)] = e[2 + r];
    }
    return m;
}

int RasterCharCode(char32_t Cp) {
    if (Cp < 128 || (Cp >= 160 && Cp < 256)) return int(Cp);
    if (Cp < 160) return -1; // C1 controls
    for (int k = 0; k < 32; ++k)
        if (kCp1252High[k] == Cp) return 128 + k;
    return -1;
}

TRDCharMatrix TRasterLab::CreateBitFont(const TFont* Font) {
    if (Font == nullptr || IsDefaultFontName(Font->Name())) return BuiltInCharMatrix();
    TRDCharMatrix m;
    TBitmap b(65, 65);
    TCanvas& c = b.Canvas();
    c.Font().Assign(Font);
    c.Font().SetColor(clBlack); // a font of any colour scans alike
    // Whole pixels only: antialiasing greys would count as ink and blot the dots.
    c.Font().SetQuality(fqNonAntialiased);
    for (int code = 32; code < 256; ++code) {
        const char32_t cp = code >= 128 && code < 160 ? kCp1252High[code - 128] : char32_t(code);
        const std::size_t k = std::size_t(code);
        m.LeftMostBit[k] = 31;
        m.RightMostBit[k] = 0;
        if (cp == 0) continue; // no character at this position
        PenAndBrush(c, clWhite);
        c.Rectangle(0, 0, 100, 100);
        c.Pen().SetColor(clBlack);
        c.TextOut(0, 0, CharToUtf8(cp));
        for (int y = 0; y < 32; ++y) {
            std::uint32_t row = 0;
            const std::uint32_t* line = b.ScanLine(y);
            for (int j = 0; j < 32; ++j)
                if ((line[j] & 0xFFFFFF) != 0xFFFFFF) row |= std::uint32_t{1} << j;
            m.BitData[k][std::size_t(y)] = row;
            if (row == 0) continue;
            m.FontHeight = std::max(m.FontHeight, y + 1);
            for (int j = 0; j < 32; ++j)
                if (row & (std::uint32_t{1} << j)) {
                    m.LeftMostBit[k] = std::uint8_t(std::min<int>(m.LeftMostBit[k], j));
                    m.RightMostBit[k] = std::uint8_t(std::max<int>(m.RightMostBit[k], j));
                }
        }
        if (m.RightMostBit[k] >= m.LeftMostBit[k])
            m.FontWidth = std::max(m.FontWidth, m.RightMostBit[k] - m.LeftMostBit[k] + 1);
    }
    // The space, and every glyph that left no pixel, get half the widest glyph as extent.
    for (int code = 32; code < 256; ++code) {
        const std::size_t k = std::size_t(code);
        if (code == 32 || m.RightMostBit[k] < m.LeftMostBit[k]) {
            m.LeftMostBit[k] = 0;
            m.RightMostBit[k] = std::uint8_t(m.FontWidth / 2);
        }
    }
    return m;
}

// ---- Construction -----------------------------------------------------------------------------

TRasterLab::TRasterLab(TComponent* AOwner)
    : TGraphicControl(AOwner), FScrTimer([this] { TimerTick(); }) {
    IncludeStyle(csOpaque);
    InitBounds(Left(), Top(), 400, 68);
    Font().SetName("default");
    Font().SetSize(8);
    FCMat = CreateBitFont(&Font());
}

TRasterLab::~TRasterLab() = default; // the timer stops with its member

// Sizes derived from several properties are settled once all of them are read, whatever
// their order in the file.
void TRasterLab::Loaded() {
    TGraphicControl::Loaded();
    AdjustAutos();
    Changed();
}

// Deferred and merged: any number of changes before the loop runs costs one paint.
void TRasterLab::Changed() { Invalidate(); }

void TRasterLab::WndProc(TMessage& Message) {
    TGraphicControl::WndProc(Message);
    if (Message.Msg == CM_FONTCHANGED) FontChanged();
}

void TRasterLab::FontChanged() {
    FCMat = CreateBitFont(&Font());
    AdjustAutos();
    Changed();
}

void TRasterLab::SetCharMatrix(const TRDCharMatrix& CMat) {
    auto fail = [this](const std::string& what) {
        throw EKELRasterLabError("Component \"" + Name() + "\": character matrix " + what);
    };
    if (CMat.FontWidth < 0 || CMat.FontWidth > 32)
        fail("font width " + std::to_string(CMat.FontWidth) + " outside 0..32");
    if (CMat.FontHeight < 0 || CMat.FontHeight > 32)
        fail("font height " + std::to_string(CMat.FontHeight) + " outside 0..32");
    for (int c = 0; c < 256; ++c)
        if (CMat.LeftMostBit[std::size_t(c)] > 31 || CMat.RightMostBit[std::size_t(c)] > 31)
            fail("extent of code " + std::to_string(c) + " outside columns 0..31");
    FCMat = CMat;
    AdjustAutos();
    Changed();
}

// ---- Geometry ---------------------------------------------------------------------------------

int TRasterLab::FrameWidth() const {
    switch (FFrameStyle) {
    case fstLoweredThin:
    case fstLowered:
    case fstRaised:
        return 1;
    case fstEmbossed:
    case fstSimple:
        return 2;
    default:
        return 0;
    }
}

void TRasterLab::Columns(int Code, int& First, int& Last) const {
    if (!FProportional) {
        First = 0;
        Last = FCMat.FontWidth - 1;
        return;
    }
    const std::size_t k = std::size_t(Code < 32 ? 32 : Code);
    First = FCMat.LeftMostBit[k];
    Last = FCMat.RightMostBit[k];
    if (Last < First) { // a glyph without extent draws as the space
        First = FCMat.LeftMostBit[32];
        Last = FCMat.RightMostBit[32];
    }
}

int TRasterLab::CalcTextBitLength(const std::string& AText) const {
    std::int64_t len = 0;
    for (char32_t cp : DecodeUtf8(AText)) {
        int first, last;
        Columns(RasterCharCode(cp), first, last);
        len += std::int64_t(Pitch()) * (last - first + 2);
    }
    return ClampToInt(len);
}

void TRasterLab::AdjustAutoHeight() { SetHeight(FrameWidth() + Pitch() * FCMat.FontHeight); }

void TRasterLab::AdjustAutoCenter() {
    FXPos =
        ClampToInt((std::int64_t(Width()) - CalcTextBitLength(FLabText)) / 2 + FrameWidth() + 1);
}

void TRasterLab::AdjustAutos() {
    if (ComponentState().contains(csLoading)) return; // Loaded settles them
    if (FAutoHeight) AdjustAutoHeight();
    if (FAutoCenter) AdjustAutoCenter();
}

// ---- Setters ----------------------------------------------------------------------------------

void TRasterLab::SetText(const std::string& Value) {
    if (!SetField(FLabText, Value)) return;
    AdjustAutos();
    Changed();
}

void TRasterLab::SetPosX(int Value) {
    if (SetField(FXPos, Value)) Changed();
}

void TRasterLab::SetPosY(int Value) {
    if (SetField(FYPos, Value)) Changed();
}

void TRasterLab::SetAutoCenter(bool Value) {
    if (!SetField(FAutoCenter, Value)) return;
    if (!Value) FXPos = 1;
    AdjustAutos();
    Changed();
}

void TRasterLab::SetAutoHeight(bool Value) {
    if (!SetField(FAutoHeight, Value)) return;
    AdjustAutos();
    Changed();
}

void TRasterLab::SetProportional(bool Value) {
    if (!SetField(FProportional, Value)) return;
    AdjustAutos();
    Changed();
}

void TRasterLab::SetDotSize(int Value) {
    Value = Value > 32 ? 32 : Value <= 0 ? 1 : Value;
    if (!SetField(FDotSize, Value)) return;
    AdjustAutos();
    Changed();
}

void TRasterLab::SetDotSpacing(int Value) {
    Value = std::clamp(Value, 0, 3);
    if (!SetField(FDotSpacing, Value)) return;
    AdjustAutos();
    Changed();
}

void TRasterLab::SetCharBlockMode(TRDBlockMode Value) {
    if (SetField(FCharBlockMode, Value)) Changed();
}

void TRasterLab::SetColorLabBakG(TColor Value) {
    if (SetField(FColorLabBakG, Value)) Changed();
}

void TRasterLab::SetColorDotOn(TColor Value) {
    if (SetField(FColorDotOn, Value)) Changed();
}

void TRasterLab::SetColorDotOff(TColor Value) {
    if (SetField(FColorDotOff, Value)) Changed();
}

void TRasterLab::SetColorScheme(TColorScheme Value) {
    if (!SetField(FColorScheme, Value)) return;
    SchemeLineColors(Value, FColGrayLine, FColWhiteLine);
    Changed();
}

void TRasterLab::SetFrameStyle(TFrameStyle Value) {
    if (!SetField(FFrameStyle, Value)) return;
    AdjustAutos(); // the frame's width counts in the derived height and position
    Changed();
}

void TRasterLab::SetScrollMode(TRDScrollMode Value) {
    if (!SetField(FScrollMode, Value)) return;
    if (!ComponentState().contains(csDesigning)) {
        FScrTimerEnabled = Value != rdsmOff;
        UpdateTimer();
    }
    if (Value == rdsmOff) {
        FScrollPosX = 0;
        FScrollPosY = 0;
        Changed();
    }
}

void TRasterLab::SetScrollInterval(int Value) {
    Value = std::max(Value, 10);
    if (SetField(FScrollIv, Value)) UpdateTimer();
}

void TRasterLab::SetScrollIncrement(int Value) {
    if (Value == 0)
        Value = 1;
    else if (Value == INT_MIN)
        Value = INT_MAX;
    else if (Value < 0)
        Value = -Value;
    if (SetField(FScrollInc, Value)) UpdateTimer();
}

void TRasterLab::SetScrollLoop(bool Value) {
    if (SetField(FScrollLoop, Value)) Changed();
}

void TRasterLab::SetOnScrollTimer(TNotifyEvent e) {
    FOnScrollTimer = std::move(e);
    UpdateTimer();
}

// ---- Assign -----------------------------------------------------------------------------------

void TRasterLab::Assign(const TPersistent* Source) {
    const auto* s = dynamic_cast<const TRasterLab*>(Source);
    if (s == nullptr) {
        TGraphicControl::Assign(Source);
        return;
    }
    FFrameStyle = s->FFrameStyle;
    FLabText = s->FLabText;
    FColorLabBakG = s->FColorLabBakG;
    FColorDotOn = s->FColorDotOn;
    FColBlackLine = s->FColBlackLine;
    FColGrayLine = s->FColGrayLine;
    FColWhiteLine = s->FColWhiteLine;
    FColorScheme = s->FColorScheme;
    AdjustAutos();
    Changed();
}

void TRasterLab::AssignTo(TPersistent* Dest) const {
    if (auto* d = dynamic_cast<TRasterLab*>(Dest)) {
        d->Assign(this);
        return;
    }
    TGraphicControl::AssignTo(Dest);
}

// ---- Scrolling --------------------------------------------------------------------------------

// A fault in a tick goes to the application's handler, so the loop goes on.
void TRasterLab::TimerTick() {
    try {
        DoTimer();
    } catch (...) {
        Application->HandleException(this);
    }
}

void TRasterLab::UpdateTimer() {
    FScrTimer.Stop();
    if (FScrollIv > 0 && FScrollMode != rdsmOff && FScrTimerEnabled)
        FScrTimer.Start<EKELRasterLabError>(std::uint32_t(FScrollIv), *this);
}

void TRasterLab::DoTimer() {
    ScrollTimerEvent();
    if (FOnScrollTimer) FOnScrollTimer(this);
}

void TRasterLab::DoScrLoopRestart() {
    if (FOnScrLoopRestart) FOnScrLoopRestart(this);
}

void TRasterLab::ScrollTimerEvent() {
    const int W = Width(), H = Height();
    const int textH = ClampToInt(std::int64_t(Pitch()) * FCMat.FontHeight);
    bool restart = false;
    switch (FScrollMode) {
    case rdsmOff:
        FScrTimerEnabled = false;
        FScrollPosX = 0;
        FScrollPosY = 0;
        break;
    case rdsmRight:
        FScrollPosX = StepOffset(FScrollPosX, FScrollInc);
        if (FScrollLoop && FScrollPosX > W) FScrollPosX = -FTextBitLength, restart = true;
        break;
    case rdsmLeft:
        FScrollPosX = StepOffset(FScrollPosX, -std::int64_t(FScrollInc));
        if (FScrollLoop && FScrollPosX < -FTextBitLength) FScrollPosX = W, restart = true;
        break;
    case rdsmDown:
        FScrollPosY = StepOffset(FScrollPosY, FScrollInc);
        if (FScrollLoop && FScrollPosY > H) FScrollPosY = -textH, restart = true;
        break;
    case rdsmUp:
        FScrollPosY = StepOffset(FScrollPosY, -std::int64_t(FScrollInc));
        if (FScrollLoop && FScrollPosY < -textH) FScrollPosY = H, restart = true;
        break;
    }
    if (restart) DoScrLoopRestart();
    Changed();
}

// ---- Paint ------------------------------------------------------------------------------------

void TRasterLab::PaintChar(TCanvas& C, int W, int H, std::int64_t X, std::int64_t Y,
                           int Code) const {
    if (Code < 32 || Code > 255) return; // no glyph: a blank
    int first, last;
    Columns(Code, first, last);
    const int p = Pitch();
    const auto& rows = FCMat.BitData[std::size_t(Code)];
    for (int r = 0; r < FCMat.FontHeight; ++r) {
        const std::int64_t y = Y + std::int64_t(r) * p;
        if (y + FDotSize <= 0 || y >= H) continue;
        for (int col = first; col <= last; ++col) {
            if (!(rows[std::size_t(r)] & (std::uint32_t{1} << col))) continue;
            const std::int64_t x = X + std::int64_t(col - first) * p;
            if (x + FDotSize <= 0 || x >= W) continue;
            if (FDotSize == 1)
                C.SetPixels(int(x), int(y), FColorDotOn);
            else
                C.Rectangle(int(x), int(y), int(x) + FDotSize, int(y) + FDotSize);
        }
    }
}

int TRasterLab::PaintString(TCanvas& C, int W, int H, std::int64_t X0, std::int64_t Y0) const {
    const int p = Pitch();
    std::int64_t x = X0;
    auto clearColumn = [&] {
        if (FCharBlockMode != rdbmOn || x - FDotSize - FDotSpacing >= W || x <= 0) return;
        PenAndBrush(C, FColorLabBakG);
        C.Rectangle(int(x - FDotSize - FDotSpacing), 0, int(x - 1), H);
    };
    clearColumn();
    for (char32_t cp : DecodeUtf8(FLabText)) {
        const int code = RasterCharCode(cp);
        int first, last;
        Columns(code, first, last);
        const std::int64_t advance = std::int64_t(p) * (last - first + 2);
        if (x < W && x + advance > 0) { // only what can show is drawn
            PenAndBrush(C, FColorDotOn);
            PaintChar(C, W, H, x, Y0, code);
        }
        x += advance;
        clearColumn();
    }
    return ClampToInt(x - X0 + 1);
}

void TRasterLab::Paint() {
    if (!Visible() && !ComponentState().contains(csDesigning)) return;
    TBitmap bmp;
    if (RenderTo(bmp)) Canvas().Draw(0, 0, bmp);
}

bool TRasterLab::RenderTo(TBitmap& Target) {
    const int W = Width(), H = Height();
    if (W <= 0 || H <= 0) return false;
    if (Target.Width() != W || Target.Height() != H) Target.SetSize(W, H);
    TCanvas& c = Target.Canvas();
    const std::int64_t X0 = std::int64_t(FXPos) + FScrollPosX;
    const std::int64_t Y0 = std::int64_t(FYPos) + FScrollPosY;

    // 1. Background: the off-dot colour, which the raster gaps then cut into dots.
    // The whole bitmap, frame area included: the frame styles made of two offset outlines
    // leave two corner pixels, which then show the background, not the bitmap's old content.
    PenAndBrush(c, FCharBlockMode != rdbmOff ? FColorDotOff : FColorLabBakG);
    c.Rectangle(0, 0, W, H);

    // 2. Raster: the gaps between dot rows and columns.
    const int p = Pitch(), s = FDotSpacing;
    if (FCharBlockMode != rdbmOff && s > 0) {
        PenAndBrush(c, FColorLabBakG);
        const int oy = int(Y0 % p), ox = int(X0 % p);
        for (int b = 0; b <= H / p + 1; ++b)
            for (int i = 1; i <= s; ++i) {
                const int y = oy + b * p + i - s - 1;
                c.MoveTo(0, y);
                c.LineTo(W, y);
            }
        for (int b = 0; b <= W / p + 1; ++b)
            for (int i = 1; i <= s; ++i) {
                const int x = ox + b * p + i - s - 1;
                c.MoveTo(x, 0);
                c.LineTo(x, H);
            }
    }

    // 3. Text.
    FTextBitLength = PaintString(c, W, H, X0, Y0);

    // 4. Frame.
    auto outline = [&c](int l, int t, int r, int b) {
        c.MoveTo(l, t);
        c.LineTo(r, t);
        c.LineTo(r, b);
        c.LineTo(l, b);
        c.LineTo(l, t);
    };
    switch (FFrameStyle) {
    case fstLoweredThin:
        c.Pen().SetColor(FColGrayLine);
        outline(0, 0, W - 1, H - 1);
        break;
    case fstLowered:
    case fstRaised: {
        const bool lowered = FFrameStyle == fstLowered;
        c.Pen().SetColor(lowered ? FColBlackLine : FColWhiteLine);
        c.MoveTo(1, H - 3);
        c.LineTo(1, 1);
        c.LineTo(W - 2, 1);
        // The light (lowered) or dark (raised) edge runs along the whole bottom row and up
        // the whole right column, corners included, so no pixel is left to what the bitmap
        // held before (the outline and the other edge stop one row and column short).
        c.Pen().SetColor(lowered ? FColWhiteLine : FColBlackLine);
        c.MoveTo(0, H - 1);
        c.LineTo(W - 1, H - 1);
        c.LineTo(W - 1, -1);
        c.Pen().SetColor(FColGrayLine);
        outline(0, 0, W - 2, H - 2);
        break;
    }
    case fstEmbossed:
    case fstSimple: {
        const bool embossed = FFrameStyle == fstEmbossed;
        c.Pen().SetColor(embossed ? FColGrayLine : FColWhiteLine);
        outline(1, 1, W - 1, H - 1);
        c.Pen().SetColor(embossed ? FColWhiteLine : FColGrayLine);
        outline(0, 0, W - 2, H - 2);
        break;
    }
    default:
        break;
    }

    return true;
}

// ---- Published properties ---------------------------------------------------------------------

namespace {

const TClassRegistrar<TRasterLab> rasterLabReg("TRasterLab", "TGraphicControl", [](auto& p) {
    using R = TRasterLab;
    p.Bool("AutoHeight", &R::AutoHeight, &R::SetAutoHeight, false);
    p.Bool("AutoCenter", &R::AutoCenter, &R::SetAutoCenter, false);
    p.Color("ColorLabBakG", &R::ColorLabBakG, &R::SetColorLabBakG, clBlack);
    p.Color("ColorDotOn", &R::ColorDotOn, &R::SetColorDotOn, clLime);
    p.Color("ColorDotOff", &R::ColorDotOff, &R::SetColorDotOff, 0x404040);
    p.Enum("ColorScheme", &R::ColorScheme, &R::SetColorScheme, cschClassic,
           {"cschClassic", "cschSystem"});
    p.Int("DotSpacing", &R::DotSpacing, &R::SetDotSpacing, 1);
    p.Int("DotSize", &R::DotSize, &R::SetDotSize, 3);
    p.Object("Font", [](R& r) -> TPersistent* { return &r.Font(); });
    p.Enum("FrameStyle", &R::FrameStyle, &R::SetFrameStyle, fstLowered,
           {"fstNone", "fstLoweredThin", "fstLowered", "fstRaised", "fstEmbossed", "fstSimple"});
    p.Int("PosX", &R::PosX, &R::SetPosX, 1);
    p.Int("PosY", &R::PosY, &R::SetPosY, 1);
    p.Bool("Proportional", &R::Proportional, &R::SetProportional, true);
    p.Enum("ScrollMode", &R::ScrollMode, &R::SetScrollMode, rdsmOff,
           {"rdsmOff", "rdsmLeft", "rdsmRight", "rdsmDown", "rdsmUp"});
    p.Int("ScrollInterval", &R::ScrollInterval, &R::SetScrollInterval, 100);
    p.Int("ScrollIncrement", &R::ScrollIncrement, &R::SetScrollIncrement, 1);
    p.Bool("ScrollLoop", &R::ScrollLoop, &R::SetScrollLoop, true);
    p.Enum("CharBlockMode", &R::CharBlockMode, &R::SetCharBlockMode, rdbmOn,
           {"rdbmOff", "rdbmOn", "rdbmRaster"});
    p.String("Text", &R::Text, &R::SetText, "Text");
});

} // namespace

} // namespace kel
