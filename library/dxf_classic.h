#pragma once

#include <filesystem>
#include <string_view>

namespace tarn {

// Drawings beyond this many segments (lines plus arc and circle pieces) are
// left to the import: readDxfPart chains them in quadratic time.
inline constexpr int kClassicMaxSegments = 20000;

struct ClassicCheck {
  bool complete = false;  // readDxfPart reads the drawing completely and correctly
  bool named = false;     // it holds a "name:" text
};

// Whether readDxfPart reads this drawing completely and correctly, so that it
// must keep reading it: an ASCII drawing whose group codes are all written
// right-aligned in three characters, whose ENTITIES are only LINE, ARC,
// CIRCLE and TEXT in the XY plane, whose blocks are empty (whatever $INSUNITS
// says: readDxfPart reads millimetres), where readDxfPart's line scan meets
// exactly these entities,
// and whose segments chain (as readDxfPart chains them) into closed loops
// with nothing left over: one outer loop and holes inside it that lie apart.
// Decided without a message.
ClassicCheck checkClassic(std::string_view bytes);
bool classicReadsCompletely(const std::filesystem::path& path);

}  // namespace tarn
