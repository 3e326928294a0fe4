// The date pattern parser of the report list (see rl_dateparse.h): a single left-to-right pass
// over the pattern that consumes the text token by token and composes the date at the end.
#include "rl_dateparse.h"

#include "Kel_error.h"
#include "numtext.h"

#include <string>

namespace kel {

namespace {

bool IsPatternLetter(char c) {
    switch (c) {
    case 'H':
    case 'M':
    case 'd':
    case 'h':
    case 'm':
    case 's':
    case 't':
    case 'y':
        return true;
    default:
        return false;
    }
}

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool StartsWithNoCase(std::string_view s, std::string_view what) {
    if (what.empty() || s.size() < what.size()) return false;
    for (std::size_t k = 0; k < what.size(); ++k)
        if (Lower(s[k]) != Lower(what[k])) return false;
    return true;
}

// The state of one parse: the text with the read position and the fields read so far.
struct TParse {
    std::string Text; // a copy, for ScanDecInt
    std::size_t Pos = 0;
    int Language = 1;
    int Year = 0, Month = 0, Day = 0, Hour = 0, Minute = 0, Second = 0;
    bool TwelveHour = false, PM = false;

    std::string_view Rest() const { return std::string_view(Text).substr(Pos); }

    bool Literal(std::string_view lit) {
        if (!Rest().starts_with(lit)) return false;
        Pos += lit.size();
        return true;
    }

    // Exactly Width digits.
    int Fixed(std::size_t Width, int& Value) {
        const std::string_view r = Rest();
        if (r.size() < Width) return dpBadValue;
        Value = 0;
        for (std::size_t k = 0; k < Width; ++k) {
            if (!IsDigit(r[k])) return dpBadValue;
            Value = Value * 10 + (r[k] - '0');
        }
        Pos += Width;
        return dpOK;
    }

    // A number of any length, read as the numeric scanner reads it.
    int Free(int& Value) {
        int p = static_cast<int>(Pos) + 1;
        Value = ScanDecInt(Text, p);
        if (p - 1 > static_cast<int>(Pos)) Pos = static_cast<std::size_t>(p - 1);
        return dpOK;
    }

    // The index of the longest name of Names[First..Last] that begins the text, -1 for none;
    // the name is consumed.
    template <typename Table>
    int Name(const Table& Names, int First, int Last) {
        int best = -1;
        std::size_t bestLen = 0;
        for (int i = First; i <= Last; ++i) {
            const std::string_view n = Names[i];
            if (n.size() > bestLen && StartsWithNoCase(Rest(), n)) {
                best = i;
                bestLen = n.size();
            }
        }
        Pos += bestLen;
        return best;
    }

    int Token(char Letter, std::size_t Run) {
        switch (Letter) {
        case 'y':
            if (Run == 4) return Fixed(4, Year);
            if (Run == 2) {
                // One or two digits, as many as convert; at least one.
                const std::string_view r = Rest();
                int v = 0;
                std::size_t n = 0;
                while (n < 2 && n < r.size() && IsDigit(r[n])) v = v * 10 + (r[n++] - '0');
                if (n == 0) return dpBadValue;
                Pos += n;
                Year = ExpandTwoDigitYear(v);
                return dpOK;
            }
            return dpBadRunLength;
        case 'M':
            if (Run == 4 || Run == 3) {
                const auto& names = Run == 4 ? MonthLong[Language] : MonthShort[Language];
                const int m = Name(names, 1, 12);
                if (m < 0) return dpBadValue;
                Month = m;
                return dpOK;
            }
            if (Run == 2) return Fixed(2, Month);
            if (Run == 1) return Free(Month);
            return dpBadRunLength;
        case 'd':
            if (Run == 4) return Name(WeekDayLong[Language], 0, 6) < 0 ? dpBadValue : dpOK;
            if (Run == 3) return Name(WeekDayShort[Language], 0, 6) < 0 ? dpBadValue : dpOK;
            if (Run == 2) return Fixed(2, Day);
            if (Run == 1) return Free(Day);
            return dpBadRunLength;
        case 'H':
        case 'h':
            if (Run > 2) return dpBadRunLength;
            if (Letter == 'h') TwelveHour = true;
            return Run == 2 ? Fixed(2, Hour) : Free(Hour);
        case 'm':
        case 's': {
            int& field = Letter == 'm' ? Minute : Second;
            if (Run == 2) return Fixed(2, field);
            if (Run == 1) return Free(field);
            return dpBadRunLength;
        }
        case 't': {
            if (Run > 2) return dpBadRunLength;
            const std::string_view r = Rest();
            if (r.size() < Run) return dpBadValue;
            PM = Run == 1 ? Lower(r[0]) != 'a' : !StartsWithNoCase(r, "am");
            Pos += Run;
            return dpOK;
        }
        default:
            return dpBadRunLength; // not reached: only pattern letters come here
        }
    }
};

} // namespace

int ParseDateTime(std::string_view Text, std::string_view Pattern, int Language,
                  TDateTime& Result) {
    if (Language < 0 || Language >= NumLanguages)
        throw EKELError("ParseDateTime: language index " + std::to_string(Language) +
                        " is not in 0.." + std::to_string(NumLanguages - 1));
    TParse s;
    s.Text = std::string(Text);
    s.Language = Language;
    std::size_t p = 0;
    int code = dpOK;
    // Every pass takes at least one character of the pattern, so the loop ends.
    while (p < Pattern.size() && code == dpOK) {
        const char c = Pattern[p];
        if (c == '\'') {
            std::string lit;
            for (++p; p < Pattern.size(); ++p) {
                if (Pattern[p] != '\'') {
                    lit += Pattern[p];
                } else if (p + 1 < Pattern.size() && Pattern[p + 1] == '\'') {
                    lit += '\'';
                    ++p;
                } else {
                    ++p;
                    break;
                }
            }
            if (!s.Literal(lit)) code = dpLiteralMismatch;
        } else if (IsPatternLetter(c)) {
            std::size_t run = 1;
            while (p + run < Pattern.size() && Pattern[p + run] == c) ++run;
            p += run;
            code = s.Token(c, run);
        } else {
            const std::size_t start = p;
            while (p < Pattern.size() && Pattern[p] != '\'' && !IsPatternLetter(Pattern[p])) ++p;
            if (!s.Literal(Pattern.substr(start, p - start))) code = dpLiteralMismatch;
        }
    }
    if (code != dpOK) {
        Result = 0;
        return code;
    }
    if (s.TwelveHour) {
        if (!s.PM && s.Hour == 12) s.Hour = 0;
        // Only hours that can become a valid afternoon hour; others stay invalid for EncodeTime.
        else if (s.PM && s.Hour != 12 && s.Hour >= 0 && s.Hour <= 23)
            s.Hour += 12;
    }
    if (s.Year == 0 && s.Month == 0 && s.Day == 0) {
        Result = EncodeTime(s.Hour, s.Minute, s.Second, 0);
    } else {
        const TDateTime date = EncodeDate(s.Year, s.Month, s.Day);
        const TDateTime time = EncodeTime(s.Hour, s.Minute, s.Second, 0);
        // Before day 0 the time of day counts away from zero (-1.25 is 1899-12-29 06:00).
        Result = date < 0 ? date - time : date + time;
    }
    return dpOK;
}

} // namespace kel
