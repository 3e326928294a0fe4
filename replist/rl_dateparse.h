// Reading a date and time back from text with a date-time pattern, the way the row editor of
// the report list turns a date cell into a picker value. The pattern letters are those of a
// date-time picker (H, M, d, h, m, s, t, y); names of months and weekdays come from the base
// library's language tables.
#pragma once

#include "Kel_kelbase.h"
#include "kel_dateutils.h"

#include <string_view>

namespace kel {

// Results of ParseDateTime.
constexpr int dpOK = 0;
constexpr int dpLiteralMismatch = -1; // a literal of the pattern does not stand in the text
constexpr int dpBadRunLength = -2;    // a run of a pattern letter has no meaning (yyy, MMMMM)
constexpr int dpBadValue = -3;        // a number or name in the text does not fit its token

// Reads Text with Pattern, consuming both from the left, token by token:
// - 'text' is a quoted literal ('' inside it stands for one quote; a missing closing quote ends
//   it at the end of the pattern); any other run of characters that are not pattern letters is
//   a literal too. A literal must stand at the start of the rest of Text (else dpLiteralMismatch).
// - yyyy, MM, dd, HH, hh, mm, ss: exactly 4 or 2 digits (fewer characters or a non-digit give
//   dpBadValue). yy: one or two digits, the digits read are consumed, the year is completed with
//   the runtime's TwoDigitYearCenturyWindow (ExpandTwoDigitYear).
// - M, d, H, h, m, s: a number of any length as ScanDecInt reads it (blanks, sign, digits).
// - MMMM / MMM: the long / short month name of Language that begins the text, dddd / ddd: the
//   long / short weekday name (only consumed). Letters A-Z compare without case, other
//   characters exactly; the longest matching name wins; no match gives dpBadValue.
// - h and hh switch to the 12-hour clock; t reads one character (AM when it is "a" or "A"), tt
//   two (AM when they are "am" in any case); no character left gives dpBadValue. Without t or
//   tt the hour counts as AM. AM turns hour 12 into 0, PM adds 12 to the hours 0..11.
// - Any other run length of a pattern letter gives dpBadRunLength.
// Parsing stops at the first error; then Result is 0 and the error code is returned. Text left
// over after the pattern is ignored. Otherwise Result is the date (when year, month or day was
// read, else only the time of day) with the time of day, and dpOK is returned; an impossible
// date or time (month 13, hour 25, a date without year) raises EConvertError from EncodeDate
// or EncodeTime, leaving Result as it was. Dates before 1899-12-30 keep their time of day
// (-1.25 is 1899-12-29 06:00).
// Language is a TLanguage ordinal (0 and 1 English, 2 German, 3 French, 4 Spanish, 5 Italian,
// 6 Dutch); another value raises EKELError.
int ParseDateTime(std::string_view Text, std::string_view Pattern, int Language, TDateTime& Result);

// Long weekday names by TLanguage ordinal, 0 = Monday .. 6 = Sunday (UTF-8), completing the
// base library's short weekday and month tables.
inline constexpr std::string_view WeekDayLong[NumLanguages][7] = {
    {"Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday", "Sunday"},
    {"Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday", "Sunday"},
    {"Montag", "Dienstag", "Mittwoch", "Donnerstag", "Freitag", "Samstag", "Sonntag"},
    {"Lundi", "Mardi", "Mercredi", "Jeudi", "Vendredi", "Samedi", "Dimanche"},
    {"Lunes", "Martes", "Miércoles", "Jueves", "Viernes", "Sábado", "Domingo"},
    {"Lunedì", "Martedì", "Mercoledì", "Giovedì", "Venerdì", "Sabato", "Domenica"},
    {"Maandag", "Dinsdag", "Woensdag", "Donderdag", "Vrijdag", "Zaterdag", "Zondag"},
};

} // namespace kel
