// Basic value types shared by every layer: points, rectangles, small bit sets, colours and the
// rounding helpers that the drawing code relies on.
#pragma once

#include <cmath>
#include <cstdint>
#include <initializer_list>

namespace kel {

// 0x00BBGGRR for an RGB colour, 0xFF0000nn for system colour nn.
using TColor = std::uint32_t;

struct TPoint {
    int X = 0;
    int Y = 0;
    friend constexpr bool operator==(const TPoint&, const TPoint&) = default;
};

struct TSize {
    int cx = 0;
    int cy = 0;
    friend constexpr bool operator==(const TSize&, const TSize&) = default;
};

// Half-open rectangle: covers columns Left..Right-1 and rows Top..Bottom-1.
struct TRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    constexpr int Width() const { return Right - Left; }
    constexpr int Height() const { return Bottom - Top; }
    constexpr bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
    constexpr bool Contains(TPoint p) const {
        return p.X >= Left && p.X < Right && p.Y >= Top && p.Y < Bottom;
    }
    friend constexpr bool operator==(const TRect&, const TRect&) = default;
};

constexpr TPoint Point(int x, int y) { return {x, y}; }
constexpr TRect Rect(int l, int t, int r, int b) { return {l, t, r, b}; }
constexpr TRect Bounds(int l, int t, int w, int h) { return {l, t, l + w, t + h}; }

// Intersection of two rectangles; empty (all zero) when they do not overlap.
constexpr TRect IntersectRect(const TRect& a, const TRect& b) {
    TRect r{a.Left > b.Left ? a.Left : b.Left, a.Top > b.Top ? a.Top : b.Top,
            a.Right < b.Right ? a.Right : b.Right, a.Bottom < b.Bottom ? a.Bottom : b.Bottom};
    return r.IsEmpty() ? TRect{} : r;
}

// Smallest rectangle holding both; an empty operand is ignored.
constexpr TRect UnionRect(const TRect& a, const TRect& b) {
    if (a.IsEmpty()) return b;
    if (b.IsEmpty()) return a;
    return {a.Left < b.Left ? a.Left : b.Left, a.Top < b.Top ? a.Top : b.Top,
            a.Right > b.Right ? a.Right : b.Right, a.Bottom > b.Bottom ? a.Bottom : b.Bottom};
}

constexpr TRect OffsetRect(const TRect& r, int dx, int dy) {
    return {r.Left + dx, r.Top + dy, r.Right + dx, r.Bottom + dy};
}

// A set over an enumeration with at most 64 values (font styles, shift states, grid options).
template <typename E>
class TSet {
  public:
    constexpr TSet() = default;
    constexpr TSet(std::initializer_list<E> items) {
        for (E e : items) bits_ |= bit(e);
    }
    static constexpr TSet FromBits(std::uint64_t b) {
        TSet s;
        s.bits_ = b;
        return s;
    }
    constexpr std::uint64_t Bits() const { return bits_; }
    constexpr bool contains(E e) const { return (bits_ & bit(e)) != 0; }
    constexpr bool empty() const { return bits_ == 0; }
    constexpr TSet& include(E e) {
        bits_ |= bit(e);
        return *this;
    }
    constexpr TSet& exclude(E e) {
        bits_ &= ~bit(e);
        return *this;
    }
    constexpr TSet operator|(TSet o) const { return FromBits(bits_ | o.bits_); }
    constexpr TSet operator&(TSet o) const { return FromBits(bits_ & o.bits_); }
    constexpr TSet operator-(TSet o) const { return FromBits(bits_ & ~o.bits_); }
    constexpr TSet operator|(E e) const { return FromBits(bits_ | bit(e)); }
    constexpr TSet operator-(E e) const { return FromBits(bits_ & ~bit(e)); }
    constexpr TSet& operator|=(TSet o) {
        bits_ |= o.bits_;
        return *this;
    }
    constexpr TSet& operator-=(TSet o) {
        bits_ &= ~o.bits_;
        return *this;
    }
    friend constexpr bool operator==(TSet, TSet) = default;

  private:
    static constexpr std::uint64_t bit(E e) { return std::uint64_t{1} << static_cast<unsigned>(e); }
    std::uint64_t bits_ = 0;
};

// Rounds to the nearest integer, exact halves to the even neighbour (Round(2.5) = 2).
inline std::int64_t Round(double x) { return static_cast<std::int64_t>(std::nearbyint(x)); }
// Rounds toward zero.
inline std::int64_t Trunc(double x) { return static_cast<std::int64_t>(x); }

// a*b/c in 64 bits, rounded to nearest with halves away from zero; -1 when c is 0 or the
// result does not fit 32 bits.
constexpr std::int32_t MulDiv(std::int32_t a, std::int32_t b, std::int32_t c) {
    if (c == 0) return -1;
    std::int64_t p = std::int64_t(a) * b, q = p / c, r = p % c;
    if (2 * (r < 0 ? -r : r) >= (c < 0 ? -std::int64_t(c) : std::int64_t(c)))
        q += ((p < 0) != (c < 0)) ? -1 : 1;
    return (q > INT32_MAX || q < INT32_MIN) ? -1 : std::int32_t(q);
}

} // namespace kel
