// Form-file writer and reader. The reader works in two steps: the text is parsed completely
// into a tree of blocks (syntax faults are found before anything is created), then the objects
// are built from the tree under a guard that deletes them all on the first fault.
#include "kel_streaming.h"

#include "kel_controls.h"
#include "kel_graphics.h"
#include "kel_props.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <istream>
#include <iterator>
#include <map>
#include <set>
#include <memory>
#include <ostream>
#include <string_view>
#include <typeinfo>
#include <utility>
#include <vector>

namespace kel {

namespace detail {
void LinkFrameworkPublished(); // kel_published.cpp: the framework classes' property lists
}

EFormFileError::EFormFileError(int Line, const std::string& Msg)
    : EReadError(Line > 0 ? "Form file, line " + std::to_string(Line) + ": " + Msg
                          : "Form file: " + Msg),
      FLine(Line) {}

namespace {

constexpr int kMaxDepth = 64; // nesting of objects and sub-objects

bool SameText(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

// Length of the valid UTF-8 sequence starting at s[i], or 0.
std::size_t Utf8SeqLen(const std::string& s, std::size_t i) {
    const auto b = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char c = b(i);
    if (c < 0x80) return 1;
    std::size_t n = 0;
    std::uint32_t cp = 0;
    if (c >= 0xC2 && c <= 0xDF)
        n = 2, cp = c & 0x1F;
    else if (c >= 0xE0 && c <= 0xEF)
        n = 3, cp = c & 0x0F;
    else if (c >= 0xF0 && c <= 0xF4)
        n = 4, cp = c & 0x07;
    else
        return 0;
    if (i + n > s.size()) return 0;
    for (std::size_t k = 1; k < n; ++k) {
        if ((b(i + k) & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (b(i + k) & 0x3F);
    }
    if ((n == 3 && cp < 0x800) || (n == 4 && (cp < 0x10000 || cp > 0x10FFFF)) ||
        (cp >= 0xD800 && cp <= 0xDFFF))
        return 0;
    return n;
}

// ---- Writing ----------------------------------------------------------------------------------

std::string Quote(const std::string& s) {
    std::string out = "\"";
    for (std::size_t i = 0; i < s.size();) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += char(c);
            ++i;
        } else if (c == '\n') {
            out += "\\n", ++i;
        } else if (c == '\t') {
            out += "\\t", ++i;
        } else if (c == '\r') {
            out += "\\r", ++i;
        } else if (c < 0x20 || c == 0x7F) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\x%02X", c);
            out += buf, ++i;
        } else if (std::size_t n = Utf8SeqLen(s, i); n > 0) {
            out.append(s, i, n);
            i += n;
        } else { // a byte that is no part of valid UTF-8: kept exactly, as an escape
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\x%02X", c);
            out += buf, ++i;
        }
    }
    return out + "\"";
}

std::string FloatText(double v) {
    if (std::isnan(v)) return "nan";
    if (std::isinf(v)) return v < 0 ? "-inf" : "inf";
    char buf[64];
    auto r = std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, r.ptr);
}

class Writer {
  public:
    explicit Writer(const TComponent& Root) : FRoot(Root) {}

    std::string Run() {
        Check(FRoot);
        for (int i = 0; i < FRoot.ComponentCount(); ++i) Check(*FRoot.Components(i));
        Collect(FRoot, 0);
        for (int i = 0; i < FRoot.ComponentCount(); ++i) Collect(*FRoot.Components(i), 0);
        WriteObject(FRoot, 0);
        return std::move(FOut);
    }

  private:
    static std::string Describe(const TComponent& c) {
        return c.Name().empty() ? "an unnamed " + c.ClassName() : "\"" + c.Name() + "\"";
    }

    void Check(const TComponent& c) {
        const TClassInfo* info = ClassInfoOf(c);
        if (info == nullptr)
            throw EWriteError("Cannot write " + Describe(c) + ": class " + c.ClassName() +
                              " is not registered");
        if (!IsStreamable(c))
            throw EWriteError("Cannot write " + Describe(c) + ": it is of a class derived from " +
                              c.ClassName() + " that is not registered, so it could not be " +
                              "read back as what it is");
    }

    // The components c contains outside the control tree (a menu's items), whoever owns them.
    static std::vector<TComponent*> ContainedBy(const TComponent& c) {
        const TClassInfo* info = ClassInfoOf(c);
        const TClassInfo* holder = info != nullptr ? info->Contains() : nullptr;
        return holder != nullptr ? holder->GetChildren(c) : std::vector<TComponent*>{};
    }

    // Notes (and checks) every contained component below c, so the root's block leaves out
    // those written inside their container's.
    void Collect(const TComponent& c, int depth) {
        if (depth > kMaxDepth) throw EWriteError("Cannot write: objects nested too deeply");
        for (const TComponent* x : ContainedBy(c)) {
            if (!FContained.insert(x).second) continue;
            Check(*x);
            Collect(*x, depth + 1);
        }
    }

    // The objects written inside c's block: for the root, what it owns that has no parent in
    // the tree and no container; for any object, the owned controls it parents, in z-order (so
    // reading restores the painting order), then the components it contains.
    std::vector<const TComponent*> ChildrenOf(const TComponent& c) const {
        std::vector<const TComponent*> out;
        auto inTree = [&](const TComponent* x) {
            return x == &FRoot || (x != nullptr && x->Owner() == &FRoot);
        };
        if (auto* w = dynamic_cast<const TWinControl*>(&c)) {
            for (int i = 0; i < w->ControlCount(); ++i)
                if (w->Controls(i)->Owner() == &FRoot) out.push_back(w->Controls(i));
        }
        for (const TComponent* x : ContainedBy(c))
            if (std::find(out.begin(), out.end(), x) == out.end()) out.push_back(x);
        if (&c == &FRoot) {
            for (int i = 0; i < FRoot.ComponentCount(); ++i) {
                const TComponent* x = FRoot.Components(i);
                if (FContained.count(x) != 0) continue;
                auto* ctl = dynamic_cast<const TControl*>(x);
                const TComponent* parent = ctl ? ctl->Parent() : nullptr;
                if (parent == nullptr || !inTree(parent) || parent == &FRoot) {
                    if (std::find(out.begin(), out.end(), x) == out.end()) out.push_back(x);
                }
            }
        }
        return out;
    }

    // A freshly constructed instance of the class, for the defaults that are the constructor's.
    const TPersistent* Prototype(const TClassInfo& info) {
        if (!info.Create) return nullptr;
        auto it = FPrototypes.find(info.Name);
        if (it == FPrototypes.end())
            it = FPrototypes.emplace(info.Name, std::unique_ptr<TComponent>(info.Create(nullptr)))
                     .first;
        return it->second.get();
    }

    static const std::function<bool(const TPersistent&)>* StoredOf(const TClassInfo& info,
                                                                   const std::string& name) {
        int depth = 0;
        for (const TClassInfo* c = &info; c != nullptr && depth < kMaxDepth;
             c = c->Parent(), ++depth)
            for (const TPropInfo& p : c->Props)
                if (p.Stored && SameText(p.Name, name)) return &p.Stored;
        return nullptr;
    }

    static std::string ValueText(const TPropInfo& p, const TPropValue& v, const std::string& pad) {
        auto enumName = [&](std::int64_t o) -> const std::string& {
            if (o < 0 || o >= std::int64_t(p.EnumNames.size()))
                throw EWriteError("Cannot write property " + p.Name + ": value " +
                                  std::to_string(o) + " has no name");
            return p.EnumNames[std::size_t(o)];
        };
        switch (p.Type) {
        case TPropType::Integer:
            return std::to_string(std::get<std::int64_t>(v));
        case TPropType::Float:
            return FloatText(std::get<double>(v));
        case TPropType::Bool:
            return std::get<bool>(v) ? "true" : "false";
        case TPropType::String:
            return Quote(std::get<std::string>(v));
        case TPropType::Enum:
            return enumName(std::get<std::int64_t>(v));
        case TPropType::Set: {
            std::uint64_t bits = std::uint64_t(std::get<std::int64_t>(v));
            std::string s = "[";
            for (int i = 0; i < 64; ++i)
                if (bits & (std::uint64_t(1) << i)) {
                    if (s.size() > 1) s += ", ";
                    s += enumName(i);
                }
            return s + "]";
        }
        case TPropType::Color:
            return ColorToString(TColor(std::get<std::int64_t>(v)));
        case TPropType::Strings: {
            const auto& list = std::get<std::vector<std::string>>(v);
            if (list.empty()) return "()";
            std::string s = "(\n";
            for (const std::string& x : list) s += pad + "  " + Quote(x) + "\n";
            return s + pad + ")";
        }
        case TPropType::Integers: {
            std::string s = "(";
            for (std::int64_t x : std::get<std::vector<std::int64_t>>(v))
                s += (s.size() > 1 ? ", " : "") + std::to_string(x);
            return s + ")";
        }
        case TPropType::Floats: {
            std::string s = "(";
            for (double x : std::get<std::vector<double>>(v))
                s += (s.size() > 1 ? ", " : "") + FloatText(x);
            return s + ")";
        }
        case TPropType::Object:
        case TPropType::Component:
            break;
        }
        return {};
    }

    // The property lines of o (class info), compared with proto where given. With subObject
    // set every default is taken from proto (the sub-object of a fresh owner).
    std::string Properties(const TPersistent& o, const TClassInfo& info, const TPersistent* proto,
                           bool subObject, int indent) {
        if (indent / 2 > kMaxDepth) throw EWriteError("Cannot write: objects nested too deeply");
        const std::string pad(std::size_t(indent), ' ');
        std::string out;
        for (const TPropInfo* p : info.AllProps()) {
            if (const auto* stored = StoredOf(info, p->Name); stored && !(*stored)(o)) continue;
            if (p->Type == TPropType::Object) {
                TPersistent* sub = p->SubObject(const_cast<TPersistent&>(o));
                if (sub == nullptr) continue;
                const TClassInfo* subInfo = ClassInfoOf(*sub);
                if (subInfo == nullptr)
                    throw EWriteError("Cannot write property " + p->Name + ": class " +
                                      sub->ClassName() + " is not registered");
                const TPersistent* subProto =
                    proto ? p->SubObject(const_cast<TPersistent&>(*proto)) : nullptr;
                std::string body = Properties(*sub, *subInfo, subProto, true, indent + 2);
                if (!body.empty())
                    out.append(pad).append(p->Name).append(" {\n").append(body).append(pad).append(
                        "}\n");
                continue;
            }
            if (p->Type == TPropType::Component) {
                // A reference is written by name, so it must name an object of this file.
                const TComponent* ref = p->GetRef(o);
                if (ref == nullptr) continue;
                if (ref->Name().empty() || (ref != &FRoot && ref->Owner() != &FRoot))
                    throw EWriteError("Cannot write property " + p->Name + ": it refers to " +
                                      Describe(*ref) +
                                      ", which is not a named object of the file (only the root "
                                      "and the components it owns can be referred to)");
                out += pad + p->Name + " = " + ref->Name() + "\n";
                continue;
            }
            const TPropValue v = p->Get(o);
            TPropValue def = p->Default;
            if ((subObject || std::holds_alternative<std::monostate>(def)) && proto != nullptr)
                def = p->Get(*proto);
            if (!std::holds_alternative<std::monostate>(def) && v == def) continue;
            out += pad + p->Name + " = " + ValueText(*p, v, pad) + "\n";
        }
        return out;
    }

    void WriteObject(const TComponent& c, int indent) {
        if (indent / 2 > kMaxDepth) throw EWriteError("Cannot write: objects nested too deeply");
        const TClassInfo& info = *ClassInfoOf(c);
        const std::string pad(std::size_t(indent), ' ');
        FOut += pad + "object " + (c.Name().empty() ? "" : c.Name() + ": ") + info.Name + "\n";
        FOut += Properties(c, info, Prototype(info), false, indent + 2);
        for (const TComponent* child : ChildrenOf(c)) WriteObject(*child, indent + 2);
        FOut += pad + "end\n";
    }

    const TComponent& FRoot;
    std::string FOut;
    std::map<std::string, std::unique_ptr<TComponent>> FPrototypes;
    std::set<const TComponent*> FContained; // written inside their container's block
};

// ---- Parsing ----------------------------------------------------------------------------------

enum class Tok { End, Newline, Ident, Number, String, Hex, Punct };

struct Token {
    Tok Kind = Tok::End;
    std::string Text; // identifier, number, hex digits ($ included), decoded string, punctuation
    int Line = 1;
};

std::string Shown(const Token& t) {
    switch (t.Kind) {
    case Tok::End:
        return "the end of the file";
    case Tok::Newline:
        return "the end of the line";
    case Tok::String:
        return "a text";
    default: {
        std::string s = t.Text.size() > 40 ? t.Text.substr(0, 40) + "..." : t.Text;
        return "\"" + s + "\"";
    }
    }
}

class Lexer {
  public:
    explicit Lexer(const std::string& text) : FText(text) {
        if (FText.compare(0, 3, "\xEF\xBB\xBF") == 0) FPos = 3; // byte order mark
        // The whole text must be UTF-8 without NUL bytes: garbage is refused up front.
        int line = 1;
        for (std::size_t i = 0; i < FText.size();) {
            if (FText[i] == '\0') throw EFormFileError(line, "NUL byte in the text");
            if (FText[i] == '\n') ++line;
            std::size_t n = Utf8SeqLen(FText, i);
            if (n == 0) throw EFormFileError(line, "the text is not valid UTF-8");
            i += n;
        }
    }

    std::vector<Token> Run() {
        std::vector<Token> out;
        for (;;) {
            Token t = Next();
            out.push_back(t);
            if (t.Kind == Tok::End) return out;
        }
    }

  private:
    static bool IdentStart(char c) {
        return std::isalpha(static_cast<unsigned char>(c)) || c == '_';
    }
    static bool IdentChar(char c) {
        return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
    }

    char At(std::size_t i) const { return i < FText.size() ? FText[i] : '\0'; }

    Token Next() {
        for (;;) {
            char c = At(FPos);
            if (FPos >= FText.size()) return {Tok::End, "", FLine};
            if (c == ' ' || c == '\t' || c == '\r') {
                ++FPos;
            } else if (c == '#') {
                while (FPos < FText.size() && FText[FPos] != '\n') ++FPos;
            } else {
                break;
            }
        }
        const char c = FText[FPos];
        Token t;
        t.Line = FLine;
        if (c == '\n') {
            ++FPos;
            ++FLine;
            t.Kind = Tok::Newline;
            return t;
        }
        if (IdentStart(c)) {
            std::size_t b = FPos;
            while (IdentChar(At(FPos))) ++FPos;
            t.Kind = Tok::Ident;
            t.Text = FText.substr(b, FPos - b);
            return t;
        }
        if (std::isdigit(static_cast<unsigned char>(c)) || c == '-' || c == '+' || c == '.') {
            std::size_t b = FPos;
            ++FPos;
            while (IdentChar(At(FPos)) || At(FPos) == '.' ||
                   ((At(FPos) == '-' || At(FPos) == '+') &&
                    (At(FPos - 1) == 'e' || At(FPos - 1) == 'E')))
                ++FPos;
            t.Kind = Tok::Number;
            t.Text = FText.substr(b, FPos - b);
            return t;
        }
        if (c == '$') {
            std::size_t b = FPos++;
            while (IdentChar(At(FPos))) ++FPos;
            t.Kind = Tok::Hex;
            t.Text = FText.substr(b, FPos - b);
            return t;
        }
        if (c == '"') return StringToken();
        if (std::string_view("=:{}[](),").find(c) != std::string_view::npos) {
            ++FPos;
            t.Kind = Tok::Punct;
            t.Text = std::string(1, c);
            return t;
        }
        std::string shown = c >= 0x20 && c < 0x7F ? std::string(1, c) : "a non-ASCII character";
        throw EFormFileError(FLine, "unexpected character '" + shown + "'");
    }

    static int HexDigit(char c) {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        return -1;
    }

    Token StringToken() {
        Token t;
        t.Kind = Tok::String;
        t.Line = FLine;
        ++FPos;
        for (;;) {
            if (FPos >= FText.size() || FText[FPos] == '\n')
                throw EFormFileError(t.Line, "text not closed by '\"' on its line");
            char c = FText[FPos++];
            if (c == '"') return t;
            if (c != '\\') {
                t.Text += c;
                continue;
            }
            char e = At(FPos++);
            switch (e) {
            case '"':
                t.Text += '"';
                break;
            case '\\':
                t.Text += '\\';
                break;
            case 'n':
                t.Text += '\n';
                break;
            case 't':
                t.Text += '\t';
                break;
            case 'r':
                t.Text += '\r';
                break;
            case 'x': {
                int h = HexDigit(At(FPos)), l = HexDigit(At(FPos + 1));
                if (h < 0 || l < 0)
                    throw EFormFileError(FLine, "'\\x' must be followed by two hex digits");
                t.Text += char(h * 16 + l);
                FPos += 2;
                break;
            }
            default:
                throw EFormFileError(FLine, "unknown escape in a text (use \\\" \\\\ \\n \\t \\r "
                                            "or \\xHH)");
            }
        }
    }

    const std::string& FText;
    std::size_t FPos = 0;
    int FLine = 1;
};

// A value as written: one token, a set [a, b] or a list (x, y).
struct ValueNode {
    enum Kind { Scalar, Set, List } K = Scalar;
    Token T;                  // Scalar
    std::vector<Token> Items; // Set (identifiers) and List (scalars)
    int Line = 0;
};

struct PropNode {
    std::string Name;
    int Line = 0;
    bool IsBlock = false;
    ValueNode Value;           // !IsBlock
    std::vector<PropNode> Sub; // IsBlock
};

struct ObjNode {
    std::string Name, Class;
    int Line = 0;
    std::vector<PropNode> Props;
    std::vector<ObjNode> Children;
};

class Parser {
  public:
    explicit Parser(std::vector<Token> toks) : FToks(std::move(toks)) {}

    ObjNode Run() {
        SkipNewlines();
        if (!IsIdent("object"))
            throw EFormFileError(Peek().Line,
                                 "expected \"object\" to begin the file, found " + Shown(Peek()));
        ObjNode root = Object(0);
        SkipNewlines();
        if (Peek().Kind != Tok::End)
            throw EFormFileError(Peek().Line,
                                 "text after the end of the root object: " + Shown(Peek()));
        return root;
    }

  private:
    const Token& Peek(std::size_t k = 0) const {
        std::size_t i = std::min(FPos + k, FToks.size() - 1);
        return FToks[i];
    }
    Token Take() {
        Token t = Peek();
        if (FPos < FToks.size() - 1) ++FPos;
        return t;
    }
    bool IsIdent(const char* s, std::size_t k = 0) const {
        return Peek(k).Kind == Tok::Ident && Peek(k).Text == s;
    }
    bool IsPunct(char c, std::size_t k = 0) const {
        return Peek(k).Kind == Tok::Punct && Peek(k).Text[0] == c;
    }
    void SkipNewlines() {
        while (Peek().Kind == Tok::Newline) Take();
    }
    void EndOfLine(const char* after) {
        if (Peek().Kind == Tok::End) return; // the missing block end is reported by the caller
        if (Peek().Kind != Tok::Newline)
            throw EFormFileError(Peek().Line,
                                 std::string("unexpected ") + Shown(Peek()) + " after " + after);
        Take();
    }
    Token Ident(const char* what) {
        if (Peek().Kind != Tok::Ident)
            throw EFormFileError(Peek().Line,
                                 std::string("expected ") + what + ", found " + Shown(Peek()));
        return Take();
    }

    ObjNode Object(int depth) {
        if (depth > kMaxDepth)
            throw EFormFileError(Peek().Line, "objects nested deeper than " +
                                                  std::to_string(kMaxDepth) + " levels");
        ObjNode o;
        o.Line = Take().Line; // "object"
        Token first = Ident("a class name after \"object\"");
        if (IsPunct(':')) {
            Take();
            o.Name = first.Text;
            o.Class = Ident("a class name after \":\"").Text;
        } else {
            o.Class = first.Text;
        }
        EndOfLine("the object's header");
        for (;;) {
            SkipNewlines();
            const Token& t = Peek();
            if (t.Kind == Tok::End)
                throw EFormFileError(
                    t.Line, "the file ends inside object " + (o.Name.empty() ? o.Class : o.Name) +
                                " begun at line " + std::to_string(o.Line) + " (\"end\" missing)");
            if (IsIdent("end") && !IsPunct('=', 1) && !IsPunct('{', 1)) {
                Take();
                EndOfLine("\"end\"");
                return o;
            }
            if (IsIdent("object") && !IsPunct('=', 1) && !IsPunct('{', 1)) {
                o.Children.push_back(Object(depth + 1));
                continue;
            }
            o.Props.push_back(Property(depth + 1));
        }
    }

    PropNode Property(int depth) {
        if (depth > kMaxDepth)
            throw EFormFileError(Peek().Line, "sub-objects nested deeper than " +
                                                  std::to_string(kMaxDepth) + " levels");
        PropNode p;
        Token name = Ident("a property name, \"object\" or \"end\"");
        p.Name = name.Text;
        p.Line = name.Line;
        if (IsPunct('{')) {
            Take();
            EndOfLine("\"{\"");
            p.IsBlock = true;
            for (;;) {
                SkipNewlines();
                if (Peek().Kind == Tok::End)
                    throw EFormFileError(Peek().Line,
                                         "the file ends inside " + p.Name + " begun at line " +
                                             std::to_string(p.Line) + " (\"}\" missing)");
                if (IsPunct('}')) {
                    Take();
                    EndOfLine("\"}\"");
                    return p;
                }
                p.Sub.push_back(Property(depth + 1));
            }
        }
        if (!IsPunct('='))
            throw EFormFileError(Peek().Line, "expected \"=\" or \"{\" after " + p.Name +
                                                  ", found " + Shown(Peek()));
        Take();
        p.Value = Value();
        EndOfLine("the value");
        return p;
    }

    static bool IsScalar(const Token& t) {
        return t.Kind == Tok::Ident || t.Kind == Tok::Number || t.Kind == Tok::String ||
               t.Kind == Tok::Hex;
    }

    ValueNode Value() {
        ValueNode v;
        v.Line = Peek().Line;
        if (IsPunct('[')) {
            Take();
            v.K = ValueNode::Set;
            if (IsPunct(']')) {
                Take();
                return v;
            }
            for (;;) {
                v.Items.push_back(Ident("a name in the set"));
                if (IsPunct(']')) {
                    Take();
                    return v;
                }
                if (!IsPunct(','))
                    throw EFormFileError(Peek().Line, "expected \",\" or \"]\" in a set, found " +
                                                          Shown(Peek()));
                Take();
            }
        }
        if (IsPunct('(')) {
            Take();
            v.K = ValueNode::List;
            bool needSep = false;
            for (;;) {
                if (Peek().Kind == Tok::Newline) {
                    Take();
                    needSep = false;
                    continue;
                }
                if (IsPunct(')')) {
                    Take();
                    return v;
                }
                if (Peek().Kind == Tok::End)
                    throw EFormFileError(Peek().Line, "the file ends inside a list begun at line " +
                                                          std::to_string(v.Line) +
                                                          " (\")\" missing)");
                if (IsPunct(',') && needSep) {
                    Take();
                    needSep = false;
                    continue;
                }
                if (needSep || !IsScalar(Peek()))
                    throw EFormFileError(Peek().Line, "unexpected " + Shown(Peek()) + " in a list");
                v.Items.push_back(Take());
                needSep = true;
            }
        }
        if (!IsScalar(Peek()))
            throw EFormFileError(Peek().Line, "expected a value, found " + Shown(Peek()));
        v.T = Take();
        return v;
    }

    std::vector<Token> FToks;
    std::size_t FPos = 0;
};

ObjNode ParseText(const std::string& text) {
    detail::LinkFrameworkPublished();
    Lexer lex(text);
    return Parser(lex.Run()).Run();
}

// ---- Values -----------------------------------------------------------------------------------

const char* TypeWord(TPropType t) {
    switch (t) {
    case TPropType::Integer:
        return "an integer";
    case TPropType::Float:
        return "a number";
    case TPropType::Bool:
        return "true or false";
    case TPropType::String:
        return "a text in quotes";
    case TPropType::Enum:
        return "one of its names";
    case TPropType::Set:
        return "a set [name, ...]";
    case TPropType::Color:
        return "a colour (name or $hex)";
    case TPropType::Object:
        return "a block { ... }";
    case TPropType::Strings:
        return "a list of texts ( ... )";
    case TPropType::Integers:
        return "a list of integers ( ... )";
    case TPropType::Floats:
        return "a list of numbers ( ... )";
    case TPropType::Component:
        return "the name of a component";
    }
    return "a value";
}

struct ValueError {
    std::string Msg;
};

std::int64_t ToInt(const Token& t, const TPropInfo& p) {
    if (t.Kind != Tok::Number) throw ValueError{};
    std::int64_t v = 0;
    const char* b = t.Text.data();
    const char* e = b + t.Text.size();
    if (*b == '+') ++b;
    auto r = std::from_chars(b, e, v);
    if (r.ec == std::errc::result_out_of_range ||
        (r.ec == std::errc() && r.ptr == e && (v < p.MinInt || v > p.MaxInt)))
        throw ValueError{t.Text + " is out of the range " + std::to_string(p.MinInt) + ".." +
                         std::to_string(p.MaxInt)};
    if (r.ec != std::errc() || r.ptr != e) throw ValueError{};
    return v;
}

double ToFloat(const Token& t) {
    if (t.Kind != Tok::Number && t.Kind != Tok::Ident) throw ValueError{};
    std::string s = t.Text;
    bool neg = false;
    if (!s.empty() && (s[0] == '-' || s[0] == '+')) neg = s[0] == '-', s.erase(0, 1);
    if (SameText(s, "inf")) return neg ? -HUGE_VAL : HUGE_VAL;
    if (SameText(s, "nan")) return std::nan("");
    if (t.Kind != Tok::Number || s.empty() ||
        !(std::isdigit(static_cast<unsigned char>(s[0])) || s[0] == '.'))
        throw ValueError{};
    double v = 0;
    auto r = std::from_chars(s.data(), s.data() + s.size(), v);
    if (r.ec == std::errc::result_out_of_range)
        throw ValueError{t.Text + " is out of the range of a number"};
    if (r.ec != std::errc() || r.ptr != s.data() + s.size()) throw ValueError{};
    return neg ? -v : v;
}

std::int64_t ToOrdinal(const Token& t, const TPropInfo& p) {
    if (t.Kind != Tok::Ident) throw ValueError{};
    for (std::size_t i = 0; i < p.EnumNames.size(); ++i)
        if (SameText(p.EnumNames[i], t.Text)) return std::int64_t(i);
    std::string names;
    for (const std::string& n : p.EnumNames) names += (names.empty() ? "" : ", ") + n;
    throw ValueError{"\"" + t.Text + "\" is not one of " + names};
}

TPropValue ToValue(const ValueNode& v, const TPropInfo& p) {
    const bool list = v.K == ValueNode::List;
    switch (p.Type) {
    case TPropType::Integer:
        if (v.K != ValueNode::Scalar) break;
        return ToInt(v.T, p);
    case TPropType::Float:
        if (v.K != ValueNode::Scalar) break;
        return ToFloat(v.T);
    case TPropType::Bool:
        if (v.K != ValueNode::Scalar || v.T.Kind != Tok::Ident) break;
        if (SameText(v.T.Text, "true")) return true;
        if (SameText(v.T.Text, "false")) return false;
        break;
    case TPropType::String:
        if (v.K != ValueNode::Scalar || v.T.Kind != Tok::String) break;
        return v.T.Text;
    case TPropType::Enum:
        if (v.K != ValueNode::Scalar) break;
        return ToOrdinal(v.T, p);
    case TPropType::Set: {
        if (v.K != ValueNode::Set) break;
        std::uint64_t bits = 0;
        for (const Token& t : v.Items) {
            std::int64_t o = ToOrdinal(t, p);
            if (o >= 64) throw ValueError{"the set has too many members"};
            bits |= std::uint64_t(1) << o;
        }
        return std::int64_t(bits);
    }
    case TPropType::Color: {
        if (v.K != ValueNode::Scalar) break;
        std::int64_t c = 0;
        if (v.T.Kind == Tok::Number) {
            c = ToInt(v.T, p);
        } else if (v.T.Kind == Tok::Ident || v.T.Kind == Tok::Hex) {
            if (v.T.Kind == Tok::Hex && (v.T.Text.size() < 2 || v.T.Text.size() > 9))
                throw ValueError{v.T.Text + " is not a colour ($ and up to eight hex digits)"};
            try {
                c = std::int64_t(StringToColor(v.T.Text));
            } catch (const EConvertError&) {
                throw ValueError{"\"" + v.T.Text + "\" is not a colour name or $hex value"};
            }
        } else {
            break;
        }
        if (c < p.MinInt || c > p.MaxInt) throw ValueError{v.T.Text + " is out of range"};
        return c;
    }
    case TPropType::Strings: {
        if (!list) break;
        std::vector<std::string> out;
        for (const Token& t : v.Items) {
            if (t.Kind != Tok::String) throw ValueError{};
            out.push_back(t.Text);
        }
        return out;
    }
    case TPropType::Integers: {
        if (!list) break;
        std::vector<std::int64_t> out;
        for (const Token& t : v.Items) out.push_back(ToInt(t, p));
        return out;
    }
    case TPropType::Floats: {
        if (!list) break;
        std::vector<double> out;
        for (const Token& t : v.Items) out.push_back(ToFloat(t));
        return out;
    }
    case TPropType::Component:
        // The name; nil is no component. Resolved once the whole file is read.
        if (v.K != ValueNode::Scalar || v.T.Kind != Tok::Ident) break;
        return SameText(v.T.Text, "nil") ? std::string() : v.T.Text;
    case TPropType::Object:
        break;
    }
    throw ValueError{};
}

// ---- Building ---------------------------------------------------------------------------------

struct DeferredTabOrder {
    TWinControl* Control;
    std::int64_t Value;
    int Line;
};

// A component reference read from the file, set once every object of the file exists.
struct DeferredReference {
    TComponent* Component; // the object read (Object itself, or the owner of a sub-object)
    TPersistent* Object;
    const TPropInfo* Prop;
    std::string Name; // "" for nil
    int Line;
    std::string Class;
};

class Builder {
  public:
    std::vector<DeferredTabOrder> TabOrders;
    std::vector<DeferredReference> References;
    std::vector<TComponent*> Created; // every object created for the file's children, in order
    // Components put into a container (a menu's items), with the container, in file order.
    std::vector<std::pair<TComponent*, TComponent*>> Contained;

    // Sets the properties of one object (or sub-object) from its lines.
    void SetProperties(TPersistent& obj, const std::vector<PropNode>& props) {
        if (auto* c = dynamic_cast<TComponent*>(&obj)) FReading = c;
        const TClassInfo* info = ClassInfoOf(obj);
        if (info == nullptr)
            throw EFormFileError(props.empty() ? 0 : props.front().Line,
                                 "class " + obj.ClassName() + " has no published properties");
        for (const PropNode& n : props) {
            const TPropInfo* p = info->FindProp(n.Name);
            if (p == nullptr)
                throw EFormFileError(n.Line,
                                     "unknown property \"" + n.Name + "\" of class " + info->Name);
            if (p->Type == TPropType::Object) {
                if (!n.IsBlock)
                    throw EFormFileError(n.Line, "property " + p->Name + " of " + info->Name +
                                                     " is an object: expected \"" + p->Name +
                                                     " {\"");
                TPersistent* sub = p->SubObject(obj);
                if (sub == nullptr)
                    throw EFormFileError(n.Line, "property " + p->Name + " of " + info->Name +
                                                     " has no object to read into");
                SetProperties(*sub, n.Sub);
                continue;
            }
            if (n.IsBlock)
                throw EFormFileError(n.Line, "property " + p->Name + " of " + info->Name +
                                                 " is not an object: expected \"" + p->Name +
                                                 " = value\"");
            TPropValue v;
            try {
                v = ToValue(n.Value, *p);
            } catch (const ValueError& e) {
                std::string msg = "property " + p->Name + " of " + info->Name;
                if (e.Msg.empty())
                    msg += " expects " + std::string(TypeWord(p->Type)) + ", found " +
                           (n.Value.K == ValueNode::Set    ? std::string("a set")
                            : n.Value.K == ValueNode::List ? std::string("a list")
                                                           : Shown(n.Value.T));
                else
                    msg += ": " + e.Msg;
                throw EFormFileError(n.Line, msg);
            }
            if (p->Type == TPropType::Component) {
                References.push_back(
                    {FReading, &obj, p, std::get<std::string>(v), n.Line, info->Name});
                continue;
            }
            if (SameText(p->Name, "TabOrder")) {
                if (auto* w = dynamic_cast<TWinControl*>(&obj)) {
                    TabOrders.push_back({w, std::get<std::int64_t>(v), n.Line});
                    continue;
                }
            }
            Apply(obj, *p, v, n.Line, info->Name);
        }
    }

    static void Apply(TPersistent& obj, const TPropInfo& p, const TPropValue& v, int line,
                      const std::string& cls) {
        try {
            p.Set(obj, v);
        } catch (const std::exception& e) {
            throw EFormFileError(line, "property " + p.Name + " of " + cls + ": " + e.what());
        }
    }

    static const TClassInfo& CreatableClass(const ObjNode& n) {
        const TClassInfo* info = FindClass(n.Class);
        if (info == nullptr) throw EFormFileError(n.Line, "unknown class \"" + n.Class + "\"");
        if (!info->Create)
            throw EFormFileError(n.Line, "class " + info->Name + " cannot be created by name");
        return *info;
    }

    static void SetNameOf(TComponent& c, const ObjNode& n) {
        if (n.Name.empty()) return;
        // A control's caption follows a rename while the two agree; a name read from a file
        // is no rename, so the caption keeps what it had (the file sets it when stored).
        auto* ctl = dynamic_cast<TControl*>(&c);
        const std::string text = ctl ? ctl->Text() : std::string();
        try {
            c.SetName(n.Name);
            if (ctl != nullptr && ctl->Text() != text) ctl->SetText(text);
        } catch (const std::exception& e) {
            throw EFormFileError(n.Line, e.what());
        }
    }

    // Creates the objects inside node (whose object is obj), owned by root, and reads them.
    void Children(TComponent& root, TComponent& obj, const ObjNode& node) {
        for (const ObjNode& cn : node.Children) {
            const TClassInfo& info = CreatableClass(cn);
            TComponent* c = nullptr;
            try {
                c = info.Create(&root); // owned by root from here on: deleted with it
            } catch (const std::exception& e) {
                throw EFormFileError(cn.Line, "creating a " + info.Name + ": " + e.what());
            }
            Created.push_back(c);
            c->BeginLoading();
            SetNameOf(*c, cn);
            SetProperties(*c, cn.Props);
            // Inside a container of components (a menu, an item): one of its children.
            const TClassInfo* objInfo = ClassInfoOf(obj);
            const TClassInfo* holder = objInfo != nullptr ? objInfo->Contains() : nullptr;
            if (holder != nullptr && dynamic_cast<TControl*>(c) == nullptr) {
                try {
                    holder->AddChild(obj, *c);
                } catch (const std::exception& e) {
                    throw EFormFileError(cn.Line, e.what());
                }
                Contained.push_back({&obj, c});
            }
            // The parent comes after the properties, so a control that follows its parent's
            // font and colour takes them from the parent and one that does not keeps its own.
            if (auto* ctl = dynamic_cast<TControl*>(c)) {
                auto* parent = dynamic_cast<TWinControl*>(&obj);
                if (parent == nullptr && &obj != &root)
                    throw EFormFileError(cn.Line, "a control can only be placed inside a windowed "
                                                  "control, not inside a " +
                                                      obj.ClassName());
                if (parent != nullptr) {
                    try {
                        ctl->SetParent(parent);
                    } catch (const std::exception& e) {
                        throw EFormFileError(cn.Line, e.what());
                    }
                }
            }
            Children(root, *c, cn);
        }
    }

    // Sets the component references once the whole file is read: a name is the root's or that
    // of a component the root owns.
    void ResolveReferences(TComponent& root) {
        for (const DeferredReference& r : References) {
            TComponent* c = nullptr;
            if (!r.Name.empty()) {
                c = SameText(r.Name, root.Name()) ? &root : root.FindComponent(r.Name);
                if (c == nullptr)
                    throw EFormFileError(r.Line, "property " + r.Prop->Name + " of " + r.Class +
                                                     ": there is no component named \"" + r.Name +
                                                     "\" in the file");
            }
            try {
                r.Prop->SetRef(*r.Object, c);
            } catch (const std::exception& e) {
                throw EFormFileError(r.Line, "property " + r.Prop->Name + " of " + r.Class + ": " +
                                                 e.what());
            }
        }
    }

    // Ranks among siblings, set once every sibling exists: lowest first, so each lands where
    // the file says.
    void ApplyTabOrders() {
        std::stable_sort(
            TabOrders.begin(), TabOrders.end(),
            [](const DeferredTabOrder& a, const DeferredTabOrder& b) { return a.Value < b.Value; });
        for (const DeferredTabOrder& t : TabOrders) {
            try {
                t.Control->SetTabOrder(int(std::clamp<std::int64_t>(t.Value, -1, 1 << 30)));
            } catch (const std::exception& e) {
                throw EFormFileError(t.Line, std::string("property TabOrder: ") + e.what());
            }
        }
    }

  private:
    TComponent* FReading = nullptr; // the component whose lines are being read
};

std::string ReadAll(std::istream& s) {
    std::string text((std::istreambuf_iterator<char>(s)), std::istreambuf_iterator<char>());
    if (s.bad()) throw EFormFileError(0, "the stream could not be read");
    return text;
}

std::string ReadFile(const std::string& FileName) {
    std::ifstream f(FileName, std::ios::binary);
    if (!f) throw EFOpenError("Cannot open file \"" + FileName + "\"");
    return ReadAll(f);
}

} // namespace

// ---- Public entry points ----------------------------------------------------------------------

std::string ComponentToText(const TComponent& Root) {
    detail::LinkFrameworkPublished();
    return Writer(Root).Run();
}

void WriteComponent(std::ostream& Stream, const TComponent& Root) {
    const std::string text = ComponentToText(Root);
    Stream.write(text.data(), std::streamsize(text.size()));
    if (!Stream) throw EWriteError("Stream write error");
}

void WriteComponentFile(const std::string& FileName, const TComponent& Root) {
    const std::string text = ComponentToText(Root); // faults before the file is touched
    // Written beside the file and renamed over it, so a failed write keeps the old file.
    const std::string temp = FileName + ".tmp";
    {
        std::ofstream f(temp, std::ios::binary | std::ios::trunc);
        if (!f) throw EFOpenError("Cannot create file \"" + temp + "\"");
        f.write(text.data(), std::streamsize(text.size()));
        f.close();
        if (!f) {
            std::remove(temp.c_str());
            throw EWriteError("Cannot write file \"" + FileName + "\"");
        }
    }
    if (std::rename(temp.c_str(), FileName.c_str()) != 0) {
        std::remove(temp.c_str());
        throw EWriteError("Cannot replace file \"" + FileName + "\"");
    }
}

TComponent* ComponentFromText(const std::string& Text, TComponent* AOwner, TWinControl* AParent) {
    const ObjNode tree = ParseText(Text);
    const TClassInfo& info = Builder::CreatableClass(tree);
    std::unique_ptr<TComponent> root;
    try {
        root.reset(info.Create(nullptr));
    } catch (const std::exception& e) {
        throw EFormFileError(tree.Line, "creating a " + info.Name + ": " + e.what());
    }
    root->BeginLoading();
    Builder b;
    Builder::SetNameOf(*root, tree);
    b.SetProperties(*root, tree.Props);
    b.Children(*root, *root, tree);
    b.ResolveReferences(*root);
    if (AOwner != nullptr) {
        if (!tree.Name.empty()) {
            TComponent* other = AOwner->FindComponent(tree.Name);
            if (other != nullptr)
                throw EFormFileError(tree.Line, "the owner already has a component named \"" +
                                                    tree.Name + "\"");
        }
        AOwner->InsertComponent(root.get());
    }
    if (AParent != nullptr) {
        auto* ctl = dynamic_cast<TControl*>(root.get());
        if (ctl == nullptr)
            throw EFormFileError(tree.Line, "a " + info.Name + " is not a control: no parent");
        try {
            ctl->SetParent(AParent);
        } catch (const std::exception& e) {
            throw EFormFileError(tree.Line, e.what());
        }
    }
    b.ApplyTabOrders();
    root->EndLoading();
    return root.release();
}

TComponent* ReadComponent(std::istream& Stream, TComponent* AOwner, TWinControl* AParent) {
    return ComponentFromText(ReadAll(Stream), AOwner, AParent);
}

TComponent* ReadComponentFile(const std::string& FileName, TComponent* AOwner,
                              TWinControl* AParent) {
    return ComponentFromText(ReadFile(FileName), AOwner, AParent);
}

void ComponentFromTextInto(const std::string& Text, TComponent& Target) {
    const ObjNode tree = ParseText(Text);
    const TClassInfo& info = Builder::CreatableClass(tree);
    if (!SameText(info.Name, Target.ClassName()) || !IsStreamable(Target))
        throw EFormFileError(tree.Line, "the file holds a " + info.Name + ", which cannot be " +
                                            "read into a " + Target.ClassName());
    // Names the new objects would take must be free in Target (and the root's in its owner).
    if (!tree.Name.empty() && Target.Owner() != nullptr) {
        TComponent* other = Target.Owner()->FindComponent(tree.Name);
        if (other != nullptr && other != &Target)
            throw EFormFileError(tree.Line,
                                 "the owner already has a component named \"" + tree.Name + "\"");
    }

    // Everything is first read into a fresh object: every fault shows there.
    std::unique_ptr<TComponent> fresh(info.Create(nullptr));
    fresh->BeginLoading();
    Builder b;
    Builder::SetNameOf(*fresh, tree);
    b.SetProperties(*fresh, tree.Props);
    b.Children(*fresh, *fresh, tree);
    b.ResolveReferences(*fresh); // every name is checked here, before Target changes
    std::vector<TComponent*> made = b.Created;
    for (TComponent* c : made)
        if (!c->Name().empty() && Target.FindComponent(c->Name()) != nullptr)
            throw EFormFileError(tree.Line, "\"" + Target.Name() +
                                                "\" already has a component "
                                                "named \"" +
                                                c->Name() + "\"");

    // Then onto Target: its published values are kept to put back should a setter refuse.
    struct Saved {
        TPersistent* Obj;
        const TPropInfo* Prop;
        TPropValue Value;
        TComponent* Ref; // a reference is put back as the same component
    };
    std::vector<Saved> saved;
    auto save = [&](auto&& self, TPersistent& o, int depth) -> void {
        const TClassInfo* ci = ClassInfoOf(o);
        if (ci == nullptr || depth > kMaxDepth) return;
        for (const TPropInfo* p : ci->AllProps()) {
            if (p->Type == TPropType::Object) {
                if (TPersistent* sub = p->SubObject(o)) self(self, *sub, depth + 1);
            } else if (p->Type == TPropType::Component) {
                saved.push_back({&o, p, {}, p->GetRef(o)});
            } else {
                saved.push_back({&o, p, p->Get(o), nullptr});
            }
        }
    };
    save(save, Target, 0);
    const std::string oldName = Target.Name();
    std::vector<DeferredReference> rootReferences;
    Target.BeginLoading();
    try {
        Builder::SetNameOf(Target, tree);
        Builder onto;
        onto.SetProperties(Target, tree.Props);
        rootReferences = std::move(onto.References);
        b.TabOrders.insert(b.TabOrders.end(), onto.TabOrders.begin(), onto.TabOrders.end());
        for (auto& t : b.TabOrders)
            if (t.Control == fresh.get()) t.Control = dynamic_cast<TWinControl*>(&Target);
    } catch (...) {
        for (const Saved& s : saved) {
            try {
                if (s.Prop->Type == TPropType::Component)
                    s.Prop->SetRef(*s.Obj, s.Ref);
                else
                    s.Prop->Set(*s.Obj, s.Value);
            } catch (...) {
            }
        }
        try {
            Target.SetName(oldName);
        } catch (...) {
        }
        Target.EndLoading();
        throw;
    }
    // The new objects move to Target, the controls placed on the fresh root in z-order first.
    std::vector<TControl*> onRoot;
    if (auto* w = dynamic_cast<TWinControl*>(fresh.get()))
        for (int i = 0; i < w->ControlCount(); ++i) onRoot.push_back(w->Controls(i));
    for (TComponent* c : made) {
        fresh->RemoveComponent(c);
        Target.InsertComponent(c);
    }
    if (auto* w = dynamic_cast<TWinControl*>(&Target)) {
        for (TControl* c : onRoot)
            if (std::find(made.begin(), made.end(), c) != made.end()) c->SetParent(w);
    }
    // What the file's root contains (a menu's items read into a menu) moves to Target's end,
    // before the fresh root, which would free it, goes.
    for (const auto& [container, child] : b.Contained)
        if (container == fresh.get()) info.Contains()->AddChild(Target, *child);
    // The references again, now among Target's components: a name of the file's root is
    // Target's, and the root's own references (read onto Target as well) are set on Target.
    // The fresh read found every name, so none is missing here.
    std::erase_if(b.References,
                  [&](const DeferredReference& r) { return r.Component == fresh.get(); });
    fresh.reset();
    b.References.insert(b.References.end(), rootReferences.begin(), rootReferences.end());
    b.ResolveReferences(Target);
    b.ApplyTabOrders();
    Target.EndLoading();
}

void ReadComponentInto(std::istream& Stream, TComponent& Target) {
    ComponentFromTextInto(ReadAll(Stream), Target);
}

void ReadComponentFileInto(const std::string& FileName, TComponent& Target) {
    ComponentFromTextInto(ReadFile(FileName), Target);
}

} // namespace kel
