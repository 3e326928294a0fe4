// Form files: every registered class writes nothing when fresh and survives a round trip with
// every published property changed; the loading state and the order of Loaded; the format's
// details (names, sub-objects, lists, escapes, nesting and z-order); and bad files, which must
// say which line is wrong and leave nothing behind.
#include "KEL_Meter.h"
#include "kel_controls.h"
#include "kel_forms.h"
#include "kel_props.h"
#include "kel_registry_check.h"
#include "kel_streaming.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace kel {
namespace {

// ---- Helpers for the generic tests ------------------------------------------------------------

// Properties that cannot take a non-default value on an instance by themselves (class that
// declares them, property): the rank of a form, which has no siblings; file names that are
// cleared unless the file exists; a logarithmic scale, which needs positive limits first; the
// text of a numeric edit box, which must read as a number inside its range; a reference to a
// popup menu, a colour dialog or a label's focus control, which needs that component in the
// file (references have tests of their own).
const std::vector<std::pair<std::string, std::string>> kUnchangeable = {
    {"TForm", "TabOrder"},     {"TMeter", "AnchorImage"},       {"TMeter", "BackGroundImg"},
    {"TMeter", "Logarithmic"}, {"TProgBar", "BackGroundImg"},   {"TNumIO", "Text"},
    {"TControl", "PopupMenu"}, {"TColorButton", "ColorDialog"}, {"TLabel", "FocusControl"},
    {"TMiniCal", "Hint"}}; // the calendar's hint follows its day

bool Unchangeable(const TClassInfo& c, const std::string& prop) {
    for (const auto& [cls, name] : kUnchangeable)
        if (c.InheritsFrom(cls) && prop == name) return true;
    return false;
}

struct Snapshot {
    std::vector<std::pair<std::string, TPropValue>> Values; // "Font.Height" -> value
};

void Collect(const TPersistent& o, const std::string& prefix, Snapshot& s) {
    const TClassInfo* info = ClassInfoOf(o);
    ASSERT_NE(info, nullptr) << o.ClassName();
    for (const TPropInfo* p : info->AllProps()) {
        if (p->Type == TPropType::Object) {
            if (TPersistent* sub = p->SubObject(const_cast<TPersistent&>(o)))
                Collect(*sub, prefix + p->Name + ".", s);
        } else {
            s.Values.emplace_back(prefix + p->Name, p->Get(o));
        }
    }
}

std::vector<TPropValue> Candidates(const TPropInfo& p, const TPropValue& cur) {
    std::vector<TPropValue> out;
    switch (p.Type) {
    case TPropType::Integer: {
        const std::int64_t v = std::get<std::int64_t>(cur);
        for (std::int64_t c : {v + 1, v - 1, v + 5, v + 100, std::int64_t(3), std::int64_t(50)})
            out.emplace_back(c);
        break;
    }
    case TPropType::Float: {
        const double v = std::get<double>(cur);
        for (double c : {v + 0.25, v - 0.25, v * 2 + 1, 0.5, 1.5, 0.1}) out.emplace_back(c);
        break;
    }
    case TPropType::Bool:
        out.emplace_back(!std::get<bool>(cur));
        break;
    case TPropType::String:
        for (const char* c : {"Changed \"text\" \xC3\xA9 \\ end", "X1", "A", "12", "10", "1"})
            out.emplace_back(std::string(c));
        break;
    case TPropType::Enum: // last first: alCustom rather than an alignment that moves the control
        for (std::size_t i = p.EnumNames.size(); i-- > 0;) out.emplace_back(std::int64_t(i));
        break;
    case TPropType::Set:
        for (std::size_t i = 0; i < p.EnumNames.size(); ++i)
            out.emplace_back(
                std::int64_t(std::uint64_t(std::get<std::int64_t>(cur)) ^ (std::uint64_t(1) << i)));
        break;
    case TPropType::Color:
        for (TColor c : {clRed, clBlue, TColor(0x123456), clBtnFace, clBlack})
            out.emplace_back(std::int64_t(c));
        break;
    case TPropType::Strings:
        out.emplace_back(std::vector<std::string>{"one", "two \xC3\xA9", "three \"q\""});
        out.emplace_back(std::vector<std::string>{"a"});
        break;
    case TPropType::Integers:
        out.emplace_back(std::vector<std::int64_t>{1, 2, 3});
        out.emplace_back(std::vector<std::int64_t>{10});
        out.emplace_back(std::vector<std::int64_t>{1, 1, 0xFF}); // an image: 1 x 1, one pixel
        break;
    case TPropType::Floats:
        out.emplace_back(std::vector<double>{0.5, 1.5});
        out.emplace_back(std::vector<double>{2});
        break;
    case TPropType::Object:
    case TPropType::Component:
        break;
    }
    return out;
}

std::string Show(const TPropValue& v);

// Every plain property of o and its sub-objects with the object it belongs to.
struct Setting {
    TPersistent* Obj;
    const TPropInfo* Prop;
    TPropValue Value;
    TPropValue Default;
};

void Settings(TPersistent& o, const TPersistent& proto, std::vector<Setting>& out) {
    const TClassInfo* info = ClassInfoOf(o);
    if (info == nullptr) return;
    for (const TPropInfo* p : info->AllProps()) {
        if (p->Type == TPropType::Object) {
            TPersistent* sub = p->SubObject(o);
            TPersistent* subProto = p->SubObject(const_cast<TPersistent&>(proto));
            if (sub != nullptr && subProto != nullptr) Settings(*sub, *subProto, out);
        } else {
            out.push_back({&o, p, p->Get(o), p->Get(proto)});
        }
    }
}

int ChangedCount(const std::vector<Setting>& s) {
    int n = 0;
    for (const Setting& x : s) n += x.Prop->Get(*x.Obj) != x.Default;
    return n;
}

// Gives every property of o a value other than its default (taken from proto, the same object
// freshly constructed) where a candidate is accepted. A property already off its default (a
// side effect of an earlier one) is left alone, and a candidate that brings earlier changes
// back to their defaults (ParentFont = true restores the parent's font) is undone.
void ChangeAll(TPersistent& o, const TPersistent& proto) {
    std::vector<Setting> all;
    Settings(o, proto, all);
    for (const Setting& target : all) {
        const TPropInfo* p = target.Prop;
        TPersistent& obj = *target.Obj;
        if (p->Get(obj) != target.Default) continue;
        for (const TPropValue& c : Candidates(*p, p->Get(obj))) {
            std::vector<Setting> saved;
            Settings(o, proto, saved);
            const int before = ChangedCount(saved);
            try {
                p->Set(obj, c);
            } catch (const std::exception&) {
                continue;
            }
            if (p->Get(obj) != target.Default && ChangedCount(saved) > before) break;
            for (const Setting& x : saved) {
                try {
                    x.Prop->Set(*x.Obj, x.Value);
                } catch (const std::exception&) {
                }
            }
        }
    }
}

std::string Show(const TPropValue& v) {
    std::ostringstream s;
    if (auto* i = std::get_if<std::int64_t>(&v))
        s << *i;
    else if (auto* d = std::get_if<double>(&v))
        s << *d;
    else if (auto* b = std::get_if<bool>(&v))
        s << (*b ? "true" : "false");
    else if (auto* t = std::get_if<std::string>(&v))
        s << '"' << *t << '"';
    else
        s << "(list)";
    return s.str();
}

std::vector<const TClassInfo*> CreatableClasses() {
    std::vector<const TClassInfo*> out;
    for (const std::string& n : RegisteredClassNames())
        if (const TClassInfo* c = FindClass(n); c != nullptr && c->Create) out.push_back(c);
    return out;
}

// ---- Every registered class -------------------------------------------------------------------

TEST(FormFileTest, FreshInstanceOfEveryRegisteredClassWritesNoProperty) {
    auto classes = CreatableClasses();
    ASSERT_GE(classes.size(), 6u); // at least the framework's own
    for (const TClassInfo* c : classes) {
        SCOPED_TRACE(c->Name);
        std::unique_ptr<TComponent> obj(c->Create(nullptr));
        EXPECT_EQ(ComponentToText(*obj), "object " + c->Name + "\nend\n");
        // The declared defaults are the constructor's values, also where the writer would not
        // look at them (properties never stored).
        EXPECT_TRUE(test::HasDeclaredDefaults(*obj, *c));
    }
}

TEST(FormFileTest, FreshFontHasItsDeclaredDefaults) {
    TFont f;
    const TClassInfo* info = ClassInfoOf(f);
    ASSERT_NE(info, nullptr);
    EXPECT_TRUE(test::HasDeclaredDefaults(f, *info));
}

TEST(FormFileTest, EveryRegisteredClassRoundTripsWithEveryPropertyChanged) {
    for (const TClassInfo* c : CreatableClasses()) {
        SCOPED_TRACE(c->Name);
        std::unique_ptr<TComponent> proto(c->Create(nullptr));
        // A control sits on a form, a form is the root, anything else sits in a component.
        std::unique_ptr<TComponent> host;
        TComponent* subject = nullptr;
        if (c->InheritsFrom("TForm")) {
            host.reset(c->Create(nullptr));
            subject = host.get();
        } else if (c->InheritsFrom("TControl")) {
            host = std::make_unique<TForm>(nullptr);
            subject = c->Create(host.get());
            static_cast<TControl*>(subject)->SetParent(static_cast<TForm*>(host.get()));
        } else {
            host = std::make_unique<TComponent>(nullptr);
            subject = c->Create(host.get());
        }
        subject->SetName("Subject");
        ChangeAll(*subject, *proto);

        Snapshot before;
        Collect(*subject, "", before);
        Snapshot defaults;
        Collect(*proto, "", defaults);
        for (std::size_t i = 0; i < before.Values.size(); ++i) {
            const std::string key = c->Name + "." + before.Values[i].first;
            if (Unchangeable(*c, before.Values[i].first) || key.ends_with(".Size")) continue;
            // A class whose controls keep their own font or colour by default cannot follow
            // the parent's while its own font or colour is changed.
            if ((key.ends_with(".ParentFont") || key.ends_with(".ParentColor")) &&
                defaults.Values[i].second == TPropValue(false))
                continue;
            EXPECT_NE(before.Values[i].second, defaults.Values[i].second)
                << key << " could not be given a value other than its default "
                << Show(defaults.Values[i].second);
        }

        const std::string text = ComponentToText(*host);
        std::unique_ptr<TComponent> back;
        try {
            back.reset(ComponentFromText(text, nullptr));
        } catch (const std::exception& e) {
            ADD_FAILURE() << e.what() << "\n" << text;
            continue;
        }
        TComponent* read = back->Name() == "Subject" ? back.get() : back->FindComponent("Subject");
        ASSERT_NE(read, nullptr) << text;
        Snapshot after;
        Collect(*read, "", after);
        ASSERT_EQ(after.Values.size(), before.Values.size());
        for (std::size_t i = 0; i < before.Values.size(); ++i)
            EXPECT_EQ(after.Values[i].second, before.Values[i].second)
                << c->Name << "." << before.Values[i].first << " read back as "
                << Show(after.Values[i].second) << " instead of " << Show(before.Values[i].second)
                << "\n"
                << text;
        // Writing what was read gives the same text again.
        EXPECT_EQ(ComponentToText(*back), text);
    }
}

// ---- The loading state ------------------------------------------------------------------------

std::vector<std::string>& LoadedLog() {
    static std::vector<std::string> log;
    return log;
}

// A meter that notes, when Loaded runs, its value before the meter checks it.
class TProbeMeter : public TMeter {
  public:
    explicit TProbeMeter(TComponent* AOwner) : TMeter(AOwner) {}
    std::string ClassName() const override { return "TProbeMeter"; }
    double ValueWhileLoading = 0;
    bool WasLoading = false;

  protected:
    void Loaded() override {
        ValueWhileLoading = Value();
        WasLoading = ComponentState().contains(csLoading);
        LoadedLog().push_back(Name());
        TMeter::Loaded();
    }
};

const TClassRegistrar<TProbeMeter> probeReg("TProbeMeter", "TMeter", [](auto&) {});

TEST(FormFileTest, MeterKeepsAnOutOfRangeValueWhileLoadingAndLoadedClampsIt) {
    std::unique_ptr<TComponent> c(ComponentFromText("object M: TProbeMeter\n"
                                                    "  MeterMaxValue = 10\n"
                                                    "  Value = 25\n"
                                                    "end\n",
                                                    nullptr));
    auto* m = dynamic_cast<TProbeMeter*>(c.get());
    ASSERT_NE(m, nullptr);
    EXPECT_TRUE(m->WasLoading);
    EXPECT_DOUBLE_EQ(m->ValueWhileLoading, 25);
    EXPECT_DOUBLE_EQ(m->Value(), 10);
    EXPECT_FALSE(m->ComponentState().contains(csLoading));

    // The same order of lines on a meter built in code clamps at once.
    TMeter coded(nullptr);
    coded.SetMeterMaxValue(10);
    coded.SetValue(25);
    EXPECT_DOUBLE_EQ(coded.Value(), 10);
}

TEST(FormFileTest, LoadedRunsOnEveryObjectInCreationOrderAfterAllProperties) {
    LoadedLog().clear();
    std::unique_ptr<TComponent> f(ComponentFromText("object F: TForm\n"
                                                    "  object A: TProbeMeter\n"
                                                    "  end\n"
                                                    "  object P: TCustomControl\n"
                                                    "    object B: TProbeMeter\n"
                                                    "      MeterMaxValue = 2\n"
                                                    "      Value = 5\n"
                                                    "    end\n"
                                                    "  end\n"
                                                    "  object C: TProbeMeter\n"
                                                    "  end\n"
                                                    "end\n",
                                                    nullptr));
    EXPECT_EQ(LoadedLog(), (std::vector<std::string>{"A", "B", "C"}));
    auto* b = dynamic_cast<TProbeMeter*>(f->FindComponent("B"));
    ASSERT_NE(b, nullptr);
    EXPECT_TRUE(b->WasLoading);
    EXPECT_DOUBLE_EQ(b->ValueWhileLoading, 5);
    EXPECT_EQ(b->Parent(), f->FindComponent("P"));
    EXPECT_EQ(b->Owner(), f.get());
}

// ---- The format -------------------------------------------------------------------------------

TEST(FormFileTest, FormWithNestedControlsIsWrittenReadablyAndReadBack) {
    TForm form(nullptr);
    form.SetName("MainForm");
    form.SetCaption("Levels \xE2\x80\x94 \"main\"");
    form.SetBounds(10, 20, 400, 300);
    form.Font().SetStyle({fsBold});
    auto* panel = new TCustomControl(&form);
    panel->SetName("Panel1");
    panel->SetParent(&form);
    panel->SetBounds(5, 6, 200, 100);
    panel->SetColor(clYellow);
    auto* meter = new TMeter(&form);
    meter->SetName("Meter1");
    meter->SetParent(panel);
    meter->SetMeterMaxValue(100);
    meter->SetValue(42.5);
    meter->SetHint("line one\nline two");
    meter->SetTag(-7);

    const std::string text = ComponentToText(form);
    EXPECT_NE(text.find("object MainForm: TForm\n"), std::string::npos) << text;
    EXPECT_NE(text.find("  Caption = \"Levels \xE2\x80\x94 \\\"main\\\"\"\n"), std::string::npos);
    EXPECT_NE(text.find("  Font {\n    Style = [fsBold]\n  }\n"), std::string::npos) << text;
    EXPECT_NE(text.find("  object Panel1: TCustomControl\n"), std::string::npos);
    EXPECT_NE(text.find("    Color = clYellow\n"), std::string::npos) << text;
    EXPECT_NE(text.find("    object Meter1: TMeter\n"), std::string::npos) << text;
    EXPECT_NE(text.find("      Value = 42.5\n"), std::string::npos);
    EXPECT_NE(text.find("      Hint = \"line one\\nline two\"\n"), std::string::npos);
    EXPECT_NE(text.find("      Tag = -7\n"), std::string::npos);
    // The meter follows the parent's font: no font of its own is written.
    EXPECT_EQ(text.find("Font", text.find("object Meter1")), std::string::npos) << text;

    std::unique_ptr<TComponent> back(ComponentFromText(text, nullptr));
    auto* f2 = dynamic_cast<TForm*>(back.get());
    ASSERT_NE(f2, nullptr);
    EXPECT_EQ(f2->Caption(), form.Caption());
    EXPECT_EQ(f2->BoundsRect(), form.BoundsRect());
    auto* m2 = dynamic_cast<TMeter*>(f2->FindComponent("Meter1"));
    ASSERT_NE(m2, nullptr);
    EXPECT_EQ(m2->Parent(), f2->FindComponent("Panel1"));
    EXPECT_DOUBLE_EQ(m2->Value(), 42.5);
    EXPECT_EQ(m2->Hint(), "line one\nline two");
    EXPECT_TRUE(m2->ParentFont());
    EXPECT_TRUE(m2->Font().Style().contains(fsBold)); // from the form, through the panel
    EXPECT_EQ(m2->Caption(), "");                     // the name read is not copied to it
    EXPECT_EQ(ComponentToText(*back), text);
}

TEST(FormFileTest, ZOrderAndTabOrderSurviveARoundTrip) {
    TForm form(nullptr);
    std::vector<TCustomControl*> c;
    for (int i = 0; i < 4; ++i) {
        c.push_back(new TCustomControl(&form));
        c.back()->SetName("C" + std::to_string(i));
        c.back()->SetParent(&form);
    }
    c[0]->BringToFront(); // z-order C1 C2 C3 C0
    c[3]->SetTabOrder(0); // tab order C3 C0 C1 C2
    c[1]->SetTabOrder(3); // tab order C3 C0 C2 C1
    std::unique_ptr<TComponent> back(ComponentFromText(ComponentToText(form), nullptr));
    auto* f = static_cast<TForm*>(back.get());
    ASSERT_EQ(f->ControlCount(), 4);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(f->Controls(i)->Name(), form.Controls(i)->Name());
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(static_cast<TWinControl*>(f->FindComponent(c[i]->Name()))->TabOrder(),
                  c[i]->TabOrder())
            << c[i]->Name();
}

TEST(FormFileTest, HandWrittenFileWithCommentsListsAndCaseFreeNamesIsRead) {
    std::unique_ptr<TComponent> c(ComponentFromText("\xEF\xBB\xBF# a hand-written file\n"
                                                    "\n"
                                                    "object m: tmeter   # class names ignore case\n"
                                                    "  meterlayout = MLCIRC180\n"
                                                    "  FontCaption {\n"
                                                    "    Color = $000000FF\n"
                                                    "    Style = []\n"
                                                    "  }\n"
                                                    "  Value = 5e-1\n"
                                                    "end\n",
                                                    nullptr));
    auto* m = dynamic_cast<TMeter*>(c.get());
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(m->MeterLayout(), mlCirc180);
    EXPECT_EQ(m->FontCaption().Color(), clRed);
    EXPECT_DOUBLE_EQ(m->Value(), 0.5);
}

TEST(FormFileTest, TextsWithControlCharactersAndInvalidUtf8BytesRoundTripExactly) {
    TControl c(nullptr);
    const std::string odd = std::string("a\tb\x01\x7F\r\"\\ \xC3\xA9 \xFF\xC3 end");
    c.SetHint(odd);
    const std::string text = ComponentToText(c);
    EXPECT_EQ(text.find('\x01'), std::string::npos);
    EXPECT_EQ(text.find('\xFF'), std::string::npos);
    std::unique_ptr<TComponent> back(ComponentFromText(text, nullptr));
    EXPECT_EQ(static_cast<TControl*>(back.get())->Hint(), odd);
}

TEST(FormFileTest, WritingAnObjectOfAnUnregisteredDescendantIsRefused) {
    struct TLocal : TCustomControl {
        using TCustomControl::TCustomControl;
    };
    TForm form(nullptr);
    (new TLocal(&form))->SetParent(&form);
    EXPECT_THROW(ComponentToText(form), EWriteError);
    EXPECT_FALSE(IsStreamable(*form.Components(0)));
    EXPECT_TRUE(IsStreamable(form));
}

TEST(FormFileTest, FilesAndStreamsCarryTheSameText) {
    TMeter m(nullptr);
    m.SetValue(0.25);
    const std::string path = ::testing::TempDir() + "kel_streaming_test.kfm";
    WriteComponentFile(path, m);
    std::unique_ptr<TComponent> back(ReadComponentFile(path, nullptr));
    EXPECT_DOUBLE_EQ(static_cast<TMeter*>(back.get())->Value(), 0.25);
    std::stringstream s;
    WriteComponent(s, m);
    EXPECT_EQ(s.str(), ComponentToText(m));
    std::unique_ptr<TComponent> back2(ReadComponent(s, nullptr));
    EXPECT_EQ(ComponentToText(*back2), ComponentToText(m));
    // A write that is refused leaves the file as it was.
    struct TLocal : TCustomControl {
        using TCustomControl::TCustomControl;
    };
    TForm bad(nullptr);
    (new TLocal(&bad))->SetParent(&bad);
    EXPECT_THROW(WriteComponentFile(path, bad), EWriteError);
    std::ifstream in(path, std::ios::binary);
    const std::string kept((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(kept, ComponentToText(m));
    in.close();
    std::remove(path.c_str());
    EXPECT_THROW(ReadComponentFile(path, nullptr), EFOpenError);
}

TEST(FormFileTest, ReadRootTakesTheGivenOwnerAndParent) {
    TForm form(nullptr);
    TComponent* c = ComponentFromText("object Gauge: TMeter\n  Left = 3\nend\n", &form, &form);
    auto* m = dynamic_cast<TMeter*>(c);
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(m->Owner(), &form);
    EXPECT_EQ(m->Parent(), &form);
    EXPECT_EQ(m->Left(), 3);
    // A second one of the same name is refused, and the owner keeps only the first.
    EXPECT_THROW(ComponentFromText("object Gauge: TMeter\nend\n", &form, &form), EFormFileError);
    EXPECT_EQ(form.ComponentCount(), 1);
    EXPECT_EQ(form.ControlCount(), 1);
}

TEST(FormFileTest, ReadingIntoAFormSetsItsPropertiesAndAddsTheObjects) {
    TForm form(nullptr);
    form.SetCaption("old");
    form.SetTag(9);
    ComponentFromTextInto("object F: TForm\n"
                          "  Caption = \"new\"\n"
                          "  object M: TMeter\n"
                          "    Value = 0.5\n"
                          "  end\n"
                          "end\n",
                          form);
    EXPECT_EQ(form.Caption(), "new");
    EXPECT_EQ(form.Name(), "F");
    EXPECT_EQ(form.Tag(), 9); // not in the file: kept
    auto* m = dynamic_cast<TMeter*>(form.FindComponent("M"));
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(m->Parent(), &form);
    EXPECT_DOUBLE_EQ(m->Value(), 0.5);
    EXPECT_FALSE(form.ComponentState().contains(csLoading));
    EXPECT_FALSE(m->ComponentState().contains(csLoading));
}

// A component with list properties (indexed properties stored as lists).
class TListHolder : public TComponent {
  public:
    using TComponent::TComponent;
    std::string ClassName() const override { return "TListHolder"; }
    std::vector<std::string> Lines;
    std::vector<std::int64_t> Widths{64};
    std::vector<double> Pivots;
    std::vector<std::uint8_t> Bytes;
};

const TClassRegistrar<TListHolder> listHolderReg("TListHolder", "TComponent", [](auto& p) {
    using L = TListHolder;
    p.Strings(
        "Lines", [](const L& l) { return l.Lines; },
        [](L& l, const std::vector<std::string>& v) { l.Lines = v; });
    p.Integers(
        "Widths", [](const L& l) { return l.Widths; },
        [](L& l, const std::vector<std::int64_t>& v) { l.Widths = v; }, {64});
    p.Floats(
        "Pivots", [](const L& l) { return l.Pivots; },
        [](L& l, const std::vector<double>& v) { l.Pivots = v; });
    p.Integers(
        "Bytes", [](const L& l) { return l.Bytes; },
        [](L& l, const std::vector<std::uint8_t>& v) { l.Bytes = v; });
});

TEST(FormFileTest, ListsAreWrittenOneTextALineAndNumbersOnOneLine) {
    TListHolder h(nullptr);
    h.Lines = {"first", "", "third \"q\""};
    h.Widths = {};
    h.Pivots = {0.1, -2.5, 1e300};
    h.Bytes = {0, 255};
    const std::string text = ComponentToText(h);
    EXPECT_EQ(text, "object TListHolder\n"
                    "  Lines = (\n"
                    "    \"first\"\n"
                    "    \"\"\n"
                    "    \"third \\\"q\\\"\"\n"
                    "  )\n"
                    "  Widths = ()\n"
                    "  Pivots = (0.1, -2.5, 1e+300)\n"
                    "  Bytes = (0, 255)\n"
                    "end\n");
    std::unique_ptr<TComponent> back(ComponentFromText(text, nullptr));
    auto* b = static_cast<TListHolder*>(back.get());
    EXPECT_EQ(b->Lines, h.Lines);
    EXPECT_TRUE(b->Widths.empty());
    EXPECT_EQ(b->Pivots, h.Pivots);
    EXPECT_EQ(b->Bytes, h.Bytes);
    // An element outside the element type's range is refused, not truncated.
    try {
        ComponentFromText("object TListHolder\n  Bytes = (1,\n   256)\nend\n", nullptr);
        ADD_FAILURE() << "no error";
    } catch (const EFormFileError& e) {
        EXPECT_EQ(e.Line(), 2);
        EXPECT_NE(std::string(e.what()).find("256 is out of the range 0..255"), std::string::npos)
            << e.what();
    }
}

// ---- Bad files --------------------------------------------------------------------------------

struct BadFile {
    const char* What;
    std::string Text;
    int Line;
    const char* MessagePart;
};

const std::vector<BadFile>& BadFiles() {
    static const std::vector<BadFile> files = {
        {"truncated", "object F: TForm\n  Caption = \"x\"\n  object M: TMeter\n    Value = 1\n", 5,
         "\"end\" missing"},
        {"truncated in a text", "object F: TForm\n  Caption = \"unfinished\n", 2, "not closed"},
        {"unknown class", "object F: TForm\n  object X: TNoSuchThing\n  end\nend\n", 2,
         "unknown class \"TNoSuchThing\""},
        {"unknown property", "object F: TForm\n  object M: TMeter\n    Valu = 1\n  end\nend\n", 3,
         "unknown property \"Valu\" of class TMeter"},
        {"wrong type", "object F: TForm\n  Width = \"wide\"\nend\n", 2,
         "Width of TForm expects an integer"},
        {"wrong enumeration name", "object M: TMeter\n  MeterLayout = mlSquare\nend\n", 2,
         "\"mlSquare\" is not one of"},
        {"integer out of range", "object M: TMeter\n  Left = 99999999999\nend\n", 2,
         "out of the range"},
        {"sub-object as value", "object M: TMeter\n  FontCaption = 3\nend\n", 2, "is an object"},
        {"garbage bytes", std::string("object F: TForm\n\xFF\xFE\x00\x01garbage\nend\n", 32), 2,
         "not valid UTF-8"},
        {"garbage text", "object F: TForm\n  @@@ ~~~\nend\n", 2, "unexpected character"},
        {"not a form file", "\n\nhello world\n", 3, "expected \"object\""},
        {"duplicate names",
         "object F: TForm\n  object A: TMeter\n  end\n  object A: TMeter\n"
         "  end\nend\n",
         4, "A"},
        {"control inside a non-windowed control",
         "object F: TForm\n  object M: TMeter\n    object N: TMeter\n    end\n  end\nend\n", 3,
         "windowed"},
        {"text after the end", "object F: TForm\nend\nobject G: TForm\nend\n", 3, "after the end"},
    };
    return files;
}

TEST(FormFileTest, EveryBadFileRaisesAnErrorNamingItsLineAndWhatIsWrong) {
    for (const BadFile& b : BadFiles()) {
        SCOPED_TRACE(b.What);
        TForm owner(nullptr);
        try {
            std::unique_ptr<TComponent> c(ComponentFromText(b.Text, &owner, &owner));
            ADD_FAILURE() << "no error";
        } catch (const EFormFileError& e) {
            EXPECT_EQ(e.Line(), b.Line) << e.what();
            const std::string msg = e.what();
            EXPECT_NE(msg.find("line " + std::to_string(b.Line) + ":"), std::string::npos) << msg;
            EXPECT_NE(msg.find(b.MessagePart), std::string::npos) << msg;
        }
        // Nothing half-built is left in the owner (ASan reports what was not deleted).
        EXPECT_EQ(owner.ComponentCount(), 0);
        EXPECT_EQ(owner.ControlCount(), 0);
    }
}

TEST(FormFileTest, ABadFileLeavesTheFormItIsReadIntoUnchanged) {
    for (const BadFile& b : BadFiles()) {
        SCOPED_TRACE(b.What);
        TForm form(nullptr);
        form.SetName("Keep");
        form.SetCaption("unchanged");
        form.SetBounds(1, 2, 300, 200);
        auto* m = new TMeter(&form);
        m->SetName("Existing");
        m->SetParent(&form);
        const std::string before = ComponentToText(form);
        EXPECT_THROW(ComponentFromTextInto(b.Text, form), EFormFileError);
        EXPECT_EQ(ComponentToText(form), before);
        EXPECT_FALSE(form.ComponentState().contains(csLoading));
    }
    // A file whose properties are all good but whose object would clash with one the form
    // already has changes nothing either.
    TForm form(nullptr);
    form.SetCaption("unchanged");
    (new TMeter(&form))->SetName("Existing");
    EXPECT_THROW(ComponentFromTextInto("object F: TForm\n  Caption = \"x\"\n"
                                       "  object Existing: TMeter\n  end\nend\n",
                                       form),
                 EFormFileError);
    EXPECT_EQ(form.Caption(), "unchanged");
    EXPECT_EQ(form.ComponentCount(), 1);
    // And a file of another class is refused.
    EXPECT_THROW(ComponentFromTextInto("object M: TMeter\nend\n", form), EFormFileError);
}

} // namespace
} // namespace kel
