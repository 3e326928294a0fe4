// Date and time routines of the runtime: TDateTime values (days since 1899-12-30, the time of
// day as the fraction), encoding and decoding with range checks, calendar helpers, ISO weeks,
// the current date from a replaceable clock, FormatDateTime and the two-digit-year window.
//
// The locale is fixed to an English-US table (see the constants below) so that formatted
// dates are the same on every machine.
#pragma once

#include "kel_classes.h"

#include <functional>
#include <string>
#include <string_view>

namespace kel {

// Days since 1899-12-30 00:00; the fraction is the time of day. For negative values the
// integral part is the day and the fraction, taken without its sign, the time of day
// (-1.25 is 1899-12-29 06:00).
using TDateTime = double;

constexpr TDateTime MinDateTime = -693593.0;        // 0001-01-01
constexpr TDateTime MaxDateTime = 2958465.99999999; // 9999-12-31 23:59:59.999
constexpr int DayMonday = 1, DayTuesday = 2, DayWednesday = 3, DayThursday = 4, DayFriday = 5,
              DaySaturday = 6, DaySunday = 7;
constexpr double HoursPerDay = 24, MinsPerDay = 1440, SecsPerDay = 86400, MSecsPerDay = 86400000;

// The fixed locale.
inline constexpr std::string_view ShortMonthNames[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
inline constexpr std::string_view LongMonthNames[12] = {
    "January", "February", "March",     "April",   "May",      "June",
    "July",    "August",   "September", "October", "November", "December"};
// Indexed by DayOfWeek - 1: Sunday first.
inline constexpr std::string_view ShortDayNames[7] = {"Sun", "Mon", "Tue", "Wed",
                                                      "Thu", "Fri", "Sat"};
inline constexpr std::string_view LongDayNames[7] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                                     "Thursday", "Friday", "Saturday"};
inline constexpr std::string_view ShortDateFormat = "M/d/yyyy";
inline constexpr std::string_view LongDateFormat = "dddd, MMMM d, yyyy";
inline constexpr std::string_view ShortTimeFormat = "h:mm AMPM";
inline constexpr std::string_view LongTimeFormat = "h:mm:ss AMPM";
inline constexpr std::string_view TimeAMString = "AM";
inline constexpr std::string_view TimePMString = "PM";
constexpr char DateSeparator = '/', TimeSeparator = ':';

// Y 1..9999, M 1..12, D within the month; otherwise EConvertError
// "Invalid argument to date encode".
TDateTime EncodeDate(int Y, int M, int D);
bool TryEncodeDate(int Y, int M, int D, TDateTime& Result);
// H 0..23, N 0..59, S 0..59, MS 0..999; otherwise EConvertError
// "Invalid argument to time encode".
TDateTime EncodeTime(int H, int N, int S, int MS);
bool TryEncodeTime(int H, int N, int S, int MS, TDateTime& Result);
// Inverses, after rounding to the millisecond (so 0.99999999999 is the next day at 00:00).
// A value outside 0001-01-01 .. 9999-12-31 (or not a number) raises EConvertError.
void DecodeDate(TDateTime D, int& Y, int& M, int& Day);
void DecodeTime(TDateTime D, int& H, int& N, int& S, int& MS);
void DecodeDateTime(TDateTime D, int& Y, int& M, int& Day, int& H, int& N, int& S, int& MS);

bool IsLeapYear(int Y);
// 28..31; a month outside 1..12 raises EConvertError.
int DaysInAMonth(int Y, int M);
int DaysInAYear(int Y);
// 1 = Monday .. 7 = Sunday (ISO 8601).
int DayOfTheWeek(TDateTime D);
// 1 = Sunday .. 7 = Saturday.
int DayOfWeek(TDateTime D);
// ISO 8601 week number 1..53; the two-argument form also gives the year the week belongs to
// (2005-01-01 is week 53 of 2004).
int WeekOfTheYear(TDateTime D);
int WeekOfTheYear(TDateTime D, int& AYear);
inline int WeekOf(TDateTime D) { return WeekOfTheYear(D); }

// The current local date and time, millisecond resolution, from the date clock.
TDateTime Now();
TDateTime Date(); // Now without the time
int CurrentYear();
// Replaces the clock Now reads (the application installs its own; tests a fixed one). An
// empty function restores the system's local time.
void SetDateClock(std::function<TDateTime()> clock);

// Formats D with the specifiers d dd ddd dddd ddddd dddddd, m mm mmm mmmm (minutes right after
// h/hh), yy yyyy, h hh, n nn, s ss, z zzz, t tt, c, am/pm, a/p, ampm, / and :, 'quoted' and
// "quoted" text; letters are case-insensitive, other characters are copied. An empty format is
// "c".
std::string FormatDateTime(std::string_view Format, TDateTime D);

// Two-digit years in text become years in [CurrentYear - window, CurrentYear - window + 99];
// window 0 keeps the current century. Default 50.
int TwoDigitYearCenturyWindow();
void SetTwoDigitYearCenturyWindow(int window);
// The year meant by a one- or two-digit year yy: (currentYear - window) div 100 * 100 + yy,
// plus 100 when window is not 0 and that lies below currentYear - window. The caller decides
// which text counts as a two-digit year; the rule is applied to any yy it passes.
int ExpandTwoDigitYear(int yy, int currentYear, int window);
int ExpandTwoDigitYear(int yy);

} // namespace kel
