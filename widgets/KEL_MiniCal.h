// TMiniCal: a small month calendar in an 8 x 8 grid. Row 0 holds the navigation buttons ("<<",
// "<", the month and year, ">", ">>"), row 1 the weekday names, rows 2..7 six weeks of days with
// the ISO week number in column 0; the "#" button in the corner (column 0, rows 0 and 1)
// selects today. The calendar keeps one selected date, circles today, shows fixed and movable
// (Easter-dependent) holidays in their own colours and can put the selected day's holiday name
// into the control's hint. CalcEasterSunday is the Easter rule it uses.
//
// Choices where the calendar's rules leave room:
// - Holiday captions exist in English, German, French and Spanish; a calendar set to any other
//   language (lgNeutral, lgItalian, lgDutch) shows the English captions. Weekday and month names
//   come from the name tables of Kel_kelbase.h in every language.
// - Visual-style colours come from StyleServices(): with styles enabled, text starts in
//   scButtonText when StyleElements holds seFont, and buttons are filled with scButtonFace when
//   it holds seBorder (else clBlack and clBtnFace).
// - The keyboard moves the selected date (the grid's own current cell is never shown): Left /
//   Right one day, Up / Down one week, Page Up / Page Down one month, Ctrl+Page Up / Ctrl+Page
//   Down one year, Home / End the first / last day of the month. Other keys do nothing.
// - Dragging with the button held does not move the grid's (invisible) current cell; a release
//   does nothing and fires no OnMouseUp (OnClick fires as for any control).
// - Navigation that would leave the years 1..9999 (a button, a key, a click on a grey day)
//   does nothing; setting such a date by code raises EConvertError and changes nothing.
// - PrevYear / NextYear from 29 February land on 28 February and fire OnChange once.
// - Column 0 and row 0 take what the seven equal columns and rows leave of the client area, so
//   the cells always fill it exactly.
// - A week-number cell whose week reaches past 9999-12-31 (the last row of December 9999)
//   stays empty.
//
// Index: TDayOfWeek, TDayColors; CalcEasterSunday; TMiniCal.
#pragma once

#include "Kel_kelbase.h"
#include "Kel_matrix.h"
#include "kel_classes.h"
#include "kel_dateutils.h"
#include "kel_grids.h"

#include <array>
#include <optional>
#include <cstdint>
#include <string>
#include <utility>

namespace kel {

// Weekdays as the calendar numbers them (ordinals 0..6, Monday first).
enum TDayOfWeek : std::uint8_t { dwMon, dwTue, dwWed, dwThu, dwFri, dwSat, dwSun };
// A colour per weekday, indexed by TDayOfWeek.
using TDayColors = std::array<TColor, 7>;

// Marker in the year column of the holiday table for a holiday that repeats every year.
constexpr int RepeatHolidayYear = -99999;

// Easter Sunday of Year in the Gregorian calendar (Gauss's rule with Lichtenberg's
// corrections): Month 3 and Day 22..31, or Month 4 and Day 1..25. Any year is accepted: the
// rule is applied proleptically before 1583, and for years <= 0 (astronomical numbering, 0 is
// 1 BC) with floored division, so the dates repeat with the rule's period of 5,700,000 years
// and are always a valid day between 22 March and 25 April.
void CalcEasterSunday(int Year, int& Day, int& Month);

class TMiniCal : public TCustomDrawGrid {
  public:
    // 300 x 180, the date from Now(), the eight built-in holidays, the defaults below.
    explicit TMiniCal(TComponent* AOwner);
    std::string ClassName() const override { return "TMiniCal"; }

    // --- the date ---
    // The selected date (may carry a time of day when it came from the clock). Setting stores
    // it, updates the layout and fires OnChange; a value outside 0001-01-01 .. 9999-12-31
    // raises EConvertError and changes nothing.
    TDateTime Date() const { return FDate; }
    void SetDate(TDateTime Value);
    int Year() const;
    int Month() const;
    int Day() const;
    // Each replaces its part when in range (Year >= 0, Month 0..12, Day 0..days of the month),
    // re-encodes the date without time of day, updates and fires OnChange; a value outside the
    // range re-encodes the date unchanged (and fires). A part that yields no valid date (year
    // 0, month 0, day 0, 31 April) raises EConvertError and changes nothing.
    void SetYear(int Value);
    void SetMonth(int Value);
    void SetDay(int Value);
    // One month / year back or on; the day is limited to the new month's length (31 January
    // + one month is 28 or 29 February). Nothing happens past the years 1..9999.
    void PrevMonth() { MonthStep(-1); }
    void NextMonth() { MonthStep(+1); }
    void PrevYear();
    void NextYear();
    // The last day of the displayed month.
    void LastDayOfMonth();

    // --- holidays ---
    // Appends a holiday for one year / every year; no check of the values. Updates, repaints.
    void AddHoliday(int ADay, int AMon, int AYear, const std::string& Caption);
    void AddRepeatHoliday(int ADay, int AMon, const std::string& Caption);
    // Removes every holiday, the built-in ones too.
    void ClearHolidayList();
    int NumHolidays() const { return FHDayList.NrOfRows(); }
    int GetNumHolidays() const { return NumHolidays(); }
    // Row HDIndex (1..NumHolidays) of the table; false and outputs untouched otherwise. AYear is
    // RepeatHolidayYear (and IsRepeatHDay true) for a holiday of every year.
    bool RetrieveHoliday(int HDIndex, int& ADay, int& AMonth, int& AYear, bool& IsRepeatHDay,
                         std::string& Description) const;
    // Whether AYear-AMonth-ADay is a holiday: the first matching row of the table, else (with
    // ShowMovableHolidays, March to June) Easter Sunday and Monday, Ascension, Pentecost, Whit
    // Monday or Corpus Christi. Caption receives its name ("" when none).
    bool CheckHoliday(int AYear, int AMonth, int ADay, std::string& Caption) const;

    // --- published properties (defaults in brackets) ---
    // A click on a grey day of the previous or next month selects it there [true].
    bool AutoSwitch() const { return FAutoSwitch; }
    void SetAutoSwitch(bool Value) { FAutoSwitch = Value; }
    // Text of days of the displayed month [clBlack] / of the neighbouring months [clSilver].
    TColor ColorActiveMonth() const { return FColorActMon; }
    void SetColorActiveMonth(TColor Value);
    TColor ColorInactiveMonth() const { return FColorInactMon; }
    void SetColorInactiveMonth(TColor Value);
    // Week-number cells: background [clSilver], text [clBlack].
    TColor ColorWeekNoBg() const { return FColorWknBg; }
    void SetColorWeekNoBg(TColor Value);
    TColor ColorWeekNoFg() const { return FColorWknFg; }
    void SetColorWeekNoFg(TColor Value);
    // Weekday-name cells: background [clSilver], text [clBlack].
    TColor ColorDayIdBg() const { return FColorDayIdBg; }
    void SetColorDayIdBg(TColor Value);
    TColor ColorDayIdFg() const { return FColorDayIdFg; }
    void SetColorDayIdFg(TColor Value);
    // Selected day: background [0xD0A040], text [clWhite]. A selected holiday is drawn on the
    // mean of this background and ColorHolidayBg.
    TColor ColorSelectedBg() const { return FColorSelBg; }
    void SetColorSelectedBg(TColor Value);
    TColor ColorSelectedFg() const { return FColorSelFg; }
    void SetColorSelectedFg(TColor Value);
    // Holidays: background [0x9BD8F1], text [0x0000C0].
    TColor ColorHolidayBg() const { return FColorHdayBg; }
    void SetColorHolidayBg(TColor Value);
    TColor ColorHolidayFg() const { return FColorHdayFg; }
    void SetColorHolidayFg(TColor Value);
    // Pen of the circle round today [clRed].
    TColor ColorToday() const { return FColorToday; }
    void SetColorToday(TColor Value);
    // Weekday of the first day column [dwMon]; a change updates and fires OnChange. Values
    // outside dwMon..dwSun are ignored.
    TDayOfWeek FirstDayOfWeek() const { return F1stDayWeek; }
    void SetFirstDayOfWeek(TDayOfWeek Value);
    // Draw holidays in the holiday colours [true].
    bool IndicateHolidays() const { return FIndicateHolid; }
    void SetIndicateHolidays(bool Value);
    // Language of names and holiday captions [lgEnglish]. Setting it (even to the same value)
    // reloads the eight built-in holidays in that language and drops every other holiday.
    // Values outside the enumeration are ignored.
    TLanguage Language() const { return FLanguage; }
    void SetLanguage(TLanguage Value);
    // Circle today [true].
    bool MarkToday() const { return FMarkToday; }
    void SetMarkToday(bool Value);
    // The hint shows the selected day's holiday caption [true]; setting clears Hint, and true
    // also turns ShowHint on. While a form file loads, a Hint the file gives is left: with
    // ShowHolidayHint off the file's Hint stays (a caption the calendar put there goes), with
    // it on Loaded puts the caption there. The hint is stored only with ShowHolidayHint off.
    bool ShowHolidayHint() const { return FShowHDayHint; }
    void SetShowHolidayHint(bool Value);
    // The header shows the short month name [true] (else the long one).
    bool ShowMonthShort() const { return FMonthShort; }
    void SetShowMonthShort(bool Value);
    // Include the six Easter-dependent holidays [true].
    bool ShowMovableHolidays() const { return FShowMovHdays; }
    void SetShowMovableHolidays(bool Value);
    // Background of each weekday's column (0xF8F8F8 Monday to Friday, 0xBBDDEE Saturday,
    // 0xCCEEFF Sunday). A change updates and fires OnChange.
    TColor DayColors(TDayOfWeek Day) const { return FDayColors[Day % 7]; }
    void SetDayColors(TDayOfWeek Day, TColor Value);
    // Fired after every change of the date (and of FirstDayOfWeek and DayColors).
    const TNotifyEvent& OnChange() const { return FOnChange; }
    void SetOnChange(TNotifyEvent Handler) { FOnChange = std::move(Handler); }
    // The buttons' 3-D frames and the grid's sunken edge [true]; the cells are refitted.
    void SetCtl3D(bool Value) override;
    // Inherited and published as well: Align, Anchors, Constraints, Ctl3D, Font, ParentFont,
    // ParentShowHint, PopupMenu, ShowHint, StyleElements, Visible (and the control's others).

    // --- layout (pure with respect to painting; for tests and descendants) ---
    // Recomputes the cell mapping from the date, moves the grid's current cell to the selected
    // day, sets the hint (ShowHolidayHint) and repaints.
    void UpdateCal();
    // Offset of the cell mapping: cell (c, r), c >= 1, r >= 2, shows day 7r + c + MonOfs - 15
    // of the displayed month (values outside 1..days are the grey days around it).
    int MonOfs() const { return FMonOfs; }
    // The text cell (ACol, ARow) shows: "" for cells without text (the halves of merged
    // buttons that do not draw it, and unknown cells).
    std::string CellText(int ACol, int ARow) const;

  protected:
    // Moves the date by whole months: n <= 0 from the first day of the month, n > 0 from its
    // last day, n days on; the day is kept and limited to the new month's length.
    void MonthStep(int n);
    // Fires OnChange.
    virtual void Changed();
    void DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) override;
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void KeyDown(std::uint16_t& Key, TShiftState Shift) override;
    void SizeChanged() override;
    // After a form file: the hint follows the day (ShowHolidayHint) or keeps the file's text.
    void Loaded() override;

  private:
    // The parts of the date the cells are drawn from, decoded once per paint.
    struct TPaintDate {
        int Y = 0, M = 0, Sel = 0; // the selected date
        bool HasToday = false;     // the clock gives a date in the years 1..9999
        int TY = 0, TM = 0, TD = 0;
    };
    TPaintDate PaintDate() const;
    std::string CellText(int ACol, int ARow, int Y, int M) const;
    // Sizes column 0 / row 0 and the default sizes from the client area.
    void FitCells();
    // Loads the eight built-in holidays in the current language (table and captions).
    void LoadBuiltInHolidays();
    // Re-encodes the date from parts (EConvertError when they make no date), updates, fires.
    void SetParts(int Y, int M, int D);
    // Sets the date when it lies in 0001-01-01 .. 9999-12-31; false (and nothing) otherwise.
    bool TrySetDate(TDateTime Value);
    // Day shown in cell (c, r), c >= 1, r >= 2 (may lie outside 1..days).
    int CellDay(int ACol, int ARow) const { return 7 * ARow + ACol + FMonOfs - 15; }
    void DrawButtonFrame(TCanvas& C, const TRect& R) const;

    TDateTime FDate = 0;
    int FMonOfs = 0;
    TDayOfWeek F1stDayWeek = dwMon;
    bool FAutoSwitch = true;
    TDayColors FDayColors{0xF8F8F8, 0xF8F8F8, 0xF8F8F8, 0xF8F8F8, 0xF8F8F8, 0xBBDDEE, 0xCCEEFF};
    TColor FColorActMon = clBlack, FColorInactMon = clSilver;
    TColor FColorWknBg = clSilver, FColorWknFg = clBlack;
    TColor FColorDayIdBg = clSilver, FColorDayIdFg = clBlack;
    TColor FColorSelBg = 0xD0A040, FColorSelFg = clWhite;
    TColor FColorHdayBg = 0x9BD8F1, FColorHdayFg = 0x0000C0;
    TColor FColorToday = clRed;
    bool FShowHDayHint = true;
    std::string FCaptionHint; // the holiday caption UpdateCal last put into Hint
    bool FIndicateHolid = true;
    bool FShowMovHdays = true;
    bool FMarkToday = true;
    bool FMonthShort = true;
    TLanguage FLanguage = lgEnglish;
    TIntMatrix FHDayList{3, 0};
    TStringList FHDayCaptions;
    TNotifyEvent FOnChange;
    std::optional<TPaintDate> FPainting; // set while Paint runs
};

} // namespace kel
