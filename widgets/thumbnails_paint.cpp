// TThumbnails: the geometry (pitch, scroll rule, slide positions and the hit test), the paint
// pass with its image requests, and the focus outline drawn while the mouse moves.
#include "KEL_Thumbnails.h"

#include <algorithm>
#include <cmath>

namespace kel {

namespace {

// The band kept free on every side of the control.
constexpr int Band = 10;

// The colours every frame of the strip is drawn in.
void Frame(TCanvas& C, TFrameStyle Style, int L, int T, int R, int B) {
    DrawFrame(C, Style, L, T, R, B, 0xFFFFFF, 0xC0C0C0, 0x808080, clBlack, clBlack);
}

// Fraction of a row scrolled out at the top, in pixels.
int ScrolledOut(double FirstThumbIdx, int P) {
    return int(Round((FirstThumbIdx - std::trunc(FirstThumbIdx)) * P));
}

} // namespace

// ---- Geometry ---------------------------------------------------------------------------------

int ThumbPitch(int SlideSize, int SlideDistance, int SlideMargin) {
    return std::max(1, SlideSize + SlideDistance + 2 * SlideMargin);
}

double ThumbScrollPosition(double X, int Min, int Max, int PerRow) {
    if (std::isnan(X)) X = Min;
    X = std::clamp(X, double(Min), double(Max));
    const int n = std::max(1, PerRow);
    // Trunc(x - 1) div n with the integer division cutting toward zero, as the rule states.
    const auto t = static_cast<std::int64_t>(std::trunc(X - 1));
    const std::int64_t s = n * (t / n) + 1;
    return double(s) + (X - double(s)) / n;
}

TRect ThumbImageRect(int X, int Y, int Size, int Margin, int W, int H) {
    if (W <= 0 || H <= 0) return {};
    const int R = X + Size + 2 * Margin, B = Y + Size + 2 * Margin;
    if (W < H) {
        const int f = int(Round(double(W) * Size / H));
        const int left = X + Margin + (Size - f) / 2;
        return Rect(left, Y + Margin, left + f, B - Margin);
    }
    const int f = int(Round(double(H) * Size / W));
    const int top = Y + Margin + (Size - f) / 2;
    return Rect(X + Margin, top, R - Margin, top + f);
}

void TThumbnails::CalcSlidePos(int SldNum, int& XPos, int& YPos) const {
    const int P = Pitch(), n = std::max(1, FNumSldX);
    const int k = SldNum - int(Round(std::trunc(FFirstThumbIx)));
    XPos = P * (k % n) + Band;
    YPos = P * (k / n) + FSLideDist - ScrolledOut(FFirstThumbIx, P) + Band;
}

int TThumbnails::CalcSlideIndex(int XPos, int YPos) const {
    const int P = Pitch(), side = FThumbBaseSize + 2 * FSlideMargin;
    int c = (XPos - Band) / P;
    if (XPos > P * c + side + Band || XPos < P * c + Band)
        c = 0;
    else
        ++c;
    if (XPos < Band || XPos > Width() - Band || c > FNumSldX) c = 0;

    const int s = ScrolledOut(FFirstThumbIx, P);
    int r = (YPos - Band + s - FSLideDist) / P;
    const int top = P * r + FSLideDist - s + Band;
    if (YPos > top + side || YPos < top)
        r = 0;
    else
        ++r;
    if (YPos < Band || YPos > Height() - Band) r = 0;

    if (c < 1 || r < 1) return 0;
    const std::int64_t num =
        std::int64_t(std::trunc(FFirstThumbIx)) + std::int64_t(FNumSldX) * (r - 1) + c - 1;
    return num < FMin || num > FMax ? 0 : int(num);
}

// ---- Painting ---------------------------------------------------------------------------------

void TThumbnails::Paint() {
    if (!Visible() && !ComponentState().contains(csDesigning)) return;
    if (FIsWorking) return;
    FIsWorking = true;
    struct Done {
        bool& Flag;
        ~Done() { Flag = false; }
    } done{FIsWorking};

    const int W = Width(), H = Height();
    if (W <= 0 || H <= 0) return;
    if (!FWork) FWork = std::make_unique<TBitmap>();
    if (FWork->Width() != W || FWork->Height() != H) FWork->SetSize(W, H);
    TCanvas& c = FWork->Canvas();
    c.Font().Assign(&Font());
    c.Pen().SetWidth(1);
    c.Pen().SetStyle(psSolid);
    c.Brush().SetStyle(bsSolid);
    c.SetStretchBltMode(FAntiAlias ? HALFTONE : COLORONCOLOR);

    // 1. Background, slides per row and rows on screen.
    c.Brush().SetColor(FColorBG);
    c.FillRect(Rect(0, 0, W, H));
    const int P = Pitch(), M = FSlideMargin, S = FThumbBaseSize;
    const int perRow = std::max(1, (W + FSLideDist - 2 * Band) / P);
    if (perRow != FNumSldX) {
        FNumSldX = perRow;
        FFirstThumbIx = ThumbScrollPosition(FFirstThumbIx, FMin, FMax, FNumSldX);
    }
    FNumSldY = std::max(1, H / P + 1);

    // 2. The pass begins: one buffer for every request.
    if (FOnFirstImgRequ) FOnFirstImgRequ(this);
    TBitmap buffer;

    // 3. Column by column, top to bottom within a column.
    const std::int64_t first = std::int64_t(std::trunc(FFirstThumbIx));
    const int shift = ScrolledOut(FFirstThumbIx, P);
    for (int col = 1; col <= FNumSldX; ++col) {
        for (int row = 1; row <= FNumSldY; ++row) {
            const std::int64_t num64 = first + std::int64_t(FNumSldX) * (row - 1) + col - 1;
            if (num64 < FMin || num64 > FMax) continue;
            const int num = int(num64);
            const int X = (col - 1) * P + Band;
            const int Y = (row - 1) * P + FSLideDist - shift + Band;
            const int R = X + S + 2 * M, B = Y + S + 2 * M;

            TImageRequestProcessing how = irpShowEmpty;
            int mark = -1;
            TBitmap* img = &buffer;
            if (num >= 1 && num <= PictureCount() && FPictures[std::size_t(num - 1)].Thumb) {
                how = irpShowSlide;
                img = FPictures[std::size_t(num - 1)].Thumb.get();
            }
            if (FOnImageRequest) FOnImageRequest(this, num, how, mark, img);

            if (how != irpShowNothing) {
                const TColor face = SlideSelected(num) ? FColorSelected : FColorCover;
                c.Pen().SetColor(face);
                c.Brush().SetColor(face);
                c.Rectangle(X, Y, R + 1, B + 1);
                Frame(c, FOuterFrameStyle, X, Y, R, B);
            }
            c.Pen().SetColor(clBlack);
            if (how == irpShowEmpty) {
                c.Brush().SetColor(clWhite);
                c.Rectangle(X + M, Y + M + 20, R - M, B - M - 20);
                c.Font().SetColor(clBlack);
                const std::string text = std::to_string(num);
                c.TextOut((X + R) / 2 - c.TextWidth(text) / 2, (Y + B) / 2 - c.TextHeight(text) / 2,
                          text);
            } else if (how == irpShowSlide && img != nullptr && !img->Empty()) {
                const TRect d = ThumbImageRect(X, Y, S, M, img->Width(), img->Height());
                StretchBlt(c, d.Left, d.Top, d.Width(), d.Height(), img->Canvas(), 0, 0,
                           img->Width(), img->Height(), cmSrcCopy);
                Frame(c, FInnerFrameStyle, d.Left, d.Top, d.Right, d.Bottom);
            }
            if (mark != -1) {
                c.Pen().SetColor(FMarkColor);
                DrawMarkOnCanvas(c, mark & 0xFF, X + 10, Y + 12);
            }
            if (FOnSlideRendered) FOnSlideRendered(this, c, X, Y, num);
        }
    }

    // 4. The pass ends; the buffer goes with this scope.
    if (FOnLastImgRequ) FOnLastImgRequ(this);

    // 5. Bands over slides scrolled into them, the frame, then onto the control.
    c.Pen().SetColor(FColorBG);
    c.Brush().SetColor(FColorBG);
    c.Rectangle(0, 0, W, Band);
    c.Rectangle(0, H - Band, W, H);
    Frame(c, FFrameStyle, 0, 0, W - 2, H - 2);
    Canvas().Draw(0, 0, *FWork);
}

// ---- Focus outline ----------------------------------------------------------------------------

void TThumbnails::DrawFocus(int SldNum, bool Focused) {
    TCanvas& c = Canvas();
    const int W = Width(), H = Height();
    if (SldNum >= FMin && SldNum <= FMax) {
        int X = 0, Y = 0;
        CalcSlidePos(SldNum, X, Y);
        const int M = FSlideMargin, S = FThumbBaseSize;
        c.Pen().SetWidth(1);
        c.Pen().SetStyle(psSolid);
        c.Pen().SetColor(Focused                 ? FColorHilite
                         : SlideSelected(SldNum) ? FColorSelected
                                                 : FColorCover);
        for (int i = 1; i <= FHiliteThickness; ++i)
            DrawRectangle(c, X + 1 + i, std::max(Y + 2, 2) + i - 1, X + 2 * M + S - 1 - i,
                          std::min(H - 3, Y + 2 * M + S - 2) + 1 - i);
    }
    // Outlines reaching into the bands are cut off there.
    c.Pen().SetColor(FColorBG);
    c.Brush().SetStyle(bsSolid);
    c.Brush().SetColor(FColorBG);
    c.Rectangle(2, 2, W - 2, Band);
    c.Rectangle(2, H - Band, W - 2, H - 2);
}

void TThumbnails::MouseMove(TShiftState Shift, int X, int Y) {
    TGraphicControl::MouseMove(Shift, X, Y);
    if (FHiliteThickness == 0) return;
    const int n = CalcSlideIndex(X, Y);
    if (n == FLastHiLite) return;
    DrawFocus(FLastHiLite, false);
    DrawFocus(n, true);
    FLastHiLite = n;
    if (FOnHiliteChange) FOnHiliteChange(this);
}

} // namespace kel
