// The scroll bar that controls draw inside themselves (detail/scrollbar.h), and the small
// drawing pieces it shares with them: solid fills, raised faces, arrows and the sunken frame.
#include "detail/scrollbar.h"

#include <algorithm>

namespace kel::detail {

namespace {
constexpr int MinThumb = 8;           // smallest thumb, whatever the range
constexpr int BarFirstRepeatMs = 400; // a held button or track repeats after this pause
constexpr int BarRepeatMs = 50;       // and then this often
} // namespace

void FillSolid(TCanvas& C, const TRect& R, TColor Color) {
    if (R.IsEmpty()) return;
    C.Brush().SetStyle(bsSolid);
    C.Brush().SetColor(Color);
    C.FillRect(R);
}

void DrawButtonFace(TCanvas& C, const TRect& R) {
    FillSolid(C, R, clBtnFace);
    if (R.Width() < 2 || R.Height() < 2) return;
    FillSolid(C, Rect(R.Left, R.Top, R.Right - 1, R.Top + 1), clBtnHighlight);
    FillSolid(C, Rect(R.Left, R.Top, R.Left + 1, R.Bottom - 1), clBtnHighlight);
    FillSolid(C, Rect(R.Left, R.Bottom - 1, R.Right, R.Bottom), cl3DDkShadow);
    FillSolid(C, Rect(R.Right - 1, R.Top, R.Right, R.Bottom), cl3DDkShadow);
    if (R.Width() < 4 || R.Height() < 4) return;
    FillSolid(C, Rect(R.Left + 1, R.Bottom - 2, R.Right - 1, R.Bottom - 1), clBtnShadow);
    FillSolid(C, Rect(R.Right - 2, R.Top + 1, R.Right - 1, R.Bottom - 1), clBtnShadow);
}

void DrawArrow(TCanvas& C, const TRect& R, int Dir, TColor Color) {
    int cx = R.Left + (R.Width() - 1) / 2, cy = R.Top + (R.Height() - 1) / 2;
    C.Brush().SetStyle(bsSolid);
    C.Brush().SetColor(Color);
    for (int k = 0; k < 4; ++k) {
        TRect line;
        switch (Dir) {
        case 0:
            line = Rect(cx - k, cy - 2 + k, cx + k + 1, cy - 1 + k);
            break;
        case 1:
            line = Rect(cx - k, cy + 1 - k, cx + k + 1, cy + 2 - k);
            break;
        case 2:
            line = Rect(cx - 2 + k, cy - k, cx - 1 + k, cy + k + 1);
            break;
        default:
            line = Rect(cx + 1 - k, cy - k, cx + 2 - k, cy + k + 1);
            break;
        }
        C.FillRect(line);
    }
}

void DrawSunkenFrame(TCanvas& C, const TRect& R) {
    const int l = R.Left, t = R.Top, r = R.Right, b = R.Bottom;
    FillSolid(C, Rect(l, t, r - 1, t + 1), clBtnShadow);
    FillSolid(C, Rect(l, t, l + 1, b - 1), clBtnShadow);
    FillSolid(C, Rect(l, b - 1, r, b), clBtnHighlight);
    FillSolid(C, Rect(r - 1, t, r, b), clBtnHighlight);
    FillSolid(C, Rect(l + 1, t + 1, r - 2, t + 2), cl3DDkShadow);
    FillSolid(C, Rect(l + 1, t + 1, l + 2, b - 2), cl3DDkShadow);
    FillSolid(C, Rect(l + 1, b - 2, r - 1, b - 1), cl3DLight);
    FillSolid(C, Rect(r - 2, t + 1, r - 1, b - 1), cl3DLight);
}

// ---- TScrollBar -------------------------------------------------------------------------------

TScrollBar::TScrollBar(bool Vertical, std::function<void(int)> OnScroll)
    : FVertical(Vertical), FOnScroll(std::move(OnScroll)) {}

TScrollBar::~TScrollBar() = default;

void TScrollBar::SetRange(int Max, int Page, int Line, int Total) {
    FMax = std::max(0, Max);
    FPage = std::max(1, Page);
    FLine = std::max(1, Line);
    FTotal = std::max(0, Total);
    FPos = std::clamp(FPos, 0, FMax);
}

void TScrollBar::SetPos(int Pos) { FPos = std::clamp(Pos, 0, FMax); }

TRect TScrollBar::UpRect() const {
    const int len = FVertical ? FRect.Height() : FRect.Width();
    const int btn = std::min(ScrollBarSize, len / 2);
    return FVertical ? Rect(FRect.Left, FRect.Top, FRect.Right, FRect.Top + btn)
                     : Rect(FRect.Left, FRect.Top, FRect.Left + btn, FRect.Bottom);
}

TRect TScrollBar::DownRect() const {
    const int len = FVertical ? FRect.Height() : FRect.Width();
    const int btn = std::min(ScrollBarSize, len / 2);
    return FVertical ? Rect(FRect.Left, FRect.Bottom - btn, FRect.Right, FRect.Bottom)
                     : Rect(FRect.Right - btn, FRect.Top, FRect.Right, FRect.Bottom);
}

TRect TScrollBar::TrackRect() const {
    TRect u = UpRect(), d = DownRect();
    return FVertical ? Rect(FRect.Left, u.Bottom, FRect.Right, d.Top)
                     : Rect(u.Right, FRect.Top, d.Left, FRect.Bottom);
}

TRect TScrollBar::ThumbRect() const {
    const TRect t = TrackRect();
    const int track = FVertical ? t.Height() : t.Width();
    if (track < MinThumb || FMax <= 0) return {};
    // Thumb length: the page's share of everything (at least MinThumb).
    const std::int64_t total = FTotal > 0 ? FTotal : std::int64_t(FMax) + FPage;
    const int thumb =
        int(std::clamp<std::int64_t>(track * std::int64_t(FPage) / total, MinThumb, track));
    int start = int((track - thumb) * std::int64_t(FPos) / FMax);
    if (FTracking && FThumbPos >= 0) start = FThumbPos;
    return FVertical ? Rect(t.Left, t.Top + start, t.Right, t.Top + start + thumb)
                     : Rect(t.Left + start, t.Top, t.Left + start + thumb, t.Bottom);
}

TScrollBar::TPart TScrollBar::HitTest(TPoint P) const {
    if (!FRect.Contains(P)) return bpNone;
    if (UpRect().Contains(P)) return bpLineUp;
    if (DownRect().Contains(P)) return bpLineDown;
    const TRect th = ThumbRect();
    if (th.IsEmpty()) return bpNone;
    if (th.Contains(P)) return bpThumb;
    return (FVertical ? P.Y < th.Top : P.X < th.Left) ? bpPageUp : bpPageDown;
}

void TScrollBar::Paint(TCanvas& C, bool Enabled) const {
    if (!Shown()) return;
    FillSolid(C, TrackRect(), RGB(0xE0, 0xE0, 0xE0));
    const TRect u = UpRect(), d = DownRect();
    DrawButtonFace(C, u);
    DrawButtonFace(C, d);
    DrawArrow(C, u, FVertical ? 0 : 2, FPos > 0 && Enabled ? clBlack : clGray);
    DrawArrow(C, d, FVertical ? 1 : 3, FPos < FMax && Enabled ? clBlack : clGray);
    const TRect th = ThumbRect();
    if (!th.IsEmpty()) DrawButtonFace(C, th);
}

int TScrollBar::ThumbToPos(int ThumbStart) const {
    const TRect t = TrackRect(), th = ThumbRect();
    const int track = FVertical ? t.Height() : t.Width();
    const int thumb = FVertical ? th.Height() : th.Width();
    const std::int64_t free = track - thumb;
    if (free <= 0) return 0;
    const std::int64_t p = std::clamp<std::int64_t>(ThumbStart, 0, free);
    return int((p * FMax + free / 2) / free);
}

void TScrollBar::Step(TPart Part) {
    int target = FPos;
    switch (Part) {
    case bpLineUp:
        target -= FLine;
        break;
    case bpLineDown:
        target += FLine;
        break;
    case bpPageUp:
        target -= FPage;
        break;
    case bpPageDown:
        target += FPage;
        break;
    default:
        return;
    }
    target = std::clamp(target, 0, FMax);
    if (target != FPos) FOnScroll(target);
}

bool TScrollBar::MouseDown(TPoint P) {
    const TPart part = HitTest(P);
    if (!FRect.Contains(P)) return false;
    FLastMouse = P;
    if (part == bpNone) return true;
    if (part == bpThumb) {
        const TRect t = TrackRect(), th = ThumbRect();
        FTracking = true;
        FGrabOffset = FVertical ? P.Y - th.Top : P.X - th.Left;
        FThumbPos = FVertical ? th.Top - t.Top : th.Left - t.Left;
        return true;
    }
    FRepeatPart = part;
    // The scroll may run handlers that free the owner, and this bar with it.
    std::weak_ptr<char> alive = FAlive;
    Step(part);
    if (alive.expired()) return true;
    if (FRepeatPart == part) {
        if (!FRepeatTimer) FRepeatTimer = std::make_unique<TMessageTimer>([this] { RepeatTick(); });
        FRepeatTimer->TryStart(BarFirstRepeatMs);
    }
    return true;
}

void TScrollBar::RepeatTick() {
    if (FRepeatPart == bpNone) {
        if (FRepeatTimer) FRepeatTimer->Stop();
        return;
    }
    if (FStillHeld && !FStillHeld()) {
        Cancel();
        return;
    }
    if (FRepeatTimer && FRepeatTimer->Interval() != BarRepeatMs)
        FRepeatTimer->TryStart(BarRepeatMs);
    // The track repeats only while the pointer stays on the same side of the thumb.
    if (HitTest(FLastMouse) == FRepeatPart) Step(FRepeatPart);
}

void TScrollBar::MouseMove(TPoint P) {
    FLastMouse = P;
    if (!FTracking) return;
    const TRect t = TrackRect(), th = ThumbRect();
    const int track = FVertical ? t.Height() : t.Width();
    const int thumb = FVertical ? th.Height() : th.Width();
    int start = (FVertical ? P.Y - t.Top : P.X - t.Left) - FGrabOffset;
    start = std::clamp(start, 0, std::max(0, track - thumb));
    if (start == FThumbPos) return;
    FThumbPos = start;
    if (!FTrackThumb) return; // scrolls on release
    const int p = ThumbToPos(start);
    if (p != FPos) FOnScroll(p);
}

void TScrollBar::MouseUp() {
    const bool dropThumb = FTracking && !FTrackThumb && FThumbPos >= 0;
    const int p = dropThumb ? ThumbToPos(FThumbPos) : FPos;
    Cancel();
    if (dropThumb && p != FPos) FOnScroll(p);
}

void TScrollBar::Cancel() {
    FTracking = false;
    FThumbPos = -1;
    FRepeatPart = bpNone;
    if (FRepeatTimer) FRepeatTimer->Stop();
}

} // namespace kel::detail
