// TOnOffBut: state, setters, glyph loading, user glyphs, mouse, radio groups, Assign and the
// published list of the on/off button. Painting is in onoffbut_paint.cpp.
#include "KEL_onoffbut.h"

#include "kel_props.h"
#include "kel_setter.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>

namespace kel {

namespace {

constexpr const char* kResourceNames[NumOnOffButStyles] = {
    "",           "CHECKBOX",    "RADIOBUT", "SLIDETOPBOT", "SLIDELFTRGT", "COLSLIDETB",
    "COLSLIDELR", "LEDREDGREEN", "ARROWTR",  "ARROWUD",     "ARROWLR",     "TRAFFICLGT",
    "BEVELEDLED", "SMILEYS",     "SMILEYRG", "BULB",        "BUTLAMP",     "HDLEFT",
    "HDRIGHT",    "USER1",       "USER2",    "USER3",       "USER4",       "USER5"};

// The style sheets as decoded from the resources, once per process (buttons copy their
// quadrants out of them, so creating a button decodes nothing after the first).
const TBitmap& StyleSheet(TOnOffButStyle Style) {
    static std::unique_ptr<TBitmap> sheets[NumOnOffButStyles];
    std::unique_ptr<TBitmap>& s = sheets[Style];
    if (!s) {
        auto b = std::make_unique<TBitmap>();
        b->LoadFromResourceName(kResourceNames[Style]);
        s = std::move(b);
    }
    return *s;
}

// The quadrant of Sheet (GW x GH, the glyph size) that holds picture Index (0 off/disabled,
// 1 off/enabled, 2 on/disabled, 3 on/enabled), copied into Out.
void CopyQuadrant(const TBitmap& Sheet, int Index, int GW, int GH, TBitmap& Out) {
    const bool on = Index >= 2, enabled = (Index & 1) != 0;
    const int sx = on ? 0 : GW, sy = enabled ? 0 : GH;
    Out.SetSize(GW, GH);
    Out.SetPixelFormat(Sheet.PixelFormat());
    Out.Canvas().SetCopyMode(cmSrcCopy);
    Out.Canvas().CopyRect(Rect(0, 0, GW, GH), Sheet.Canvas(), Rect(sx, sy, sx + GW, sy + GH));
}

// The default user pictures: a cross (off), a circle (on), blank when disabled.
void DrawDefaultUserPictures(std::array<std::unique_ptr<TBitmap>, 4>& Img) {
    for (auto& b : Img) b = std::make_unique<TBitmap>(20, 20);
    TCanvas& off = Img[1]->Canvas();
    off.MoveTo(0, 0);
    off.LineTo(20, 20);
    off.MoveTo(0, 20);
    off.LineTo(20, 0);
    Img[3]->Canvas().Ellipse(5, 5, 15, 15);
}

} // namespace

const char* OnOffButResourceName(TOnOffButStyle Style) {
    return Style < NumOnOffButStyles ? kResourceNames[Style] : "";
}

// ---- State ------------------------------------------------------------------------------------

TOnOffBut::TOnOffBut(TComponent* AOwner) : TGraphicControl(AOwner) {
    for (auto& b : FButImg) b = std::make_unique<TBitmap>();
    DrawDefaultUserPictures(FUserImg);
    FMask = std::make_unique<TBitmap>();
    FWork = std::make_unique<TBitmap>();
    LoadGlyphs();
    InitBounds(0, 0, 100, 50);
}

TOnOffBut::~TOnOffBut() = default;

void TOnOffBut::LoadGlyphs() {
    if (FButStyle == oobsUser) {
        for (int i = 0; i < 4; ++i) FButImg[i]->Assign(FUserImg[i].get());
        FGlyphWidth = FUserImg[3]->Width();
        FGlyphHeight = FUserImg[3]->Height();
        return;
    }
    const TBitmap& sheet = StyleSheet(FButStyle);
    FGlyphWidth = sheet.Width() / 2;
    FGlyphHeight = sheet.Height() / 2;
    for (int i = 0; i < 4; ++i) CopyQuadrant(sheet, i, FGlyphWidth, FGlyphHeight, *FButImg[i]);
}

void TOnOffBut::SetUserGlyph(const TBitmap& Img) {
    const int w = Img.Width(), h = Img.Height();
    if (w < 2 || h < 2 || w % 2 != 0 || h % 2 != 0)
        throw EKELError("Component \"" + Name() + "\": a user glyph of " + std::to_string(w) +
                        " x " + std::to_string(h) +
                        " pixels cannot hold four pictures (width and height must be even and at "
                        "least 2)");
    // Cut into new bitmaps first, so that nothing changes if a step fails.
    std::array<std::unique_ptr<TBitmap>, 4> cut;
    for (int i = 0; i < 4; ++i) {
        cut[i] = std::make_unique<TBitmap>();
        CopyQuadrant(Img, i, w / 2, h / 2, *cut[i]);
    }
    FUserImg.swap(cut);
    if (FButStyle != oobsUser) return;
    LoadGlyphs();
    if (FAutoCenter) AdjustAutoCenter();
    Changed();
}

void TOnOffBut::LoadUserGlyph(const std::string& FName) {
    TBitmap img;
    img.LoadFromFile(FName); // raises EFOpenError / EInvalidGraphic naming the file
    try {
        SetUserGlyph(img);
    } catch (const EKELError& e) {
        throw EKELError(std::string(e.what()) + " in '" + FName + "'");
    }
}

void TOnOffBut::AdjustAutoCenter() {
    FLeftSpace = (Width() - FGlyphWidth) / 2;
    FTopSpace = (Height() - FGlyphHeight) / 2;
}

void TOnOffBut::SetAllowAllOff(bool Value) {
    if (SetField(FAllowAllOff, Value)) NotifyGroup();
}

void TOnOffBut::SetAutoCenter(bool Value) {
    if (!SetField(FAutoCenter, Value)) return;
    if (FAutoCenter) AdjustAutoCenter();
    Changed();
}

void TOnOffBut::SetLeftText(const std::string& Value) {
    if (SetField(FLeftText, Value)) Changed();
}
void TOnOffBut::SetTopText(const std::string& Value) {
    if (SetField(FTopText, Value)) Changed();
}
void TOnOffBut::SetRightText(const std::string& Value) {
    if (SetField(FRightText, Value)) Changed();
}
void TOnOffBut::SetBottomText(const std::string& Value) {
    if (SetField(FBottomText, Value)) Changed();
}
void TOnOffBut::SetLeftTextAlignment(TAlignment Value) {
    if (SetField(FLTAlignment, Value)) Changed();
}
void TOnOffBut::SetTopTextAlignment(TAlignment Value) {
    if (SetField(FTTAlignment, Value)) Changed();
}
void TOnOffBut::SetRightTextAlignment(TAlignment Value) {
    if (SetField(FRTAlignment, Value)) Changed();
}
void TOnOffBut::SetBottomTextAlignment(TAlignment Value) {
    if (SetField(FBTAlignment, Value)) Changed();
}

void TOnOffBut::SetButtonStyle(TOnOffButStyle Value) {
    Value = std::min(Value, oobsUser5);
    if (!SetField(FButStyle, Value)) return;
    LoadGlyphs();
    if (FAutoCenter) AdjustAutoCenter();
    Changed();
}

void TOnOffBut::SetColorBackgnd(TColor Value) {
    if (SetField(FColorBakG, Value)) Changed();
}
void TOnOffBut::SetColorText(TColor Value) {
    if (SetField(FColorTxt, Value)) Changed();
}
void TOnOffBut::SetColorScheme(TColorScheme Value) {
    if (SetField(FColorScheme, Value)) Changed();
}
void TOnOffBut::SetFrameStyle(TFrameStyle Value) {
    if (SetField(FFrameStyle, Value)) Changed();
}

void TOnOffBut::SetGroupIndex(int Value) {
    if (SetField(FGroupIndex, Value)) NotifyGroup();
}

void TOnOffBut::SetLeftSpace(int Value) {
    if (Value == FLeftSpace || Value < 0) return;
    if (FAutoCenter)
        AdjustAutoCenter();
    else
        FLeftSpace = std::min(Value, Width());
    Changed();
}

void TOnOffBut::SetTopSpace(int Value) {
    if (Value == FTopSpace || Value < 0) return;
    if (FAutoCenter)
        AdjustAutoCenter();
    else
        FTopSpace = std::min(Value, Height());
    Changed();
}

void TOnOffBut::SetMode(TOOButMode Value) {
    FMode = Value;
    if (FMode == oobmSpeedBut) FOnOff = false;
    Changed();
}

void TOnOffBut::SetMouseAction(TOOButMouseAction Value) { FMouseAction = Value; }

void TOnOffBut::SetOnOff(bool Value) {
    if (Value == FOnOff) return;
    if (!Value && FGroupIndex != 0 && !FAllowAllOff) return;
    FOnOff = Value;
    Changed();
    if (FOnOff) NotifyGroup();
}

void TOnOffBut::SetTransparent(bool Value) {
    FTransParent = Value;
    Changed();
}

void TOnOffBut::SetEnabled(bool Value) {
    TGraphicControl::SetEnabled(Value);
    Changed();
}

void TOnOffBut::Resize() {
    if (HasParent() && FAutoCenter) AdjustAutoCenter();
    Changed();
    TGraphicControl::Resize();
}

void TOnOffBut::Loaded() {
    TGraphicControl::Loaded();
    if (FAutoCenter) AdjustAutoCenter();
}

// ---- Radio groups -----------------------------------------------------------------------------

void TOnOffBut::NotifyGroup() {
    if (FGroupIndex == 0 || Parent() == nullptr) return;
    TMessage m;
    m.Msg = CM_BUTTONPRESSED;
    m.WParam = WPARAM(FGroupIndex);
    m.LParam = LPARAM(reinterpret_cast<std::intptr_t>(static_cast<TControl*>(this)));
    Parent()->Broadcast(m);
}

void TOnOffBut::ButtonPressed(int Group, const TOnOffBut* Sender) {
    if (Sender == nullptr || FGroupIndex < 0 || FGroupIndex != Group || Sender == this) return;
    if (Sender->FOnOff && FOnOff) {
        FOnOff = false;
        Changed();
    }
    FAllowAllOff = Sender->FAllowAllOff;
}

void TOnOffBut::WndProc(TMessage& Message) {
    if (Message.Msg == CM_BUTTONPRESSED) {
        // WParam: the group index; LParam: the sending control, which need not be one of ours.
        ButtonPressed(int(Message.WParam),
                      dynamic_cast<const TOnOffBut*>(reinterpret_cast<TControl*>( // NOLINT
                          std::intptr_t(Message.LParam))));
        return; // Result stays 0: every member hears it
    }
    TGraphicControl::WndProc(Message);
}

// ---- Mouse ------------------------------------------------------------------------------------

bool TOnOffBut::InsideGlyph(int X, int Y) const {
    return FLeftSpace < X && X < FLeftSpace + FGlyphWidth && FTopSpace < Y &&
           Y < FTopSpace + FGlyphHeight;
}

bool TOnOffBut::Counts(TMouseButton Button, int X, int Y) const {
    if (FMouseAction == oomaNone || Button != mbLeft) return false;
    return FMouseAction != oomaFocused || InsideGlyph(X, Y);
}

void TOnOffBut::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    auto alive = Handle();
    TGraphicControl::MouseDown(Button, Shift, X, Y);
    if (*alive == nullptr || !Counts(Button, X, Y)) return;
    if (FOnOff && FGroupIndex != 0 && !FAllowAllOff) return;
    FOnOff = !FOnOff;
    Changed();
    if (FOnOff) NotifyGroup();
}

void TOnOffBut::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    auto alive = Handle();
    TGraphicControl::MouseUp(Button, Shift, X, Y);
    if (*alive == nullptr || !Counts(Button, X, Y)) return;
    if (FMode == oobmSpeedBut && FOnOff) {
        FOnOff = false;
        Changed();
    }
    if (OnClick()) OnClick()(this);
}

// ---- Copying ----------------------------------------------------------------------------------

void TOnOffBut::Assign(const TPersistent* Source) {
    const auto* s = dynamic_cast<const TOnOffBut*>(Source);
    if (s == nullptr) {
        TGraphicControl::Assign(Source);
        return;
    }
    if (s == this) return;
    FLeftSpace = s->FLeftSpace;
    FTopSpace = s->FTopSpace;
    FAutoCenter = s->FAutoCenter;
    FLeftText = s->FLeftText;
    FTopText = s->FTopText;
    FRightText = s->FRightText;
    FBottomText = s->FBottomText;
    FLTAlignment = s->FLTAlignment;
    FTTAlignment = s->FTTAlignment;
    FRTAlignment = s->FRTAlignment;
    FBTAlignment = s->FBTAlignment;
    FFrameStyle = s->FFrameStyle;
    FColorBakG = s->FColorBakG;
    FColorScheme = s->FColorScheme;
    FOnOff = s->FOnOff;
    for (int i = 0; i < 4; ++i) {
        FButImg[i]->Assign(s->FButImg[i].get());
        FUserImg[i]->Assign(s->FUserImg[i].get());
    }
    FButStyle = s->FButStyle;
    FMouseAction = s->FMouseAction;
    FColorTxt = s->FColorTxt;
    FGlyphWidth = s->FGlyphWidth;
    FGlyphHeight = s->FGlyphHeight;
    FTransParent = s->FTransParent;
    TGraphicControl::SetEnabled(s->Enabled());
    Changed();
}

void TOnOffBut::AssignTo(TPersistent* Dest) const {
    if (auto* d = dynamic_cast<TOnOffBut*>(Dest))
        d->Assign(this);
    else
        TGraphicControl::AssignTo(Dest);
}

// ---- Published properties ---------------------------------------------------------------------

namespace {

const std::initializer_list<const char*> kAlignmentNames = {"taLeftJustify", "taRightJustify",
                                                            "taCenter"};

const TClassRegistrar<TOnOffBut> onOffButReg("TOnOffBut", "TGraphicControl", [](auto& p) {
    using B = TOnOffBut;
    p.Bool("AllowAllOff", &B::AllowAllOff, &B::SetAllowAllOff, true);
    p.Bool("AutoCenter", &B::AutoCenter, &B::SetAutoCenter, true);
    p.String("BottomText", &B::BottomText, &B::SetBottomText, "");
    p.String("LeftText", &B::LeftText, &B::SetLeftText, "");
    p.String("RightText", &B::RightText, &B::SetRightText, "");
    p.String("TopText", &B::TopText, &B::SetTopText, "");
    p.Enum("BottomTextAlignment", &B::BottomTextAlignment, &B::SetBottomTextAlignment, taCenter,
           kAlignmentNames);
    p.Enum("TopTextAlignment", &B::TopTextAlignment, &B::SetTopTextAlignment, taCenter,
           kAlignmentNames);
    p.Enum("LeftTextAlignment", &B::LeftTextAlignment, &B::SetLeftTextAlignment, taRightJustify,
           kAlignmentNames);
    p.Enum("RightTextAlignment", &B::RightTextAlignment, &B::SetRightTextAlignment, taLeftJustify,
           kAlignmentNames);
    p.Enum("ButtonStyle", &B::ButtonStyle, &B::SetButtonStyle, oobsColSlideLR,
           {"oobsUser",        "oobsCheckbox",     "oobsRadioBut",       "oobsSlideTB",
            "oobsSlideLR",     "oobsColSlideTB",   "oobsColSlideLR",     "oobsLedRedGreen",
            "oobsArrowTopRgt", "oobsArrowUpDown",  "oobsArrowLeftRight", "oobsTrafficLPed",
            "oobsBeveledLed",  "oobsSmileyYellow", "oobsSmileyRedGrn",   "oobsBulb",
            "oobsButLamp",     "oobsHDLeft",       "oobsHDRight",        "oobsUser1",
            "oobsUser2",       "oobsUser3",        "oobsUser4",          "oobsUser5"});
    p.Color("ColorBackgnd", &B::ColorBackgnd, &B::SetColorBackgnd, clBtnFace);
    p.Color("ColorText", &B::ColorText, &B::SetColorText, clBlack);
    p.Enum("ColorScheme", &B::ColorScheme, &B::SetColorScheme, cschClassic,
           {"cschClassic", "cschSystem"});
    p.Enum("FrameStyle", &B::FrameStyle, &B::SetFrameStyle, fstLowered,
           {"fstNone", "fstLoweredThin", "fstLowered", "fstRaised", "fstEmbossed", "fstSimple"});
    p.Int("GroupIndex", &B::GroupIndex, &B::SetGroupIndex, 0);
    p.Int("LeftSpace", &B::LeftSpace, &B::SetLeftSpace, 35);
    p.Int("TopSpace", &B::TopSpace, &B::SetTopSpace, 18);
    p.Enum("Mode", &B::Mode, &B::SetMode, oobmNormalBut, {"oobmNormalBut", "oobmSpeedBut"});
    p.Enum("MouseAction", &B::MouseAction, &B::SetMouseAction, oomaFocused,
           {"oomaNone", "oomaFocused", "oomaPlain"});
    p.Bool("OnOff", &B::OnOff, &B::SetOnOff, true);
    p.Bool("Transparent", &B::Transparent, &B::SetTransparent, false);
});

} // namespace

} // namespace kel
