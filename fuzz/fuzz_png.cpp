// Fuzz target for the PNG reader: the input follows the PNG signature (see fuzz_image.h).
#include "fuzz_image.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return FuzzImage(std::string("\x89PNG\r\n\x1a\n", 8), data, size);
}
