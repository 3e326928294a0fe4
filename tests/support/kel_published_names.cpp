// The table of published names per component class and its check over the class registry
// (kel_published_names.h). Each line is written from the component's own documentation, not
// from its registrar: the point is to find where the two differ.
#include "kel_published_names.h"

#include "kel_props.h"

#include <algorithm>

namespace kel::test {

const std::vector<TListedNames>& ListedPublishedNames() {
    static const std::vector<TListedNames> table = {
        // ---- gauges ----
        {"TMeter",
         {"AnchorSize", "AnchorCovered", "AnchorImage", "BackGroundImg", "BkgndFillMode", "Caption",
          "ColorBakG", "ColorCover", "ColorScale", "ColorScheme", "ColorSclBkLow", "ColorSclBkNorm",
          "ColorSclBkHigh", "FontCaption", "FrameStyle", "LimWatchHighOn", "LimWatchLowOn",
          "LimWatchActColor", "LimWatchPsvColor", "Logarithmic", "ThresholdLow", "ThresholdHigh",
          "MeterMinValue", "MeterMaxValue", "MeterDecPlaces", "MeterNrTicks", "MeterLayout",
          "MeterShortTicks", "MeterScaleLine", "NeedleLayout", "NeedleLayoutSec", "RimBottom",
          "RimTop", "RimSide", "ScaleBkWidth", "ScaleBkVisible", "ScaleVisible", "Value",
          "ValueSec",
          // inherited
          "Align", "DragKind", "DragCursor", "DragMode", "Font", "Hint", "ParentFont",
          "ParentShowHint", "ShowHint", "StyleElements", "Visible"}},
        {"TNeedleLayout",
         {"HeadSize", "HeadAngle", "HeadMidLeng", "Thickness", "ColorBody", "ColorOutline",
          "PercentNeedleLength", "ShadowDx", "ShadowDy", "ShadowColor", "Visible"}},
        {"TNumLab",
         {"Alignment", "ColorLabBakG", "ColorLabText", "ColorOutBakG", "ColorOutText",
          "ColorScheme", "Comma", "DisplayType", "DTFormat", "Empty", "Enabled", "ForcePlusSign",
          "FrameStyle", "LabelWidth", "LeftSpace", "LeftText", "LeftTextAlignment",
          "OverflowIndicator", "Precision", "RightText", "RightTextAlignment", "StateText",
          "Transparent", "Value",
          // inherited
          "Align", "Anchors", "Font", "ParentFont", "ParentShowHint", "PopupMenu", "ShowHint",
          "StyleElements", "Visible"}},
        {"TProgBar",
         {"AutoInc", "AutoIncStep", "BackGroundImg", "ColorBackGnd", "ColorMapMode", "ColorGrid",
          "ColorMargin", "ColorScheme", "ColorMin", "ColorMax", "FrameStyleOuter",
          "FrameStyleInner", "GridDist", "MarginBottom", "MarginLeft", "MarginRight", "MarginTop",
          "Max", "Min", "Direction", "RepeatInterval", "ShowColorGradient", "StartInterval",
          "TextAlignment", "TextAngle", "TextDecPlaces", "TextPosX", "TextPosY", "TextVisible",
          "Value",
          // inherited
          "Align", "Anchors", "Constraints", "Font", "ParentFont", "ParentShowHint", "PopupMenu",
          "ShowHint", "StyleElements", "Visible"}},
        {"TSevenSeg",
         {"Caption", "ColorBackGnd", "ColorScheme", "ColorText", "FrameStyle", "InterDigDist",
          "Margin", "NumDigits",
          // inherited
          "Align", "Anchors", "ParentShowHint", "PopupMenu", "ShowHint", "StyleElements",
          "Visible"}},
        {"TRasterLab",
         {"AutoHeight", "AutoCenter", "ColorLabBakG", "ColorDotOn", "ColorDotOff", "ColorScheme",
          "DotSpacing", "DotSize", "Font", "FrameStyle", "PosX", "PosY", "Proportional",
          "ScrollMode", "ScrollInterval", "ScrollIncrement", "ScrollLoop", "CharBlockMode", "Text",
          // inherited
          "Align", "Anchors", "ParentFont", "ParentShowHint", "PopupMenu", "ShowHint",
          "StyleElements", "Visible"}},
        // ---- numeric ----
        {"TNumIO",
         {"InputFormat", "FixPointDecPlaces", "RangeLow", "RangeHigh", "DecPlaceSep", "Beep",
          // inherited
          "Anchors", "Align", "AutoSelect", "AutoSize", "BorderStyle", "Color", "Ctl3D",
          "ParentCtl3D", "Cursor", "Enabled", "Font", "Height", "HelpContext", "HideSelection",
          "Hint", "Left", "ReadOnly", "ParentColor", "ParentFont", "ParentShowHint", "PopupMenu",
          "ShowHint", "TabOrder", "TabStop", "Tag", "Text", "Top", "Visible", "Width"}},
        {"TNumIO2",
         {"Width", "Height", "InputFormat", "Value", "Text", "DecPlaceSep", "FixPointDecPlaces",
          "SignificantDigits", "RangeLow", "RangeHigh", "LeftText", "RightText",
          "LeftTextAlignment", "RightTextAlignment", "Alignment", "LeftSpace", "TextBoxWidth",
          "FrameStyle", "ButVisible", "But3D", "ButWidth", "ButHeight", "ButSpace", "ButColor",
          "ButIncrem", "GaugeVisible", "GaugeHeight", "GaugeWidth", "GaugeLeftMargin",
          "GaugeTopMargin", "GaugeColor", "GaugeColorBg", "GaugeColorFrame", "GaugeFrameStyle",
          "ColorBoxBG", "ColorBoxText", "ColorOutBG", "ColorOutText", "ColorWarnBG",
          "ColorWarnText", "ColorScheme", "HideSelection", "ReadOnly", "AutoSize", "Beep",
          "Enabled",
          // inherited
          "Align", "Anchors", "Cursor", "Font", "HelpContext", "Hint", "Left", "Top", "ParentFont",
          "ParentShowHint", "PopupMenu", "ShowHint", "StyleElements", "TabOrder", "TabStop", "Tag",
          "Visible"}},
        // ---- replist ----
        {"TRLData", {"NrOfColumns", "NrOfRows", "CommonHeader"}},
        {"TReportListView",
         {"NrOfColumns", "NrOfRows", "AutoAdvance", "ColorText", "ColorBkgdNormal",
          "ColorBkgdShaded", "RowColPattern", "ColorHigh", "ColorHighText", "HighLightBold",
          "HighLightRow", "HighLightColumn", "ColorSelectedRow", "ColorSelectedRowText",
          "ColorSelectedCol", "ColorSelectedColText", "ColorSelectedBoth", "ColorSelectedBothText",
          "ColorDisabledText", "ColorDisabledBkgd", "ColorCommonHd", "ColorCommonHdText",
          "ColorColumnHd", "FixedColor", "ColorColumnHdText", "ColorEmptyMsg", "CommonHeader",
          "CommonHeaderVisible", "CommonHeaderHeight", "CommonHeaderAlignment",
          "ColumnHeadersVisible", "ColumnHeadersHeight", "EmptyMessage", "InterRowIndicatorColor",
          "InterRowIndicatorWidth", "RowSelectMode", "UseCtrlForMultiSel", "SortEnabled",
          "ShowEmptyCheckBoxes", "FixedFirstColumn", "Enabled", "DefaultDrawing", "Options",
          "TopRow", "DefaultColWidth", "DefaultRowHeight", "LeftCol",
          // the framework's grid and control properties
          "Align", "Anchors", "BiDiMode", "BorderStyle", "Color", "Constraints", "Ctl3D",
          "DragCursor", "DragKind", "DragMode", "Font", "ParentBiDiMode", "ParentColor",
          "ParentCtl3D", "ParentFont", "ParentShowHint", "PopupMenu", "ScrollBars", "ShowHint",
          "StyleElements", "TabOrder", "Visible"}},
        // ---- widgets ----
        {"TRotLab",
         {"Alignment", "AntiAlias", "AutoCenter", "Color", "FrameStyle", "PosX", "PosY",
          "TextAngle", "Transparent",
          // inherited
          "Align", "Anchors", "Caption", "Constraints", "DragCursor", "DragKind", "DragMode",
          "Enabled", "Font", "ParentColor", "ParentFont", "ParentShowHint", "PopupMenu", "ShowHint",
          "StyleElements", "Visible"}},
        {"TGradFill",
         {"ColorFirst", "ColorLast", "ColorFlipped", "FillType", "FrameStyle", "GridColor",
          "GridMode", "NrColors",
          // inherited
          "Align", "ParentShowHint", "ShowHint", "Visible"}},
        {"TFolderTree",
         {"Color", "Enabled", "OldTreeStyle",
          // the tree view's usual ones ("bevel and border properties": the border style)
          "Align", "Anchors", "BorderStyle", "Constraints", "Cursor", "Ctl3D", "Font", "HotTrack",
          "Indent", "ParentShowHint", "ParentFont", "PopupMenu", "ShowButtons", "ShowHint",
          "ShowLines", "ShowRoot", "StyleElements", "TabOrder", "TabStop", "Visible"}},
        {"TRepSpeedButton", {"RepeatClickInterval", "StartClickInterval"}, "TSpeedButton"},
        {"TColorButton",
         {"ColorDialog",
          // the panel's usual ones
          "Align", "Alignment", "Anchors", "BevelInner", "BevelOuter", "BorderStyle", "Caption",
          "Color", "Constraints", "Ctl3D", "Cursor", "DoubleBuffered", "DragCursor", "DragKind",
          "DragMode", "Enabled", "Font", "ParentBackground", "ParentDoubleBuffered", "ShowCaption",
          "ParentFont", "ShowHint", "TabOrder", "TabStop", "Visible"},
         "TCustomPanel"},
        // ---- table editor (read-only VisibleColCount/VisibleRowCount are not streamed) ----
        {"TNTabEd",
         {"NrOfColumns", "NrOfRows", "AttribRowVisible", "AttribColVisible", "Comment",
          "DataReadOnly", "ClipboardUseFullPrec", "NumWidth", "LeftCol", "TopRow",
          "ColorBackground", "ColorFixed", "ColorNormal", "ColorSelected", "ColorMarkedA",
          "ColorMarkedB", "ColorMarkedBoth", "ColorRangeSelFG", "ColorRangeSelBG", "BoldMarks",
          "BoldSelHeads", "ShowCellCursor", "OptimizeRowHeight", "AutoAdvance", "AutoAdvanceDir",
          "CommentEditingAllowed", "BlockInternalPopup", "NomEditDropDownCount",
          // inherited
          "Align", "DefaultColWidth", "DefaultRowHeight", "DrawingStyle", "GradientStartColor",
          "GradientEndColor", "StyleElements", "Font", "ParentFont", "PopupMenu", "Options",
          "Visible"}},
        // ---- widgets not built yet: checked once they are registered ----
        {"TMiniCal",
         {"AutoSwitch", "ColorActiveMonth", "ColorInactiveMonth", "ColorWeekNoBg", "ColorWeekNoFg",
          "ColorDayIdBg", "ColorDayIdFg", "ColorSelectedBg", "ColorSelectedFg", "ColorHolidayBg",
          "ColorHolidayFg", "ColorToday", "FirstDayOfWeek", "IndicateHolidays", "Language",
          "MarkToday", "ShowHolidayHint", "ShowMonthShort", "ShowMovableHolidays",
          // inherited
          "Align", "Anchors", "Constraints", "Ctl3D", "Font", "ParentFont", "ParentShowHint",
          "PopupMenu", "ShowHint", "StyleElements", "Visible"}},
        {"TOnOffBut",
         {"AllowAllOff", "AutoCenter", "BottomText", "LeftText", "RightText", "TopText",
          "BottomTextAlignment", "TopTextAlignment", "LeftTextAlignment", "RightTextAlignment",
          "ButtonStyle", "ColorBackgnd", "ColorText", "ColorScheme", "Enabled", "FrameStyle",
          "GroupIndex", "LeftSpace", "TopSpace", "Mode", "MouseAction", "OnOff", "Transparent",
          // inherited
          "Anchors", "Font", "ParentShowHint", "PopupMenu", "ShowHint", "StyleElements",
          "Visible"}},
        {"TThumbnails",
         {"SlideSelectMode", "AntiAlias", "ColorBackGnd", "ColorCover", "ColorSelected",
          "ColorFocus", "ColorMark", "ColorScheme", "FrameStyle", "OuterFrameStyle",
          "InnerFrameStyle", "FocusLinewidth", "Min", "Max", "SlideSize", "SlideDistance",
          "SlideMargin",
          // inherited
          "Align", "Anchors", "DragCursor", "DragMode", "Enabled", "Font", "ParentFont",
          "ParentShowHint", "PopupMenu", "ShowHint", "StyleElements", "Visible"}},
        {"TMarkSel",
         {"NrOfColumns", "NrOfRows", "ColorBackGnd", "ColorMarks", "ColorHiLiteBG",
          "ColorHiLiteSymbol", "ColorSelBG", "ColorSelFG", "Enabled", "FrameStyle", "Selected",
          "ShowZeroAsCross",
          // inherited
          "Align", "ParentShowHint", "ShowHint", "StyleElements", "Visible"}},
        {"TColSel",
         {"ColorBarWidth", "Enabled", "NumColors", "SelColor",
          // inherited
          "Anchors", "Color", "DropDownCount", "Font", "ParentColor", "ParentFont",
          "ParentShowHint", "ShowHint", "StyleElements", "TabOrder", "TabStop", "Visible"}},
    };
    return table;
}

const std::vector<const char*>& FrameworkClassNames() {
    static const std::vector<const char*> names = {
        "TPersistent",     "TComponent",      "TFont",           "TSizeConstraints",
        "TControl",        "TGraphicControl", "TWinControl",     "TCustomControl",
        "TForm",           "TCustomEdit",     "TEdit",           "TLabel",
        "TMemo",           "TButton",         "TSpeedButton",    "TPanel",
        "TCustomComboBox", "TComboBox",       "TDateTimePicker", "TCustomGrid",
        "TCustomDrawGrid", "TDrawGrid",       "TCustomTreeView", "TTreeView",
        "TImageList",      "TMenuItem",       "TPopupMenu",      "TColorDialog",
        "TCustomPanel"};
    return names;
}

::testing::AssertionResult PublishesItsListedNames(const TListedNames& Entry) {
    const TClassInfo* info = FindClass(Entry.Class);
    if (info == nullptr)
        return ::testing::AssertionFailure() << Entry.Class << " is not registered";
    std::vector<std::string> published;
    for (const TPropInfo* p : info->AllProps()) published.push_back(p->Name);
    auto has = [](const std::vector<std::string>& names, const std::string& n) {
        return std::find(names.begin(), names.end(), n) != names.end();
    };
    std::string missing, unlisted, duplicates;
    std::vector<std::string> listed(Entry.Names.begin(), Entry.Names.end());
    for (const std::string& n : listed) {
        // Exact spelling: a form file reads names in any case but writes them as registered.
        if (!has(published, n)) missing += " " + n;
        if (std::count(listed.begin(), listed.end(), n) > 1 &&
            duplicates.find(n) == std::string::npos)
            duplicates += " " + n;
    }
    std::vector<std::string> usual;
    if (Entry.Usual != nullptr) {
        const TClassInfo* base = FindClass(Entry.Usual);
        if (base == nullptr)
            return ::testing::AssertionFailure()
                   << Entry.Class << ": its usual class " << Entry.Usual << " is not registered";
        for (const TPropInfo* p : base->AllProps()) {
            usual.push_back(p->Name);
            if (!has(published, p->Name)) missing += " " + p->Name;
        }
    }
    // A name the class declares itself must be listed, unless it only gives an inherited
    // property another default (the folder tree's ReadOnly).
    const TClassInfo* parent = info->Parent();
    for (const TPropInfo& p : info->Props)
        if (!has(listed, p.Name) && !has(usual, p.Name) &&
            (parent == nullptr || parent->FindProp(p.Name) == nullptr))
            unlisted += " " + p.Name;
    if (missing.empty() && unlisted.empty() && duplicates.empty())
        return ::testing::AssertionSuccess();
    auto r = ::testing::AssertionFailure() << Entry.Class << ":";
    if (!missing.empty()) r << "\n  listed but not published:" << missing;
    if (!unlisted.empty()) r << "\n  declared by the class but not listed:" << unlisted;
    if (!duplicates.empty()) r << "\n  listed twice:" << duplicates;
    return r;
}

std::vector<std::string> RegisteredClassesWithoutListedNames() {
    std::vector<std::string> out;
    const auto& table = ListedPublishedNames();
    const auto& framework = FrameworkClassNames();
    for (const std::string& name : RegisteredClassNames()) {
        const TClassInfo* info = FindClass(name);
        auto same = [&](const char* n) { return FindClass(n) == info; };
        if (std::any_of(framework.begin(), framework.end(), same)) continue;
        if (std::any_of(table.begin(), table.end(),
                        [&](const TListedNames& e) { return same(e.Class); }))
            continue;
        out.push_back(name);
    }
    return out;
}

} // namespace kel::test
