// The published property lists of the framework's own classes: the component root (Tag; the
// Name is the object's header line in a form file), the font, the control bases and the form.
// Components declare their lists next to their classes; the standard controls and the grids do
// so in kel_stdctrls.cpp and kel_grids.cpp.
//
// Geometry, colours and the parent-following switches are declared with the constructor's value
// as default because every descendant's constructor sets them differently; the writer compares
// them with a freshly constructed instance of the class being written.
#include "kel_controls.h"
#include "kel_forms.h"
#include "kel_graphics.h"
#include "kel_props.h"

#include <initializer_list>

namespace kel {

namespace {

const std::initializer_list<const char*> kBorderStyleNames = {
    "bsNone", "bsSingle", "bsSizeable", "bsDialog", "bsToolWindow", "bsSizeToolWin"};

const TClassRegistrar<TPersistent> persistentReg("TPersistent", nullptr, [](auto&) {});

const TClassRegistrar<TComponent> componentReg("TComponent", "TPersistent", [](auto& p) {
    p.Int("Tag", &TComponent::Tag, &TComponent::SetTag, 0);
});

const TClassRegistrar<TFont> fontReg("TFont", "TPersistent", [](auto& p) {
    // The default face is the system's; a font is always compared with the font of a freshly
    // constructed owner, so the name is written only when it was changed.
    p.String("Name", &TFont::Name, &TFont::SetName, "").ConstructorDefault();
    p.Int("Height", &TFont::Height, &TFont::SetHeight, -11);
    // Size is Height in points: readable, never written (Height carries it).
    p.Int("Size", &TFont::Size, &TFont::SetSize, 8).Stored([](const TFont&) { return false; });
    p.Set("Style", &TFont::Style, &TFont::SetStyle, TFontStyles{},
          {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"});
    p.Color("Color", &TFont::Color, &TFont::SetColor, clWindowText);
    p.Int("Orientation", &TFont::Orientation, &TFont::SetOrientation, 0);
    p.Enum("Quality", &TFont::Quality, &TFont::SetQuality, fqDefault,
           {"fqDefault", "fqDraft", "fqProof", "fqNonAntialiased", "fqAntialiased", "fqClearType",
            "fqClearTypeNatural"});
    p.Enum("Pitch", &TFont::Pitch, &TFont::SetPitch, fpDefault,
           {"fpDefault", "fpVariable", "fpFixed"});
    p.Int("Charset", &TFont::Charset, &TFont::SetCharset, DEFAULT_CHARSET);
});

const TClassRegistrar<TSizeConstraints>
    constraintsReg("TSizeConstraints", "TPersistent", [](auto& p) {
        using S = TSizeConstraints;
        p.Int("MaxHeight", &S::MaxHeight, &S::SetMaxHeight, 0);
        p.Int("MaxWidth", &S::MaxWidth, &S::SetMaxWidth, 0);
        p.Int("MinHeight", &S::MinHeight, &S::SetMinHeight, 0);
        p.Int("MinWidth", &S::MinWidth, &S::SetMinWidth, 0);
    });

const TClassRegistrar<TControl> controlReg("TControl", "TComponent", [](auto& p) {
    using C = TControl;
    p.Int("Left", &C::Left, &C::SetLeft, 0).ConstructorDefault();
    p.Int("Top", &C::Top, &C::SetTop, 0).ConstructorDefault();
    p.Int("Width", &C::Width, &C::SetWidth, 0).ConstructorDefault();
    p.Int("Height", &C::Height, &C::SetHeight, 0).ConstructorDefault();
    p.Enum("Align", &C::Align, &C::SetAlign, alNone,
           {"alNone", "alTop", "alBottom", "alLeft", "alRight", "alClient", "alCustom"})
        .ConstructorDefault();
    p.Set("Anchors", &C::Anchors, &C::SetAnchors, TAnchors{akLeft, akTop},
          {"akLeft", "akTop", "akRight", "akBottom"})
        .ConstructorDefault();
    p.Bool("Visible", &C::Visible, &C::SetVisible, true).ConstructorDefault();
    p.Bool("Enabled", &C::Enabled, &C::SetEnabled, true);
    // A colour or font that follows the parent is the parent's, not the control's: not stored
    // (a control without parent has nothing to follow, so its own is).
    p.Color("Color", &C::Color, &C::SetColor, clWindow).ConstructorDefault().Stored([](const C& c) {
        return !c.ParentColor() || c.Parent() == nullptr;
    });
    p.Bool("ParentColor", &C::ParentColor, &C::SetParentColor, true).ConstructorDefault();
    p.Object("Font", [](C& c) -> TPersistent* { return &c.Font(); }).Stored([](const C& c) {
        return !c.ParentFont() || c.Parent() == nullptr;
    });
    p.Bool("ParentFont", &C::ParentFont, &C::SetParentFont, true).ConstructorDefault();
    p.String("Hint", &C::Hint, &C::SetHint, "");
    p.Bool("ShowHint", &C::ShowHint, &C::SetShowHint, false).Stored([](const C& c) {
        return !c.ParentShowHint();
    });
    p.Bool("ParentShowHint", &C::ParentShowHint, &C::SetParentShowHint, true);
    p.Int("Cursor", &C::Cursor, &C::SetCursor, crDefault).ConstructorDefault();
    // By name: the menu is another component of the form.
    p.Component(
        "PopupMenu", [](const C& c) { return c.PopupMenuComponent(); },
        [](C& c, TComponent* m) { c.SetPopupMenuFrom(m); }, "a popup menu");
    p.Object("Constraints", [](C& c) -> TPersistent* { return &c.Constraints(); });
    p.Set("StyleElements", &C::StyleElements, &C::SetStyleElements,
          TStyleElements{seFont, seClient, seBorder}, {"seFont", "seClient", "seBorder"});
    p.Int("HelpContext", &C::HelpContext, &C::SetHelpContext, 0);
    p.String("HelpKeyword", &C::HelpKeyword, &C::SetHelpKeyword, "");
    p.Enum("HelpType", &C::HelpType, &C::SetHelpType, htContext, {"htKeyword", "htContext"});
    // Like ShowHint: a mode that follows the parent is not stored.
    p.Enum("BiDiMode", &C::BiDiMode, &C::SetBiDiMode, bdLeftToRight,
           {"bdLeftToRight", "bdRightToLeft", "bdRightToLeftNoAlign", "bdRightToLeftReadingOnly"})
        .Stored([](const C& c) { return !c.ParentBiDiMode(); });
    p.Bool("ParentBiDiMode", &C::ParentBiDiMode, &C::SetParentBiDiMode, true);
    p.Int("DragCursor", &C::DragCursor, &C::SetDragCursor, crDrag);
    p.Enum("DragKind", &C::DragKind, &C::SetDragKind, dkDrag, {"dkDrag", "dkDock"});
    p.Enum("DragMode", &C::DragMode, &C::SetDragMode, dmManual, {"dmManual", "dmAutomatic"});
});

const TClassRegistrar<TGraphicControl> graphicControlReg("TGraphicControl", "TControl",
                                                         [](auto&) {});

const TClassRegistrar<TWinControl> winControlReg("TWinControl", "TControl", [](auto& p) {
    using W = TWinControl;
    p.Bool("TabStop", &W::TabStop, &W::SetTabStop, false).ConstructorDefault();
    // Applied by the reader once every sibling exists (a rank needs its siblings).
    p.Int("TabOrder", &W::TabOrder, &W::SetTabOrder, -1);
    // Like Color: a value that follows the parent is not stored.
    p.Bool("DoubleBuffered", &W::DoubleBuffered, &W::SetDoubleBuffered, false)
        .ConstructorDefault()
        .Stored([](const W& w) { return !w.ParentDoubleBuffered() || w.Parent() == nullptr; });
    p.Bool("ParentDoubleBuffered", &W::ParentDoubleBuffered, &W::SetParentDoubleBuffered, true)
        .ConstructorDefault();
    p.Bool("Ctl3D", &W::Ctl3D, &W::SetCtl3D, true);
    p.Bool("ParentCtl3D", &W::ParentCtl3D, &W::SetParentCtl3D, true);
});

const TClassRegistrar<TCustomControl> customControlReg("TCustomControl", "TWinControl",
                                                       [](auto&) {});

const TClassRegistrar<TForm> formReg("TForm", "TWinControl", [](auto& p) {
    using F = TForm;
    p.String("Caption", &F::Caption, &F::SetCaption, "");
    p.Enum("BorderStyle", &F::BorderStyle, &F::SetBorderStyle, bsSizeable, kBorderStyleNames);
    p.Enum("Position", &F::Position, &F::SetPosition, poDesigned,
           {"poDesigned", "poDefault", "poDefaultPosOnly", "poDefaultSizeOnly", "poScreenCenter",
            "poDesktopCenter", "poMainFormCenter", "poOwnerFormCenter"});
    p.Bool("KeyPreview", &F::KeyPreview, &F::SetKeyPreview, false);
});

} // namespace

namespace detail {
// Referenced by the form-file code so that a static link keeps this file's registrations.
void LinkFrameworkPublished() {}
} // namespace detail

} // namespace kel
