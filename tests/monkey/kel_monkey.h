// Random input for components on a headless form, shared by the monkey test (seeded random
// numbers) and the input-sequence fuzz target (the fuzzer's bytes). A TMonkey sends one event at
// a time to one of its targets: clicks, double-clicks, drags, wheel turns, pointer moves, key
// strokes, typed text, timer time passing on the manual clock, resizes of the form or the target,
// and property sets drawn from the target class's published list. After every event Check()
// tests what must always hold: grid cursors and selections inside the grid, a table editor's grid
// following its table, a report list's rows only permuted by anything but a property set,
// enumerations inside their list of names, sizes not negative, and no exception other than the
// framework's own escaping an event. The loop paints after every event, or, in bursts, only
// when time passes (the loop going idle) and when the caller flushes.
#pragma once

#include "headless.h"
#include "kel_app.h"
#include "kel_forms.h"
#include "kel_grids.h"
#include "kel_props.h"
#include "rlview.h"
#include "KEL_ntabed.h"

#include <algorithm>
#include <cstdint>
#include <exception>
#include <functional>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace kel::monkey {

// Where the choices come from: Next(n) gives 0..n-1 (n > 0).
class TChoices {
  public:
    virtual ~TChoices() = default;
    virtual std::uint32_t Next(std::uint32_t n) = 0;
    // False once a byte source is used up (the event sequence ends there).
    virtual bool More() const { return true; }
};

// Seeded, the same sequence on every platform (mt19937_64 is fully specified).
class TSeeded : public TChoices {
  public:
    explicit TSeeded(std::uint64_t Seed) : FRng(Seed) {}
    std::uint32_t Next(std::uint32_t n) override { return static_cast<std::uint32_t>(FRng() % n); }

  private:
    std::mt19937_64 FRng;
};

// The fuzzer's bytes, one or two per choice; zeros once they run out.
class TBytes : public TChoices {
  public:
    TBytes(const std::uint8_t* Data, std::size_t Size) : FData(Data), FSize(Size) {}
    std::uint32_t Next(std::uint32_t n) override {
        std::uint32_t v = Byte();
        if (n > 256) v = v << 8 | Byte();
        return v % n;
    }
    bool More() const override { return FPos < FSize; }

  private:
    std::uint32_t Byte() { return FPos < FSize ? FData[FPos++] : 0; }
    const std::uint8_t* FData;
    std::size_t FSize;
    std::size_t FPos = 0;
};

class TMonkey {
  public:
    TMonkey(TForm& Form, std::vector<TControl*> Targets)
        : FForm(Form), FTargets(std::move(Targets)) {
        Application->SetOnException([this](TObject*, const std::exception& E) {
            if (dynamic_cast<const Exception*>(&E) == nullptr)
                FFault = std::string("a non-framework exception reached the loop: ") + E.what();
            ++FHandled;
        });
        // The published lists and the kinds of check a target needs, looked up once (the
        // lookup by class name and the casts would otherwise be paid after every event).
        for (TControl* t : FTargets) {
            TTarget& i = FInfo[t];
            i.Grid = dynamic_cast<TCustomGrid*>(t);
            i.View = dynamic_cast<TReportListView*>(t);
            if (const TClassInfo* ci = ClassInfoOf(*t))
                for (const TPropInfo* p : ci->AllProps()) {
                    if (p->Set && p->Type != TPropType::Object && p->Name != "Name")
                        i.Settable.push_back(p);
                    if (p->Type == TPropType::Enum && p->Get) i.Enums.push_back(p);
                }
            Remember(t);
        }
    }
    ~TMonkey() { Application->SetOnException(nullptr); }
    TMonkey(const TMonkey&) = delete;
    TMonkey& operator=(const TMonkey&) = delete;

    // Sends one event chosen by C and returns what it was (for the failure message).
    std::string Step(TChoices& C) {
        TControl* t = FTargets[C.Next(static_cast<std::uint32_t>(FTargets.size()))];
        const int kind = static_cast<int>(C.Next(16));
        std::string what = t->ClassName() + " \"" + t->Name() + "\": ";
        // A dialog the event opens is closed again by the next loop step.
        headless::Host().SetModalScript([](TForm& f) { f.SetModalResult(mrCancel); });
        bool propertySet = false;
        try {
            what += Send(*t, kind, C, propertySet);
            if (FBursts)
                headless::Deliver(); // time passing (Advance) has painted already
            else
                headless::Flush();
        } catch (const Exception& e) {
            ++FRaised; // the framework's own errors are answers, not faults
            what += std::string(" (raised: ") + e.what() + ")";
        } catch (const std::exception& e) {
            FFault = std::string("a non-framework exception escaped the event: ") + e.what();
        }
        if (propertySet) Remember(t);
        return what;
    }

    // Empty when everything holds, else what does not.
    std::string Check() {
        if (!FFault.empty()) return FFault;
        for (TControl* t : FTargets) {
            std::string f = CheckOne(*t, FInfo[t]);
            if (!f.empty()) return t->ClassName() + " \"" + t->Name() + "\": " + f;
        }
        return {};
    }

    // In bursts, an event other than time passing delivers what it posted but leaves painting
    // for the next step of time or the caller's Flush: the state checks after each event do
    // not need the pixels, and a paint after every event took half the time.
    void SetBursts(bool Value) { FBursts = Value; }

    int Raised() const { return FRaised; }
    int Handled() const { return FHandled; }

  private:
    static TShiftState Shift(TChoices& C) {
        const std::uint32_t b = C.Next(8);
        TShiftState s;
        if (b & 1) s.include(ssShift);
        if (b & 2) s.include(ssCtrl);
        if (b & 4 && C.Next(4) == 0) s.include(ssAlt);
        return s;
    }
    // A point in the target, now and then just outside it.
    static int Coord(TChoices& C, int Size) {
        return static_cast<int>(C.Next(static_cast<std::uint32_t>(std::max(Size, 1) + 8))) - 4;
    }

    std::string Send(TControl& T, int Kind, TChoices& C, bool& PropertySet) {
        const int x = Coord(C, T.Width()), y = Coord(C, T.Height());
        const std::string at = " at " + std::to_string(x) + "," + std::to_string(y);
        const bool onForm = T.Parent() != nullptr && T.Visible() && T.Width() > 0 && T.Height() > 0;
        switch (Kind) {
        case 0:
        case 1:
        case 2: {
            if (!onForm) return "click skipped (hidden)";
            const auto button = static_cast<TMouseButton>(C.Next(6) == 0 ? 1 + C.Next(2) : 0);
            headless::ClickAt(T, x, y, Shift(C), button);
            return "click" + at;
        }
        case 3:
            if (!onForm) return "double-click skipped (hidden)";
            headless::DoubleClickAt(T, x, y, Shift(C));
            return "double-click" + at;
        case 4: {
            if (!onForm) return "drag skipped (hidden)";
            const int x2 = Coord(C, T.Width()), y2 = Coord(C, T.Height());
            headless::Drag(T, x, y, x2, y2, Shift(C), 1 + static_cast<int>(C.Next(4)));
            return "drag" + at + " to " + std::to_string(x2) + "," + std::to_string(y2);
        }
        case 5: {
            if (!onForm) return "wheel skipped (hidden)";
            const int delta = (static_cast<int>(C.Next(7)) - 3) * 120 + (C.Next(4) == 0 ? 17 : 0);
            headless::Wheel(T, x, y, delta, Shift(C));
            return "wheel " + std::to_string(delta) + at;
        }
        case 6:
            if (!onForm) return "move skipped (hidden)";
            headless::MoveTo(T, x, y, Shift(C));
            return "move" + at;
        case 7:
        case 8:
        case 9: {
            static const std::uint16_t keys[] = {
                VK_LEFT,  VK_RIGHT,  VK_UP,     VK_DOWN,     VK_HOME, VK_END,    VK_PRIOR,
                VK_NEXT,  VK_RETURN, VK_ESCAPE, VK_TAB,      VK_BACK, VK_DELETE, VK_INSERT,
                VK_SPACE, VK_F2,     VK_ADD,    VK_SUBTRACT, 'A',     'C',       'V',
                'X',      'Z',       '0',       '5',         '9'};
            const std::uint16_t key = keys[C.Next(sizeof keys / sizeof keys[0])];
            const TShiftState s = Shift(C);
            headless::KeyStroke(FForm, key, s);
            return "key " + std::to_string(key) + " shift " + std::to_string(s.Bits());
        }
        case 10: {
            static const char chars[] = "0123456789.,-+eE xZ\xc3\xa4";
            std::string text;
            for (int n = 1 + static_cast<int>(C.Next(6)); n > 0; --n)
                text += chars[C.Next(sizeof chars - 1)];
            if (static_cast<unsigned char>(text.back()) == 0xC3) text.pop_back();
            headless::Type(FForm, text);
            return "type \"" + text + "\"";
        }
        case 11: {
            // Mostly short steps; now and then long enough for slow timers (each tick paints).
            const int ms = static_cast<int>(C.Next(8) == 0 ? C.Next(1500) : C.Next(120));
            Application->Advance(ms);
            return "time +" + std::to_string(ms) + " ms";
        }
        case 12: {
            if (C.Next(2) == 0) {
                const int w = static_cast<int>(C.Next(900)), h = static_cast<int>(C.Next(700));
                FForm.SetClientSize(w, h);
                return "form client size " + std::to_string(w) + "x" + std::to_string(h);
            }
            const int w = static_cast<int>(C.Next(400)), h = static_cast<int>(C.Next(300));
            T.SetBounds(T.Left(), T.Top(), w, h);
            return "size " + std::to_string(w) + "x" + std::to_string(h);
        }
        default:
            PropertySet = true;
            return SetProperty(T, C);
        }
    }

    // Sets a published property of T to a value of its type: small numbers around the usual
    // ranges (and a few just outside), any colour, any name of an enumeration and a few past it.
    std::string SetProperty(TControl& T, TChoices& C) {
        const std::vector<const TPropInfo*>& props = FInfo[&T].Settable;
        if (props.empty()) return "no settable property";
        const TPropInfo& p = *props[C.Next(static_cast<std::uint32_t>(props.size()))];
        auto smallInt = [&]() -> std::int64_t {
            static const std::int64_t edges[] = {-1, 0, 1, 2, 3, 10, 100, 255, 256, 1000, -100};
            std::int64_t v = C.Next(3) == 0 ? edges[C.Next(sizeof edges / sizeof edges[0])]
                                            : static_cast<std::int64_t>(C.Next(60)) - 5;
            return std::clamp(v, p.MinInt, p.MaxInt);
        };
        auto number = [&]() -> double {
            static const double edges[] = {0.0, -1.0, 1.0, 0.5, 100.0, 1e6, -1e6, 1e-9, 360.0};
            return C.Next(2) == 0 ? edges[C.Next(sizeof edges / sizeof edges[0])]
                                  : (static_cast<double>(C.Next(20001)) - 10000.0) / 100.0;
        };
        auto text = [&]() -> std::string {
            static const char* texts[] = {"",     "0",         "12.5", "-3",
                                          "abc",  "1e3",       "x\ny", "\xc3\xa4\xc3\xb6",
                                          "  7 ", "9999999999"};
            return texts[C.Next(sizeof texts / sizeof texts[0])];
        };
        TPropValue v;
        switch (p.Type) {
        case TPropType::Integer:
            v = smallInt();
            break;
        case TPropType::Float:
            v = number();
            break;
        case TPropType::Bool:
            v = C.Next(2) == 1;
            break;
        case TPropType::String:
            v = text();
            break;
        case TPropType::Enum:
            v = static_cast<std::int64_t>(C.Next(static_cast<std::uint32_t>(p.EnumNames.size())));
            break;
        case TPropType::Set:
            v = static_cast<std::int64_t>(
                C.Next(1u << std::min<std::size_t>(p.EnumNames.size(), 16)));
            break;
        case TPropType::Color: {
            static const std::int64_t colors[] = {0x000000,   0xFFFFFF,   0x0000FF,
                                                  0x1FFFFFFF, 0x80000005, 0x20000000};
            v = C.Next(2) == 0 ? colors[C.Next(sizeof colors / sizeof colors[0])]
                               : static_cast<std::int64_t>(C.Next(0x1000000));
            v = std::clamp(std::get<std::int64_t>(v), p.MinInt, p.MaxInt);
            break;
        }
        case TPropType::Strings: {
            std::vector<std::string> list;
            for (int n = static_cast<int>(C.Next(5)); n > 0; --n) list.push_back(text());
            v = list;
            break;
        }
        case TPropType::Integers: {
            std::vector<std::int64_t> list;
            for (int n = static_cast<int>(C.Next(5)); n > 0; --n) list.push_back(smallInt());
            v = list;
            break;
        }
        case TPropType::Floats: {
            std::vector<double> list;
            for (int n = static_cast<int>(C.Next(5)); n > 0; --n) list.push_back(number());
            v = list;
            break;
        }
        case TPropType::Object:
            return "object skipped";
        case TPropType::Component:
            return "component reference skipped"; // references are checked by the form files
        }
        p.Set(T, v);
        return "set " + p.Name + " = " + Describe(v);
    }

    static std::string Describe(const TPropValue& v) {
        if (auto* i = std::get_if<std::int64_t>(&v)) return std::to_string(*i);
        if (auto* d = std::get_if<double>(&v)) return std::to_string(*d);
        if (auto* b = std::get_if<bool>(&v)) return *b ? "true" : "false";
        if (auto* s = std::get_if<std::string>(&v)) return "\"" + *s + "\"";
        if (auto* l = std::get_if<std::vector<std::string>>(&v))
            return std::to_string(l->size()) + " texts";
        if (auto* l = std::get_if<std::vector<std::int64_t>>(&v))
            return std::to_string(l->size()) + " integers";
        if (auto* l = std::get_if<std::vector<double>>(&v))
            return std::to_string(l->size()) + " numbers";
        return "?";
    }

    // The rows of a report list as an order-free fingerprint: the row count and the sum and
    // the xor of the rows' hashes (a permutation keeps all three). Large tables (which property
    // sets can make) are not fingerprinted: the check would cost more than the events.
    struct TRowSet {
        int Rows = -1; // -1: not fingerprinted
        std::uint64_t Sum = 0, Xor = 0;
        bool operator==(const TRowSet&) const = default;
    };
    static TRowSet RowSet(TReportListView& V) {
        const TRLData& d = V.Data();
        TRowSet f;
        if (static_cast<long long>(d.NrOfRows()) * d.NrOfColumns() > 4000) return f;
        f.Rows = d.NrOfRows();
        std::string s;
        for (int r = 1; r <= d.NrOfRows(); ++r) {
            s.clear();
            for (int c = 1; c <= d.NrOfColumns(); ++c) (s += d.Elem(c, r)) += '\x1f';
            const std::uint64_t h = std::hash<std::string>()(s);
            f.Sum += h;
            f.Xor ^= h * 0x9E3779B97F4A7C15ULL;
        }
        return f;
    }

    struct TTarget {
        std::vector<const TPropInfo*> Settable; // what property sets choose from
        std::vector<const TPropInfo*> Enums;    // checked after every event
        TCustomGrid* Grid = nullptr;            // the target as a grid, if it is one
        TReportListView* View = nullptr;        // the target as a report list, if it is one
        TRowSet Rows;                           // a report list's rows as last seen
        bool Editable = false;                  // whether its cells could be edited then
    };

    void Remember(TControl* T) {
        TTarget& i = FInfo[T];
        if (i.View != nullptr) i.Rows = RowSet(*i.View);
    }

    std::string CheckOne(TControl& T, TTarget& I) {
        if (T.Width() < 0 || T.Height() < 0) return "negative size";
        if (TCustomGrid* g = I.Grid) {
            const int cols = g->ColCount(), rows = g->RowCount();
            // A report list without row selection parks its selection on the one cell past
            // the last column and row, outside the grid, on purpose (with row select on, the
            // selection still spans the columns).
            TReportListView* view = I.View;
            const TGridRect sel = g->Selection();
            const bool parked = view != nullptr && view->RowSelectMode() == 0 && g->Col() >= cols &&
                                g->Row() >= rows && g->Col() <= cols + 1 && g->Row() <= rows + 1 &&
                                sel.Top == g->Row() && sel.Bottom == g->Row();
            if (!parked && (g->Col() < 0 || g->Col() >= cols || g->Row() < 0 || g->Row() >= rows))
                return "current cell " + std::to_string(g->Col()) + "," + std::to_string(g->Row()) +
                       " outside " + std::to_string(cols) + "x" + std::to_string(rows);
            const TGridRect s = sel;
            if (!parked && (s.Left < 0 || s.Top < 0 || s.Right >= cols || s.Bottom >= rows ||
                            s.Left > s.Right || s.Top > s.Bottom))
                return "selection " + std::to_string(s.Left) + "," + std::to_string(s.Top) + ".." +
                       std::to_string(s.Right) + "," + std::to_string(s.Bottom) + " outside " +
                       std::to_string(cols) + "x" + std::to_string(rows);
            if (g->TopRow() < 0 || g->TopRow() >= rows || g->LeftCol() < 0 || g->LeftCol() >= cols)
                return "first visible cell " + std::to_string(g->LeftCol()) + "," +
                       std::to_string(g->TopRow()) + " outside the grid";
        }
        if (auto* e = dynamic_cast<TNTabEd*>(&T)) {
            // The table editor's grid is its table plus the offsets and the name column / row.
            if (e->ColCount() != e->NrOfColumns() + e->ColOffset() + 1 ||
                e->RowCount() != e->NrOfRows() + e->RowOffset() + 1)
                return "grid " + std::to_string(e->ColCount()) + "x" +
                       std::to_string(e->RowCount()) + " does not follow its table " +
                       std::to_string(e->NrOfColumns()) + "x" + std::to_string(e->NrOfRows());
        }
        if (TReportListView* v = I.View) {
            const TRowSet now = RowSet(*v);
            // Typing into a cell changes content legitimately when editing was on before the
            // event or is now: an editable column, or goEditing set through Options (it holds
            // until the next cell is selected, whose commit may come with a click).
            bool editable = v->Options().contains(goEditing);
            for (int c = 1; c <= v->Data().NrOfColumns() && !editable; ++c)
                editable = v->ColumnEditable(c);
            if (I.Rows.Rows >= 0 && now.Rows >= 0 && !(now == I.Rows) && !editable && !I.Editable)
                return "the rows are no longer a permutation of what they were";
            I.Rows = now;
            I.Editable = editable;
        }
        // Enumerations read back inside their list of names.
        for (const TPropInfo* p : I.Enums) {
            const std::int64_t e = std::get<std::int64_t>(p->Get(T));
            if (e < 0 || e >= static_cast<std::int64_t>(p->EnumNames.size()))
                return p->Name + " reads " + std::to_string(e) + ", not one of its names";
        }
        return {};
    }

    TForm& FForm;
    std::vector<TControl*> FTargets;
    std::map<TControl*, TTarget> FInfo;
    std::string FFault;
    int FRaised = 0;
    int FHandled = 0;
    bool FBursts = false;
};

} // namespace kel::monkey
