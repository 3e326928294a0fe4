// Date and time routines: day numbers of the proleptic Gregorian calendar, millisecond-exact
// decoding, ISO weeks, the replaceable date clock and FormatDateTime's specifier parser.
#include "kel_dateutils.h"

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <mutex>

namespace kel {

namespace {

constexpr std::int64_t kMsPerDay = 86400000;
constexpr int kMonthDays[2][12] = {{31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31},
                                   {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31}};
// Day number of 0001-01-01, and the last valid day (9999-12-31).
constexpr std::int64_t kFirstDay = -693593, kLastDay = 2958465;

std::int64_t DayNumber(int y, int m, int d) {
    const std::int64_t py = y - 1;
    std::int64_t doy = d;
    for (int i = 0; i < m - 1; ++i) doy += kMonthDays[IsLeapYear(y)][i];
    return 365 * py + py / 4 - py / 100 + py / 400 + doy - 693594;
}

// A value split into day number and millisecond of the day, rounded to the millisecond first.
struct Split {
    std::int64_t day;
    std::int64_t ms;
};

Split SplitValue(TDateTime v) {
    if (!(v > double(kFirstDay - 1) && v < double(kLastDay + 1))) {
        char buf[64];
        std::snprintf(buf, sizeof buf, "%.17g", v);
        throw EConvertError(std::string("Invalid date-time value ") + buf +
                            " (outside 0001-01-01 .. 9999-12-31)");
    }
    const std::int64_t ms = std::llround(v * double(kMsPerDay));
    Split s{ms / kMsPerDay, ms % kMsPerDay};
    if (s.ms < 0) s.ms = -s.ms;
    if (s.day < kFirstDay || s.day > kLastDay)
        throw EConvertError("Invalid date-time value (outside 0001-01-01 .. 9999-12-31)");
    return s;
}

// Civil date of a day number (the inverse of DayNumber); dayOfYear is 1-based.
void CivilFromDay(std::int64_t day, int& y, int& m, int& d, int& dayOfYear) {
    std::int64_t n = day - kFirstDay; // days since 0001-01-01
    std::int64_t y400 = n / 146097, r = n % 146097;
    if (r < 0) { // before year 1: keep the arithmetic total for WeekOfTheYear's Thursday
        r += 146097;
        --y400;
    }
    std::int64_t y100 = r / 36524;
    if (y100 == 4) y100 = 3;
    r -= y100 * 36524;
    const std::int64_t y4 = r / 1461;
    r -= y4 * 1461;
    std::int64_t y1 = r / 365;
    if (y1 == 4) y1 = 3;
    r -= y1 * 365;
    y = int(y400 * 400 + y100 * 100 + y4 * 4 + y1 + 1);
    dayOfYear = int(r) + 1;
    const int* md = kMonthDays[IsLeapYear(y)];
    m = 0;
    while (r >= md[m]) r -= md[m++];
    ++m;
    d = int(r) + 1;
}

int DayOfTheWeekOfDay(std::int64_t n) { return int(((n + 5) % 7 + 7) % 7) + 1; }

std::mutex gClockMutex;
std::function<TDateTime()> gClock;
int gTwoDigitWindow = 50;

TDateTime SystemNow() {
    using namespace std::chrono;
    const auto now = system_clock::now();
    const std::time_t t = system_clock::to_time_t(now);
    const int ms = int(duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000);
    std::tm tm{};
    localtime_r(&t, &tm);
    return EncodeDate(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday) +
           EncodeTime(tm.tm_hour, tm.tm_min, tm.tm_sec < 60 ? tm.tm_sec : 59, ms < 0 ? 0 : ms);
}

} // namespace

bool IsLeapYear(int Y) { return Y % 4 == 0 && (Y % 100 != 0 || Y % 400 == 0); }

int DaysInAMonth(int Y, int M) {
    if (M < 1 || M > 12) throw EConvertError("Invalid month " + std::to_string(M));
    return kMonthDays[IsLeapYear(Y)][M - 1];
}

int DaysInAYear(int Y) { return IsLeapYear(Y) ? 366 : 365; }

bool TryEncodeDate(int Y, int M, int D, TDateTime& Result) {
    if (Y < 1 || Y > 9999 || M < 1 || M > 12 || D < 1 || D > kMonthDays[IsLeapYear(Y)][M - 1])
        return false;
    Result = double(DayNumber(Y, M, D));
    return true;
}

TDateTime EncodeDate(int Y, int M, int D) {
    TDateTime r;
    if (!TryEncodeDate(Y, M, D, r)) throw EConvertError("Invalid argument to date encode");
    return r;
}

bool TryEncodeTime(int H, int N, int S, int MS, TDateTime& Result) {
    if (H < 0 || H > 23 || N < 0 || N > 59 || S < 0 || S > 59 || MS < 0 || MS > 999) return false;
    Result = double(std::int64_t(H) * 3600000 + N * 60000 + S * 1000 + MS) / double(kMsPerDay);
    return true;
}

TDateTime EncodeTime(int H, int N, int S, int MS) {
    TDateTime r;
    if (!TryEncodeTime(H, N, S, MS, r)) throw EConvertError("Invalid argument to time encode");
    return r;
}

void DecodeDate(TDateTime D, int& Y, int& M, int& Day) {
    int doy;
    CivilFromDay(SplitValue(D).day, Y, M, Day, doy);
}

void DecodeTime(TDateTime D, int& H, int& N, int& S, int& MS) {
    std::int64_t ms = SplitValue(D).ms;
    H = int(ms / 3600000);
    N = int(ms / 60000 % 60);
    S = int(ms / 1000 % 60);
    MS = int(ms % 1000);
}

void DecodeDateTime(TDateTime D, int& Y, int& M, int& Day, int& H, int& N, int& S, int& MS) {
    DecodeDate(D, Y, M, Day);
    DecodeTime(D, H, N, S, MS);
}

int DayOfTheWeek(TDateTime D) { return DayOfTheWeekOfDay(SplitValue(D).day); }

int DayOfWeek(TDateTime D) { return int(((SplitValue(D).day + 6) % 7 + 7) % 7) + 1; }

int WeekOfTheYear(TDateTime D, int& AYear) {
    const std::int64_t n = SplitValue(D).day;
    const std::int64_t thursday = n - DayOfTheWeekOfDay(n) + 4; // the Thursday of n's week
    int m, d, doy;
    CivilFromDay(thursday, AYear, m, d, doy);
    return (doy - 1) / 7 + 1;
}

int WeekOfTheYear(TDateTime D) {
    int year;
    return WeekOfTheYear(D, year);
}

void SetDateClock(std::function<TDateTime()> clock) {
    std::lock_guard<std::mutex> lock(gClockMutex);
    gClock = std::move(clock);
}

TDateTime Now() {
    std::function<TDateTime()> clock;
    {
        std::lock_guard<std::mutex> lock(gClockMutex);
        clock = gClock;
    }
    return clock ? clock() : SystemNow();
}

TDateTime Date() { return double(SplitValue(Now()).day); }

int CurrentYear() {
    int y, m, d;
    DecodeDate(Now(), y, m, d);
    return y;
}

int TwoDigitYearCenturyWindow() { return gTwoDigitWindow; }

void SetTwoDigitYearCenturyWindow(int window) { gTwoDigitWindow = window < 0 ? 0 : window; }

int ExpandTwoDigitYear(int yy, int currentYear, int window) {
    const int pivot = currentYear - window;
    int y = pivot / 100 * 100 + yy;
    if (window != 0 && y < pivot) y += 100;
    return y;
}

int ExpandTwoDigitYear(int yy) { return ExpandTwoDigitYear(yy, CurrentYear(), gTwoDigitWindow); }

// ---- FormatDateTime --------------------------------------------------------------------------

namespace {

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }

bool StartsWithNoCase(std::string_view s, std::size_t i, std::string_view what) {
    if (s.size() - i < what.size()) return false;
    for (std::size_t k = 0; k < what.size(); ++k)
        if (Lower(s[i + k]) != what[k]) return false;
    return true;
}

// True when an am/pm, a/p or ampm specifier occurs at or after i (quoted text skipped): the
// hours before it are then on the 12-hour clock.
bool AmPmFollows(std::string_view f, std::size_t i) {
    while (i < f.size()) {
        const char c = f[i];
        if (c == '\'' || c == '"') {
            const std::size_t close = f.find(c, i + 1);
            if (close == std::string_view::npos) return false;
            i = close + 1;
            continue;
        }
        if (Lower(c) == 'a' && (StartsWithNoCase(f, i, "am/pm") || StartsWithNoCase(f, i, "a/p") ||
                                StartsWithNoCase(f, i, "ampm")))
            return true;
        ++i;
    }
    return false;
}

void Num(std::string& out, long long v, int width) {
    char buf[24];
    std::snprintf(buf, sizeof buf, "%0*lld", width, v);
    out += buf;
}

struct Parts {
    std::int64_t day;
    int y, m, d, hour, min, sec, ms;
};

void FormatInto(std::string& out, std::string_view f, const Parts& p, int depth) {
    char last = 0; // the last letter specifier, for the h-then-m minutes rule
    std::size_t i = 0;
    while (i < f.size()) {
        const char c = f[i];
        const char lc = Lower(c);
        std::size_t run = 1;
        if (lc >= 'a' && lc <= 'z')
            while (i + run < f.size() && Lower(f[i + run]) == lc) ++run;
        switch (lc) {
        case '\'':
        case '"': {
            std::size_t close = f.find(c, i + 1);
            if (close == std::string_view::npos) close = f.size();
            out.append(f.substr(i + 1, close - i - 1));
            i = close + 1;
            continue;
        }
        case '/':
            out += DateSeparator;
            break;
        case ':':
            out += TimeSeparator;
            break;
        case 'c':
            run = 1;
            if (depth < 2) {
                FormatInto(out, ShortDateFormat, p, depth + 1);
                if (p.hour != 0 || p.min != 0 || p.sec != 0 || p.ms != 0) {
                    out += ' ';
                    FormatInto(out, LongTimeFormat, p, depth + 1);
                }
            }
            break;
        case 'd':
            if (run > 6) run = 6;
            if (run == 1)
                Num(out, p.d, 1);
            else if (run == 2)
                Num(out, p.d, 2);
            else if (run == 3 || run == 4) {
                const int dow = int(((p.day + 6) % 7 + 7) % 7);
                out.append(run == 3 ? ShortDayNames[dow] : LongDayNames[dow]);
            } else if (depth < 2) {
                FormatInto(out, run == 5 ? ShortDateFormat : LongDateFormat, p, depth + 1);
            }
            break;
        case 'm':
            if (last == 'h' && run <= 2)
                Num(out, p.min, int(run));
            else if (run <= 2)
                Num(out, p.m, int(run));
            else
                out.append(run == 3 ? ShortMonthNames[p.m - 1] : LongMonthNames[p.m - 1]);
            break;
        case 'y':
            if (run <= 2)
                Num(out, p.y % 100, 2);
            else
                Num(out, p.y, 4);
            break;
        case 'h': {
            int h = p.hour;
            if (AmPmFollows(f, i + run)) {
                h %= 12;
                if (h == 0) h = 12;
            }
            Num(out, h, run >= 2 ? 2 : 1);
            break;
        }
        case 'n':
            Num(out, p.min, run >= 2 ? 2 : 1);
            break;
        case 's':
            Num(out, p.sec, run >= 2 ? 2 : 1);
            break;
        case 'z':
            Num(out, p.ms, run >= 2 ? 3 : 1);
            break;
        case 't':
            if (depth < 2)
                FormatInto(out, run >= 2 ? LongTimeFormat : ShortTimeFormat, p, depth + 1);
            break;
        case 'a': {
            const bool pm = p.hour >= 12;
            if (StartsWithNoCase(f, i, "am/pm")) {
                // Copy the letter case of the half that applies: "AM/PM" gives "PM", "am/pm" "pm".
                out.append(f.substr(pm ? i + 3 : i, 2));
                run = 5;
            } else if (StartsWithNoCase(f, i, "a/p")) {
                out += f[pm ? i + 2 : i];
                run = 3;
            } else if (StartsWithNoCase(f, i, "ampm")) {
                out.append(pm ? TimePMString : TimeAMString);
                run = 4;
            } else {
                out.append(f.substr(i, run)); // a plain letter
                i += run;
                continue;
            }
            break;
        }
        default:
            out.append(f.substr(i, run)); // anything else is copied
            i += run;
            continue;
        }
        if (lc >= 'a' && lc <= 'z') last = lc;
        i += run;
    }
}

} // namespace

std::string FormatDateTime(std::string_view Format, TDateTime D) {
    const Split s = SplitValue(D);
    Parts p{};
    int doy;
    p.day = s.day;
    CivilFromDay(s.day, p.y, p.m, p.d, doy);
    p.hour = int(s.ms / 3600000);
    p.min = int(s.ms / 60000 % 60);
    p.sec = int(s.ms / 1000 % 60);
    p.ms = int(s.ms % 1000);
    std::string out;
    FormatInto(out, Format.empty() ? std::string_view("c") : Format, p, 0);
    return out;
}

} // namespace kel
