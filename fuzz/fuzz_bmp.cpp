// Fuzz target for the BMP reader: the input follows the "BM" signature (see fuzz_image.h).
#include "fuzz_image.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return FuzzImage("BM", data, size);
}
