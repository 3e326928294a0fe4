// Frames, outlines, marker symbols and name tables of the base services. Everything is drawn as
// 1-pixel horizontal or vertical runs through the canvas pen, so clipping, origin and mix mode
// are the canvas's and every pixel is written exactly once.

#include "Kel_kelbase.h"

#include <string>

namespace kel {

void SchemeLineColors(TColorScheme Scheme, TColor& Dark, TColor& Light) {
    if (Scheme == cschClassic) {
        Dark = clGray;
        Light = clWhite;
    } else {
        Dark = clBtnShadow;
        Light = clBtnHighlight;
    }
}

char CSVDelimiterChar(TCSVDelimiters Delimiter) {
    switch (Delimiter) {
    case csvComma:
        return ',';
    case csvSemicolon:
        return ';';
    case csvTab:
        return '\t';
    case csvColon:
        return ':';
    case csvPipe:
        return '|';
    }
    throw EKELError("CSVDelimiterChar: unknown delimiter value " +
                    std::to_string(static_cast<int>(Delimiter)));
}

namespace {

// Saves the pen, makes it a thin solid pen, and puts everything back when it goes.
class PenGuard {
  public:
    explicit PenGuard(TCanvas& c)
        : C(c), Color(c.Pen().Color()), Width(c.Pen().Width()), Style(c.Pen().Style()),
          Mode(c.Pen().Mode()), Pos(c.PenPos()) {
        c.Pen().SetWidth(1);
        c.Pen().SetStyle(psSolid);
    }
    ~PenGuard() {
        C.Pen().SetColor(Color);
        C.Pen().SetWidth(Width);
        C.Pen().SetStyle(Style);
        C.Pen().SetMode(Mode);
        C.SetPenPos(Pos);
    }
    PenGuard(const PenGuard&) = delete;
    PenGuard& operator=(const PenGuard&) = delete;

  private:
    TCanvas& C;
    TColor Color;
    int Width;
    TPenStyle Style;
    TPenMode Mode;
    TPoint Pos;
};

// Inclusive horizontal or vertical run from (x1, y1) to (x2, y2) with the current pen.
void Run(TCanvas& c, int x1, int y1, int x2, int y2) {
    c.MoveTo(x1, y1);
    if (y1 == y2)
        c.LineTo(x2 >= x1 ? x2 + 1 : x2 - 1, y2);
    else
        c.LineTo(x2, y2 >= y1 ? y2 + 1 : y2 - 1);
}

// One ring through the inclusive corners; tl lights the top row and left column, br the bottom
// row and right column (which own the top-right and bottom-left corners).
void Ring(TCanvas& c, int l, int t, int r, int b, TColor tl, TColor br) {
    if (l == r || t == b) { // a single row or column: one run
        c.Pen().SetColor(tl);
        Run(c, l, t, r, b);
        return;
    }
    c.Pen().SetColor(tl);
    Run(c, l, t, r - 1, t);
    if (b - 1 >= t + 1) Run(c, l, t + 1, l, b - 1);
    c.Pen().SetColor(br);
    Run(c, l, b, r, b);
    Run(c, r, t, r, b - 1);
}

} // namespace

void DrawFrame(TCanvas& Canvas, TFrameStyle Style, int Left, int Top, int Right, int Bottom,
               TColor C1, TColor C2, TColor C3, TColor C4, TColor C5) {
    if (static_cast<int>(Style) >= NumFrameStyles)
        throw EKELError("DrawFrame: unknown frame style " +
                        std::to_string(static_cast<int>(Style)));
    if (Style == fstNone || Right < Left || Bottom < Top) return;
    PenGuard guard(Canvas);
    Canvas.Pen().SetMode(pmCopy);
    // Colours of ring 0 and ring 1 (top-left, bottom-right); ring 1 unused when inner is false.
    TColor o1 = C3, o2 = C1, i1 = C4, i2 = C2;
    bool inner = true;
    switch (Style) {
    case fstLoweredThin:
        o1 = C3;
        o2 = C1;
        inner = false;
        break;
    case fstLowered:
        o1 = C3;
        o2 = C1;
        i1 = C4;
        i2 = C2;
        break;
    case fstRaised:
        o1 = C2;
        o2 = C4;
        i1 = C1;
        i2 = C3;
        break;
    case fstEmbossed:
        o1 = C1;
        o2 = C3;
        i1 = C3;
        i2 = C1;
        break;
    case fstSimple:
        o1 = C5;
        o2 = C5;
        inner = false;
        break;
    case fstNone:
        break;
    }
    Ring(Canvas, Left, Top, Right, Bottom, o1, o2);
    if (inner && Left + 1 <= Right - 1 && Top + 1 <= Bottom - 1)
        Ring(Canvas, Left + 1, Top + 1, Right - 1, Bottom - 1, i1, i2);
}

void DrawRectangle(TCanvas& Canvas, int X1, int Y1, int X2, int Y2) {
    if (X1 == X2 || Y1 == Y2) { // a line or a single pixel: one run
        Run(Canvas, X1, Y1, X2, Y2);
        Canvas.MoveTo(X1, Y1);
        return;
    }
    Canvas.MoveTo(X1, Y1);
    Canvas.LineTo(X2, Y1);
    Canvas.LineTo(X2, Y2);
    Canvas.LineTo(X1, Y2);
    Canvas.LineTo(X1, Y1);
}

// ---- Marker shapes ----------------------------------------------------------------------------

bool TMarkShape::Lit(int dx, int dy) const {
    if (dx < -MarkerRadius || dx > MarkerRadius || dy < -MarkerRadius || dy > MarkerRadius)
        return false;
    return (Rows[dy + MarkerRadius] >> (dx + MarkerRadius)) & 1u;
}

int TMarkShape::Count() const {
    int n = 0;
    for (auto row : Rows)
        for (unsigned b = row; b; b &= b - 1) ++n;
    return n;
}

namespace {

constexpr int R = MarkerRadius;

// Builds a shape from a predicate over (dx, dy).
template <typename F>
TMarkShape Make(F inside) {
    TMarkShape s;
    for (int dy = -R; dy <= R; ++dy)
        for (int dx = -R; dx <= R; ++dx)
            if (inside(dx, dy)) s.Rows[dy + R] |= std::uint16_t(1u << (dx + R));
    return s;
}

TMarkShape operator|(const TMarkShape& a, const TMarkShape& b) {
    TMarkShape s;
    for (int i = 0; i <= 2 * R; ++i) s.Rows[i] = a.Rows[i] | b.Rows[i];
    return s;
}

// The rim of a filled shape: its pixels that have a 4-neighbour outside it.
TMarkShape Outline(const TMarkShape& f) {
    return Make([&](int dx, int dy) {
        return f.Lit(dx, dy) && (!f.Lit(dx - 1, dy) || !f.Lit(dx + 1, dy) || !f.Lit(dx, dy - 1) ||
                                 !f.Lit(dx, dy + 1));
    });
}

int Abs(int v) { return v < 0 ? -v : v; }

TMarkShape Square(int r) {
    return Make([=](int x, int y) { return Abs(x) <= r && Abs(y) <= r; });
}
// r*r + r keeps the rims round: 7 x 7 has 3-pixel flats, 9 x 9 has 5-pixel flats.
TMarkShape Circle(int r) {
    return Make([=](int x, int y) { return x * x + y * y <= r * r + r; });
}
TMarkShape Diamond(int r) {
    return Make([=](int x, int y) { return Abs(x) + Abs(y) <= r; });
}
// Triangle pointing up: apex at the top row, base of width 2r + 1 at the bottom row.
bool TriUp(int r, int x, int y) { return Abs(y) <= r && Abs(x) <= (y + r + 1) / 2; }
TMarkShape Triangle(int r, char dir) {
    return Make([=](int x, int y) {
        switch (dir) {
        case 'u':
            return TriUp(r, x, y);
        case 'd':
            return TriUp(r, x, -y);
        case 'l':
            return TriUp(r, y, x);
        default:
            return TriUp(r, y, -x);
        }
    });
}
TMarkShape Plus(int r) {
    return Make([=](int x, int y) { return (x == 0 && Abs(y) <= r) || (y == 0 && Abs(x) <= r); });
}
TMarkShape Cross(int r) {
    return Make([=](int x, int y) { return Abs(x) == Abs(y) && Abs(x) <= r; });
}

TMarkShape Build(int mark) {
    switch (mark) {
    case 0:
        return Square(0);
    case 1:
        return Plus(3);
    case 2:
        return Cross(3);
    case 3:
        return Plus(3) | Cross(3);
    case 4:
        return Outline(Square(3));
    case 5:
        return Square(3);
    case 6:
        return Outline(Circle(3));
    case 7:
        return Circle(3);
    case 8:
        return Outline(Diamond(3));
    case 9:
        return Diamond(3);
    case 10:
        return Outline(Triangle(3, 'u'));
    case 11:
        return Triangle(3, 'u');
    case 12:
        return Outline(Triangle(3, 'd'));
    case 13:
        return Triangle(3, 'd');
    case 14:
        return Outline(Triangle(3, 'l'));
    case 15:
        return Triangle(3, 'l');
    case 16:
        return Outline(Triangle(3, 'r'));
    case 17:
        return Triangle(3, 'r');
    case 18:
        return Outline(Square(2));
    case 19:
        return Square(2);
    case 20:
        return Outline(Circle(2));
    case 21:
        return Circle(2);
    case 22:
        return Outline(Diamond(2));
    case 23:
        return Diamond(2);
    case 24:
        return Outline(Square(4));
    case 25:
        return Square(4);
    case 26:
        return Outline(Circle(4));
    case 27:
        return Circle(4);
    case 28:
        return Outline(Diamond(4));
    case 29:
        return Diamond(4);
    case 30:
        return Outline(Triangle(4, 'u'));
    case 31:
        return Triangle(4, 'u');
    case 32:
        return Outline(Triangle(4, 'd'));
    case 33:
        return Triangle(4, 'd');
    case 34:
        return Plus(4);
    case 35:
        return Cross(4);
    case 36:
        return Plus(4) | Cross(4);
    case 37:
        return Outline(Square(4)) | Cross(4);
    case 38:
        return Outline(Square(4)) | Plus(4);
    case 39:
        return Outline(Circle(4)) | Plus(4);
    case 40:
        return Outline(Circle(4)) | Cross(3);
    case 41:
        return Outline(Diamond(4)) | Plus(4);
    case 42:
        return Outline(Square(4)) | Square(1);
    case 43:
        return Outline(Circle(4)) | Square(1);
    case 44:
        return Outline(Square(4)) | Outline(Square(2));
    case 45:
        return Outline(Circle(4)) | Outline(Circle(2));
    case 46:
        return Outline(Make([](int x, int y) { return Abs(x) <= Abs(y); }));
    case 47:
        return Make([](int x, int y) { return Abs(y) <= Abs(x); });
    case 48:
        return Make([](int x, int y) { return y == 0 && Abs(x) <= 3; });
    case 49:
        return Make([](int x, int y) { return x == 0 && Abs(y) <= 3; });
    case 50: {
        TMarkShape sq = Square(4);
        return Outline(sq) | Make([&](int x, int y) { return y >= 0 && sq.Lit(x, y); });
    }
    case 51: {
        TMarkShape ci = Circle(4);
        return Outline(ci) | Make([&](int x, int y) { return x <= 0 && ci.Lit(x, y); });
    }
    default:
        return TMarkShape{};
    }
}

const std::array<TMarkShape, NumMarkers>& Shapes() {
    static const std::array<TMarkShape, NumMarkers> table = [] {
        std::array<TMarkShape, NumMarkers> t{};
        for (int i = 0; i < NumMarkers; ++i) t[i] = Build(i);
        return t;
    }();
    return table;
}

} // namespace

TMarkShape MarkShape(int Mark) {
    if (Mark < 0 || Mark >= NumMarkers) return TMarkShape{};
    return Shapes()[Mark];
}

void DrawMarkOnCanvas(TCanvas& Canvas, int Mark, int X, int Y) {
    if (Mark < 0 || Mark >= NumMarkers) return;
    const TMarkShape& s = Shapes()[Mark];
    PenGuard guard(Canvas);
    for (int dy = -R; dy <= R; ++dy) {
        int dx = -R;
        while (dx <= R) {
            if (!s.Lit(dx, dy)) {
                ++dx;
                continue;
            }
            int start = dx;
            while (dx <= R && s.Lit(dx, dy)) ++dx;
            Run(Canvas, X + start, Y + dy, X + dx - 1, Y + dy);
        }
    }
}

// ---- Names ------------------------------------------------------------------------------------

namespace {
using Days = std::array<std::string, 7>;
using Months = std::array<std::string, 13>;
const Days kDaysEn{"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};
const Months kMonShortEn{"",    "Jan", "Feb", "Mar", "Apr", "May", "Jun",
                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
const Months kMonLongEn{"",     "January", "February",  "March",   "April",    "May",     "June",
                        "July", "August",  "September", "October", "November", "December"};
} // namespace

const std::array<std::array<std::string, 7>, NumLanguages> WeekDayShort{{
    kDaysEn,
    kDaysEn,
    {"Mo", "Di", "Mi", "Do", "Fr", "Sa", "So"},
    {"Lun", "Mar", "Mer", "Jeu", "Ven", "Sam", "Dim"},
    {"Lun", "Mar", "Mié", "Jue", "Vie", "Sáb", "Dom"},
    {"Lun", "Mar", "Mer", "Gio", "Ven", "Sab", "Dom"},
    {"Ma", "Di", "Wo", "Do", "Vr", "Za", "Zo"},
}};

const std::array<std::array<std::string, 13>, NumLanguages> MonthShort{{
    kMonShortEn,
    kMonShortEn,
    {"", "Jan", "Feb", "Mär", "Apr", "Mai", "Jun", "Jul", "Aug", "Sep", "Okt", "Nov", "Dez"},
    {"", "Janv", "Févr", "Mars", "Avr", "Mai", "Juin", "Juil", "Août", "Sept", "Oct", "Nov", "Déc"},
    {"", "Ene", "Feb", "Mar", "Abr", "May", "Jun", "Jul", "Ago", "Sep", "Oct", "Nov", "Dic"},
    {"", "Gen", "Feb", "Mar", "Apr", "Mag", "Giu", "Lug", "Ago", "Set", "Ott", "Nov", "Dic"},
    {"", "Jan", "Feb", "Mrt", "Apr", "Mei", "Jun", "Jul", "Aug", "Sep", "Okt", "Nov", "Dec"},
}};

const std::array<std::array<std::string, 13>, NumLanguages> MonthLong{{
    kMonLongEn,
    kMonLongEn,
    {"", "Januar", "Februar", "März", "April", "Mai", "Juni", "Juli", "August", "September",
     "Oktober", "November", "Dezember"},
    {"", "Janvier", "Février", "Mars", "Avril", "Mai", "Juin", "Juillet", "Août", "Septembre",
     "Octobre", "Novembre", "Décembre"},
    {"", "Enero", "Febrero", "Marzo", "Abril", "Mayo", "Junio", "Julio", "Agosto", "Septiembre",
     "Octubre", "Noviembre", "Diciembre"},
    {"", "Gennaio", "Febbraio", "Marzo", "Aprile", "Maggio", "Giugno", "Luglio", "Agosto",
     "Settembre", "Ottobre", "Novembre", "Dicembre"},
    {"", "Januari", "Februari", "Maart", "April", "Mei", "Juni", "Juli", "Augustus", "September",
     "Oktober", "November", "December"},
}};

} // namespace kel
