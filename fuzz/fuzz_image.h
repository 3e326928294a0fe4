// Shared body of the image reader fuzz targets: the input, after a fixed signature that sends it
// to one decoder, given to TBitmap::LoadFromStream must either load or raise a framework
// exception, never read out of bounds or crash; a failed load must leave the bitmap's previous
// image in place, and a loaded image must be fully addressable and save and reload unchanged.
#pragma once

#include "kel_graphics.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

inline int FuzzImage(const std::string& Signature, const std::uint8_t* data, std::size_t size) {
    kel::TBitmap bmp(3, 2);
    bmp.ScanLine(1)[2] = 0x123456;
    std::string bytes = Signature;
    bytes.append(reinterpret_cast<const char*>(data), size);
    std::istringstream in(bytes);
    try {
        bmp.LoadFromStream(in);
    } catch (const kel::Exception&) {
        if (bmp.Width() != 3 || bmp.Height() != 2 || bmp.ScanLine(1)[2] != 0x123456) std::abort();
        return 0;
    }
    if (bmp.Empty() || bmp.Canvas().SurfaceBits() != bmp.Bits()) std::abort();
    // Small images go through the writer and back: the pixels must survive exactly.
    if (static_cast<long long>(bmp.Width()) * bmp.Height() <= 4096) {
        std::stringstream out;
        bmp.SaveToPNGStream(out);
        kel::TBitmap again(1, 1);
        again.LoadFromStream(out);
        if (again.Width() != bmp.Width() || again.Height() != bmp.Height()) std::abort();
        for (int y = 0; y < bmp.Height(); ++y)
            for (int x = 0; x < bmp.Width(); ++x)
                if (again.ScanLine(y)[x] != bmp.ScanLine(y)[x]) std::abort();
    } else {
        std::uint32_t sum = 0;
        for (int y = 0; y < bmp.Height(); ++y) sum += bmp.ScanLine(y)[bmp.Width() - 1];
        (void)sum;
    }
    return 0;
}
