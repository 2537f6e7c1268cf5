#pragma once

// A pass over an ASCII drawing before libdxflib sees it. libdxflib trusts the
// counts it finds (vertices, knots, control points) and allocates and fills
// arrays of that size, reads lines of 1024 bytes or more from a stream
// without ever reaching its end, and turns "nan" into 0 without a word. The
// guard checks the group structure, keeps only what the import uses (the
// header's units, block definitions, model-space entities of the kinds it
// reads), drops entities with numbers that are not finite, rewrites every
// number in a form libdxflib parses exactly and every count to the number of
// items that follow it, and cuts long values.

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "library/dxf_problem.h"

namespace tarn::dxf {

// Values longer than this are cut (libdxflib's lines hold 1023 bytes).
inline constexpr std::size_t kMaxValueBytes = 1000;
inline constexpr std::size_t kMaxSkippedKinds = 10;

// One group: its code, its value and where it is.
struct Group {
  int code = 0;
  std::string_view codeText;  // the code line as written, without its line end
  std::string_view value;     // without its line end
  int line = 0;               // of the code, from 1
};

// Splits a drawing into groups. Stops at the first malformed one.
class GroupReader {
 public:
  explicit GroupReader(std::string_view bytes);

  // Nothing at the end of the input or after a failure.
  std::optional<Group> next();
  // Why reading stopped early: a text of texts.h, and the line.
  std::string_view failure() const { return failure_; }
  int failureLine() const { return failureLine_; }

 private:
  std::optional<std::string_view> line();

  std::string_view bytes_;
  std::size_t pos_ = 0;
  int lineNumber_ = 0;
  std::string_view failure_;
  int failureLine_ = 0;
};

struct GuardIssue {
  DxfProblemKind kind = DxfProblemKind::NotAsciiDxf;
  std::string_view what;  // a text of texts.h
  std::optional<int> line;
  std::string detail;
};

struct GuardedDrawing {
  bool usable = false;          // false after a fatal issue
  std::string text;             // BLOCKS and ENTITIES as libdxflib reads them
  std::optional<int> insUnits;  // the header's $INSUNITS
  std::vector<GuardIssue> issues;
  // Entities left out for a number that is not finite, and the first one's line.
  int unusableEntities = 0;
  int firstUnusableLine = 0;
  // Kinds left out that could have been outlines, with their counts, in the
  // order first met: the first kMaxSkippedKinds, then all others together.
  std::vector<std::pair<std::string, int>> skipped;
  int skippedOthers = 0;
};

GuardedDrawing guardDrawing(std::string_view bytes);

// The code is one whose value is a floating-point number / an integer.
bool isRealCode(int code);
bool isIntegerCode(int code);

}  // namespace tarn::dxf
