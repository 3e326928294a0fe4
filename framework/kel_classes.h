// Root classes of the object model and the framework's exception classes.
#pragma once

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "kel_types.h"

namespace kel {

// Base of every framework exception; what() is the message text.
class Exception : public std::runtime_error {
  public:
    explicit Exception(const std::string& msg) : std::runtime_error(msg) {}
};

class EConvertError : public Exception {
    using Exception::Exception;
}; // bad conversion
class EInvalidGraphic : public Exception {
    using Exception::Exception;
}; // unreadable image
class EResNotFound : public Exception {
    using Exception::Exception;
}; // missing resource
class EInvalidOperation : public Exception {
    using Exception::Exception;
}; // wrong state
class EOutOfResources : public Exception {
    using Exception::Exception;
}; // e.g. no timer
class EFOpenError : public Exception {
    using Exception::Exception;
}; // file cannot open
class EReadError : public Exception {
    using Exception::Exception;
}; // stream read
class EWriteError : public Exception {
    using Exception::Exception;
}; // stream write
class EComponentError : public Exception {
    using Exception::Exception;
}; // names, owners
class EListError : public Exception {
    using Exception::Exception;
}; // list index
class EInvalidArgument : public Exception {
    using Exception::Exception;
}; // bad argument
class EStringListError : public EListError {
    using EListError::EListError;
}; // string lists

class TObject {
  public:
    virtual ~TObject() = default;
    // The class's name as written ("TFont"); every class that can be named overrides it.
    virtual std::string ClassName() const { return "TObject"; }
};

using TNotifyEvent = std::function<void(TObject* Sender)>;

// Horizontal alignment of a text (labels, side texts, value texts).
enum TAlignment : std::uint8_t { taLeftJustify, taRightJustify, taCenter };

class TPersistent : public TObject {
  public:
    std::string ClassName() const override { return "TPersistent"; }
    // Copies Source into this object. The base calls Source->AssignTo(this).
    virtual void Assign(const TPersistent* Source);

  protected:
    // Copies this object into Dest. The base raises EConvertError
    // "Cannot assign a <Source class> to a <Dest class>".
    virtual void AssignTo(TPersistent* Dest) const;
};

// ---- Components -------------------------------------------------------------------------------

enum TComponentStateItem : std::uint8_t {
    csLoading,
    csReading,
    csWriting,
    csDestroying,
    csDesigning,
    csAncestor,
    csUpdating,
    csFixups,
    csFreeNotification,
    csInline,
    csDesignInstance
};
using TComponentState = TSet<TComponentStateItem>;
enum TOperation : std::uint8_t { opInsert, opRemove };

// A named object that may own others. An owner lists what it owns in creation order and
// deletes it when deleted itself (the last created first); a component deleted earlier leaves
// its owner's list, and every component that asked for a free notification hears of it, so no
// pointer to it survives. Components are neither copied nor moved.
class TComponent : public TPersistent {
  public:
    explicit TComponent(TComponent* AOwner);
    ~TComponent() override;
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;
    std::string ClassName() const override { return "TComponent"; }

    TComponent* Owner() const { return FOwner; }
    // An identifier ([A-Za-z_][A-Za-z0-9_]*) or empty, unique among the owner's components
    // (compared without case); raises EComponentError otherwise and keeps the old name.
    const std::string& Name() const { return FName; }
    void SetName(const std::string& NewName);
    std::intptr_t Tag() const { return FTag; } // free for the application; default 0
    void SetTag(std::intptr_t v) { FTag = v; }

    // Owned components, in creation (insertion) order.
    int ComponentCount() const { return int(FComponents.size()); }
    TComponent* Components(int Index) const; // raises EListError when out of range
    // Position in the owner's list, -1 without owner.
    int ComponentIndex() const;
    // The owned component of that name (compared without case), or nullptr.
    TComponent* FindComponent(const std::string& AName) const;
    // Moves a component from its current owner (if any) to this one; RemoveComponent lets
    // it go without deleting it (the caller then owns it).
    void InsertComponent(TComponent* AComponent);
    void RemoveComponent(TComponent* AComponent);
    // Deletes every owned component, the last created first.
    void DestroyComponents();

    TComponentState ComponentState() const { return FComponentState; }
    // Streaming support: marks this component and everything it owns (recursively) as loading.
    void BeginLoading();
    // Calls Loaded once per component marked by BeginLoading, this one first, then the owned
    // ones in creation order (depth first). Each Loaded clears its csLoading.
    void EndLoading();
    // Sets csDesigning on this component and what it owns (the visual designer's switch).
    void SetDesigning(bool Value);

    // Asks for Notification(this, opRemove) on AComponent when this one is deleted (and the
    // other way round): the way to hold a pointer to a component one does not own.
    void FreeNotification(TComponent* AComponent);
    void RemoveFreeNotification(TComponent* AComponent);

  protected:
    // Called after streaming set every property; the base clears csLoading.
    virtual void Loaded();
    // AComponent was inserted into / is being removed from this component's owned list, or
    // (opRemove) a component this one asked to be told about is being deleted.
    virtual void Notification(TComponent* AComponent, TOperation Operation);
    // Hook for controls whose caption mirrors the name; called after a successful rename.
    virtual void NameChanged(const std::string& OldName) { (void)OldName; }
    void SetComponentStateFlag(TComponentStateItem Item, bool On);

  private:
    void Insert(TComponent* AComponent);
    void Remove(TComponent* AComponent);
    void CollectLoading(std::vector<TComponent*>& out);
    void RemoveNotification(TComponent* AComponent);

    TComponent* FOwner = nullptr;
    std::string FName;
    std::intptr_t FTag = 0;
    std::vector<TComponent*> FComponents;
    std::vector<TComponent*> FFreeNotifies;
    TComponentState FComponentState;
};

// True when s is a valid component name: [A-Za-z_][A-Za-z0-9_]*.
bool IsValidIdent(const std::string& s);

// ---- String list ------------------------------------------------------------------------------

enum TDuplicates : std::uint8_t { dupIgnore, dupAccept, dupError };

// Compares two UTF-8 strings code point by code point; with CaseSensitive false both are
// simply case folded first (ASCII, Latin-1, Latin Extended-A, Greek and Cyrillic capitals).
// The result is <0, 0 or >0. No locale is involved, so the order is the same everywhere.
int CompareStrings(const std::string& a, const std::string& b, bool CaseSensitive);

// A list of UTF-8 strings, each with an untyped object pointer the list never frees.
class TStringList : public TPersistent {
  public:
    std::string ClassName() const override { return "TStringList"; }
    void Assign(const TPersistent* Source) override; // strings, objects and the options

    int Count() const { return int(FItems.size()); }
    // Index checks raise EStringListError "List index out of bounds (i)".
    const std::string& Strings(int Index) const;
    void SetStrings(int Index, const std::string& S); // not on a sorted list
    TObject* Objects(int Index) const;
    void SetObjects(int Index, TObject* Obj);
    const std::string& operator[](int Index) const { return Strings(Index); }

    // Appends (or inserts in order when sorted) and returns the index used; on a sorted list
    // Duplicates decides what a string already present does.
    int Add(const std::string& S);
    int AddObject(const std::string& S, TObject* Obj);
    void Insert(int Index, const std::string& S); // 0..Count; not on a sorted list
    void InsertObject(int Index, const std::string& S, TObject* Obj);
    void Delete(int Index);
    void Clear();
    void Exchange(int Index1, int Index2); // not on a sorted list
    void Move(int CurIndex, int NewIndex); // not on a sorted list
    // 0-based index or -1; binary search on a sorted list.
    int IndexOf(const std::string& S) const;
    int IndexOfObject(const TObject* Obj) const;
    // Binary search on a sorted list: true when found; Index is the match or the insertion
    // point. On an unsorted list a linear search (Index = Count when absent).
    bool Find(const std::string& S, int& Index) const;
    void Sort();

    bool Sorted() const { return FSorted; } // default false; true sorts at once
    void SetSorted(bool Value);
    TDuplicates Duplicates() const { return FDuplicates; } // default dupIgnore
    void SetDuplicates(TDuplicates Value) { FDuplicates = Value; }
    bool CaseSensitive() const { return FCaseSensitive; } // default false; re-sorts if sorted
    void SetCaseSensitive(bool Value);

    // All lines, each followed by "\n"; setting splits at "\n", "\r\n" or "\r".
    std::string Text() const;
    void SetText(const std::string& Value);

    // Fired after every change of the content.
    TNotifyEvent OnChange() const { return FOnChange; }
    void SetOnChange(TNotifyEvent e) { FOnChange = std::move(e); }
    void BeginUpdate() { ++FUpdateCount; }
    void EndUpdate();

  private:
    struct Item {
        std::string S;
        TObject* Obj = nullptr;
    };
    void CheckIndex(int Index, int Limit) const;
    void CheckNotSorted() const;
    void Changed();
    int Compare(const std::string& a, const std::string& b) const {
        return CompareStrings(a, b, FCaseSensitive);
    }
    std::vector<Item> FItems;
    bool FSorted = false;
    TDuplicates FDuplicates = dupIgnore;
    bool FCaseSensitive = false;
    int FUpdateCount = 0;
    bool FChangedWhileUpdating = false;
    TNotifyEvent FOnChange;
};

} // namespace kel
