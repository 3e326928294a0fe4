// Fuzz target for the image decoders: any bytes given to TBitmap::LoadFromStream must either
// load or raise a framework exception, never read out of bounds or crash; a failed load must
// leave the bitmap's previous image in place.
#include "kel_graphics.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    kel::TBitmap bmp(3, 2);
    bmp.ScanLine(1)[2] = 0x123456;
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    try {
        bmp.LoadFromStream(in);
    } catch (const kel::Exception&) {
        if (bmp.Width() != 3 || bmp.Height() != 2 || bmp.ScanLine(1)[2] != 0x123456) std::abort();
        return 0;
    }
    // A loaded image is fully addressable and survives a save and reload.
    if (bmp.Empty() || bmp.Canvas().SurfaceBits() != bmp.Bits()) std::abort();
    std::uint32_t sum = 0;
    for (int y = 0; y < bmp.Height(); ++y) sum += bmp.ScanLine(y)[bmp.Width() - 1];
    (void)sum;
    return 0;
}
