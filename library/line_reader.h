#pragma once

#include <cstddef>
#include <filesystem>
#include <fstream>
#include <istream>
#include <optional>
#include <string>
#include <string_view>

namespace tarn {

// Content bytes a line may hold in each input format (the rest of a longer
// line is read and dropped).
inline constexpr std::size_t kTextLibraryLineBytes = 98;
inline constexpr std::size_t kDxfLineBytes = 98;
inline constexpr std::size_t kPartListLineBytes = 199;
inline constexpr std::size_t kPreSrcLineBytes = 998;
// A folder path line of the part list may be longer than its header lines.
inline constexpr std::size_t kFolderLineBytes = 4096;

// Lengths (mm), radii and angles (degrees) beyond this are taken as corrupt
// input: they would overflow the arithmetic or make outlines of millions of
// pieces.
inline constexpr double kMaxInputMagnitude = 1e7;

// Opens an input file for binary reading; throws CoreError `failure` when it
// cannot be opened.
std::ifstream openInput(const std::filesystem::path& path, std::string_view failure);

// Reads one line of any length. The line end (CR LF, LF, or none at the end of
// the input) is stripped; at most `limit` bytes of content are kept and the
// rest of the line is consumed. Nothing when the input is already at its end.
std::optional<std::string> readLineBounded(std::istream& in, std::size_t limit,
                                           bool* truncated = nullptr);

// Line by line through one input file, counting lines and able to hand the
// last line back once.
class LineReader {
 public:
  LineReader(std::istream& in, std::size_t limit, std::string fileName);

  std::optional<std::string> next();
  // The line last returned by next() is returned again by the next call.
  void putBack();
  // Content bytes kept of the lines read from now on.
  void setLimit(std::size_t limit) { limit_ = limit; }
  // No further line.
  bool atEnd();
  // 1-based number of the line last returned.
  int lineNumber() const { return lineNumber_; }
  // The line last returned was longer than the limit.
  bool truncated() const { return truncated_; }
  const std::string& fileName() const { return fileName_; }

 private:
  std::istream& in_;
  std::size_t limit_;
  std::string fileName_;
  std::optional<std::string> last_;
  bool lastTruncated_ = false;
  bool truncated_ = false;
  bool pushedBack_ = false;
  int lineNumber_ = 0;
};

// std::strtod semantics in the C locale: leading white space and one sign are
// skipped, the longest number is taken, text without a number gives 0. A
// number that does not fit a double gives NaN. `used` receives the bytes
// consumed (0 when there was no number).
double parseDouble(std::string_view text, std::size_t* used = nullptr);
// std::atoi semantics, saturating at the int range instead of overflowing.
int parseInt(std::string_view text, std::size_t* used = nullptr);

// Whether the number that parseDouble or parseInt took from `text` (`used`
// bytes, 0 for none) may have lost digits to the cut of a line longer than its
// limit: it reaches the cut, or nothing but blanks is left where it should be.
bool numberMayBeCut(std::string_view text, std::size_t used, bool lineTruncated);

// The number of the next header line, read from a fixed offset (the label
// before it is never looked at); 0 when the line is missing or shorter. Throws
// CoreError naming the file and line when the number is not usable or may
// have been cut.
double readHeaderValue(LineReader& file, std::size_t offset);

// Finite and within kMaxInputMagnitude.
bool usableNumber(double value);

bool contains(std::string_view text, std::string_view part);

// "<what>: 文件 (file) "<file>", 行 (line) <line>[, 零件 (part) "<part>"]", the
// file and part bytes made printable (a GBK name shows as \xhh escapes).
std::string fileLineMessage(std::string_view what, std::string_view file, int line,
                            std::optional<std::string_view> part = std::nullopt);

}  // namespace tarn
