// The class registry behind the published-property lists, and the copy of published properties
// that Assign uses.
#include "kel_props.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <map>
#include <unordered_map>
#include <typeinfo>

namespace kel {

namespace {

std::string Upper(std::string s) {
    for (char& c : s) c = char(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

// Keyed by upper-case name; a function-local static so registrars in any translation unit can
// use it during static initialisation.
std::map<std::string, TClassInfo>& Registry() {
    static std::map<std::string, TClassInfo> registry;
    return registry;
}

// Counts registrations: the property lists cached below are good while it stands still (a
// registration may replace any class of a chain).
std::uint64_t gRegistryGeneration = 1;

// A class's published list with each name in upper case, computed once per registry state
// (the writer and the reader of form files ask for it for every object and property).
struct TPropCache {
    std::uint64_t Generation = 0;
    std::vector<const TPropInfo*> All;
    std::vector<std::string> Keys; // Upper(All[i]->Name)
};

// Only registered classes are cached (by address: the registry's entries stay where they are);
// any other class info is listed anew into a scratch entry, good until the next call.
const TPropCache& PropsOf(const TClassInfo& Info) {
    static std::unordered_map<const TClassInfo*, TPropCache> cache;
    static TPropCache scratch;
    const auto reg = Registry().find(Upper(Info.Name));
    const bool registered = reg != Registry().end() && &reg->second == &Info;
    TPropCache& c = registered ? cache[&Info] : scratch;
    if (registered && c.Generation == gRegistryGeneration) return c;
    std::vector<const TClassInfo*> chain;
    for (const TClassInfo* k = &Info; k != nullptr && chain.size() < 64; k = k->Parent())
        chain.push_back(k);
    c.All.clear();
    c.Keys.clear();
    for (auto it = chain.rbegin(); it != chain.rend(); ++it)
        for (const TPropInfo& p : (*it)->Props) {
            // A class may redeclare an inherited property (another default): keep the latest.
            std::string key = Upper(p.Name);
            auto same = std::find(c.Keys.begin(), c.Keys.end(), key);
            if (same != c.Keys.end()) {
                c.All[std::size_t(same - c.Keys.begin())] = &p;
            } else {
                c.All.push_back(&p);
                c.Keys.push_back(std::move(key));
            }
        }
    c.Generation = gRegistryGeneration;
    return c;
}

} // namespace

void RegisterClass(TClassInfo info) {
    std::string key = Upper(info.Name);
    Registry()[key] = std::move(info);
    ++gRegistryGeneration;
}

const TClassInfo* FindClass(const std::string& name) {
    auto it = Registry().find(Upper(name));
    return it == Registry().end() ? nullptr : &it->second;
}

const TClassInfo* ClassInfoOf(const TPersistent& obj) { return FindClass(obj.ClassName()); }

bool IsStreamable(const TComponent& Obj) {
    const TClassInfo* info = ClassInfoOf(Obj);
    return info != nullptr && info->Create && info->Type != nullptr && typeid(Obj) == *info->Type;
}

std::vector<std::string> RegisteredClassNames() {
    std::vector<std::string> names;
    for (const auto& [key, info] : Registry()) names.push_back(info.Name);
    std::sort(names.begin(), names.end());
    return names;
}

const TClassInfo* TClassInfo::Parent() const {
    return ParentName.empty() ? nullptr : FindClass(ParentName);
}

std::vector<const TPropInfo*> TClassInfo::AllProps() const { return PropsOf(*this).All; }

const TPropInfo* TClassInfo::FindProp(const std::string& name) const {
    const TPropCache& c = PropsOf(*this);
    auto it = std::find(c.Keys.begin(), c.Keys.end(), Upper(name));
    return it == c.Keys.end() ? nullptr : c.All[std::size_t(it - c.Keys.begin())];
}

bool TClassInfo::InheritsFrom(const std::string& name) const {
    std::string key = Upper(name);
    int depth = 0;
    for (const TClassInfo* c = this; c != nullptr && depth < 64; c = c->Parent(), ++depth)
        if (Upper(c->Name) == key) return true;
    return false;
}

const TClassInfo* TClassInfo::Contains() const {
    int depth = 0;
    for (const TClassInfo* c = this; c != nullptr && depth < 64; c = c->Parent(), ++depth)
        if (c->GetChildren) return c;
    return nullptr;
}

std::string ComponentName(const TComponent* Component) {
    return Component != nullptr ? Component->Name() : std::string();
}

TComponent* FindComponentFor(const TPersistent& Obj, const std::string& Name) {
    if (Name.empty()) return nullptr;
    const auto* c = dynamic_cast<const TComponent*>(&Obj);
    TComponent* owner = c != nullptr ? c->Owner() : nullptr;
    TComponent* found = owner != nullptr ? owner->FindComponent(Name) : nullptr;
    if (found == nullptr) throw EInvalidOperation("There is no component named \"" + Name + "\"");
    return found;
}

void ThrowNotA(const TComponent& Component, const std::string& Kind) {
    throw EInvalidOperation("\"" + Component.Name() + "\" is a " + Component.ClassName() +
                            ", not " + Kind);
}

void AssignPublished(TPersistent& Dest, const TPersistent& Source) {
    const TClassInfo* info = ClassInfoOf(Source);
    if (info == nullptr)
        throw EConvertError("Cannot assign a " + Source.ClassName() + " to a " + Dest.ClassName());
    for (const TPropInfo* p : info->AllProps()) {
        if (p->Type == TPropType::Object) {
            TPersistent* from = p->SubObject(const_cast<TPersistent&>(Source));
            TPersistent* to = p->SubObject(Dest);
            if (from != nullptr && to != nullptr) to->Assign(from);
        } else if (p->Type == TPropType::Component) {
            p->SetRef(Dest, p->GetRef(Source)); // the same component, not one of that name
        } else {
            p->Set(Dest, p->Get(Source));
        }
    }
}

} // namespace kel
