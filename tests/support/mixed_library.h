#pragma once

#include <cstdint>
#include <string>

namespace tarn::test {

// A text part library made from `seed` alone (the same bytes on every
// platform): a 3000 x 1500 plate, gap 5, and about twenty parts of every kind
// the engine treats apart: large near-rectangles, a large L, medium plates,
// small triangles and discs, arcs of both turns, circular and square holes,
// and repeated parts that pair up.
std::string mixedTextLibrary(std::uint32_t seed);

// A text library whose parts are those of `library` (text library bytes)
// repeated `copies` times, on a plate `copies` times as long: the large jobs of
// the desktop's tests and measurements (shirts.txt repeated 16 times is the
// 1,584-part job).
std::string repeatedTextLibrary(const std::string& library, int copies);

}  // namespace tarn::test
