// Drawing of the report list view: data cells (bands, selection, highlight and disabled
// colours, check boxes and radio buttons with their marks, password columns, text cut with
// "..."), the common header and the column headers with the sort arrow, and Paint's extras
// (the message of an empty table and the inter-row indicator line).
#include "rlview.h"

#include <algorithm>
#include <cmath>

namespace kel {

namespace {

// Byte offsets of the code points of s (and s.size() at the end).
std::vector<std::size_t> CodePointStarts(const std::string& s) {
    std::vector<std::size_t> at;
    for (std::size_t i = 0; i < s.size(); ++i)
        if ((static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) at.push_back(i);
    at.push_back(s.size());
    return at;
}

int CodePointCount(const std::string& s) { return int(CodePointStarts(s).size()) - 1; }

// The first n code points of s.
std::string Head(const std::string& s, int n) {
    const auto at = CodePointStarts(s);
    n = std::clamp(n, 0, int(at.size()) - 1);
    return s.substr(0, at[std::size_t(n)]);
}

// The last n code points of s.
std::string Tail(const std::string& s, int n) {
    const auto at = CodePointStarts(s);
    const int count = int(at.size()) - 1;
    n = std::clamp(n, 0, count);
    return s.substr(at[std::size_t(count - n)]);
}

// Nearest integer, halves to the even neighbour.
int RoundEven(double v) {
    const double f = std::floor(v);
    const double d = v - f;
    if (d > 0.5) return int(f) + 1;
    if (d < 0.5) return int(f);
    return (std::fmod(f, 2.0) == 0.0) ? int(f) : int(f) + 1;
}

// Left edge of text w pixels wide placed in T with the given alignment.
int AlignedLeft(const TRect& T, TAlignment align, int w) {
    if (align == taRightJustify) return T.Right - w;
    if (align == taCenter) return (T.Left + T.Right) / 2 - w / 2;
    return T.Left;
}

std::vector<std::string> Split(const std::string& s, char sep) {
    std::vector<std::string> out;
    std::size_t start = 0;
    for (;;) {
        const std::size_t p = s.find(sep, start);
        if (p == std::string::npos) {
            out.push_back(s.substr(start));
            return out;
        }
        out.push_back(s.substr(start, p - start));
        start = p + 1;
    }
}

void Line(TCanvas& C, int x1, int y1, int x2, int y2) {
    C.MoveTo(x1, y1);
    C.LineTo(x2, y2);
}

} // namespace

// ---- Geometry and colours (shared with the hit tests in rlview.cpp) ----------------------------

TRect RLCheckBoxRect(const TRect& Cell) {
    return Rect(Cell.Left + 4, Cell.Top + 4, Cell.Left + 15, Cell.Top + 15);
}

TRect RLCheckClickRect(const TRect& Cell) {
    return Rect(Cell.Left, Cell.Top, RLCheckBoxRect(Cell).Right + 3, Cell.Bottom);
}

TRect RLHeaderSortRect(const TRect& Cell) {
    return Rect(Cell.Left + 5, Cell.Top, Cell.Right - 4, Cell.Bottom);
}

TRLCellColors TReportListView::CellColors(const TRLCellState& State) const {
    TRLCellColors c;
    c.Font = FColorNormal;
    c.Brush = c.Pen = State.Shaded ? FRColorShaded : FRColorNormal;
    auto use = [&c](TColor Bkgd, TColor Text) {
        c.Brush = c.Pen = Bkgd;
        c.Font = Text;
    };
    if (!State.ViewEnabled) {
        c.Font = clInactiveCaption;
    } else if (State.RowDisabled) {
        use(FDisabledBkgdColor, FDisabledTextColor);
    } else {
        if (State.RowSelected && State.ColSelected)
            use(FSelBothColor, FSelBothTextColor);
        else if (State.ColSelected)
            use(FSelColColor, FSelColTextColor);
        else if (State.RowSelected)
            use(FSelRowColor, FSelRowTextColor);
        if (State.Highlighted) {
            use(FHiLgtColor, FHiLgtTextColor);
            c.Bold = FHiLgtBold;
        }
    }
    if (State.FixedColumn) c.Brush = c.Pen = FColHdColor;
    return c;
}

TColor TReportListView::CheckBoxPen(bool ViewEnabled, bool RowDisabled, TColor Pen) {
    return !ViewEnabled ? clInactiveCaption : RowDisabled ? Pen : clBtnShadow;
}

TColor TReportListView::CheckMarkPen(bool ViewEnabled, TColor Font) {
    return ViewEnabled ? Font : clInactiveCaption;
}

// ---- Cells -------------------------------------------------------------------------------------

void TReportListView::RaisedFrame(TCanvas& C, int Left, int Top, int Right, int Bottom) {
    C.Pen().SetWidth(1);
    C.Pen().SetColor(clWhite);
    C.MoveTo(Left, Bottom - 1);
    C.LineTo(Left, Top);
    C.LineTo(Right, Top);
    C.Pen().SetColor(clGray);
    C.MoveTo(Left + 1, Bottom - 1);
    C.LineTo(Right - 1, Bottom - 1);
    C.LineTo(Right - 1, Top);
}

int TReportListView::HeaderBandRight() const {
    int e = 0;
    for (int c = 0; c < ColCount(); ++c) {
        const TRect r = CellRect(c, 0);
        if (!r.IsEmpty()) e = std::max(e, r.Right);
    }
    return e;
}

void TReportListView::DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) {
    const bool dataRow = ARow >= FixedRows();
    const bool scrollable = dataRow && ACol >= FixedCols();
    TRect O = ARect;
    if (scrollable && !Options().contains(goVertLine)) O.Right += 1;
    if (scrollable && !Options().contains(goHorzLine)) O.Bottom += 1;
    TRect T = Rect(ARect.Left + 4, ARect.Top + 2, ARect.Right - 6, ARect.Bottom);
    Canvas().Font().Assign(&Font());
    if (dataRow)
        DrawDataCell(ACol, ARow, O, T);
    else if (AState.contains(gdFixed))
        DrawHeaderCell(ACol, ARow, O, T);
    TCustomDrawGrid::DrawCell(ACol, ARow, T, AState);
}

void TReportListView::DrawDataCell(int ACol, int ARow, const TRect& O, TRect& T) {
    TCanvas& Cv = Canvas();
    const int C = DataColOfGrid(ACol);
    const int R = ARow - FixedRows() + 1;
    const TStringArray& s = FRLData->Strings();
    const std::string stored = s.GetString(C, R);
    std::string text = ColumnIsPwd(C) ? std::string("******") : stored;

    const std::uint8_t rowAttr = s.GetRowAttrib(R);
    TRLCellState state;
    state.Shaded = FRowColPattern > 0 && ((ARow - FixedRows()) / FRowColPattern) % 2 == 0;
    state.ViewEnabled = FEnabled;
    state.RowDisabled = (rowAttr & RowDisabledBit) != 0;
    state.RowSelected = (rowAttr & RowSelectedBit) != 0;
    state.ColSelected = (s.GetColAttrib(C) & ColSelectedBit) != 0;
    state.Highlighted =
        (FHiLgtRow != 0 && R == FHiLgtRow) || (FHiLgtColumn != 0 && C == FHiLgtColumn);
    state.FixedColumn = ACol < FixedCols();
    const TRLCellColors colors = CellColors(state);
    TColor F = colors.Font, B = colors.Brush, P = colors.Pen;
    TFontStyles styles = Font().Style();
    if (colors.Bold) styles.include(fsBold);
    const bool disabledRow = state.RowDisabled;
    if (FOnBefRenderCell) FOnBefRenderCell(this, C, R, P, B, F, styles, text);

    Cv.Font().SetStyle(styles);
    Cv.Font().SetColor(F);
    Cv.Brush().SetStyle(bsSolid);
    Cv.Brush().SetColor(B);

    const TCheckMode mode = FRLData->ColumnCheckMode(C);
    const bool checkCol = mode != cmNone;
    const TAlignment align = ColumnAlignment(C);
    const bool italic = styles.contains(fsItalic);
    // Cut the text with "..." when it does not fit.
    {
        const std::string rest = text.empty() ? text : Tail(text, CodePointCount(text) - 1);
        const int wt = Cv.TextWidth(rest);
        const int w = ColWidths(C);
        const int k = checkCol ? RLCheckTextIndent : 0;
        if (w - k - 9 < wt && wt > 0) {
            const int n =
                std::max(RoundEven(double(CodePointCount(text)) * (w - k - 9) / wt - 4), 1);
            if (align == taRightJustify)
                text = Head(text, 1) + "..." + Tail(text, n);
            else
                text = Head(text, n) + "...";
        }
    }

    Cv.Pen().SetColor(B);
    Cv.Pen().SetWidth(1);
    Cv.Rectangle(O);
    Cv.Pen().SetColor(P);

    auto place = [&](const std::string& t) {
        Cv.TextRect(T, AlignedLeft(T, align, Cv.TextWidth(t) + (italic ? 2 : 0)), T.Top - 1, t);
    };

    if (!checkCol) {
        place(text);
    } else if (CodePointCount(stored) > 1 || FShowEmptyCBx) {
        T.Left += RLCheckTextIndent;
        const bool checked = !stored.empty() && stored[0] != ' ';
        place(text.empty() ? text : Tail(text, CodePointCount(text) - 1));
        if (!FROCheckMarks) {
            Cv.Pen().SetColor(CheckBoxPen(FEnabled, disabledRow, P));
            Cv.Brush().SetColor(B);
            const TRect box = RLCheckBoxRect(O);
            if (mode == cmRadio)
                Cv.Ellipse(box);
            else
                Cv.Rectangle(box);
        }
        Cv.Pen().SetColor(CheckMarkPen(FEnabled, F));
        if (checked) {
            const int x = O.Left, y = O.Top;
            if (mode == cmRadio) {
                Line(Cv, x + 8, y + 7, x + 11, y + 7);
                Line(Cv, x + 7, y + 8, x + 12, y + 8);
                Line(Cv, x + 7, y + 9, x + 12, y + 9);
                Line(Cv, x + 7, y + 10, x + 12, y + 10);
                Line(Cv, x + 8, y + 11, x + 11, y + 11);
            } else {
                Line(Cv, x + 6, y + 8, x + 9, y + 11);
                Line(Cv, x + 6, y + 9, x + 9, y + 12);
                Line(Cv, x + 6, y + 10, x + 9, y + 13);
                Line(Cv, x + 8, y + 10, x + 13, y + 5);
                Line(Cv, x + 8, y + 11, x + 13, y + 6);
                Line(Cv, x + 8, y + 12, x + 13, y + 7);
            }
        }
    }
    if (ACol < FixedCols()) RaisedFrame(Cv, O.Left, O.Top, O.Right, O.Bottom);
}

void TReportListView::DrawHeaderCell(int ACol, int ARow, const TRect& O, const TRect& T) {
    TCanvas& Cv = Canvas();
    const int E = HeaderBandRight();
    const bool italic = Font().Style().contains(fsItalic);
    Cv.Brush().SetStyle(bsSolid);
    Cv.Pen().SetWidth(1);
    if (FComHdVis && ARow == 0) {
        const TRect band = Rect(0, O.Top, E, O.Bottom);
        Cv.Brush().SetColor(FComHdColor);
        Cv.Pen().SetColor(FComHdColor);
        Cv.FillRect(band);
        Cv.Font().SetColor(FComHdTxtColor);
        const std::string all = CommonHeader();
        const int H = Cv.TextHeight(all);
        const auto lines = Split(all, '\n');
        for (std::size_t k = 0; k < lines.size(); ++k) {
            const int w = Cv.TextWidth(lines[k]) + (italic ? 2 : 0);
            const int x = FHeaderAlignment == taLeftJustify    ? 4
                          : FHeaderAlignment == taRightJustify ? E - w - 6
                                                               : E / 2 - w / 2;
            const int y = T.Top + int(k) * H;
            TRect clip = band;
            if (k > 0) clip = Rect(0, y, E, std::min(y + H, O.Bottom));
            Cv.TextRect(clip, x, y, lines[k]);
        }
        RaisedFrame(Cv, 0, O.Top, E, O.Bottom);
        Cv.Pen().SetColor(clGray);
        Line(Cv, E - 1, O.Bottom - 1, E - 1, O.Top);
        Cv.Pen().SetColor(clBlack);
        Line(Cv, E, O.Bottom - 1, E, O.Top - 1);
        return;
    }
    const int headerRow = FComHdVis ? 1 : 0;
    if (!FColHdVis || ARow != headerRow) return;
    const int C = DataColOfGrid(ACol);
    Cv.Brush().SetColor(FColHdColor);
    Cv.Pen().SetColor(FColHdColor);
    Cv.FillRect(O);
    Cv.Font().SetColor(FColHdTxtColor);
    const std::string all = Header(C);
    const int S = C == LastSortColumn() ? 13 : 0;
    const int H = Cv.TextHeight(all);
    const int W = ColWidths(C);
    const TAlignment align = ColumnAlignment(C);
    const auto lines = Split(all, '\n');
    int A = 0;
    for (std::size_t k = 0; k < lines.size(); ++k) {
        std::string line = lines[k];
        const int lw = Cv.TextWidth(line);
        if (lw > W - S - 9 && lw > 0) {
            const int n = RoundEven(double(CodePointCount(line)) * (W - S - 9) / lw - 3);
            line = Head(line, std::max(n, 1)) + "...";
        }
        const int w = Cv.TextWidth(line) + (italic ? 2 : 0);
        const int x = AlignedLeft(T, align, w);
        const int y = T.Top + int(k) * H;
        TRect clip = O;
        if (k > 0) clip = Rect(O.Left, y, O.Right, std::min(y + H, O.Bottom));
        Cv.TextRect(clip, x, y, line);
        if (k == 0) {
            if (align == taLeftJustify)
                A = w + 10;
            else if (align == taRightJustify)
                A = T.Right - T.Left - w - 12;
            else
                A = (T.Right - T.Left) / 2 + w / 2 + 10;
        }
    }
    if (S != 0) {
        A = std::min(A, W - 12);
        const int x0 = T.Left + A, y0 = T.Top + H / 2;
        if (LastSortOrder()) {
            Cv.Pen().SetColor(clGray);
            Line(Cv, x0 - 4, y0 + 3, x0, y0 - 3);
            Cv.Pen().SetColor(clWhite);
            Cv.LineTo(x0 + 4, y0 + 3);
            Cv.LineTo(x0 - 4, y0 + 3);
        } else {
            Cv.Pen().SetColor(clWhite);
            Line(Cv, x0 + 4, y0 - 3, x0, y0 + 3);
            Cv.Pen().SetColor(clGray);
            Cv.LineTo(x0 - 4, y0 - 3);
            Cv.LineTo(x0 + 4, y0 - 3);
        }
    }
    RaisedFrame(Cv, O.Left, O.Top, std::max(E, O.Right), O.Bottom);
}

void TReportListView::Paint() {
    if (FSuppressPaint) return;
    TCustomDrawGrid::Paint();
    TCanvas& Cv = Canvas();
    const TRect a = ClientRect();
    const int y0 = a.Top + int(RowAxis().Span(0, FixedRows(), GridLineWidth()));
    if (NrOfRows() == 0) {
        Cv.Pen().SetColor(Color());
        Cv.Pen().SetWidth(1);
        Cv.Brush().SetStyle(bsSolid);
        Cv.Brush().SetColor(Color());
        Cv.FillRect(Rect(a.Left, std::max(y0, a.Top), a.Right, a.Bottom));
        if (!FEmptyMsg.empty()) {
            Cv.Font().Assign(&Font());
            Cv.Font().SetColor(FColorEmptyMsg);
            Cv.Brush().SetStyle(bsClear);
            const auto lines = Split(FEmptyMsg, '|');
            const int H = Cv.TextHeight(FEmptyMsg);
            const int n = int(lines.size());
            const int y1 = y0 - n * H;
            for (int k = 0; k < n; ++k) {
                const std::string& l = lines[std::size_t(k)];
                Cv.TextOut((Width() - Cv.TextWidth(l)) / 2, y1 + (Height() - y1) / 2 + H * k - 2,
                           l);
            }
            Cv.Brush().SetStyle(bsSolid);
        }
    }
    const int h = CountHeadRows();
    const int gridTop = TCustomGrid::TopRow();
    if (FInterRowIndi != 0 && FInterRowIndi >= gridTop - h + 1 && FInterRowIndi <= NrOfRows() + 1) {
        const int y = (h + FInterRowIndi - gridTop - 1) * (DefaultRowHeight() + 1) + y0;
        Cv.Pen().SetColor(FInterRowColor);
        Cv.Pen().SetWidth(FInterRowWidth);
        Line(Cv, 0, y, Width(), y);
        Cv.Pen().SetWidth(1);
    }
}

} // namespace kel
