// TMiniCal: the texts of the cells and their drawing. Every text is centred in its rectangle
// (halves truncated) with TextRect, which fills the rectangle with the brush first; buttons get
// a four-line 3-D frame when Ctl3D is on. The grid's own cell states play no part: the
// selection, today and the holidays are drawn from the date alone.
#include "KEL_MiniCal.h"

#include "Kel_kelcolors.h"
#include "Kel_stringl.h"
#include "kel_themes.h"

#include <string>

namespace kel {

namespace {

void DrawCentered(TCanvas& C, const TRect& R, const std::string& Text) {
    const int x = R.Left + (R.Right - R.Left - C.TextWidth(Text)) / 2;
    const int y = R.Top + (R.Bottom - R.Top - C.TextHeight(Text)) / 2;
    C.TextRect(R, x, y, Text);
}

} // namespace

TMiniCal::TPaintDate TMiniCal::PaintDate() const {
    TPaintDate p;
    DecodeDate(FDate, p.Y, p.M, p.Sel);
    const TDateTime now = Now();
    p.HasToday = now >= MinDateTime && now < MaxDateTime;
    if (p.HasToday) DecodeDate(now, p.TY, p.TM, p.TD);
    return p;
}

std::string TMiniCal::CellText(int ACol, int ARow) const {
    int y = 0, m = 0, d = 0;
    DecodeDate(FDate, y, m, d);
    return CellText(ACol, ARow, y, m);
}

std::string TMiniCal::CellText(int ACol, int ARow, int Y, int M) const {
    const int y = Y, m = M;
    if (ACol < 0 || ACol > 7 || ARow < 0 || ARow > 7) return "";
    if (ARow == 0) {
        switch (ACol) {
        case 1:
            return "<<";
        case 2:
            return "<";
        case 5: {
            // The month's name and a blank, cut to 5 (short) or 11 (long) characters, then the
            // year.
            const std::string name = FMonthShort
                                         ? Utf8Left(MonthShort[FLanguage][std::size_t(m)] + " ", 5)
                                         : Utf8Left(MonthLong[FLanguage][std::size_t(m)] + " ", 11);
            return name + std::to_string(y);
        }
        case 6:
            return ">";
        case 7:
            return ">>";
        default:
            return ""; // (0, 0) and (3, 0), (4, 0): their buttons' text belongs to another cell
        }
    }
    if (ARow == 1)
        return ACol == 0 ? "#" : WeekDayShort[FLanguage][std::size_t((F1stDayWeek + ACol - 1) % 7)];
    if (ACol == 0) {
        // ISO week of the row's day in the column of the 1st.
        // The week's Thursday decides; past 9999-12-31 there is no week to show.
        try {
            return std::to_string(WeekOfTheYear(EncodeDate(y, m, 1) + 7 * (ARow - 2)));
        } catch (const EConvertError&) {
            return "";
        }
    }
    const int cd = CellDay(ACol, ARow);
    const int days = DaysInAMonth(y, m);
    if (cd < 1) return std::to_string(cd + (m == 1 ? 31 : DaysInAMonth(y, m - 1)));
    if (cd > days) return std::to_string(cd - days);
    return std::to_string(cd);
}

void TMiniCal::Paint() {
    Canvas().Font().Assign(&Font());
    // The date and today are decoded once for all cells, not once or twice per cell.
    FPainting = PaintDate();
    try {
        TCustomDrawGrid::Paint();
    } catch (...) {
        FPainting.reset();
        throw;
    }
    FPainting.reset();
}

void TMiniCal::DrawButtonFrame(TCanvas& C, const TRect& R) const {
    const int l = R.Left, t = R.Top, r = R.Right, b = R.Bottom;
    C.Pen().SetColor(clWhite);
    C.MoveTo(l, b - 1);
    C.LineTo(l, t);
    C.LineTo(r, t);
    C.Pen().SetColor(0x686868);
    C.MoveTo(l, b);
    C.LineTo(r, b);
    C.LineTo(r, t);
    C.Pen().SetColor(0x9CA0A5);
    C.MoveTo(l + 1, b - 1);
    C.LineTo(r - 1, b - 1);
    C.LineTo(r - 1, t);
    C.Pen().SetColor(0xE6E2E2);
    C.MoveTo(l + 1, b - 2);
    C.LineTo(l + 1, t + 1);
    C.LineTo(r - 1, t + 1);
}

void TMiniCal::DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) {
    (void)AState; // the selection is drawn from the date, not from the grid's states
    TCanvas& C = Canvas();
    const TPaintDate p = FPainting ? *FPainting : PaintDate();
    const TCustomStyleServices& style = StyleServices();
    const bool styled = style.Enabled();
    C.Font().SetColor(styled && StyleElements().contains(seFont) ? style.GetStyleColor(scButtonText)
                                                                 : clBlack);
    C.Brush().SetStyle(bsSolid);
    C.Pen().SetStyle(psSolid);
    C.Pen().SetWidth(1);
    C.Pen().SetMode(pmCopy);

    if (ARow == 0 || (ARow == 1 && ACol == 0)) {
        // A button. The month caption spans columns 3..5 and "#" rows 0 and 1: every cell under
        // such a button draws all of it, so a partial repaint leaves no gap.
        TRect r = ARect;
        int textCol = ACol, textRow = ARow;
        if (ACol == 0) {
            r.Top = CellRect(0, 0).Top;
            r.Bottom = CellRect(0, 1).Bottom;
            textRow = 1;
        } else if (ACol >= 3 && ACol <= 5) {
            r.Left = CellRect(3, 0).Left;
            r.Right = CellRect(5, 0).Right;
            textCol = 5;
        }
        C.Brush().SetColor(styled && StyleElements().contains(seBorder)
                               ? style.GetStyleColor(scButtonFace)
                               : clBtnFace);
        DrawCentered(C, r, CellText(textCol, textRow, p.Y, p.M));
        if (Ctl3D()) DrawButtonFrame(C, r);
        return;
    }
    if (ARow == 1) {
        C.Brush().SetColor(FColorDayIdBg);
        C.Font().SetColor(FColorDayIdFg);
        DrawCentered(C, ARect, CellText(ACol, ARow, p.Y, p.M));
        return;
    }
    if (ACol == 0) {
        C.Brush().SetColor(FColorWknBg);
        C.Font().SetColor(FColorWknFg);
        DrawCentered(C, ARect, CellText(ACol, ARow, p.Y, p.M));
        return;
    }

    const int y = p.Y, m = p.M, sel = p.Sel;
    const int d = CellDay(ACol, ARow);
    const int days = DaysInAMonth(y, m);
    C.Brush().SetColor(FDayColors[std::size_t((ACol + F1stDayWeek - 1) % 7)]);
    if (d < 1 || d > days) {
        C.Font().SetColor(FColorInactMon);
    } else {
        C.Font().SetColor(FColorActMon);
        std::string caption;
        const bool holiday = FIndicateHolid && CheckHoliday(y, m, d, caption);
        if (holiday) {
            C.Brush().SetColor(FColorHdayBg);
            C.Font().SetColor(FColorHdayFg);
        }
        if (d == sel) {
            C.Font().SetColor(FColorSelFg);
            C.Brush().SetColor(holiday ? MeanColor(FColorSelBg, FColorHdayBg) : FColorSelBg);
        }
    }
    DrawCentered(C, ARect, CellText(ACol, ARow, y, m));
    if (FMarkToday && p.HasToday && p.TY == y && p.TM == m && d == p.TD) {
        C.Pen().SetColor(FColorToday);
        C.Brush().SetStyle(bsClear);
        C.Ellipse(ARect.Left + 2, ARect.Top + 2, ARect.Right - 2, ARect.Bottom - 2);
    }
}

} // namespace kel
