// The date-time picker (see kel_dtpicker.h): the picker format, field stepping and typing, the
// box's painting, and the drop-down month calendar.
//
// Index: format; TDateTimePicker (properties, fields, keys, mouse, painting); TMonthCalWindow;
// published properties.
#include "kel_dtpicker.h"

#include "kel_props.h"

#include <algorithm>
#include <cmath>

namespace kel {

namespace {

constexpr int kButtonWidth = 17;
constexpr std::string_view kDefaultTimeFormat = "h:mm:ss tt";

void Fill(TCanvas& C, const TRect& R, TColor Color) {
    C.Brush().SetStyle(bsSolid);
    C.Brush().SetColor(Color);
    C.FillRect(R);
}

std::string Pad(int v, int width) {
    const std::string s = std::to_string(v);
    return int(s.size()) >= width ? s : std::string(std::size_t(width) - s.size(), '0') + s;
}

bool Editable(TDateTimeFieldKind k) { return k != dfLiteral; }

// Splits a value into its parts and puts it back together (day clamped to the month).
struct TParts {
    int Y, M, D, H, N, S, MS;
    explicit TParts(TDateTime V) { DecodeDateTime(V, Y, M, D, H, N, S, MS); }
    TDateTime Encode() const {
        const int d = std::min(D, DaysInAMonth(Y, M));
        return EncodeDate(Y, M, d) + (EncodeDate(Y, M, d) < 0 ? -1 : 1) * EncodeTime(H, N, S, MS);
    }
};

int Wrap(int v, int lo, int hi) {
    const int n = hi - lo + 1;
    return lo + (((v - lo) % n) + n) % n;
}

} // namespace

// ---- Format -----------------------------------------------------------------------------------

std::vector<TDateTimeField> ParsePickerFormat(const std::string& Format) {
    std::vector<TDateTimeField> out;
    auto literal = [&out](const std::string& t) {
        if (!out.empty() && out.back().Kind == dfLiteral)
            out.back().Text += t;
        else
            out.push_back({dfLiteral, 0, t});
    };
    std::size_t i = 0;
    while (i < Format.size()) {
        const char c = Format[i];
        if (c == '\'') {
            // Quoted text; '' inside (or alone) is one quote.
            std::string t;
            ++i;
            while (i < Format.size()) {
                if (Format[i] == '\'') {
                    if (i + 1 < Format.size() && Format[i + 1] == '\'') {
                        t += '\'';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                t += Format[i++];
            }
            literal(t.empty() ? std::string("'") : t);
            continue;
        }
        std::size_t j = i;
        while (j < Format.size() && Format[j] == c) ++j;
        const int n = int(j - i);
        TDateTimeFieldKind k = dfLiteral;
        switch (c) {
        case 'd':
            k = n >= 3 ? dfDayName : dfDay;
            break;
        case 'M':
            k = dfMonth;
            break;
        case 'y':
            k = dfYear;
            break;
        case 'h':
            k = dfHour12;
            break;
        case 'H':
            k = dfHour24;
            break;
        case 'm':
            k = dfMinute;
            break;
        case 's':
            k = dfSecond;
            break;
        case 't':
            k = dfAmPm;
            break;
        default:
            break;
        }
        if (k == dfLiteral)
            literal(Format.substr(i, std::size_t(n)));
        else
            out.push_back({k, n, {}});
        i = j;
    }
    return out;
}

std::string PickerFieldText(const TDateTimeField& F, TDateTime D) {
    const TParts p(D);
    const int n = F.Letters;
    switch (F.Kind) {
    case dfLiteral:
        return F.Text;
    case dfDay:
        return Pad(p.D, n >= 2 ? 2 : 1);
    case dfDayName:
        return std::string(n >= 4 ? LongDayNames[DayOfWeek(D) - 1]
                                  : ShortDayNames[DayOfWeek(D) - 1]);
    case dfMonth:
        if (n >= 4) return std::string(LongMonthNames[p.M - 1]);
        if (n == 3) return std::string(ShortMonthNames[p.M - 1]);
        return Pad(p.M, n);
    case dfYear:
        if (n <= 1) return std::to_string(p.Y % 10);
        if (n == 2) return Pad(p.Y % 100, 2);
        return Pad(p.Y, 4);
    case dfHour12:
        return Pad(p.H % 12 == 0 ? 12 : p.H % 12, n >= 2 ? 2 : 1);
    case dfHour24:
        return Pad(p.H, n >= 2 ? 2 : 1);
    case dfMinute:
        return Pad(p.N, n >= 2 ? 2 : 1);
    case dfSecond:
        return Pad(p.S, n >= 2 ? 2 : 1);
    case dfAmPm: {
        const std::string_view s = p.H < 12 ? TimeAMString : TimePMString;
        return n >= 2 ? std::string(s) : std::string(s.substr(0, 1));
    }
    }
    return {};
}

std::string FormatPickerText(const std::string& Format, TDateTime D) {
    std::string s;
    for (const TDateTimeField& f : ParsePickerFormat(Format)) s += PickerFieldText(f, D);
    return s;
}

// ---- TDateTimePicker: properties --------------------------------------------------------------

TDateTimePicker::TDateTimePicker(TComponent* AOwner) : TCustomControl(AOwner) {
    SetTabStop(true);
    SetColor(clWindow);
    SetParentColor(false);
    ExcludeStyle(csSetCaption);
    IncludeStyle(csOpaque);
    FDateTime = Now();
    FPieces = ParsePickerFormat(EffectiveFormat());
    TCanvas& c = ControlCanvas();
    c.Font().Assign(&Font());
    InitBounds(0, 0, 186, c.TextHeight("Wg") + 8);
}

TDateTimePicker::~TDateTimePicker() {
    if (FCalendar != nullptr) {
        // The calendar may be running the handler that deletes this picker (an OnChange of a
        // click on a day): it closes now and goes from the message loop.
        TMonthCalWindow* c = FCalendar;
        FCalendar = nullptr;
        c->SetOnDismiss(nullptr);
        c->ClosePopup();
        RemoveComponent(c);
        Application->PostCall([h = c->Handle()] {
            if (*h != nullptr) delete *h;
        });
    }
}

void TDateTimePicker::SetKind(TDateTimeKind Value) {
    if (Value == FKind) return;
    CloseCalendar(false);
    FKind = Value;
    FPieces = ParsePickerFormat(EffectiveFormat());
    FField = 0;
    FDigits.clear();
    Invalidate();
}

void TDateTimePicker::SetDateTime(TDateTime Value) {
    TParts check(Value); // raises EConvertError for a value outside the calendar, keeping all
    (void)check;
    FDigits.clear();
    FDateTimeSet = true;
    if (Value == FDateTime) return;
    FDateTime = Value;
    Invalidate();
}

TDateTime TDateTimePicker::Date() const { return std::trunc(FDateTime); }
TDateTime TDateTimePicker::Time() const { return std::fabs(FDateTime - std::trunc(FDateTime)); }

void TDateTimePicker::SetDate(TDateTime Value) {
    const TDateTime d = std::trunc(Value);
    SetDateTime(d + (d < 0 ? -Time() : Time()));
}

void TDateTimePicker::SetTime(TDateTime Value) {
    const TDateTime t = std::fabs(Value - std::trunc(Value));
    SetDateTime(Date() + (Date() < 0 ? -t : t));
}

std::string TDateTimePicker::EffectiveFormat() const {
    if (!FFormat.empty()) return FFormat;
    return std::string(FKind == dtkDate ? ShortDateFormat : kDefaultTimeFormat);
}

void TDateTimePicker::SetFormat(const std::string& Value) {
    if (Value == FFormat) return;
    FFormat = Value;
    FPieces = ParsePickerFormat(EffectiveFormat());
    FField = std::clamp(FField, 0, std::max(0, FieldCount() - 1));
    FDigits.clear();
    Invalidate();
}

void TDateTimePicker::Change() {
    if (FOnChange) FOnChange(this);
}

void TDateTimePicker::UserSet(TDateTime Value) {
    FDateTimeSet = true;
    if (Value == FDateTime) {
        Invalidate();
        return;
    }
    FDateTime = Value;
    Invalidate();
    Change();
}

// ---- Fields -----------------------------------------------------------------------------------

int TDateTimePicker::FieldCount() const {
    return int(std::count_if(FPieces.begin(), FPieces.end(),
                             [](const TDateTimeField& f) { return Editable(f.Kind); }));
}

int TDateTimePicker::FieldPiece(int Index) const {
    for (int i = 0, k = 0; i < int(FPieces.size()); ++i)
        if (Editable(FPieces[std::size_t(i)].Kind) && k++ == Index) return i;
    return -1;
}

TDateTimeFieldKind TDateTimePicker::CurrentFieldKind() const {
    const int p = FieldPiece(FField);
    return p < 0 ? dfLiteral : FPieces[std::size_t(p)].Kind;
}

void TDateTimePicker::SetCurrentField(int Value) {
    Value = std::clamp(Value, 0, std::max(0, FieldCount() - 1));
    if (Value == FField) return;
    CommitDigits();
    FField = Value;
    Invalidate();
}

void TDateTimePicker::StepField(int Delta) {
    CommitDigits();
    TParts p(FDateTime);
    switch (CurrentFieldKind()) {
    case dfDay:
    case dfDayName:
        p.D = Wrap(p.D + Delta, 1, DaysInAMonth(p.Y, p.M));
        break;
    case dfMonth:
        p.M = Wrap(p.M + Delta, 1, 12);
        break;
    case dfYear:
        p.Y = std::clamp(p.Y + Delta, 1, 9999);
        break;
    case dfHour12:
    case dfHour24:
        p.H = Wrap(p.H + Delta, 0, 23);
        break;
    case dfMinute:
        p.N = Wrap(p.N + Delta, 0, 59);
        break;
    case dfSecond:
        p.S = Wrap(p.S + Delta, 0, 59);
        break;
    case dfAmPm:
        p.H = (p.H + 12) % 24;
        break;
    case dfLiteral:
        return;
    }
    UserSet(p.Encode());
}

void TDateTimePicker::TypeDigit(int Digit) {
    const TDateTimeFieldKind k = CurrentFieldKind();
    if (k == dfYear) {
        FDigits += char('0' + Digit);
        if (FDigits.size() >= 4)
            CommitDigits();
        else
            Invalidate(); // the typed digits show in the field
        return;
    }
    TParts p(FDateTime);
    int lo = 0, hi = 0;
    switch (k) {
    case dfDay:
        lo = 1;
        hi = DaysInAMonth(p.Y, p.M);
        break;
    case dfMonth:
        lo = 1;
        hi = 12;
        break;
    case dfHour12:
        lo = 1;
        hi = 12;
        break;
    case dfHour24:
        hi = 23;
        break;
    case dfMinute:
    case dfSecond:
        hi = 59;
        break;
    default:
        return; // day names and AM/PM take no digits
    }
    // A second digit completes a two-digit value when that is in range; otherwise the digit
    // starts the value anew.
    int v = Digit;
    if (!FDigits.empty()) {
        const int two = std::stoi(FDigits) * 10 + Digit;
        if (two <= hi) v = two;
    }
    FDigits.clear();
    if (v < 10 && v * 10 <= hi) FDigits.push_back(char('0' + v)); // a second digit may follow
    if (v < lo) {
        Invalidate(); // a leading 0: wait for the second digit
        return;
    }
    switch (k) {
    case dfDay:
        p.D = v;
        break;
    case dfMonth:
        p.M = v;
        break;
    case dfHour12:
        p.H = (v % 12) + (p.H >= 12 ? 12 : 0);
        break;
    case dfHour24:
        p.H = v;
        break;
    case dfMinute:
        p.N = v;
        break;
    case dfSecond:
        p.S = v;
        break;
    default:
        break;
    }
    UserSet(p.Encode());
}

void TDateTimePicker::CommitDigits() {
    if (FDigits.empty()) return;
    const std::string digits = std::move(FDigits);
    FDigits.clear();
    if (CurrentFieldKind() != dfYear) return;
    int y = std::stoi(digits);
    if (digits.size() <= 2) y = ExpandTwoDigitYear(y);
    if (y < 1 || y > 9999) {
        Invalidate();
        return;
    }
    TParts p(FDateTime);
    p.Y = y;
    UserSet(p.Encode());
}

// ---- Keys -------------------------------------------------------------------------------------

void TDateTimePicker::WMGetDlgCode(TMessage& Message) {
    Message.Result = DLGC_WANTARROWS | DLGC_WANTCHARS;
    if (FDropped) Message.Result |= DLGC_WANTALLKEYS;
}

void TDateTimePicker::KeyDown(std::uint16_t& Key, TShiftState Shift) {
    TCustomControl::KeyDown(Key, Shift);
    if (Key == 0) return;
    const bool alt = Shift.contains(ssAlt);
    if (FKind == dtkDate && ((Key == VK_DOWN && alt) || (Key == VK_F4 && !alt))) {
        SetDroppedDown(!FDropped);
        Key = 0;
        return;
    }
    if (FDropped && FCalendar != nullptr) {
        const TDateTime sel = FCalendar->Selected();
        switch (Key) {
        case VK_LEFT:
            FCalendar->SetSelected(sel - 1);
            break;
        case VK_RIGHT:
            FCalendar->SetSelected(sel + 1);
            break;
        case VK_UP:
            FCalendar->SetSelected(sel - 7);
            break;
        case VK_DOWN:
            FCalendar->SetSelected(sel + 7);
            break;
        case VK_PRIOR:
        case VK_NEXT: {
            int y, m, d;
            DecodeDate(sel, y, m, d);
            m += Key == VK_NEXT ? 1 : -1;
            if (m < 1) m = 12, --y;
            if (m > 12) m = 1, ++y;
            if (y >= 1 && y <= 9999)
                FCalendar->SetSelected(EncodeDate(y, m, std::min(d, DaysInAMonth(y, m))));
            break;
        }
        case VK_RETURN:
            CloseCalendar(true);
            FSwallowChar = 13;
            break;
        case VK_ESCAPE:
            CloseCalendar(false);
            FSwallowChar = 27;
            break;
        default:
            return;
        }
        Key = 0;
        return;
    }
    switch (Key) {
    case VK_LEFT:
        SetCurrentField(FField - 1);
        break;
    case VK_RIGHT:
        SetCurrentField(FField + 1);
        break;
    case VK_UP:
        StepField(1);
        break;
    case VK_DOWN:
        StepField(-1);
        break;
    case VK_HOME:
        SetCurrentField(0);
        break;
    case VK_END:
        SetCurrentField(FieldCount() - 1);
        break;
    default:
        return;
    }
    Key = 0;
}

void TDateTimePicker::KeyPress(char32_t& Key) {
    if (FSwallowChar != 0 && Key == FSwallowChar) {
        FSwallowChar = 0;
        Key = 0;
        return;
    }
    FSwallowChar = 0;
    TCustomControl::KeyPress(Key);
    if (Key == 0 || FDropped) return;
    if (Key >= '0' && Key <= '9') {
        TypeDigit(int(Key - '0'));
    } else if (Key == '/' || Key == ':' || Key == '.' || Key == '-' || Key == ' ' || Key == ',') {
        SetCurrentField(FField + 1);
    } else if (CurrentFieldKind() == dfAmPm &&
               (Key == 'a' || Key == 'A' || Key == 'p' || Key == 'P')) {
        TParts p(FDateTime);
        const bool pm = Key == 'p' || Key == 'P';
        if ((p.H >= 12) != pm) {
            p.H = (p.H + 12) % 24;
            UserSet(p.Encode());
        }
    } else {
        return;
    }
    Key = 0;
}

void TDateTimePicker::WMSetFocus(TMessage& Message) {
    TCustomControl::WMSetFocus(Message);
    FFocused = true;
    Invalidate();
}

void TDateTimePicker::WMKillFocus(TMessage& Message) {
    TCustomControl::WMKillFocus(Message);
    CloseCalendar(false);
    CommitDigits();
    FFocused = false;
    Invalidate();
}

// ---- Calendar ---------------------------------------------------------------------------------

void TDateTimePicker::SetDroppedDown(bool Value) {
    if (Value == FDropped) return;
    if (!Value) {
        CloseCalendar(false);
        return;
    }
    if (FKind != dtkDate || GetParentForm(this) == nullptr || !Showing()) return;
    CommitDigits();
    auto alive = Handle();
    if (FOnDropDown) FOnDropDown(this);
    if (*alive == nullptr || FDropped) return;
    if (FCalendar == nullptr) FCalendar = new TMonthCalWindow(this);
    FCalendar->SetSelected(Date());
    const TPoint o = ClientToScreen({0, 0});
    FDropped = true;
    FCalendar->PopupBelow(Bounds(o.X, o.Y, Width(), Height()));
    Invalidate();
}

void TDateTimePicker::CloseCalendar(bool Accept) {
    if (!FDropped) return;
    FDropped = false;
    auto alive = Handle();
    if (FCalendar != nullptr) FCalendar->ClosePopup();
    Invalidate();
    if (Accept && FCalendar != nullptr) {
        const TDateTime d = std::trunc(FCalendar->Selected());
        UserSet(d + (d < 0 ? -Time() : Time()));
    }
    if (*alive != nullptr && FOnCloseUp) FOnCloseUp(this);
}

// ---- Mouse and painting -----------------------------------------------------------------------

TRect TDateTimePicker::ButtonRect() const {
    return Rect(std::max(2, Width() - 2 - kButtonWidth), 2, Width() - 2, Height() - 2);
}

std::vector<TDateTimePicker::TPieceBox> TDateTimePicker::Layout() {
    TCanvas& c = ControlCanvas();
    c.Font().Assign(&Font());
    std::vector<TPieceBox> out;
    int x = 4;
    int k = 0;
    for (int i = 0; i < int(FPieces.size()); ++i) {
        const TDateTimeField& f = FPieces[std::size_t(i)];
        std::string t = PickerFieldText(f, FDateTime);
        if (Editable(f.Kind) && k == FField && !FDigits.empty()) t = FDigits;
        const int w = c.TextWidth(t);
        out.push_back({i, x, x + w});
        x += w;
        if (Editable(f.Kind)) ++k;
    }
    return out;
}

void TDateTimePicker::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    auto alive = Handle();
    if (Button == mbLeft) {
        if (!FFocused && CanFocus()) {
            SetFocus();
            if (*alive == nullptr) return;
        }
        const TRect b = ButtonRect();
        if (b.Contains({X, Y})) {
            if (FKind == dtkDate)
                SetDroppedDown(!FDropped);
            else
                StepField(Y < b.Top + b.Height() / 2 ? 1 : -1); // the up/down spin
        } else {
            // A click on a field makes it current.
            int k = 0;
            for (const TPieceBox& p : Layout()) {
                if (!Editable(FPieces[std::size_t(p.Piece)].Kind)) continue;
                if (X < p.Right || k == FieldCount() - 1) {
                    SetCurrentField(k);
                    break;
                }
                ++k;
            }
        }
        if (*alive == nullptr) return;
    }
    TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TDateTimePicker::Paint() {
    TCanvas& c = ControlCanvas();
    const int w = Width(), h = Height();
    const bool enabled = Enabled();
    Fill(c, Rect(0, 0, w, h), enabled ? Color() : clBtnFace);
    // A sunken frame, as the edit box has.
    Fill(c, Rect(0, 0, w - 1, 1), clBtnShadow);
    Fill(c, Rect(0, 0, 1, h - 1), clBtnShadow);
    Fill(c, Rect(0, h - 1, w, h), clBtnHighlight);
    Fill(c, Rect(w - 1, 0, w, h), clBtnHighlight);
    Fill(c, Rect(1, 1, w - 2, 2), cl3DDkShadow);
    Fill(c, Rect(1, 1, 2, h - 2), cl3DDkShadow);
    Fill(c, Rect(1, h - 2, w - 1, h - 1), cl3DLight);
    Fill(c, Rect(w - 2, 1, w - 1, h - 1), cl3DLight);
    const TRect b = ButtonRect();
    const TRect oldClip = c.ClipRect();
    c.IntersectClipRect(Rect(2, 2, b.Left, h - 2));
    const int th = c.TextHeight("Wg");
    const int y = (h - th) / 2;
    int k = 0;
    for (const TPieceBox& p : Layout()) {
        const TDateTimeField& f = FPieces[std::size_t(p.Piece)];
        std::string t = PickerFieldText(f, FDateTime);
        const bool current = Editable(f.Kind) && k == FField;
        if (current && !FDigits.empty()) t = FDigits;
        const bool hi = current && FFocused && !FDropped && enabled;
        if (hi) Fill(c, Rect(p.Left, y, p.Right, y + th), clHighlight);
        c.Brush().SetStyle(bsClear);
        c.Font().SetColor(!enabled ? clGrayText : hi ? clHighlightText : Font().Color());
        c.TextOut(p.Left, y, t);
        c.Brush().SetStyle(bsSolid);
        if (Editable(f.Kind)) ++k;
    }
    c.SetClipRect(oldClip);
    if (FKind == dtkDate) {
        PaintDropDownButton(c, b, FDropped, enabled);
        return;
    }
    // The up/down spin of the time kind: two half buttons with arrows.
    const int mid = b.Top + b.Height() / 2;
    for (int half = 0; half < 2; ++half) {
        const TRect r =
            half == 0 ? Rect(b.Left, b.Top, b.Right, mid) : Rect(b.Left, mid, b.Right, b.Bottom);
        Fill(c, r, clBtnFace);
        Fill(c, Rect(r.Left, r.Top, r.Right - 1, r.Top + 1), clBtnHighlight);
        Fill(c, Rect(r.Left, r.Top, r.Left + 1, r.Bottom - 1), clBtnHighlight);
        Fill(c, Rect(r.Left, r.Bottom - 1, r.Right, r.Bottom), clBtnShadow);
        Fill(c, Rect(r.Right - 1, r.Top, r.Right, r.Bottom), clBtnShadow);
        const int cx = r.Left + (r.Width() - 1) / 2, cy = r.Top + (r.Height() - 1) / 2;
        const TColor ink = enabled ? clBtnText : clGrayText;
        for (int j = 0; j < 3; ++j) {
            const int yy = half == 0 ? cy + 1 - j : cy - 1 + j;
            Fill(c, Rect(cx - 2 + j, yy, cx + 3 - j, yy + 1), ink);
        }
    }
}

// ---- TMonthCalWindow --------------------------------------------------------------------------

namespace {
constexpr int kCellW = 24, kCellH = 16, kTitleH = 22, kNamesH = 17, kTodayH = 18, kMargin = 4;
} // namespace

TMonthCalWindow::TMonthCalWindow(TDateTimePicker* Picker) : TPopupWindow(Picker), FPicker(Picker) {
    SetTakesKeys(false); // the picker keeps the focus and drives the calendar
    SetColor(clWindow);
    InitBounds(0, 0, 7 * kCellW + 2 * kMargin,
               kTitleH + kNamesH + 6 * kCellH + kTodayH + 2 * kMargin);
    SetOnDismiss([this](TObject*) {
        if (FPicker->FDropped) {
            FPicker->FDropped = false;
            FPicker->Invalidate();
            if (FPicker->FOnCloseUp) FPicker->FOnCloseUp(FPicker);
        }
    });
}

void TMonthCalWindow::ShowMonth(int Year, int Month) {
    if (Year < 1 || Year > 9999) return;
    FYear = Year;
    FMonth = Month;
    Invalidate();
}

void TMonthCalWindow::SetSelected(TDateTime Value) {
    if (Value < MinDateTime || Value > MaxDateTime) return;
    FSelected = std::trunc(Value);
    int y, m, d;
    DecodeDate(FSelected, y, m, d);
    ShowMonth(y, m);
}

TDateTime TMonthCalWindow::FirstShown() const {
    // The Sunday on or before the first of the month (a whole week of the last month when the
    // month starts on a Sunday, as calendars of this look show it).
    const TDateTime first = EncodeDate(FYear, FMonth, 1);
    const int back = DayOfWeek(first) - 1;
    return first - (back == 0 ? 7 : back);
}

TRect TMonthCalWindow::DayRect(TDateTime D) const {
    const int k = int(std::trunc(D) - FirstShown());
    if (k < 0 || k >= 42) return {};
    const int x = kMargin + (k % 7) * kCellW, y = kMargin + kTitleH + kNamesH + (k / 7) * kCellH;
    return Rect(x, y, x + kCellW, y + kCellH);
}

TDateTime TMonthCalWindow::DateAt(int X, int Y) const {
    const int top = kMargin + kTitleH + kNamesH;
    if (X < kMargin || X >= kMargin + 7 * kCellW || Y < top || Y >= top + 6 * kCellH) return -1;
    const int cell = (Y - top) / kCellH * 7 + (X - kMargin) / kCellW; // row-major, 7 a row
    return FirstShown() + cell;
}

TRect TMonthCalWindow::PrevRect() const {
    return Rect(kMargin + 2, kMargin + 3, kMargin + 20, kMargin + kTitleH - 3);
}

TRect TMonthCalWindow::NextRect() const {
    const int r = ClientWidth() - kMargin - 2;
    return Rect(r - 18, kMargin + 3, r, kMargin + kTitleH - 3);
}

TRect TMonthCalWindow::TodayRect() const {
    const int top = kMargin + kTitleH + kNamesH + 6 * kCellH;
    return Rect(kMargin, top, ClientWidth() - kMargin, top + kTodayH);
}

void TMonthCalWindow::Paint() {
    TCanvas& c = Canvas();
    const int w = ClientWidth(), h = ClientHeight();
    Fill(c, Rect(0, 0, w, h), clWindow);
    c.Brush().SetColor(clWindowFrame);
    c.FrameRect(Rect(0, 0, w, h));
    c.Font().Assign(&FPicker->Font());
    const int th = c.TextHeight("Wg");
    // Title: month and year between the two paging arrows.
    const TRect title = Rect(kMargin, kMargin, w - kMargin, kMargin + kTitleH);
    Fill(c, title, clBtnFace);
    const std::string t = std::string(LongMonthNames[FMonth - 1]) + " " + std::to_string(FYear);
    c.Brush().SetStyle(bsClear);
    c.Font().SetColor(clBtnText);
    c.Font().SetStyle({fsBold});
    c.TextOut(title.Left + (title.Width() - c.TextWidth(t)) / 2, title.Top + (kTitleH - th) / 2, t);
    c.Font().SetStyle({});
    for (int side = 0; side < 2; ++side) {
        const TRect a = side == 0 ? PrevRect() : NextRect();
        const int cx = a.Left + a.Width() / 2, cy = a.Top + a.Height() / 2;
        for (int k = 0; k < 4; ++k) {
            const int x = side == 0 ? cx - 2 + k : cx + 1 - k;
            Fill(c, Rect(x, cy - k, x + 1, cy + k + 1), clBtnText);
        }
    }
    // Week-day names, a line under them.
    const int ny = kMargin + kTitleH;
    c.Brush().SetStyle(bsClear);
    c.Font().SetColor(clHotLight);
    for (int i = 0; i < 7; ++i) {
        const std::string n = std::string(ShortDayNames[i].substr(0, 2));
        c.TextOut(kMargin + i * kCellW + (kCellW - c.TextWidth(n)) / 2, ny + 1, n);
    }
    Fill(c, Rect(kMargin + 2, ny + kNamesH - 2, w - kMargin - 2, ny + kNamesH - 1), clBtnShadow);
    // Six weeks of days.
    const TDateTime first = FirstShown(), today = std::trunc(Now());
    for (int k = 0; k < 42; ++k) {
        const TDateTime d = first + k;
        int y, m, dd;
        DecodeDate(d, y, m, dd);
        const TRect r = DayRect(d);
        const bool sel = d == FSelected;
        if (sel) Fill(c, r, clHighlight);
        const std::string s = std::to_string(dd);
        c.Brush().SetStyle(bsClear);
        c.Font().SetColor(sel ? clHighlightText : m == FMonth ? clWindowText : clGrayText);
        c.TextOut(r.Right - 5 - c.TextWidth(s), r.Top + (kCellH - th) / 2, s);
        if (d == today) {
            c.Brush().SetColor(clRed);
            c.FrameRect(r);
        }
    }
    // Today's line.
    const TRect tr = TodayRect();
    c.Brush().SetColor(clRed);
    c.FrameRect(Rect(tr.Left + 4, tr.Top + 4, tr.Left + 18, tr.Bottom - 4));
    c.Brush().SetStyle(bsClear);
    c.Font().SetColor(clWindowText);
    c.Font().SetStyle({fsBold});
    c.TextOut(tr.Left + 24, tr.Top + (kTodayH - th) / 2,
              "Today: " + FormatPickerText(std::string(ShortDateFormat), today));
    c.Font().SetStyle({});
    c.Brush().SetStyle(bsSolid);
}

void TMonthCalWindow::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    auto alive = Handle();
    TPopupWindow::MouseDown(Button, Shift, X, Y);
    if (*alive == nullptr || Button != mbLeft) return;
    if (PrevRect().Contains({X, Y}) || NextRect().Contains({X, Y})) {
        int m = FMonth + (PrevRect().Contains({X, Y}) ? -1 : 1), y = FYear;
        if (m < 1) m = 12, --y;
        if (m > 12) m = 1, ++y;
        ShowMonth(y, m);
        return;
    }
    TDateTime d = DateAt(X, Y);
    if (d < 0 && TodayRect().Contains({X, Y})) d = std::trunc(Now());
    if (d < 0) return;
    FSelected = d;
    FPicker->CloseCalendar(true);
}

// ---- Published properties ---------------------------------------------------------------------

namespace {

const TClassRegistrar<TDateTimePicker> pickerReg("TDateTimePicker", "TWinControl", [](auto& p) {
    using P = TDateTimePicker;
    p.Enum("Kind", &P::Kind, &P::SetKind, dtkDate, {"dtkDate", "dtkTime"});
    p.Float("DateTime", &P::DateTime, &P::SetDateTime, 0.0)
        .ConstructorDefault()
        .Stored([](const P& c) { return c.DateTimeSet(); });
    p.String("Format", &P::Format, &P::SetFormat, "");
    p.Color(
        "Color", [](const P& c) { return c.Color(); }, [](P& c, TColor v) { c.SetColor(v); },
        clWindow);
    p.Bool(
        "TabStop", [](const P& c) { return c.TabStop(); }, [](P& c, bool v) { c.SetTabStop(v); },
        true);
    p.Object("Font", [](P& c) -> TPersistent* { return &c.Font(); });
});

} // namespace

namespace detail {
void LinkDateTimePicker() {}
} // namespace detail

} // namespace kel
