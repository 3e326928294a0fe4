// File-system helpers of the base library: whether a folder exists, the parent of a folder path
// and the invention of random passwords. Paths are POSIX paths with "/" as separator.
#pragma once

#include <string>

namespace kel {

// True when Path names an existing folder (symbolic links are followed). An empty path is no
// folder.
bool DirExists(const std::string& Path);

// The parent folder of Path, with a trailing "/": "/home/user/" and "/home/user" both give
// "/home/", "a/b" gives "a/". The root "/" (or any path made of slashes only) and a path
// without any slash give the empty text, so applying ParentDir repeatedly always ends in "".
// Pure text operation: the file system is not consulted.
std::string ParentDir(const std::string& Path);

// Characters InventPassword draws from: letters and digits without the easily confused
// 0, O, 1, l and I.
inline constexpr const char* PasswordAlphabet =
    "ABCDEFGHJKLMNPQRSTUVWXYZabcdefghijkmnopqrstuvwxyz23456789";

// A new password of n characters drawn uniformly from PasswordAlphabet with the system's secure
// random source. n <= 0 gives ""; n is limited to 255 (the longest text a cell can hold), so a
// length read from user data cannot demand unbounded memory. Raises EKELError when no secure
// random source is available.
std::string InventPassword(int n);

} // namespace kel
