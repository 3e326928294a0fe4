// Published properties: one list per class, declared once next to the class, that drives
// Assign where the lists agree and the form-file streaming (kel_streaming.h).
//
// A class declares its list in its .cpp with a registrar:
//
//     static const kel::TClassRegistrar<TMeter> reg("TMeter", "TGraphicControl", [](auto& p) {
//         p.Float("Value", &TMeter::Value, &TMeter::SetValue, 0.0);
//         p.Enum("MeterLayout", &TMeter::MeterLayout, &TMeter::SetMeterLayout, mlCirc90,
//                {"mlCirc90", "mlCirc120", "mlCirc180", "mlCirc270", "mlCirc300", "mlCirc360"});
//         p.Color("ColorBakG", &TMeter::ColorBakG, &TMeter::SetColorBakG, clWhite);
//         p.Object("Font", [](TMeter& m) -> TPersistent* { return &m.Font(); });
//     });
//
// The default given is the constructor's value: a property equal to it is not written. The
// parent class's properties come first. Components (classes derived from TComponent) get a
// factory so a form file can create them by class name; other persistent classes (TFont) are
// streamed only as sub-objects. Getters and setters may be member pointers or callables.
//
// Two modifiers apply to the property declared last:
//   .Stored(pred)         the property is written only while pred(object) holds (a colour taken
//                         from the parent is not stored: Stored([](auto& c){ return
//                         !c.ParentColor(); }));
//   .ConstructorDefault() the default is whatever the constructor of the streamed object's class
//                         leaves (bounds, colours that descendants change): the writer compares
//                         with a freshly constructed instance of that class.
// Sub-object properties (a component's Font) are likewise compared with the sub-object of a
// freshly constructed instance, so a component that sets up its font in the constructor writes
// nothing for it.
#pragma once

#include "kel_classes.h"
#include "kel_types.h"

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <limits>
#include <string>
#include <type_traits>
#include <typeinfo>
#include <utility>
#include <variant>
#include <vector>

namespace kel {

class TComponent;

enum class TPropType : std::uint8_t {
    Integer,   // int64 value
    Float,     // double
    Bool,      // bool
    String,    // UTF-8 text
    Enum,      // int64 ordinal, written by name
    Set,       // int64 bit mask, written as [name, name]
    Color,     // int64 holding the 32-bit TColor, written by colour name or $hex
    Object,    // nested persistent object, written as a sub-block
    Strings,   // list of texts
    Integers,  // list of int64
    Floats,    // list of doubles
    Component, // reference to another component of the file, written by its name
};

using TPropValue =
    std::variant<std::monostate, std::int64_t, double, bool, std::string, std::vector<std::string>,
                 std::vector<std::int64_t>, std::vector<double>>;

struct TPropInfo {
    std::string Name;
    TPropType Type = TPropType::Integer;
    std::function<TPropValue(const TPersistent&)> Get;
    std::function<void(TPersistent&, const TPropValue&)> Set;
    // Declared default; std::monostate means "the constructor's value" (see ConstructorDefault).
    TPropValue Default;
    // When set, the property is written only while this holds for the object.
    std::function<bool(const TPersistent&)> Stored;
    // Range of the C++ type behind Integer, Color and Integers properties (values outside it are
    // refused when read, never truncated).
    std::int64_t MinInt = std::numeric_limits<std::int64_t>::min();
    std::int64_t MaxInt = std::numeric_limits<std::int64_t>::max();
    // Names of the enumeration's values by ordinal (Enum and Set).
    std::vector<std::string> EnumNames;
    // Object: the nested persistent object of an instance.
    std::function<TPersistent*(TPersistent&)> SubObject;
    // Component: the referenced component (or null) and how to set it. SetRef raises when the
    // component is of the wrong kind. Get gives its name ("" for none); Set finds a name among
    // the components of the object's owner.
    std::function<TComponent*(const TPersistent&)> GetRef;
    std::function<void(TPersistent&, TComponent*)> SetRef;
};

struct TClassInfo {
    std::string Name;
    std::string ParentName; // empty for a root
    // Creates an instance with the given owner; empty for classes a form cannot create.
    std::function<TComponent*(TComponent* Owner)> Create;
    // The C++ class registered under this name (an object whose dynamic type differs is of an
    // unregistered descendant that reports its base's ClassName()).
    const std::type_info* Type = nullptr;
    std::vector<TPropInfo> Props; // this class's own properties, in declaration order
    // Components an object of the class contains outside the tree of controls (a menu's items,
    // an item's subitems), in order: a form file writes them inside the object's block. AddChild
    // puts one read from the file at the end of the object's (taking it from where it was) and
    // raises for a component of the wrong kind. Both empty for most classes; see Contains().
    std::function<std::vector<TComponent*>(const TComponent&)> GetChildren;
    std::function<void(TComponent& Container, TComponent& Child)> AddChild;

    // The parent's registered class, or nullptr.
    const TClassInfo* Parent() const;
    // Every published property, the root class's first.
    std::vector<const TPropInfo*> AllProps() const;
    // A published property by name (case-insensitive), or nullptr.
    const TPropInfo* FindProp(const std::string& name) const;
    // True when this class is `name` or derives from it.
    bool InheritsFrom(const std::string& name) const;
    // The class (this or the nearest ancestor) that declares contained components, or nullptr.
    const TClassInfo* Contains() const;
};

// Registers a class (a later registration of the same name replaces the earlier one).
void RegisterClass(TClassInfo info);
// A registered class by name (case-insensitive), or nullptr.
const TClassInfo* FindClass(const std::string& name);
// The registered class of an object (by its ClassName()), or nullptr.
const TClassInfo* ClassInfoOf(const TPersistent& obj);
// Names of every registered class, sorted.
std::vector<std::string> RegisteredClassNames();

// Helpers of component references: the name of a component ("" for null); the component named
// Name among those of Obj's owner (null for ""; raises EInvalidOperation when there is none);
// the error for a component of the wrong kind.
std::string ComponentName(const TComponent* Component);
TComponent* FindComponentFor(const TPersistent& Obj, const std::string& Name);
[[noreturn]] void ThrowNotA(const TComponent& Component, const std::string& Kind);

// Copies every published property of Source into Dest (same class, or Dest derived from the
// class of Source), sub-objects through their Assign. Used by Assign where a class's list of
// copied properties is its published list.
void AssignPublished(TPersistent& Dest, const TPersistent& Source);

// True when Obj can be written to a form file and read back as what it is: its class is
// registered, can be created by name, and Obj is of exactly that class.
bool IsStreamable(const TComponent& Obj);

// Builds the property list of class C (see the example at the top of this file).
template <class C>
class TPropList {
  public:
    explicit TPropList(TClassInfo& info) : info_(info) {}

    template <class G, class S>
    TPropList& Int(const char* name, G get, S set, std::int64_t def) {
        return add(name, TPropType::Integer, get, set, TPropValue(def), {});
    }
    template <class G, class S>
    TPropList& Float(const char* name, G get, S set, double def) {
        return add(name, TPropType::Float, get, set, TPropValue(def), {});
    }
    template <class G, class S>
    TPropList& Bool(const char* name, G get, S set, bool def) {
        return add(name, TPropType::Bool, get, set, TPropValue(def), {});
    }
    template <class G, class S>
    TPropList& String(const char* name, G get, S set, std::string def) {
        return add(name, TPropType::String, get, set, TPropValue(std::move(def)), {});
    }
    template <class G, class S>
    TPropList& Color(const char* name, G get, S set, TColor def) {
        return add(name, TPropType::Color, get, set, TPropValue(std::int64_t(def)), {});
    }
    template <class G, class S, class E>
    TPropList& Enum(const char* name, G get, S set, E def,
                    std::initializer_list<const char*> names) {
        return add(name, TPropType::Enum, get, set, TPropValue(std::int64_t(def)),
                   {names.begin(), names.end()});
    }
    template <class G, class S, class E>
    TPropList& Set(const char* name, G get, S set, TSet<E> def,
                   std::initializer_list<const char*> names) {
        return add(name, TPropType::Set, get, set, TPropValue(std::int64_t(def.Bits())),
                   {names.begin(), names.end()});
    }
    template <class G, class S>
    TPropList& Strings(const char* name, G get, S set, std::vector<std::string> def = {}) {
        return add(name, TPropType::Strings, get, set, TPropValue(std::move(def)), {});
    }
    template <class G, class S>
    TPropList& Integers(const char* name, G get, S set, std::vector<std::int64_t> def = {}) {
        return add(name, TPropType::Integers, get, set, TPropValue(std::move(def)), {});
    }
    template <class G, class S>
    TPropList& Floats(const char* name, G get, S set, std::vector<double> def = {}) {
        return add(name, TPropType::Floats, get, set, TPropValue(std::move(def)), {});
    }
    // A reference to another component (a control's PopupMenu): get returns a pointer to a
    // TComponent or a descendant T, set takes that pointer. A form file stores the name and
    // sets the reference once the whole file is read; a component that is not a T is refused
    // with an error that names Kind ("a popup menu").
    template <class G, class S>
    TPropList& Component(const char* name, G get, S set, const char* Kind) {
        using P = std::remove_cvref_t<std::invoke_result_t<G, const C&>>;
        using T = std::remove_pointer_t<P>;
        static_assert(std::is_pointer_v<P> && std::is_base_of_v<TComponent, T>,
                      "a component reference reads as a pointer to a component");
        TPropInfo p;
        p.Name = name;
        p.Type = TPropType::Component;
        p.Default = TPropValue(std::string());
        p.GetRef = [get](const TPersistent& o) -> TComponent* {
            return std::invoke(get, static_cast<const C&>(o));
        };
        p.SetRef = [set, kind = std::string(Kind)](TPersistent& o, TComponent* v) {
            T* t = nullptr;
            if (v != nullptr) {
                t = dynamic_cast<T*>(v);
                if (t == nullptr) ThrowNotA(*v, kind);
            }
            std::invoke(set, static_cast<C&>(o), t);
        };
        p.Get = [g = p.GetRef](const TPersistent& o) -> TPropValue {
            return TPropValue(ComponentName(g(o)));
        };
        p.Set = [s = p.SetRef](TPersistent& o, const TPropValue& v) {
            s(o, FindComponentFor(o, std::get<std::string>(v)));
        };
        info_.Props.push_back(std::move(p));
        return *this;
    }

    // A nested persistent object (a font, a needle layout), streamed as a sub-block.
    template <class F>
    TPropList& Object(const char* name, F sub) {
        TPropInfo p;
        p.Name = name;
        p.Type = TPropType::Object;
        p.SubObject = [sub](TPersistent& o) -> TPersistent* {
            return std::invoke(sub, static_cast<C&>(o));
        };
        info_.Props.push_back(std::move(p));
        return *this;
    }

    // Contained components (see TClassInfo::GetChildren): Get(const C&) returns them in order as
    // a std::vector<TComponent*>; Add(C&, TComponent&) appends one read from a form file.
    template <class G, class A>
    TPropList& Children(G get, A add) {
        info_.GetChildren = [get](const TComponent& o) -> std::vector<TComponent*> {
            return std::invoke(get, static_cast<const C&>(o));
        };
        info_.AddChild = [add](TComponent& o, TComponent& child) {
            std::invoke(add, static_cast<C&>(o), child);
        };
        return *this;
    }

    // The property declared last is written only while Pred(object) holds.
    template <class P>
    TPropList& Stored(P pred) {
        if (!info_.Props.empty())
            info_.Props.back().Stored = [pred](const TPersistent& o) {
                return bool(std::invoke(pred, static_cast<const C&>(o)));
            };
        return *this;
    }
    // The default of the property declared last is the constructor's value of the class being
    // written (compared with a freshly constructed instance).
    TPropList& ConstructorDefault() {
        if (!info_.Props.empty()) info_.Props.back().Default = TPropValue();
        return *this;
    }

  private:
    template <class T>
    static void setRange(TPropInfo& p) {
        using V = typename std::conditional_t<std::is_enum_v<T>, std::underlying_type<T>,
                                              std::type_identity<T>>::type;
        if constexpr (std::is_integral_v<V> && !std::is_same_v<V, bool>) {
            using L = std::numeric_limits<V>;
            p.MinInt = std::int64_t(L::min());
            p.MaxInt = L::max() > std::uint64_t(std::numeric_limits<std::int64_t>::max())
                           ? std::numeric_limits<std::int64_t>::max()
                           : std::int64_t(L::max());
        }
    }

    // Converts between the stored variant and the property's C++ type.
    template <class T>
    static TPropValue wrap(const T& v) {
        if constexpr (std::is_same_v<T, bool>)
            return TPropValue(v);
        else if constexpr (std::is_floating_point_v<T>)
            return TPropValue(double(v));
        else if constexpr (std::is_enum_v<T>)
            return TPropValue(std::int64_t(v));
        else if constexpr (std::is_integral_v<T>)
            return TPropValue(std::int64_t(v));
        else if constexpr (requires { v.Bits(); })
            return TPropValue(std::int64_t(v.Bits()));
        else if constexpr (std::is_convertible_v<T, std::string>)
            return TPropValue(std::string(v));
        else if constexpr (std::is_same_v<T, std::vector<std::string>>)
            return TPropValue(v);
        else if constexpr (std::is_same_v<T, std::vector<double>>)
            return TPropValue(v);
        else {
            std::vector<std::int64_t> out(v.begin(), v.end());
            return TPropValue(std::move(out));
        }
    }
    template <class T>
    static T unwrap(const TPropValue& v) {
        if constexpr (std::is_same_v<T, bool>)
            return std::get<bool>(v);
        else if constexpr (std::is_floating_point_v<T>)
            return T(std::get<double>(v));
        else if constexpr (std::is_enum_v<T>)
            return T(std::get<std::int64_t>(v));
        else if constexpr (std::is_integral_v<T>)
            return T(std::get<std::int64_t>(v));
        else if constexpr (requires { T::FromBits(0); })
            return T::FromBits(std::uint64_t(std::get<std::int64_t>(v)));
        else if constexpr (std::is_same_v<T, std::string>)
            return std::get<std::string>(v);
        else if constexpr (std::is_same_v<T, std::vector<std::string>>)
            return std::get<std::vector<std::string>>(v);
        else if constexpr (std::is_same_v<T, std::vector<double>>)
            return std::get<std::vector<double>>(v);
        else {
            const auto& src = std::get<std::vector<std::int64_t>>(v);
            return T(src.begin(), src.end());
        }
    }

    template <class G, class S>
    TPropList& add(const char* name, TPropType type, G get, S set, TPropValue def,
                   std::vector<std::string> names) {
        using Raw = std::invoke_result_t<G, const C&>;
        using T = std::remove_cvref_t<Raw>;
        TPropInfo p;
        p.Name = name;
        p.Type = type;
        p.Default = std::move(def);
        p.EnumNames = std::move(names);
        if constexpr (requires { typename T::value_type; } &&
                      !std::is_convertible_v<T, std::string>)
            setRange<typename T::value_type>(p);
        else if constexpr (!std::is_floating_point_v<T>)
            setRange<T>(p);
        p.Get = [get](const TPersistent& o) -> TPropValue {
            return wrap<T>(std::invoke(get, static_cast<const C&>(o)));
        };
        p.Set = [set](TPersistent& o, const TPropValue& v) {
            std::invoke(set, static_cast<C&>(o), unwrap<T>(v));
        };
        info_.Props.push_back(std::move(p));
        return *this;
    }

    TClassInfo& info_;
};

// Registers class C with its parent's name and its property list at static initialisation.
template <class C>
class TClassRegistrar {
  public:
    template <class F>
    TClassRegistrar(const char* name, const char* parent, F declare) {
        TClassInfo info;
        info.Name = name;
        info.ParentName = parent ? parent : "";
        info.Type = &typeid(C);
        if constexpr (std::is_base_of_v<TComponent, C> && std::is_constructible_v<C, TComponent*>) {
            info.Create = [](TComponent* Owner) -> TComponent* { return new C(Owner); };
        }
        TPropList<C> list(info);
        declare(list);
        RegisterClass(std::move(info));
    }
};

} // namespace kel
