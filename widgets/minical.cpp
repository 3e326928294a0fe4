// TMiniCal: the Easter rule, the holiday tables, the date and its navigation, the setters, mouse
// and keyboard, and the published list of the mini calendar. Painting and the texts of the cells
// are in minical_paint.cpp.
#include "KEL_MiniCal.h"

#include "kel_props.h"
#include "kel_setter.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace kel {

namespace {

// Captions of the eight built-in holidays and of the six movable ones, in the four languages
// that have them (English, German, French, Spanish).
constexpr int NumCaptionLanguages = 4;
struct TBuiltInHoliday {
    int Day, Month;
    const char* Caption[NumCaptionLanguages];
};
constexpr TBuiltInHoliday BuiltInHolidays[8] = {
    {25, 12, {"Christmas Day", "Weihnachten", "No\xC3\xABl", "Navidad"}},
    {26,
     12,
     {"Boxing Day", "Stephanitag", "Jour de boxe",
      "D\xC3\xAD"
      "a de San Esteban"}},
    {1,
     1,
     {"New Year's Day", "Neujahrstag", "Nouvel An Jour",
      "D\xC3\xAD"
      "a de A\xC3\xB1o Nuevo"}},
    {6,
     1,
     {"Epiphany", "Hl. Drei K\xC3\xB6nige", "\xC3\x89piphanie",
      "Epifan\xC3\xAD"
      "a"}},
    {15, 8, {"Assumption of Mary", "Maria Himmelfahrt", "Assomption", "Asunci\xC3\xB3n"}},
    {1,
     11,
     {"All Saints", "Allerheiligen", "La Toussaint",
      "D\xC3\xAD"
      "a de Todos los Santos"}},
    {8,
     12,
     {"Immaculate Conception", "Maria Empf\xC3\xA4ngnis",
      "Immacul\xC3\xA9"
      "e Conception",
      "Inmaculada Concepci\xC3\xB3n"}},
    {1,
     5,
     {"Labor Day", "Tag der Arbeit", "F\xC3\xAAte du Travail",
      "D\xC3\xAD"
      "a del Trabajo"}},
};
struct TMovableHoliday {
    int Offset; // days after Easter Sunday
    const char* Caption[NumCaptionLanguages];
};
constexpr TMovableHoliday MovableHolidays[6] = {
    {0,
     {"Easter Day", "Ostersonntag", "Le jour de P\xC3\xA2ques", "Domingo de Resurrecci\xC3\xB3n"}},
    {1, {"Easter Monday", "Ostermontag", "Lundi de P\xC3\xA2ques", "Lunes de Pascua"}},
    {39,
     {"Ascension Day", "Christi Himmelfahrt", "Ascension du Christ", "Ascensi\xC3\xB3n de Cristo"}},
    {49,
     {"Pentecost", "Pfingstsonntag", "Dimanche de Pentec\xC3\xB4te",
      "Domingo de Pentecost\xC3\xA9s"}},
    {50,
     {"Whit Monday", "Pfingstmontag", "Lundi de Pentec\xC3\xB4te", "Lunes de Pentecost\xC3\xA9s"}},
    {60, {"Corpus Christi", "Fronleichnam", "Corpus Christi", "Corpus Cristi"}},
};

// Index into the caption tables: languages without captions of their own use English.
int CaptionIndex(TLanguage L) { return L >= lgEnglish && L <= lgSpanish ? int(L) - 1 : 0; }

// Floored division and modulo (the same as truncation for the non-negative operands of years
// >= 1).
std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
    std::int64_t q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}
std::int64_t FloorMod(std::int64_t a, std::int64_t b) { return a - FloorDiv(a, b) * b; }

// The date parts of D when D lies in 0001-01-01 .. 9999-12-31; false otherwise.
bool DecodeInRange(TDateTime D, int& Y, int& M, int& Day) {
    if (!(D >= MinDateTime && D < MaxDateTime)) return false;
    DecodeDate(D, Y, M, Day);
    return true;
}

} // namespace

// ---- Easter -----------------------------------------------------------------------------------

void CalcEasterSunday(int Year, int& Day, int& Month) {
    const std::int64_t y = Year;
    const std::int64_t k = FloorDiv(y, 100);
    const std::int64_t m = 15 + FloorDiv(3 * k + 3, 4) - FloorDiv(8 * k + 13, 25);
    const std::int64_t s = 2 - FloorDiv(3 * k + 3, 4);
    const std::int64_t a = FloorMod(y, 19);
    const std::int64_t d = FloorMod(19 * a + m, 30);
    const std::int64_t r = (d + a / 11) / 29;
    const std::int64_t og = 21 + d - r;
    const std::int64_t sz = 7 - FloorMod(y + FloorDiv(y, 4) + s, 7);
    const std::int64_t oe = 7 - FloorMod(og - sz, 7);
    const int os = int(og + oe); // day in March, 22..56
    Month = 3;
    Day = os;
    if (os > 31) {
        Month = 4;
        Day = os - 31;
    }
}

// ---- Life -------------------------------------------------------------------------------------

TMiniCal::TMiniCal(TComponent* AOwner) : TCustomDrawGrid(AOwner) {
    SetDefaultDrawing(false);
    SetColCount(8);
    SetRowCount(8);
    SetFixedCols(1);
    SetFixedRows(2);
    SetCtl3D(true);
    SetGridLineWidth(1);
    SetScrollBars(ssNone);
    SetBorderStyle(bsSingle);
    TGridOptions o = Options();
    o.exclude(goRangeSelect);
    o.include(goDrawFocusSelected);
    SetOptions(o);
    InitBounds(0, 0, 300, 180);
    SetDoubleBuffered(true);
    FDate = Now();
    LoadBuiltInHolidays();
    FitCells();
    UpdateCal();
}

void TMiniCal::LoadBuiltInHolidays() {
    const int li = CaptionIndex(FLanguage);
    FHDayCaptions.Clear();
    FHDayList.Resize(3, 8);
    for (int i = 0; i < 8; ++i) {
        FHDayList.SetVal(1, i + 1, BuiltInHolidays[i].Day);
        FHDayList.SetVal(2, i + 1, BuiltInHolidays[i].Month);
        FHDayList.SetVal(3, i + 1, RepeatHolidayYear);
        FHDayCaptions.Add(BuiltInHolidays[i].Caption[li]);
    }
}

// ---- Layout -----------------------------------------------------------------------------------

void TMiniCal::FitCells() {
    const int l = GridLineWidth();
    const TRect cr = ClientRect();
    const int w = cr.Width(), h = cr.Height();
    const int cw = std::max(0, (w - 7 * l) / 8), rh = std::max(0, (h - 7 * l) / 8);
    SetDefaultColWidth(cw);
    SetDefaultRowHeight(rh);
    // Column 0 and row 0 take the rest, so that eight cells and seven lines fill the area.
    SetColWidths(0, std::max(0, w - 7 * (cw + l) - l));
    SetRowHeights(0, std::max(0, h - 7 * (rh + l) - l));
}

void TMiniCal::SizeChanged() {
    TCustomDrawGrid::SizeChanged();
    FitCells();
}

void TMiniCal::SetCtl3D(bool Value) {
    TCustomDrawGrid::SetCtl3D(Value);
    FitCells(); // the frame's width changed the client area
}

void TMiniCal::UpdateCal() {
    int y = 0, m = 0, d = 0;
    DecodeDate(FDate, y, m, d);
    const int a = (DayOfTheWeek(EncodeDate(y, m, 1)) - int(F1stDayWeek) + 7) % 7;
    FMonOfs = a == 0 ? -5 : 2 - a;
    FocusCell((d - FMonOfs) % 7 + 1, (d - FMonOfs) / 7 + 2, false);
    // While a form file loads, Hint keeps what the file gives; Loaded settles it.
    if (FShowHDayHint && !ComponentState().contains(csLoading)) {
        std::string caption;
        if (!FIndicateHolid || !CheckHoliday(y, m, d, caption)) caption.clear();
        SetHint(caption);
        FCaptionHint = std::move(caption);
    }
    Invalidate();
}

// ---- The date ---------------------------------------------------------------------------------

void TMiniCal::Changed() {
    if (FOnChange) FOnChange(this);
}

void TMiniCal::SetDate(TDateTime Value) {
    int y = 0, m = 0, d = 0;
    DecodeDate(Value, y, m, d); // EConvertError for a value outside the years 1..9999
    if (!SetField(FDate, Value)) return;
    UpdateCal();
    Changed();
}

bool TMiniCal::TrySetDate(TDateTime Value) {
    int y = 0, m = 0, d = 0;
    if (!DecodeInRange(Value, y, m, d)) return false;
    SetDate(Value);
    return true;
}

int TMiniCal::Year() const {
    int y = 0, m = 0, d = 0;
    DecodeDate(FDate, y, m, d);
    return y;
}

int TMiniCal::Month() const {
    int y = 0, m = 0, d = 0;
    DecodeDate(FDate, y, m, d);
    return m;
}

int TMiniCal::Day() const {
    int y = 0, m = 0, d = 0;
    DecodeDate(FDate, y, m, d);
    return d;
}

void TMiniCal::SetParts(int Y, int M, int D) {
    FDate = EncodeDate(Y, M, D); // EConvertError leaves the date as it was
    UpdateCal();
    Changed();
}

void TMiniCal::SetYear(int Value) {
    int y = 0, m = 0, d = 0;
    DecodeDate(FDate, y, m, d);
    if (Value >= 0) y = Value;
    SetParts(y, m, d);
}

void TMiniCal::SetMonth(int Value) {
    int y = 0, m = 0, d = 0;
    DecodeDate(FDate, y, m, d);
    if (Value >= 0 && Value <= 12) m = Value;
    SetParts(y, m, d);
}

void TMiniCal::SetDay(int Value) {
    int y = 0, m = 0, d = 0;
    DecodeDate(FDate, y, m, d);
    if (Value >= 0 && Value <= DaysInAMonth(y, m)) d = Value;
    SetParts(y, m, d);
}

void TMiniCal::MonthStep(int n) {
    int y = 0, m = 0, d = 0;
    DecodeDate(FDate, y, m, d);
    const TDateTime from = n <= 0 ? EncodeDate(y, m, 1) : EncodeDate(y, m, DaysInAMonth(y, m));
    int ny = 0, nm = 0, nd = 0;
    if (!DecodeInRange(from + n, ny, nm, nd)) return;
    SetDate(EncodeDate(ny, nm, std::min(d, DaysInAMonth(ny, nm))));
}

void TMiniCal::PrevYear() {
    int y = 0, m = 0, d = 0;
    DecodeDate(FDate, y, m, d);
    if (y <= 1) return;
    if (m == 2 && d == 29) d = 28;
    SetParts(y - 1, m, d);
}

void TMiniCal::NextYear() {
    int y = 0, m = 0, d = 0;
    DecodeDate(FDate, y, m, d);
    if (y >= 9999) return;
    if (m == 2 && d == 29) d = 28;
    SetParts(y + 1, m, d);
}

void TMiniCal::LastDayOfMonth() {
    int y = 0, m = 0, d = 0;
    DecodeDate(FDate, y, m, d);
    SetDay(DaysInAMonth(y, m));
}

// ---- Holidays ---------------------------------------------------------------------------------

void TMiniCal::AddHoliday(int ADay, int AMon, int AYear, const std::string& Caption) {
    const int row = FHDayList.NrOfRows() + 1;
    FHDayList.SetNRows(row); // first, so a refused size leaves both lists as they were
    FHDayList.SetVal(1, row, ADay);
    FHDayList.SetVal(2, row, AMon);
    FHDayList.SetVal(3, row, AYear);
    FHDayCaptions.Add(Caption);
    UpdateCal();
}

void TMiniCal::AddRepeatHoliday(int ADay, int AMon, const std::string& Caption) {
    AddHoliday(ADay, AMon, RepeatHolidayYear, Caption);
}

void TMiniCal::ClearHolidayList() {
    FHDayCaptions.Clear();
    FHDayList.Resize(3, 0);
    UpdateCal();
}

bool TMiniCal::RetrieveHoliday(int HDIndex, int& ADay, int& AMonth, int& AYear, bool& IsRepeatHDay,
                               std::string& Description) const {
    if (HDIndex < 1 || HDIndex > NumHolidays()) return false;
    ADay = FHDayList.GetVal(1, HDIndex);
    AMonth = FHDayList.GetVal(2, HDIndex);
    AYear = FHDayList.GetVal(3, HDIndex);
    IsRepeatHDay = AYear == RepeatHolidayYear;
    Description = FHDayCaptions[HDIndex - 1];
    return true;
}

bool TMiniCal::CheckHoliday(int AYear, int AMonth, int ADay, std::string& Caption) const {
    Caption.clear();
    for (int i = 1; i <= NumHolidays(); ++i) {
        const int y = FHDayList.GetVal(3, i);
        if (FHDayList.GetVal(1, i) == ADay && FHDayList.GetVal(2, i) == AMonth &&
            (y == RepeatHolidayYear || y == AYear)) {
            Caption = FHDayCaptions[i - 1];
            return true;
        }
    }
    if (!FShowMovHdays || AMonth < 3 || AMonth > 6) return false;
    // March day numbers: of Easter Sunday, and of the date asked about.
    int ed = 0, em = 0;
    CalcEasterSunday(AYear, ed, em);
    const int e = em == 3 ? ed : ed + 31;
    static constexpr int MonthStart[4] = {0, 31, 61, 92}; // March, April, May, June
    const int n = ADay + MonthStart[AMonth - 3];
    for (const TMovableHoliday& h : MovableHolidays)
        if (n == e + h.Offset) {
            Caption = h.Caption[CaptionIndex(FLanguage)];
            return true;
        }
    return false;
}

// ---- Setters ----------------------------------------------------------------------------------

void TMiniCal::SetColorActiveMonth(TColor Value) {
    if (SetField(FColorActMon, Value)) Invalidate();
}

void TMiniCal::SetColorInactiveMonth(TColor Value) {
    if (SetField(FColorInactMon, Value)) Invalidate();
}

void TMiniCal::SetColorWeekNoBg(TColor Value) {
    if (SetField(FColorWknBg, Value)) Invalidate();
}

void TMiniCal::SetColorWeekNoFg(TColor Value) {
    if (SetField(FColorWknFg, Value)) Invalidate();
}

void TMiniCal::SetColorDayIdBg(TColor Value) {
    if (SetField(FColorDayIdBg, Value)) Invalidate();
}

void TMiniCal::SetColorDayIdFg(TColor Value) {
    if (SetField(FColorDayIdFg, Value)) Invalidate();
}

void TMiniCal::SetColorSelectedBg(TColor Value) {
    if (SetField(FColorSelBg, Value)) Invalidate();
}

void TMiniCal::SetColorSelectedFg(TColor Value) {
    if (SetField(FColorSelFg, Value)) Invalidate();
}

void TMiniCal::SetColorHolidayBg(TColor Value) {
    if (SetField(FColorHdayBg, Value)) Invalidate();
}

void TMiniCal::SetColorHolidayFg(TColor Value) {
    if (SetField(FColorHdayFg, Value)) Invalidate();
}

void TMiniCal::SetColorToday(TColor Value) {
    if (SetField(FColorToday, Value)) Invalidate();
}

void TMiniCal::SetFirstDayOfWeek(TDayOfWeek Value) {
    if (Value > dwSun) return;
    if (!SetField(F1stDayWeek, Value)) return;
    UpdateCal();
    Changed();
}

void TMiniCal::SetDayColors(TDayOfWeek Day, TColor Value) {
    if (Day > dwSun) return;
    if (!SetField(FDayColors[Day], Value)) return;
    UpdateCal();
    Changed();
}

void TMiniCal::SetIndicateHolidays(bool Value) {
    if (SetField(FIndicateHolid, Value)) UpdateCal();
}

void TMiniCal::SetLanguage(TLanguage Value) {
    if (int(Value) >= NumLanguages) return;
    FLanguage = Value;
    LoadBuiltInHolidays();
    UpdateCal();
}

void TMiniCal::SetMarkToday(bool Value) {
    if (SetField(FMarkToday, Value)) Invalidate();
}

void TMiniCal::Loaded() {
    TCustomDrawGrid::Loaded();
    UpdateCal();
}

void TMiniCal::SetShowHolidayHint(bool Value) {
    if (!SetField(FShowHDayHint, Value)) return;
    // A file's Hint was read before this flag; only the calendar's own caption goes then.
    if (!ComponentState().contains(csLoading) || Hint() == FCaptionHint) SetHint("");
    FCaptionHint.clear();
    if (FShowHDayHint) SetShowHint(true);
    UpdateCal();
}

void TMiniCal::SetShowMonthShort(bool Value) {
    if (SetField(FMonthShort, Value)) Invalidate();
}

void TMiniCal::SetShowMovableHolidays(bool Value) {
    if (SetField(FShowMovHdays, Value)) UpdateCal();
}

// ---- Mouse and keyboard -----------------------------------------------------------------------

void TMiniCal::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    auto alive = Handle();
    TCustomDrawGrid::MouseDown(Button, Shift, X, Y);
    if (*alive == nullptr) return;
    if (Button != mbLeft || X <= 0 || X >= Width() || Y <= 0 || Y >= Height()) return;
    const TGridCoord cell = MouseCoord(X, Y);
    const int c = cell.X, r = cell.Y;
    if (c < 0 || r < 0) return;
    if (c > 0 && r > 1) {
        int y = 0, m = 0, day = 0;
        DecodeDate(FDate, y, m, day);
        int d = CellDay(c, r);
        if (FAutoSwitch) {
            if (d <= 0) {
                if (--m < 1) m = 12, --y;
                if (y >= 1) d += DaysInAMonth(y, m);
            } else if (d > DaysInAMonth(y, m)) {
                d -= DaysInAMonth(y, m);
                if (++m > 12) m = 1, ++y;
            }
        }
        // A grey day beyond the years 1..9999 (or without AutoSwitch) selects nothing.
        if (y >= 1 && y <= 9999 && d >= 1 && d <= DaysInAMonth(y, m)) {
            FDate = EncodeDate(y, m, d);
            Changed();
            if (*alive == nullptr) return;
        }
        UpdateCal();
        return;
    }
    if (r == 0 || (r == 1 && c == 0)) {
        switch (c) {
        case 0:
            SetDate(Now());
            break;
        case 1:
            PrevYear();
            break;
        case 2:
            PrevMonth();
            break;
        case 6:
            NextMonth();
            break;
        case 7:
            NextYear();
            break;
        default:
            break;
        }
    }
}

void TMiniCal::MouseMove(TShiftState Shift, int X, int Y) {
    // With the button held the grid would drag its current cell along; the calendar's
    // selection is its date, so only the event fires.
    if (Shift.contains(ssLeft))
        TCustomControl::MouseMove(Shift, X, Y); // NOLINT(bugprone-parent-virtual-call)
    else
        TCustomDrawGrid::MouseMove(Shift, X, Y);
}

void TMiniCal::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    (void)Button, (void)Shift, (void)X, (void)Y;
}

void TMiniCal::KeyDown(std::uint16_t& Key, TShiftState Shift) {
    auto alive = Handle();
    // OnKeyDown first (it may take the key); the grid's own moves are not used.
    TCustomControl::KeyDown(Key, Shift); // NOLINT(bugprone-parent-virtual-call)
    if (Key == 0 || *alive == nullptr) return;
    int y = 0, m = 0, d = 0;
    DecodeDate(FDate, y, m, d);
    const TDateTime day = EncodeDate(y, m, d);
    const bool ctrl = Shift.contains(ssCtrl);
    switch (Key) {
    case VK_LEFT:
        TrySetDate(day - 1);
        break;
    case VK_RIGHT:
        TrySetDate(day + 1);
        break;
    case VK_UP:
        TrySetDate(day - 7);
        break;
    case VK_DOWN:
        TrySetDate(day + 7);
        break;
    case VK_PRIOR:
        ctrl ? PrevYear() : PrevMonth();
        break;
    case VK_NEXT:
        ctrl ? NextYear() : NextMonth();
        break;
    case VK_HOME:
        SetDate(EncodeDate(y, m, 1));
        break;
    case VK_END:
        SetDate(EncodeDate(y, m, DaysInAMonth(y, m)));
        break;
    default:
        return;
    }
    Key = 0;
}

// ---- Published properties ---------------------------------------------------------------------

namespace {

// The control's published properties (Align, Anchors, Font, ShowHint, StyleElements, ...) and
// the calendar's own; the grid's options and sizes are the calendar's business, not a form's.
const TClassRegistrar<TMiniCal> miniCalReg("TMiniCal", "TCustomControl", [](auto& p) {
    using M = TMiniCal;
    // With the holiday hint on, the hint is the selected day's caption, which Loaded sets
    // again: not stored, so a file does not depend on the day it was written.
    p.String("Hint", &M::Hint, &M::SetHint, "").Stored([](const M& m) {
        return !m.ShowHolidayHint();
    });
    p.Bool("AutoSwitch", &M::AutoSwitch, &M::SetAutoSwitch, true);
    p.Color("ColorActiveMonth", &M::ColorActiveMonth, &M::SetColorActiveMonth, clBlack);
    p.Color("ColorInactiveMonth", &M::ColorInactiveMonth, &M::SetColorInactiveMonth, clSilver);
    p.Color("ColorWeekNoBg", &M::ColorWeekNoBg, &M::SetColorWeekNoBg, clSilver);
    p.Color("ColorWeekNoFg", &M::ColorWeekNoFg, &M::SetColorWeekNoFg, clBlack);
    p.Color("ColorDayIdBg", &M::ColorDayIdBg, &M::SetColorDayIdBg, clSilver);
    p.Color("ColorDayIdFg", &M::ColorDayIdFg, &M::SetColorDayIdFg, clBlack);
    p.Color("ColorSelectedBg", &M::ColorSelectedBg, &M::SetColorSelectedBg, TColor(0xD0A040));
    p.Color("ColorSelectedFg", &M::ColorSelectedFg, &M::SetColorSelectedFg, clWhite);
    p.Color("ColorHolidayBg", &M::ColorHolidayBg, &M::SetColorHolidayBg, TColor(0x9BD8F1));
    p.Color("ColorHolidayFg", &M::ColorHolidayFg, &M::SetColorHolidayFg, TColor(0x0000C0));
    p.Color("ColorToday", &M::ColorToday, &M::SetColorToday, clRed);
    p.Enum("FirstDayOfWeek", &M::FirstDayOfWeek, &M::SetFirstDayOfWeek, dwMon,
           {"dwMon", "dwTue", "dwWed", "dwThu", "dwFri", "dwSat", "dwSun"});
    p.Bool("IndicateHolidays", &M::IndicateHolidays, &M::SetIndicateHolidays, true);
    p.Enum("Language", &M::Language, &M::SetLanguage, lgEnglish,
           {"lgNeutral", "lgEnglish", "lgGerman", "lgFrench", "lgSpanish", "lgItalian", "lgDutch"});
    p.Bool("MarkToday", &M::MarkToday, &M::SetMarkToday, true);
    p.Bool("ShowHolidayHint", &M::ShowHolidayHint, &M::SetShowHolidayHint, true);
    p.Bool("ShowMonthShort", &M::ShowMonthShort, &M::SetShowMonthShort, true);
    p.Bool("ShowMovableHolidays", &M::ShowMovableHolidays, &M::SetShowMovableHolidays, true);
});

} // namespace

} // namespace kel
