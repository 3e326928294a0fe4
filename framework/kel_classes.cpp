// Assign/AssignTo protocol of the persistent base class, component ownership and naming, and
// the string list.
#include "kel_classes.h"

#include <algorithm>

namespace kel {

void TPersistent::Assign(const TPersistent* Source) {
    if (Source != nullptr) {
        Source->AssignTo(this);
        return;
    }
    throw EConvertError("Cannot assign a nil to a " + ClassName());
}

void TPersistent::AssignTo(TPersistent* Dest) const {
    throw EConvertError("Cannot assign a " + ClassName() + " to a " +
                        (Dest ? Dest->ClassName() : std::string("nil")));
}

// ---- TComponent -------------------------------------------------------------------------------

bool IsValidIdent(const std::string& s) {
    if (s.empty()) return false;
    auto alpha = [](char c) {
        return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
    };
    if (!alpha(s[0])) return false;
    for (char c : s)
        if (!alpha(c) && !(c >= '0' && c <= '9')) return false;
    return true;
}

namespace {
bool SameText(const std::string& a, const std::string& b) {
    return CompareStrings(a, b, false) == 0;
}
} // namespace

TComponent::TComponent(TComponent* AOwner) {
    if (AOwner != nullptr) AOwner->InsertComponent(this);
}

TComponent::~TComponent() {
    FComponentState.include(csDestroying);
    // Tell everyone holding a pointer to this component; each handler may unregister itself,
    // so take the list one entry at a time.
    while (!FFreeNotifies.empty()) {
        TComponent* other = FFreeNotifies.back();
        FFreeNotifies.pop_back();
        auto& back = other->FFreeNotifies;
        back.erase(std::remove(back.begin(), back.end(), this), back.end());
        other->Notification(this, opRemove);
    }
    DestroyComponents();
    if (FOwner != nullptr) FOwner->RemoveComponent(this);
}

TComponent* TComponent::Components(int Index) const {
    if (Index < 0 || Index >= ComponentCount())
        throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
    return FComponents[std::size_t(Index)];
}

int TComponent::ComponentIndex() const {
    if (FOwner == nullptr) return -1;
    auto& v = FOwner->FComponents;
    auto it = std::find(v.begin(), v.end(), this);
    return it == v.end() ? -1 : int(it - v.begin());
}

TComponent* TComponent::FindComponent(const std::string& AName) const {
    if (AName.empty()) return nullptr;
    for (TComponent* c : FComponents)
        if (SameText(c->FName, AName)) return c;
    return nullptr;
}

void TComponent::SetName(const std::string& NewName) {
    if (NewName == FName) return;
    if (!NewName.empty() && !IsValidIdent(NewName))
        throw EComponentError("\"" + NewName + "\" is not a valid component name");
    if (!NewName.empty() && FOwner != nullptr) {
        TComponent* same = FOwner->FindComponent(NewName);
        if (same != nullptr && same != this)
            throw EComponentError("A component named " + NewName + " already exists");
    }
    std::string old = std::move(FName);
    FName = NewName;
    NameChanged(old);
}

void TComponent::InsertComponent(TComponent* AComponent) {
    if (AComponent == nullptr || AComponent->FOwner == this) return;
    if (!AComponent->FName.empty()) {
        TComponent* same = FindComponent(AComponent->FName);
        if (same != nullptr)
            throw EComponentError("A component named " + AComponent->FName + " already exists");
    }
    if (AComponent->FOwner != nullptr) AComponent->FOwner->RemoveComponent(AComponent);
    Insert(AComponent);
    Notification(AComponent, opInsert);
}

void TComponent::RemoveComponent(TComponent* AComponent) {
    if (AComponent == nullptr || AComponent->FOwner != this) return;
    Notification(AComponent, opRemove);
    Remove(AComponent);
}

void TComponent::Insert(TComponent* AComponent) {
    FComponents.push_back(AComponent);
    AComponent->FOwner = this;
}

void TComponent::Remove(TComponent* AComponent) {
    FComponents.erase(std::remove(FComponents.begin(), FComponents.end(), AComponent),
                      FComponents.end());
    AComponent->FOwner = nullptr;
}

void TComponent::DestroyComponents() {
    while (!FComponents.empty()) {
        TComponent* c = FComponents.back();
        Remove(c);
        delete c;
    }
}

void TComponent::SetComponentStateFlag(TComponentStateItem Item, bool On) {
    if (On)
        FComponentState.include(Item);
    else
        FComponentState.exclude(Item);
}

void TComponent::BeginLoading() {
    FComponentState.include(csLoading);
    for (TComponent* c : FComponents) c->BeginLoading();
}

void TComponent::CollectLoading(std::vector<TComponent*>& out) {
    if (FComponentState.contains(csLoading)) out.push_back(this);
    for (TComponent* c : FComponents) c->CollectLoading(out);
}

void TComponent::EndLoading() {
    // Collect first: a Loaded handler may create components, which must not get Loaded.
    std::vector<TComponent*> list;
    CollectLoading(list);
    for (TComponent* c : list) c->Loaded();
}

void TComponent::SetDesigning(bool Value) {
    SetComponentStateFlag(csDesigning, Value);
    for (TComponent* c : FComponents) c->SetDesigning(Value);
}

void TComponent::Loaded() { FComponentState.exclude(csLoading); }

void TComponent::Notification(TComponent* AComponent, TOperation Operation) {
    // Owned components hear of removals too, so a sibling pointer does not dangle. The link
    // goes both ways: a component that only changes owner must not keep a pointer to this one
    // in its own list, or this one's destruction later would go unnoticed there.
    if (Operation == opRemove && AComponent != nullptr) {
        RemoveNotification(AComponent);
        AComponent->RemoveNotification(this);
    }
}

void TComponent::RemoveNotification(TComponent* AComponent) {
    FFreeNotifies.erase(std::remove(FFreeNotifies.begin(), FFreeNotifies.end(), AComponent),
                        FFreeNotifies.end());
}

void TComponent::FreeNotification(TComponent* AComponent) {
    if (AComponent == nullptr || AComponent == this) return;
    if (std::find(FFreeNotifies.begin(), FFreeNotifies.end(), AComponent) == FFreeNotifies.end())
        FFreeNotifies.push_back(AComponent);
    auto& other = AComponent->FFreeNotifies;
    if (std::find(other.begin(), other.end(), this) == other.end()) other.push_back(this);
}

void TComponent::RemoveFreeNotification(TComponent* AComponent) {
    if (AComponent == nullptr) return;
    RemoveNotification(AComponent);
    AComponent->RemoveNotification(this);
}

// ---- String comparison ------------------------------------------------------------------------

namespace {

// Decodes one code point at s[i] and advances i; malformed bytes stand for themselves.
char32_t NextCodePoint(const std::string& s, std::size_t& i) {
    auto b = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
    unsigned char c = b(i);
    int len = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
    if (len <= 1 || i + std::size_t(len) > s.size()) {
        ++i;
        return c;
    }
    char32_t cp = c & (0x7F >> len);
    for (int k = 1; k < len; ++k) {
        unsigned char cc = b(i + std::size_t(k));
        if ((cc & 0xC0) != 0x80) {
            ++i;
            return c;
        }
        cp = (cp << 6) | (cc & 0x3F);
    }
    i += std::size_t(len);
    return cp;
}

// Simple case folding for the scripts a technical application meets in practice.
char32_t FoldCase(char32_t c) {
    if (c < 0x80) return (c >= 'A' && c <= 'Z') ? c + 32 : c;
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 32;
    if (c == 0x178) return 0xFF;
    if (c == 0x17F) return 's';
    if (c >= 0x100 && c <= 0x17F) {
        // Pairs capital/small alternate; the ranges 0x139..0x148 and 0x179..0x17E start odd.
        bool oddStart = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
        if (c == 0x130 || c == 0x131 || c == 0x138 || c == 0x149) return c;
        if (oddStart) return (c % 2 == 1) ? c + 1 : c;
        return (c % 2 == 0) ? c + 1 : c;
    }
    if (c >= 0x391 && c <= 0x3AB && c != 0x3A2) return c + 32;
    if (c >= 0x410 && c <= 0x42F) return c + 32;
    if (c >= 0x400 && c <= 0x40F) return c + 80;
    return c;
}

} // namespace

int CompareStrings(const std::string& a, const std::string& b, bool CaseSensitive) {
    std::size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        char32_t ca = NextCodePoint(a, i), cb = NextCodePoint(b, j);
        if (!CaseSensitive) {
            ca = FoldCase(ca);
            cb = FoldCase(cb);
        }
        if (ca != cb) return ca < cb ? -1 : 1;
    }
    if (i < a.size()) return 1;
    if (j < b.size()) return -1;
    return 0;
}

// ---- TStringList ------------------------------------------------------------------------------

void TStringList::CheckIndex(int Index, int Limit) const {
    if (Index < 0 || Index > Limit)
        throw EStringListError("List index out of bounds (" + std::to_string(Index) + ")");
}

void TStringList::CheckNotSorted() const {
    if (FSorted) throw EStringListError("Operation not allowed on sorted list");
}

void TStringList::Changed() {
    if (FUpdateCount > 0) {
        FChangedWhileUpdating = true;
        return;
    }
    if (FOnChange) FOnChange(this);
}

void TStringList::EndUpdate() {
    if (FUpdateCount > 0 && --FUpdateCount == 0 && FChangedWhileUpdating) {
        FChangedWhileUpdating = false;
        Changed();
    }
}

void TStringList::Assign(const TPersistent* Source) {
    if (auto src = dynamic_cast<const TStringList*>(Source)) {
        if (src == this) return;
        FItems = src->FItems;
        FSorted = src->FSorted;
        FDuplicates = src->FDuplicates;
        FCaseSensitive = src->FCaseSensitive;
        Changed();
        return;
    }
    TPersistent::Assign(Source);
}

const std::string& TStringList::Strings(int Index) const {
    CheckIndex(Index, Count() - 1);
    return FItems[std::size_t(Index)].S;
}

void TStringList::SetStrings(int Index, const std::string& S) {
    CheckNotSorted();
    CheckIndex(Index, Count() - 1);
    FItems[std::size_t(Index)].S = S;
    Changed();
}

TObject* TStringList::Objects(int Index) const {
    CheckIndex(Index, Count() - 1);
    return FItems[std::size_t(Index)].Obj;
}

void TStringList::SetObjects(int Index, TObject* Obj) {
    CheckIndex(Index, Count() - 1);
    FItems[std::size_t(Index)].Obj = Obj;
    Changed();
}

int TStringList::Add(const std::string& S) { return AddObject(S, nullptr); }

int TStringList::AddObject(const std::string& S, TObject* Obj) {
    int index = Count();
    if (FSorted) {
        if (Find(S, index)) {
            if (FDuplicates == dupIgnore) return index;
            if (FDuplicates == dupError)
                throw EStringListError("String list does not allow duplicates");
            // dupAccept: after the equal ones, so equal strings keep their order of arrival.
            while (index < Count() && Compare(FItems[std::size_t(index)].S, S) == 0) ++index;
        }
    }
    FItems.insert(FItems.begin() + index, Item{S, Obj});
    Changed();
    return index;
}

void TStringList::Insert(int Index, const std::string& S) { InsertObject(Index, S, nullptr); }

void TStringList::InsertObject(int Index, const std::string& S, TObject* Obj) {
    CheckNotSorted();
    CheckIndex(Index, Count());
    FItems.insert(FItems.begin() + Index, Item{S, Obj});
    Changed();
}

void TStringList::Delete(int Index) {
    CheckIndex(Index, Count() - 1);
    FItems.erase(FItems.begin() + Index);
    Changed();
}

void TStringList::Clear() {
    if (FItems.empty()) return;
    FItems.clear();
    Changed();
}

void TStringList::Exchange(int Index1, int Index2) {
    CheckNotSorted();
    CheckIndex(Index1, Count() - 1);
    CheckIndex(Index2, Count() - 1);
    std::swap(FItems[std::size_t(Index1)], FItems[std::size_t(Index2)]);
    Changed();
}

void TStringList::Move(int CurIndex, int NewIndex) {
    CheckNotSorted();
    CheckIndex(CurIndex, Count() - 1);
    CheckIndex(NewIndex, Count() - 1);
    if (CurIndex == NewIndex) return;
    Item it = std::move(FItems[std::size_t(CurIndex)]);
    FItems.erase(FItems.begin() + CurIndex);
    FItems.insert(FItems.begin() + NewIndex, std::move(it));
    Changed();
}

bool TStringList::Find(const std::string& S, int& Index) const {
    if (!FSorted) {
        for (int i = 0; i < Count(); ++i)
            if (Compare(FItems[std::size_t(i)].S, S) == 0) {
                Index = i;
                return true;
            }
        Index = Count();
        return false;
    }
    int lo = 0, hi = Count() - 1;
    bool found = false;
    while (lo <= hi) {
        int mid = (lo + hi) / 2;
        int c = Compare(FItems[std::size_t(mid)].S, S);
        if (c < 0) {
            lo = mid + 1;
        } else {
            hi = mid - 1;
            if (c == 0) found = true; // keep going left: the first of several equal ones
        }
    }
    Index = lo;
    return found;
}

int TStringList::IndexOf(const std::string& S) const {
    int index = -1;
    return Find(S, index) ? index : -1;
}

int TStringList::IndexOfObject(const TObject* Obj) const {
    for (int i = 0; i < Count(); ++i)
        if (FItems[std::size_t(i)].Obj == Obj) return i;
    return -1;
}

void TStringList::Sort() {
    std::stable_sort(FItems.begin(), FItems.end(),
                     [this](const Item& a, const Item& b) { return Compare(a.S, b.S) < 0; });
    Changed();
}

void TStringList::SetSorted(bool Value) {
    if (Value == FSorted) return;
    FSorted = Value;
    if (FSorted) Sort();
}

void TStringList::SetCaseSensitive(bool Value) {
    if (Value == FCaseSensitive) return;
    FCaseSensitive = Value;
    if (FSorted) Sort();
}

std::string TStringList::Text() const {
    std::string out;
    for (const Item& it : FItems) {
        out += it.S;
        out += '\n';
    }
    return out;
}

void TStringList::SetText(const std::string& Value) {
    // Built in a copy, so a duplicate refused by a sorted list leaves this one unchanged.
    TStringList tmp;
    tmp.FSorted = FSorted;
    tmp.FDuplicates = FDuplicates;
    tmp.FCaseSensitive = FCaseSensitive;
    std::size_t start = 0;
    while (start < Value.size()) {
        std::size_t end = Value.find_first_of("\r\n", start);
        if (end == std::string::npos) {
            tmp.Add(Value.substr(start));
            break;
        }
        tmp.Add(Value.substr(start, end - start));
        bool crlf = Value[end] == '\r' && end + 1 < Value.size() && Value[end + 1] == '\n';
        start = end + (crlf ? 2 : 1);
    }
    FItems = std::move(tmp.FItems);
    Changed();
}

} // namespace kel
