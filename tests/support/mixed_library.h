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

}  // namespace tarn::test
