// Text routines of the base library: splitting at a delimiter, fixed-point number fields,
// counted substring search, fixed-width fields, trailing/leading character handling, removal of
// control characters, and the UTF-8 helpers that count and cut text by code points.
//
// Strings hold UTF-8. Where a routine counts characters (LeftString, Utf8Left) it counts code
// points and never cuts inside one; a byte that does not start a valid UTF-8 sequence counts as
// one character of its own, so malformed text is kept as given and still has a bounded length.
// Positions (NumberedPos) are 1-based byte indexes.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kel {

// An open list of strings, as filled by Tokenize.
using TOpenStringArray = std::vector<std::string>;

// Splits s at every occurrence of Delim into Parts (replacing its contents) and returns the
// number of parts. Empty parts are kept, so a trailing delimiter gives a last empty part
// ("a/b/" gives "a", "b", ""). An empty s gives no parts (0).
int Tokenize(const std::string& s, char Delim, TOpenStringArray& Parts);

// x in fixed-point notation with Decimals digits after the point (none and no point when
// Decimals <= 0), right-aligned in a field of at least Width characters. Width is limited to
// 255 and Decimals to 100. Non-finite values give "NaN", "+Inf" or "-Inf" (also padded).
std::string strff(double x, int Width, int Decimals);

// 1-based position of the n-th occurrence of Sub in s, searching from position Start (1-based;
// values below 1 mean 1); occurrences may overlap. IgnoreCase compares ASCII letters without
// regard to case. Returns 0 when there are fewer than n occurrences, when n < 1 or Sub is empty.
int NumberedPos(const std::string& Sub, const std::string& s, int Start, int n, bool IgnoreCase);

// Exactly n characters (code points): s cut after n characters, or padded with blanks on the
// right. n <= 0 gives the empty text.
std::string LeftString(const std::string& s, int n);

// s with Ch appended unless s already ends with Ch (an empty s gives Ch alone).
std::string EnsureTrailingChar(const std::string& s, char Ch);

// A path with a trailing separator "/" (added unless present). An empty path stays empty, so
// that "no path" never turns into the root folder.
std::string EnsureTrailingBkSlash(const std::string& s);

// s with every OldChar replaced by NewChar.
std::string ReplaceCharInString(const std::string& s, char OldChar, char NewChar);

// s without the run of Ch at its start / at its end.
std::string StripLeadingChars(const std::string& s, char Ch);
std::string StripTrailingChars(const std::string& s, char Ch);

// s without ASCII control characters (codes 0 to 31 and 127). Bytes of multi-byte UTF-8
// characters are kept.
std::string RemoveControlChars(const std::string& s);

// Number of bytes of the UTF-8 character starting at s[Pos]: 1 to 4 for a valid sequence, 1 for
// a byte that does not start one. 0 at or after the end.
int Utf8CharLen(std::string_view s, std::size_t Pos);

// Number of characters (code points) of s, counted as Utf8CharLen does.
int Utf8Length(std::string_view s);

// The first n characters of s (all of s when it is shorter); never cuts inside a character.
std::string Utf8Left(std::string_view s, int n);

} // namespace kel
