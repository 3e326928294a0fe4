// Stream helpers of the base library: reading text line by line from a binary stream.
#pragma once

#include <istream>
#include <string>

namespace kel {

// Reads the next text line from InStream and returns it without its line end. A line ends at
// LF, CR LF or a lone CR; the last line may end without one. Eof becomes true when nothing is
// left after the line (so "a\nb" reads "a" with Eof false, then "b" with Eof true, and "a\n"
// reads "a" with Eof true); on an exhausted stream the result is "" with Eof true.
// MaxLen > 0 limits the result to MaxLen bytes, cut before a UTF-8 character that would not fit;
// the rest of that line is skipped. MaxLen <= 0 means no limit. The stream is left positioned
// after the line end that was read.
std::string ReadLnStream(std::istream& InStream, bool& Eof, int MaxLen);

} // namespace kel
