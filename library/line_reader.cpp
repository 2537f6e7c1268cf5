#include "library/line_reader.h"

#include <charconv>
#include <climits>
#include <cmath>
#include <limits>
#include <streambuf>
#include <system_error>
#include <utility>

#include "geometry/core_error.h"
#include "geometry/text_label.h"
#include "geometry/texts.h"

namespace tarn {
namespace {

bool isBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Index of the first byte after the white space and one sign; sets `negative`.
std::size_t skipBlanksAndSign(std::string_view text, bool& negative) {
  std::size_t i = 0;
  while (i < text.size() && isBlank(text[i])) {
    ++i;
  }
  negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  return i;
}

}  // namespace

std::ifstream openInput(const std::filesystem::path& path, std::string_view failure) {
  // A folder or a pipe opens but cannot be read as a library (or blocks forever).
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) {
    throw CoreError(failure);
  }
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    throw CoreError(failure);
  }
  return in;
}

std::optional<std::string> readLineBounded(std::istream& in, std::size_t limit, bool* truncated) {
  if (truncated != nullptr) {
    *truncated = false;
  }
  std::streambuf* buffer = in.rdbuf();
  using Traits = std::char_traits<char>;
  if (buffer == nullptr || !in.good() || Traits::eq_int_type(buffer->sgetc(), Traits::eof())) {
    in.setstate(std::ios::eofbit);
    return std::nullopt;
  }
  std::string line;
  bool cut = false;
  for (;;) {
    const auto c = buffer->sbumpc();
    if (Traits::eq_int_type(c, Traits::eof())) {
      break;
    }
    if (c == '\n') {
      break;
    }
    // A CR is a line end only before LF or at the end of the input.
    if (c == '\r') {
      const auto following = buffer->sgetc();
      if (Traits::eq_int_type(following, Traits::eof())) {
        break;
      }
      if (following == '\n') {
        buffer->sbumpc();
        break;
      }
    }
    if (line.size() < limit) {
      line.push_back(Traits::to_char_type(c));
    } else {
      cut = true;
    }
  }
  if (truncated != nullptr) {
    *truncated = cut;
  }
  return line;
}

LineReader::LineReader(std::istream& in, std::size_t limit, std::string fileName)
    : in_(in), limit_(limit), fileName_(std::move(fileName)) {}

std::optional<std::string> LineReader::next() {
  if (pushedBack_) {
    pushedBack_ = false;
    ++lineNumber_;
    truncated_ = lastTruncated_;
    return last_;
  }
  bool cut = false;
  last_ = readLineBounded(in_, limit_, &cut);
  lastTruncated_ = cut;
  truncated_ = cut;
  if (last_) {
    ++lineNumber_;
  }
  return last_;
}

void LineReader::putBack() {
  if (last_ && !pushedBack_) {
    pushedBack_ = true;
    --lineNumber_;
  }
}

bool LineReader::atEnd() {
  if (pushedBack_) {
    return false;
  }
  std::streambuf* buffer = in_.rdbuf();
  return buffer == nullptr || !in_.good() ||
         std::char_traits<char>::eq_int_type(buffer->sgetc(), std::char_traits<char>::eof());
}

double parseDouble(std::string_view text, std::size_t* used) {
  if (used != nullptr) {
    *used = 0;
  }
  bool negative = false;
  const std::size_t start = skipBlanksAndSign(text, negative);
  // A second sign is not a number, as for strtod.
  if (start < text.size() && (text[start] == '+' || text[start] == '-')) {
    return 0.0;
  }
  double value = 0.0;
  const char* first = text.data() + start;
  const char* last = text.data() + text.size();
  const auto [end, error] = std::from_chars(first, last, value, std::chars_format::general);
  if (end == first) {
    return 0.0;
  }
  if (used != nullptr) {
    *used = static_cast<std::size_t>(end - text.data());
  }
  if (error == std::errc::result_out_of_range) {
    return std::numeric_limits<double>::quiet_NaN();
  }
  return negative ? -value : value;
}

int parseInt(std::string_view text, std::size_t* used) {
  if (used != nullptr) {
    *used = 0;
  }
  bool negative = false;
  std::size_t i = skipBlanksAndSign(text, negative);
  const std::size_t digitsStart = i;
  long long value = 0;
  bool saturated = false;
  while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
    if (!saturated) {
      value = value * 10 + (text[i] - '0');
      if (value > static_cast<long long>(INT_MAX) + 1) {
        saturated = true;
      }
    }
    ++i;
  }
  if (i == digitsStart) {
    return 0;
  }
  if (used != nullptr) {
    *used = i;
  }
  if (negative) {
    value = -value;
  }
  if (saturated || value > INT_MAX) {
    return negative ? INT_MIN : INT_MAX;
  }
  if (value < INT_MIN) {
    return INT_MIN;
  }
  return static_cast<int>(value);
}

bool numberMayBeCut(std::string_view text, std::size_t used, bool lineTruncated) {
  if (!lineTruncated) {
    return false;
  }
  const std::string_view rest = text.substr(used);
  return rest.empty() || (used == 0 && rest.find_first_not_of(" \t") == std::string_view::npos);
}

double readHeaderValue(LineReader& file, std::size_t offset) {
  const std::optional<std::string> line = file.next();
  if (!line || line->size() <= offset) {
    return 0.0;
  }
  const std::string_view text = std::string_view(*line).substr(offset);
  std::size_t used = 0;
  const double value = parseDouble(text, &used);
  const bool cut = numberMayBeCut(text, used, file.truncated());
  if (cut || !usableNumber(value)) {
    throw CoreError(fileLineMessage(cut ? text::kNumberCut : text::kNumberUnusable, file.fileName(),
                                    file.lineNumber()));
  }
  return value;
}

bool usableNumber(double value) {
  return std::isfinite(value) && std::fabs(value) <= kMaxInputMagnitude;
}

bool contains(std::string_view text, std::string_view part) {
  return text.find(part) != std::string_view::npos;
}

std::string fileLineMessage(std::string_view what, std::string_view file, int line,
                            std::optional<std::string_view> part) {
  std::string message(what);
  message += text::kWhereFile;
  message += printableText(file);
  message += text::kWhereLine;
  message += std::to_string(line);
  if (part) {
    message += text::kWherePart;
    message += printableText(*part);
    message += text::kWhereEnd;
  }
  return message;
}

}  // namespace tarn
