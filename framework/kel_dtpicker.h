// The date-time picker: a box showing DateTime through a picker format whose fields (day,
// month, year, hour, minute, second, AM/PM) the user edits with keys, and, for the date kind,
// a drop-down month calendar on the popup layer (kel_popup.h).
//
// Format letters (empty Format: "M/d/yyyy" for dates, "h:mm:ss tt" for times, the fixed
// locale's): d dd (day), ddd dddd (day name; Up/Down step the day), M MM MMM MMMM (month,
// capital M), y yy yyyy (year), h hh (hour 1..12), H HH (hour 0..23), m mm (minute), s ss
// (second), t tt (A/P, AM/PM), 'literal' text ('' is a quote); other characters are shown as
// they are. Keys: Left/Right (and a typed separator) move among the fields; Up/Down step the
// current field, wrapping within its range (day within the month, month 1..12, hour 0..23,
// minute and second 0..59; the year stops at 1 and 9999; a month or year change clamps the
// day); digits type the field's value (a second digit completes a two-digit value; the year
// takes up to four digits and is applied when four are typed or the field is left, one or two
// digits through the two-digit-year window); A or P sets the half of the day. Alt+Down or F4
// opens the calendar (date kind); in it arrows move the day, PgUp/PgDn the month, Enter takes
// the day, Escape or a press outside closes it. OnChange fires after every change the user
// makes, never for DateTime set in code.
//
// Index: enumerations; TDateTimePicker; TMonthCalWindow.
#pragma once

#include "kel_controls.h"
#include "kel_dateutils.h"
#include "kel_popup.h"

#include <cstdint>
#include <string>
#include <vector>

namespace kel {

enum TDateTimeKind : std::uint8_t { dtkDate, dtkTime };

// What one piece of a picker format stands for.
enum TDateTimeFieldKind : std::uint8_t {
    dfLiteral,
    dfDay,
    dfDayName,
    dfMonth,
    dfYear,
    dfHour12,
    dfHour24,
    dfMinute,
    dfSecond,
    dfAmPm
};
struct TDateTimeField {
    TDateTimeFieldKind Kind = dfLiteral;
    int Letters = 0;  // how many pattern letters (dd = 2)
    std::string Text; // the literal text
};
// Splits a picker format into its fields and literals.
std::vector<TDateTimeField> ParsePickerFormat(const std::string& Format);
// Text of one field (or literal) for the value D.
std::string PickerFieldText(const TDateTimeField& Field, TDateTime D);
// The whole text of D in Format.
std::string FormatPickerText(const std::string& Format, TDateTime D);

class TMonthCalWindow;

class TDateTimePicker : public TCustomControl {
  public:
    explicit TDateTimePicker(TComponent* AOwner);
    ~TDateTimePicker() override;
    std::string ClassName() const override { return "TDateTimePicker"; }

    TDateTimeKind Kind() const { return FKind; } // default dtkDate
    void SetKind(TDateTimeKind Value);
    // Days since 1899-12-30 plus the time of day (initially now). Setting it fires nothing.
    TDateTime DateTime() const { return FDateTime; }
    void SetDateTime(TDateTime Value);
    // Whether DateTime was set (by code or the user) since the picker was made; form files
    // store it only then (a fresh picker shows the time it was made).
    bool DateTimeSet() const { return FDateTimeSet; }
    // The date part (whole days) and the time part (the fraction); setting one keeps the other.
    TDateTime Date() const;
    void SetDate(TDateTime Value);
    TDateTime Time() const;
    void SetTime(TDateTime Value);
    // The picker format; empty = the locale's short date or time format.
    const std::string& Format() const { return FFormat; }
    void SetFormat(const std::string& Value);
    // The format in use (Format, or the default of the kind).
    std::string EffectiveFormat() const;
    // The text the box shows.
    std::string DisplayText() const { return FormatPickerText(EffectiveFormat(), FDateTime); }

    // --- fields (for the keys, the mouse and tests) ---
    int FieldCount() const; // editable fields
    // The current field: index among the editable fields (0-based).
    int CurrentField() const { return FField; }
    void SetCurrentField(int Value);
    TDateTimeFieldKind CurrentFieldKind() const;

    // --- the calendar (date kind) ---
    bool DroppedDown() const { return FDropped; }
    void SetDroppedDown(bool Value);
    TMonthCalWindow* CalendarWindow() const { return FDropped ? FCalendar : nullptr; }

    TNotifyEvent OnChange() const { return FOnChange; }
    void SetOnChange(TNotifyEvent e) { FOnChange = std::move(e); }
    TNotifyEvent OnDropDown() const { return FOnDropDown; }
    void SetOnDropDown(TNotifyEvent e) { FOnDropDown = std::move(e); }
    TNotifyEvent OnCloseUp() const { return FOnCloseUp; }
    void SetOnCloseUp(TNotifyEvent e) { FOnCloseUp = std::move(e); }

    // The button (drop-down for dates, up/down for times), client coordinates.
    TRect ButtonRect() const;

  protected:
    virtual void Change();
    void Paint() override;
    void KeyDown(std::uint16_t& Key, TShiftState Shift) override;
    void KeyPress(char32_t& Key) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void WMGetDlgCode(TMessage& Message) override;
    void WMSetFocus(TMessage& Message) override;
    void WMKillFocus(TMessage& Message) override;

  private:
    friend class TMonthCalWindow;
    // Index into the parsed format of editable field Index.
    int FieldPiece(int Index) const;
    void StepField(int Delta);
    void TypeDigit(int Digit);
    void CommitDigits();
    // A change the user made: stores, repaints, fires OnChange when the value differs.
    void UserSet(TDateTime Value);
    void CloseCalendar(bool Accept);
    // The field pieces with their pixel extents (for painting and clicks).
    struct TPieceBox {
        int Piece;
        int Left, Right;
    };
    std::vector<TPieceBox> Layout();

    TDateTimeKind FKind = dtkDate;
    TDateTime FDateTime = 0;
    bool FDateTimeSet = false;
    std::string FFormat;
    std::vector<TDateTimeField> FPieces; // the parsed effective format
    int FField = 0;
    std::string FDigits; // digits typed into the current field so far
    bool FFocused = false;
    bool FDropped = false;
    char32_t FSwallowChar = 0;
    TMonthCalWindow* FCalendar = nullptr;
    TNotifyEvent FOnChange, FOnDropDown, FOnCloseUp;
};

// The drop-down month calendar: a title with the month and arrows to page, the week-day
// names, six weeks of days (the chosen one highlighted, today framed) and a "Today" line.
class TMonthCalWindow : public TPopupWindow {
  public:
    explicit TMonthCalWindow(TDateTimePicker* Picker);
    std::string ClassName() const override { return "TMonthCalWindow"; }
    // The month shown and the highlighted date.
    int ViewYear() const { return FYear; }
    int ViewMonth() const { return FMonth; }
    TDateTime Selected() const { return FSelected; }
    void SetSelected(TDateTime Value); // shows its month
    void ShowMonth(int Year, int Month);
    // The client rectangle of a date's cell (empty when not shown), and the date at a point
    // (-1 when none).
    TRect DayRect(TDateTime D) const;
    TDateTime DateAt(int X, int Y) const;
    TRect PrevRect() const;
    TRect NextRect() const;
    TRect TodayRect() const;

  protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;

  private:
    TDateTime FirstShown() const;
    TDateTimePicker* FPicker;
    int FYear = 2000, FMonth = 1;
    TDateTime FSelected = 0;
};

} // namespace kel
