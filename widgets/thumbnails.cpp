// TThumbnails: state, setters, the selection and its clicks, the strip's own pictures, Assign
// and the published list. Geometry and painting are in thumbnails_paint.cpp.
#include "KEL_Thumbnails.h"

#include "kel_messages.h"
#include "kel_props.h"
#include "kel_setter.h"

#include <algorithm>
#include <exception>

namespace kel {

// ---- State ------------------------------------------------------------------------------------

TThumbnails::TThumbnails(TComponent* AOwner) : TGraphicControl(AOwner) {
    // One bit per slide of the default range from the start, so clicks select at once.
    FSelectedSlide.SetSize(FMax - FMin + 1);
    InitBounds(0, 0, 260, 400);
}

TThumbnails::~TThumbnails() = default;

void TThumbnails::SetSlideSelectMode(TSlideSelectMode Value) {
    if (!SetField(FSelectMode, Value)) return;
    FSelectedSlide.Clear();
    Changed();
}

void TThumbnails::SetAntiAlias(bool Value) {
    if (SetField(FAntiAlias, Value)) Changed();
}
void TThumbnails::SetColorBackGnd(TColor Value) {
    if (SetField(FColorBG, Value)) Changed();
}
void TThumbnails::SetColorCover(TColor Value) {
    if (SetField(FColorCover, Value)) Changed();
}
void TThumbnails::SetColorSelected(TColor Value) {
    if (SetField(FColorSelected, Value)) Changed();
}
void TThumbnails::SetColorFocus(TColor Value) {
    if (SetField(FColorHilite, Value)) Changed();
}
void TThumbnails::SetColorMark(TColor Value) {
    if (SetField(FMarkColor, Value)) Changed();
}
void TThumbnails::SetColorScheme(TColorScheme Value) {
    if (SetField(FColorScheme, Value)) Changed();
}
void TThumbnails::SetFrameStyle(TFrameStyle Value) {
    if (SetField(FFrameStyle, Value)) Changed();
}
void TThumbnails::SetOuterFrameStyle(TFrameStyle Value) {
    if (SetField(FOuterFrameStyle, Value)) Changed();
}
void TThumbnails::SetInnerFrameStyle(TFrameStyle Value) {
    if (SetField(FInnerFrameStyle, Value)) Changed();
}

void TThumbnails::SetFocusLinewidth(int Value) {
    if (SetField(FHiliteThickness, std::clamp(Value, 0, 10))) Changed();
}

void TThumbnails::SetRange(int NewMin, int NewMax) {
    NewMin = std::clamp(NewMin, 1, MaxSlideNumber);
    NewMax = std::clamp(NewMax, 1, MaxSlideNumber);
    if (NewMin > NewMax) std::swap(NewMin, NewMax);
    const bool changed = NewMin != FMin || NewMax != FMax;
    FMin = NewMin;
    FMax = NewMax;
    FSelectedSlide.SetSize(FMax - FMin + 1);
    if (changed) Changed();
}

void TThumbnails::SetMin(int Value) {
    if (ComponentState().contains(csLoading)) {
        FMin = std::clamp(Value, 1, MaxSlideNumber); // settled with Max in Loaded
        return;
    }
    SetRange(Value, FMax);
}

void TThumbnails::SetMax(int Value) {
    if (ComponentState().contains(csLoading)) {
        FMax = std::clamp(Value, 1, MaxSlideNumber);
        return;
    }
    SetRange(FMin, Value);
}

void TThumbnails::Loaded() {
    TGraphicControl::Loaded();
    SetRange(FMin, FMax);
}

void TThumbnails::SetSlideSize(int Value) {
    Value = std::min(std::max(Value, 50), Width());
    if (SetField(FThumbBaseSize, Value)) Changed();
}

void TThumbnails::SetSlideDistance(int Value) {
    if (SetField(FSLideDist, std::clamp(Value, 0, 100))) Changed();
}

void TThumbnails::SetSlideMargin(int Value) {
    if (SetField(FSlideMargin, std::clamp(Value, 0, 100))) Changed();
}

void TThumbnails::SetFirstThumbIdx(double Value) {
    if (SetField(FFirstThumbIx, ThumbScrollPosition(Value, FMin, FMax, FNumSldX))) Changed();
}

// ---- Selection --------------------------------------------------------------------------------

bool TThumbnails::SlideSelected(int SldNum) const {
    return SldNum >= FMin && SldNum <= FMax && FSelectedSlide.GetBit(SldNum - FMin);
}

void TThumbnails::SetSlideSelected(int SldNum, bool Value) {
    if (SldNum < FMin || SldNum > FMax) return;
    FSelectedSlide.SetBit(SldNum - FMin, Value);
    Changed();
}

void TThumbnails::ResetAllSelections() {
    FSelectedSlide.Clear();
    Changed();
}

int TThumbnails::FirstSelectedSlide() const { return FSelectedSlide.FirstTrueBit() + FMin; }

int TThumbnails::NumSlidesSelected() const { return FSelectedSlide.CountTrueBits(); }

void TThumbnails::ClickAt(int X, int Y, TShiftState Shift) {
    const int n = CalcSlideIndex(X, Y);
    const auto selectAlone = [&] {
        FSelectedSlide.Clear();
        if (n != 0) FSelectedSlide.SetBit(n - FMin, true);
        FLastClickedSlide = n;
        Changed();
    };
    if (FSelectMode == ssmSingle) {
        selectAlone();
    } else if (FSelectMode == ssmMultiple) {
        const bool ctrl = Shift.contains(ssCtrl), shift = Shift.contains(ssShift);
        const bool anchored = FLastClickedSlide >= FMin && FLastClickedSlide <= FMax;
        if (shift && anchored && n != 0) {
            if (!ctrl) FSelectedSlide.Clear();
            const int lo = std::min(FLastClickedSlide, n), hi = std::max(FLastClickedSlide, n);
            for (int i = lo; i <= hi; ++i) FSelectedSlide.SetBit(i - FMin, true);
            Changed();
        } else if (ctrl) {
            if (n != 0) {
                FSelectedSlide.SetBit(n - FMin, !FSelectedSlide.GetBit(n - FMin));
                FLastClickedSlide = n;
                Changed();
            }
        } else {
            selectAlone();
        }
    }
    if (FOnImageClick) FOnImageClick(this, X, Y, n);
}

void TThumbnails::WndProc(TMessage& Message) {
    const std::uint32_t msg = Message.Msg;
    if (msg != WM_LBUTTONUP && msg != WM_LBUTTONDBLCLK) {
        TGraphicControl::WndProc(Message);
        return;
    }
    const auto alive = Handle();
    TGraphicControl::WndProc(Message);
    if (*alive == nullptr) return; // a handler freed the control
    const int x = GetXLParam(Message.LParam), y = GetYLParam(Message.LParam);
    if (msg == WM_LBUTTONUP) {
        if (x == -1 && y == -1) return;
        ClickAt(x, y, KeysToShiftState(std::uint32_t(Message.WParam)));
    } else if (FOnImageDblClick) {
        FOnImageDblClick(this, x, y, CalcSlideIndex(x, y));
    }
}

// ---- Pictures ---------------------------------------------------------------------------------

int TThumbnails::AddPicture(const TBitmap& Picture) {
    auto thumb = std::make_unique<TBitmap>();
    const int w = Picture.Width(), h = Picture.Height(), S = FThumbBaseSize;
    if (w <= S && h <= S) {
        thumb->Assign(&Picture);
    } else {
        // Fit into the S square keeping the aspect ratio, as the slide will show it.
        const int tw = w >= h ? S : std::max(1, int(Round(double(w) * S / h)));
        const int th = w >= h ? std::max(1, int(Round(double(h) * S / w))) : S;
        thumb->SetSize(tw, th);
        TCanvas& c = thumb->Canvas();
        c.SetStretchBltMode(FAntiAlias ? HALFTONE : COLORONCOLOR);
        StretchBlt(c, 0, 0, tw, th, Picture.Canvas(), 0, 0, w, h, cmSrcCopy);
    }
    FPictures.push_back({std::move(thumb), {}});
    const int num = PictureCount();
    if (FMax < num) SetMax(num);
    Changed();
    return num;
}

int TThumbnails::AddPictureFile(const std::string& Path) {
    std::string error;
    try {
        TBitmap loaded;
        loaded.LoadFromFile(Path);
        return AddPicture(loaded);
    } catch (const std::exception& e) {
        error = e.what();
    }
    // The file failed: an empty slide in its place, and the error kept and reported.
    FPictures.push_back({nullptr, {}});
    const int num = PictureCount();
    FPictures.back().Error = "Component \"" + Name() + "\": slide " + std::to_string(num) +
                             ": cannot load picture: " + error;
    if (FMax < num) SetMax(num);
    Changed();
    if (FOnLoadError) FOnLoadError(this, num, FPictures.back().Error);
    return num;
}

const TBitmap* TThumbnails::Picture(int ThumbID) const {
    if (ThumbID < 1 || ThumbID > PictureCount()) return nullptr;
    return FPictures[std::size_t(ThumbID - 1)].Thumb.get();
}

std::string TThumbnails::PictureError(int ThumbID) const {
    if (ThumbID < 1 || ThumbID > PictureCount()) return {};
    return FPictures[std::size_t(ThumbID - 1)].Error;
}

void TThumbnails::ClearPictures() {
    if (FPictures.empty()) return;
    FPictures.clear();
    Changed();
}

// ---- Assign -----------------------------------------------------------------------------------

void TThumbnails::Assign(const TPersistent* Source) {
    const auto* s = dynamic_cast<const TThumbnails*>(Source);
    if (s == nullptr) {
        TGraphicControl::Assign(Source);
        return;
    }
    FFrameStyle = s->FFrameStyle;
    FOuterFrameStyle = s->FOuterFrameStyle;
    FInnerFrameStyle = s->FInnerFrameStyle;
    FColorBG = s->FColorBG;
    FColorScheme = s->FColorScheme;
    FFirstThumbIx = s->FFirstThumbIx;
    FMin = s->FMin;
    FMax = s->FMax;
    FSelectedSlide.SetSize(FMax - FMin + 1);
    FNumSldX = s->FNumSldX;
    FNumSldY = s->FNumSldY;
    FThumbBaseSize = s->FThumbBaseSize;
    FSLideDist = s->FSLideDist;
    FSlideMargin = s->FSlideMargin;
    FOnImageRequest = s->FOnImageRequest;
    FOnImageClick = s->FOnImageClick;
    FOnImageDblClick = s->FOnImageDblClick;
    FOnHiliteChange = s->FOnHiliteChange;
    FOnFirstImgRequ = s->FOnFirstImgRequ;
    FOnLastImgRequ = s->FOnLastImgRequ;
    FAntiAlias = s->FAntiAlias;
    FColorCover = s->FColorCover;
    FColorSelected = s->FColorSelected;
    FColorHilite = s->FColorHilite;
    FLastHiLite = s->FLastHiLite;
    FHiliteThickness = s->FHiliteThickness;
    Changed();
}

void TThumbnails::AssignTo(TPersistent* Dest) const {
    if (auto* d = dynamic_cast<TThumbnails*>(Dest))
        d->Assign(this);
    else
        TGraphicControl::AssignTo(Dest);
}

// ---- Published properties ---------------------------------------------------------------------

namespace {
const TClassRegistrar<TThumbnails> thumbnailsReg("TThumbnails", "TGraphicControl", [](auto& p) {
    using T = TThumbnails;
    const std::initializer_list<const char*> frames = {"fstNone",   "fstLoweredThin", "fstLowered",
                                                       "fstRaised", "fstEmbossed",    "fstSimple"};
    p.Enum("SlideSelectMode", &T::SlideSelectMode, &T::SetSlideSelectMode, ssmSingle,
           {"ssmDisabled", "ssmSingle", "ssmMultiple"});
    p.Bool("AntiAlias", &T::AntiAlias, &T::SetAntiAlias, false);
    p.Color("ColorBackGnd", &T::ColorBackGnd, &T::SetColorBackGnd, clBtnFace);
    p.Color("ColorCover", &T::ColorCover, &T::SetColorCover, clSilver);
    p.Color("ColorSelected", &T::ColorSelected, &T::SetColorSelected, clNavy);
    p.Color("ColorFocus", &T::ColorFocus, &T::SetColorFocus, clBlue);
    p.Color("ColorMark", &T::ColorMark, &T::SetColorMark, clBlack);
    p.Enum("ColorScheme", &T::ColorScheme, &T::SetColorScheme, cschClassic,
           {"cschClassic", "cschSystem"});
    p.Enum("FrameStyle", &T::FrameStyle, &T::SetFrameStyle, fstLowered, frames);
    p.Enum("OuterFrameStyle", &T::OuterFrameStyle, &T::SetOuterFrameStyle, fstRaised, frames);
    p.Enum("InnerFrameStyle", &T::InnerFrameStyle, &T::SetInnerFrameStyle, fstLowered, frames);
    p.Int("FocusLinewidth", &T::FocusLinewidth, &T::SetFocusLinewidth, 1);
    p.Int("Min", &T::Min, &T::SetMin, 1);
    p.Int("Max", &T::Max, &T::SetMax, 100);
    p.Int("SlideSize", &T::SlideSize, &T::SetSlideSize, 120);
    p.Int("SlideDistance", &T::SlideDistance, &T::SetSlideDistance, 2);
    p.Int("SlideMargin", &T::SlideMargin, &T::SetSlideMargin, 7);
});
} // namespace

} // namespace kel
