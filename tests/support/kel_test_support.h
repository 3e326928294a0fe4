// Helpers shared by the test suites: reference-image comparison and pixel probes.
#pragma once

#include "kel_graphics.h"

#include <gtest/gtest.h>
#include <string>

namespace kel::test {

// Compares bmp with the reference image tests/<name>.png (name like "gauges/ref/meter_default")
// with zero tolerance. On a difference it reports the first differing pixel and writes
// <build>/test-output/<name>.actual.png and .diff.png. With KEL_UPDATE_REFS=1 in the
// environment it (re)writes the reference instead and passes. A missing reference fails.
::testing::AssertionResult MatchesReference(const TBitmap& bmp, const std::string& name);

// A picture shown in the docs: compares bmp with tests/<Folder>/ref/<Name>.png like
// MatchesReference and, with KEL_UPDATE_DOCS=1 in the environment, also writes it to
// docs/img/<Name>.png (the docs pages show these files).
::testing::AssertionResult MatchesReferenceAndDocs(const TBitmap& bmp, const std::string& Folder,
                                                   const std::string& Name);

// Writes bmp to <build>/test-output/<name>.png for a look by eye; returns the path.
std::string WriteOutput(const TBitmap& bmp, const std::string& name);

// A bitmap of w x h filled with colour c.
void Fill(TBitmap& bmp, int w, int h, TColor c);

// "x,y" of every pixel equal to colour c inside the bitmap, row by row; handy for exact-set checks.
std::string PixelsOf(const TBitmap& bmp, TColor c);

// The bitmap as rows of characters: '#' where the pixel equals ink, '.' elsewhere.
std::string AsciiArt(const TBitmap& bmp, TColor ink);

} // namespace kel::test
