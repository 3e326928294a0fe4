// ntabed_paint.cpp — what TNTabEd shows: the text of numbers and category cells, the drawing of
// data, header and top-left cells (cell cursor, comment label), automatic column widths and row
// heights.
#include "KEL_ntabed.h"

#include "kel_app.h"

#include "numtext.h"

#include <algorithm>
#include <memory>
#include <cmath>

namespace kel {

// ---- Cell text ------------------------------------------------------------------------------

std::string FormatCellValue(int NumWidth, int Precision, double x) {
    // Largest magnitude shown in fixed form for 0..8 decimals.
    static const double U[9] = {999999999.0, 9999999.9, 999999.99, 99999.999, 9999.9999,
                                999.99999,   99.999999, 9.9999999, 0.99999999};
    if (Precision >= 0 && Precision <= 8 && !std::isnan(x)) {
        const double a = std::fabs(x);
        if (a <= U[Precision] && (a >= std::pow(10.0, -Precision) || x == 0))
            return FloatToFieldStr(NumWidth, Precision, x);
    }
    return FloatToFieldStr(NumWidth + 6, -2, x);
}

bool TNTabEd::IsNominalCol(int ACol) const {
    const int t = FData->GetMScaleType(ACol);
    return t == 1 || t == 2;
}

std::string TNTabEd::NominalText(int ACol, double v) const {
    const double rv = std::round(v);
    if (rv >= 1 && rv <= MaxNominalOrdinal) {
        std::string id = FData->GetNominalID(ACol, int(rv));
        if (!id.empty()) return id;
    }
    const int t = FData->GetMScaleType(ACol);
    std::string n = std::isfinite(rv) && std::fabs(rv) < 1e18 ? std::to_string((long long)rv)
                                                              : FloatToFieldStr(1, -2, v);
    return MScaleTypeNames[std::size_t(t)] + ":" + n;
}

std::string TNTabEd::CellText(int ACol, int ARow) const {
    if (!InTable(ACol, ARow)) return {};
    const std::uint8_t s = FData->GetCellState(ACol, ARow);
    if (s & dtsEmpty) return {};
    if (s & dtsInvalid) return "-nan-";
    const double v = FData->GetElem(ACol, ARow);
    if (IsNominalCol(ACol)) return NominalText(ACol, v);
    return FormatCellValue(FNumWidth, Precision(ACol), v);
}

// ---- Painting ---------------------------------------------------------------------------------

void TNTabEd::Paint() {
    if (Gated()) return;
    TCustomGrid::Paint();
    if (FOptimizeRowHeight) {
        Canvas().Font().Assign(&Font());
        const int h = std::max(Canvas().TextHeight("9GMg\xC3\x9C$\xC2\xA7[{|") + 2 + 2, 8);
        const bool attribRow = FRowOffset == 1 && TCustomGrid::RowHeights(1) != h;
        // Row heights change the layout, which must not happen while the form paints: the new
        // heights are set from the message loop right after, unless the editor is gone by then.
        if (attribRow || DefaultRowHeight() != h)
            Application->PostCall([this, alive = std::weak_ptr<bool>(FAlive), h] {
                if (alive.expired() || !FOptimizeRowHeight) return;
                if (FRowOffset == 1) TCustomGrid::SetRowHeights(1, h);
                if (DefaultRowHeight() != h) SetDefaultRowHeight(h);
            });
    }
}

void TNTabEd::DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) {
    TCanvas& C = Canvas();
    C.Font().Assign(&Font());
    C.Brush().SetStyle(bsSolid);
    if (ACol == 0 && ARow == 0) {
        DrawTopLeft(C, ARect, FCommentOpen);
        return;
    }
    if (ACol > FColOffset && ARow > FRowOffset) {
        const int dc = ACol - FColOffset, dr = ARow - FRowOffset;
        if (!InTable(dc, dr)) return;
        const bool selected =
            AState.contains(gdSelected) &&
            (!AState.contains(gdFocused) || Options().contains(goDrawFocusSelected));
        std::string text = CellText(dc, dr);
        const std::uint8_t s = FData->GetCellState(dc, dr);
        const bool a = (s & dtsMarkA) != 0, b = (s & dtsMarkB) != 0;
        TColor fg = selected ? FColorRangeSelFG : FColorNormal;
        TColor bg = selected ? FColorRangeSelBG : Color();
        TFontStyles styles = Font().Style();
        if (a || b) {
            fg = a && b ? FColorMarkedBoth : (a ? FColorMarkedA : FColorMarkedB);
            if (FBoldMarks) styles.include(fsBold);
        }
        if (FOnBeforeRenderCell) FOnBeforeRenderCell(this, dc, dr, text, fg, bg, styles);
        C.Brush().SetColor(bg);
        C.FillRect(ARect);
        C.Font().SetColor(fg);
        C.Font().SetStyle(styles);
        C.TextRect(ARect, ARect.Left + 2, ARect.Top + 1, text);
        return;
    }
    DrawHeaderCell(C, ACol, ARow, ARect);
}

void TNTabEd::DrawHeaderCell(TCanvas& C, int ACol, int ARow, TRect R) {
    const bool attribCol = FColOffset == 1 && ACol == 1;
    const bool attribRow = FRowOffset == 1 && ARow == 1;
    if (attribCol && attribRow) return; // where the attribute row meets the attribute column
    const bool attribLabel = ARow == 0 && attribCol;
    if (R.Right > R.Left) {
        R.Left += 1;
        R.Right -= 1;
    }
    if (R.Bottom > R.Top) {
        R.Top += 1;
        R.Bottom -= 1;
    }
    if (!attribLabel) R.Right -= 2;
    const TGridRect sel = Selection();
    bool highlighted = false;
    std::string text;
    int y = R.Top + 1;
    if (ARow > FRowOffset) {
        // A row header: the name (grid column 0) or the row attribute.
        const int dr = ARow - FRowOffset;
        highlighted = ARow == sel.Top;
        if (ACol == 0) {
            text = RowName(dr);
            y = R.Top;
        } else {
            text = std::to_string(RowAttrib(dr));
        }
    } else if (ACol > FColOffset) {
        const int dc = ACol - FColOffset;
        highlighted = ACol == sel.Left;
        text = attribRow ? std::to_string(ColAttrib(dc)) : ColName(dc);
    } else if (attribRow && ACol == 0) {
        text = "Attribute";
    } else if (attribLabel) {
        text = "Attrib";
    }
    TFontStyles styles = Font().Style();
    if (highlighted && FBoldSelHeads) styles.include(fsBold);
    C.Font().SetStyle(styles);
    C.Font().SetColor(highlighted ? FColorSelected : FColorNormal);
    C.Brush().SetStyle(bsClear);
    C.TextRect(R, R.Left + 2, y, text);
    C.Brush().SetStyle(bsSolid);
    C.Font().SetStyle(Font().Style());
}

void TNTabEd::DrawTopLeft(TCanvas& C, const TRect& R, bool CommentMode) {
    C.Font().Assign(&Font());
    if (CommentMode) {
        C.Brush().SetColor(TColor(0x808000));
        C.FillRect(R);
        C.Font().SetColor(clWhite);
        C.TextRect(R, R.Left + 3, R.Top + 2, "Comment:");
        return;
    }
    C.Brush().SetColor(clWindow);
    C.FillRect(R);
    if (!FShowCellCursor) return;
    const TGridRect sel = Selection();
    C.Font().SetColor(FColorNormal);
    C.TextRect(R, R.Left + 3, R.Top + 2,
               std::to_string(sel.Left - FColOffset) + ":" + std::to_string(sel.Top - FRowOffset));
}

void TNTabEd::ShowCellCursorNow() {
    if (FShowCellCursor && !Gated()) InvalidateCell(0, 0);
}

// ---- Widths and heights ---------------------------------------------------------------------

int TNTabEd::AutoColWidth(int ColNr, bool IncludeHeader, int Addon) {
    TCanvas& C = Canvas();
    C.Font().Assign(&Font());
    int w = 0;
    if (ColNr == -1) {
        w = C.TextWidth(IncludeHeader ? "Attrib" : "255");
    } else if (ColNr == 0) {
        w = C.TextWidth("999:9999");
        for (int r = 1; r <= NrOfRows(); ++r) w = std::max(w, C.TextWidth(RowName(r)));
    } else if (ColNr <= NrOfColumns()) {
        if (IncludeHeader) w = C.TextWidth(ColName(ColNr));
        w = std::max(w, C.TextWidth(std::to_string(ColAttrib(ColNr))));
        const int d = Precision(ColNr);
        for (int r = 1; r <= NrOfRows(); ++r)
            w = std::max(w, C.TextWidth(FormatCellValue(FNumWidth, d, FData->GetElem(ColNr, r))));
    } else {
        return 0;
    }
    w = std::max(w + Addon + 8, 4);
    SetColWidths(ColNr, w);
    return w;
}

int TNTabEd::AutoRowHeight(int RowNr, int Addon) {
    Canvas().Font().Assign(&Font());
    const int h = std::max(Canvas().TextHeight("9GMg\xC3\x9C$\xC2\xA7[{|") + Addon + 2, 8);
    SetRowHeight(RowNr, h);
    return h;
}

} // namespace kel
