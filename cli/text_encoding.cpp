#include "cli/text_encoding.h"

#include <iconv.h>

#include <cerrno>
#include <cstddef>
#include <cstdint>

namespace tarn::cli {

namespace {

constexpr std::string_view kReplacement = "\xef\xbf\xbd";  // U+FFFD

// Length of the well-formed UTF-8 sequence at the start of `s`, or 0.
std::size_t utf8SequenceLength(std::string_view s) {
  const auto byte = [&](std::size_t i) { return static_cast<std::uint8_t>(s[i]); };
  const auto continuation = [&](std::size_t i) { return i < s.size() && (byte(i) & 0xC0) == 0x80; };
  const std::uint8_t lead = byte(0);
  if (lead < 0x80) {
    return 1;
  }
  if (lead >= 0xC2 && lead <= 0xDF) {
    return continuation(1) ? 2 : 0;
  }
  if (lead >= 0xE0 && lead <= 0xEF) {
    if (!continuation(1) || !continuation(2)) {
      return 0;
    }
    // No overlong forms and no surrogates.
    if ((lead == 0xE0 && byte(1) < 0xA0) || (lead == 0xED && byte(1) > 0x9F)) {
      return 0;
    }
    return 3;
  }
  if (lead >= 0xF0 && lead <= 0xF4) {
    if (!continuation(1) || !continuation(2) || !continuation(3)) {
      return 0;
    }
    if ((lead == 0xF0 && byte(1) < 0x90) || (lead == 0xF4 && byte(1) > 0x8F)) {
      return 0;
    }
    return 4;
  }
  return 0;
}

// Closes the conversion descriptor on every path.
class Converter {
 public:
  Converter() : cd_(iconv_open("UTF-8", "GBK")) {}
  ~Converter() {
    if (valid()) {
      iconv_close(cd_);
    }
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  bool valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
  iconv_t get() const { return cd_; }

 private:
  iconv_t cd_;
};

std::string decodeGbk(std::string_view bytes) {
  Converter converter;
  if (!converter.valid()) {
    std::string ascii;
    for (const char c : bytes) {
      ascii += static_cast<std::uint8_t>(c) < 0x80 ? std::string_view(&c, 1) : kReplacement;
    }
    return ascii;
  }
  std::string out;
  std::string input(bytes);
  char* in = input.data();
  std::size_t inLeft = input.size();
  char buffer[256];
  while (inLeft > 0) {
    char* outPtr = buffer;
    std::size_t outLeft = sizeof buffer;
    const std::size_t result = iconv(converter.get(), &in, &inLeft, &outPtr, &outLeft);
    out.append(buffer, static_cast<std::size_t>(outPtr - buffer));
    if (result != static_cast<std::size_t>(-1)) {
      continue;
    }
    if (errno == E2BIG) {
      continue;
    }
    // An invalid or cut-off sequence: replace one byte and go on after it.
    out += kReplacement;
    ++in;
    --inLeft;
    iconv(converter.get(), nullptr, nullptr, nullptr, nullptr);
  }
  return out;
}

}  // namespace

bool isValidUtf8(std::string_view bytes) {
  while (!bytes.empty()) {
    const std::size_t length = utf8SequenceLength(bytes);
    if (length == 0) {
      return false;
    }
    bytes.remove_prefix(length);
  }
  return true;
}

std::string toUtf8(std::string_view bytes) {
  if (isValidUtf8(bytes)) {
    return std::string(bytes);
  }
  return decodeGbk(bytes);
}

}  // namespace tarn::cli
