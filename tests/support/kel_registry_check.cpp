// The declared-defaults check over the class registry (kel_registry_check.h).
#include "kel_registry_check.h"

#include "kel_classes.h"

#include <algorithm>
#include <memory>
#include <sstream>
#include <variant>

namespace kel::test {

namespace {

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
    else if (std::holds_alternative<std::monostate>(v))
        s << "(constructor's)";
    else
        s << "(list)";
    return s.str();
}

// Properties whose fresh value follows the date clock: a fresh calendar's hint is today's
// holiday caption (the hint is stored only where it is the calendar's own, and then its
// default is right; the calendar's tests pin that).
bool FollowsTheClock(const TClassInfo& Info, const TPropInfo& Prop) {
    return Info.InheritsFrom("TMiniCal") && Prop.Name == "Hint";
}

void Compare(const TPersistent& Fresh, const TClassInfo& Info, const std::string& Path, int& Count,
             std::string& Faults, bool Deep) {
    for (const TPropInfo* p : Info.AllProps()) {
        if (FollowsTheClock(Info, *p)) continue;
        if (p->Type == TPropType::Object) {
            if (!Deep) continue;
            TPersistent* sub = p->SubObject(const_cast<TPersistent&>(Fresh));
            const TClassInfo* subInfo = sub != nullptr ? ClassInfoOf(*sub) : nullptr;
            if (subInfo != nullptr)
                Compare(*sub, *subInfo, Path + p->Name + ".", Count, Faults, Deep);
            continue;
        }
        if (std::holds_alternative<std::monostate>(p->Default)) continue;
        ++Count;
        const TPropValue v = p->Get(Fresh);
        if (!(v == p->Default))
            Faults += "\n  " + Path + p->Name + " is " + Show(v) + ", declared " + Show(p->Default);
    }
}

// The class whose own list declares the object property Name, searching from Info upwards.
const TClassInfo* Declarer(const TClassInfo& Info, const TPropInfo& Prop) {
    for (const TClassInfo* c = &Info; c != nullptr; c = c->Parent())
        for (const TPropInfo& p : c->Props)
            if (&p == &Prop) return c;
    return nullptr;
}

} // namespace

::testing::AssertionResult HasDeclaredDefaults(const TPersistent& Fresh, const TClassInfo& Info,
                                               int* Checked, bool Deep) {
    int count = 0;
    std::string faults;
    Compare(Fresh, Info, Info.Name + ".", count, faults, Deep);
    if (Checked != nullptr) *Checked = count;
    if (faults.empty()) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "declared defaults differ from a fresh object:" << faults;
}

::testing::AssertionResult
EveryRegisteredClassHasItsDeclaredDefaults(std::vector<std::string>* Covered) {
    std::vector<std::string> covered;
    std::string faults;
    auto note = [&](const std::string& name) {
        if (std::find(covered.begin(), covered.end(), name) == covered.end())
            covered.push_back(name);
    };
    for (const std::string& name : RegisteredClassNames()) {
        const TClassInfo* info = FindClass(name);
        if (info == nullptr || !info->Create) continue;
        std::unique_ptr<TComponent> fresh(info->Create(nullptr));
        int count = 0;
        Compare(*fresh, *info, info->Name + ".", count, faults, false);
        note(info->Name);
        // Sub-objects: on an instance of the class that declares the property, where the
        // declared defaults of the sub-object's class are the ones that class gives it.
        for (const TPropInfo* p : info->AllProps()) {
            if (p->Type != TPropType::Object || Declarer(*info, *p) != info) continue;
            TPersistent* sub = p->SubObject(*fresh);
            const TClassInfo* subInfo = sub != nullptr ? ClassInfoOf(*sub) : nullptr;
            // A class of several sub-objects (a meter's main and second needle) is compared on
            // the first one found: the others may start differently, and the writer compares
            // each with the same sub-object of a fresh owner anyway.
            if (subInfo == nullptr ||
                std::find(covered.begin(), covered.end(), subInfo->Name) != covered.end())
                continue;
            Compare(*sub, *subInfo, info->Name + "." + p->Name + ": " + subInfo->Name + ".", count,
                    faults, false);
            note(subInfo->Name);
        }
    }
    std::string missing;
    for (const std::string& name : RegisteredClassNames()) {
        const TClassInfo* info = FindClass(name);
        // A root without properties of its own (TPersistent) declares nothing to compare.
        if (info != nullptr && info->AllProps().empty()) continue;
        if (std::find(covered.begin(), covered.end(), name) == covered.end()) missing += " " + name;
    }
    if (Covered != nullptr) *Covered = covered;
    if (faults.empty() && missing.empty()) return ::testing::AssertionSuccess();
    auto r = ::testing::AssertionFailure();
    if (!faults.empty()) r << "declared defaults differ from a fresh object:" << faults;
    if (!missing.empty())
        r << "\nclasses not covered (neither creatable nor a sub-object):" << missing;
    return r;
}

} // namespace kel::test
