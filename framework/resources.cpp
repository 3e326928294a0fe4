// Named images compiled into the library: TBitmap::LoadFromResourceName looks a name up in the
// table that cmake/embed_resources.cmake generates from the files in resources/ (keyed by the
// upper-case base name) and decodes the bytes like a file.
#include "kel_graphics.h"

#include <cctype>
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>
#include <string_view>

namespace kel {

namespace detail {
struct EmbeddedResource {
    std::string_view name;
    const std::uint8_t* data;
    std::size_t size;
};
extern const EmbeddedResource kEmbeddedResources[]; // ends with an entry of empty name
} // namespace detail

namespace {

bool SameNameIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::toupper(static_cast<unsigned char>(a[i])) !=
            std::toupper(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

} // namespace

void TBitmap::LoadFromResourceName(const std::string& name) {
    // An empty name would match the table's terminator, so it is looked up as "not found".
    for (const detail::EmbeddedResource* r = detail::kEmbeddedResources;
         !name.empty() && !r->name.empty(); ++r) {
        if (!SameNameIgnoringCase(r->name, name)) continue;
        std::istringstream in(std::string(reinterpret_cast<const char*>(r->data), r->size));
        try {
            LoadFromStream(in);
        } catch (const EInvalidGraphic& e) {
            throw EInvalidGraphic("Resource " + name + ": " + e.what());
        }
        return;
    }
    throw EResNotFound("Resource " + name + " not found");
}

} // namespace kel
