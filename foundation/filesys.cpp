// File-system helpers of the base library (see Kel_filesys.h).
#include "Kel_filesys.h"

#include "Kel_error.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kel {

bool DirExists(const std::string& Path) {
    if (Path.empty()) return false;
    struct stat st {};
    return ::stat(Path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string ParentDir(const std::string& Path) {
    std::size_t end = Path.find_last_not_of('/');
    if (end == std::string::npos) return {}; // empty or slashes only: the root has no parent
    std::size_t slash = Path.rfind('/', end);
    if (slash == std::string::npos) return {}; // a single relative name
    return Path.substr(0, slash + 1);
}

// Fills Buf with bytes from getrandom(2), falling back to /dev/urandom.
static void SecureRandomBytes(unsigned char* Buf, std::size_t Len) {
    std::size_t done = 0;
    while (done < Len) {
        ssize_t got = ::getrandom(Buf + done, Len - done, 0);
        if (got > 0) {
            done += static_cast<std::size_t>(got);
            continue;
        }
        if (got < 0 && errno == EINTR) continue;
        break;
    }
    if (done == Len) return;
    int fd = ::open("/dev/urandom", O_RDONLY | O_CLOEXEC);
    if (fd >= 0) {
        while (done < Len) {
            ssize_t got = ::read(fd, Buf + done, Len - done);
            if (got > 0)
                done += static_cast<std::size_t>(got);
            else if (!(got < 0 && errno == EINTR))
                break;
        }
        ::close(fd);
    }
    if (done != Len) throw EKELError("InventPassword: no secure random source available");
}

std::string InventPassword(int n) {
    n = std::min(n, 255);
    if (n <= 0) return {};
    const std::size_t alpha = std::strlen(PasswordAlphabet);
    // Bytes at or above the largest multiple of the alphabet size are rejected, so every
    // character is equally likely.
    const unsigned limit = 256 - 256 % alpha;
    std::string pwd;
    pwd.reserve(static_cast<std::size_t>(n));
    unsigned char buf[64];
    while (pwd.size() < static_cast<std::size_t>(n)) {
        SecureRandomBytes(buf, sizeof buf);
        for (unsigned char b : buf) {
            if (b >= limit) continue;
            pwd.push_back(PasswordAlphabet[b % alpha]);
            if (pwd.size() == static_cast<std::size_t>(n)) break;
        }
    }
    return pwd;
}

} // namespace kel
