#include "geometry/text_label.h"

#include <cstddef>
#include <cstdio>

namespace tarn {
namespace {

// Length of the well-formed UTF-8 sequence at text[i], or 0 when it is not one.
std::size_t utf8SequenceLength(std::string_view text, std::size_t i) {
  const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
  const unsigned char lead = byte(i);
  if (lead < 0x80) {
    return 1;
  }
  std::size_t length = 0;
  unsigned char low = 0x80;
  unsigned char high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    low = lead == 0xE0 ? 0xA0 : 0x80;   // no overlong forms
    high = lead == 0xED ? 0x9F : 0xBF;  // no surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    low = lead == 0xF0 ? 0x90 : 0x80;
    high = lead == 0xF4 ? 0x8F : 0xBF;
  } else {
    return 0;
  }
  if (i + length > text.size()) {
    return 0;
  }
  if (byte(i + 1) < low || byte(i + 1) > high) {
    return 0;
  }
  for (std::size_t k = 2; k < length; ++k) {
    if (byte(i + k) < 0x80 || byte(i + k) > 0xBF) {
      return 0;
    }
  }
  return length;
}

// GBK: a lead byte 0x81..0xFE takes the next byte with it.
std::size_t gbkCharacterLength(std::string_view text, std::size_t i) {
  const auto lead = static_cast<unsigned char>(text[i]);
  if (lead >= 0x81 && lead <= 0xFE && i + 1 < text.size()) {
    return 2;
  }
  return 1;
}

}  // namespace

bool isUtf8(std::string_view text) {
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t length = utf8SequenceLength(text, i);
    if (length == 0) {
      return false;
    }
    i += length;
  }
  return true;
}

std::string truncateText(std::string_view text, std::size_t maxBytes) {
  if (text.size() <= maxBytes) {
    return std::string(text);
  }
  const bool utf8 = isUtf8(text);
  std::size_t cut = 0;
  while (cut < text.size()) {
    const std::size_t length = utf8 ? utf8SequenceLength(text, cut) : gbkCharacterLength(text, cut);
    if (cut + length > maxBytes) {
      break;
    }
    cut += length;
  }
  return std::string(text.substr(0, cut));
}

void setLabelText(TextLabel& label, std::string_view text) {
  label.text = truncateText(text, kLabelTextBytes);
}

std::string printableText(std::string_view bytes) {
  const bool utf8 = isUtf8(bytes);
  std::string shown;
  shown.reserve(bytes.size());
  for (const char ch : bytes) {
    const auto c = static_cast<unsigned char>(ch);
    if (c < 0x20 || c == 0x7f || (!utf8 && c >= 0x80)) {
      char escaped[5];
      std::snprintf(escaped, sizeof escaped, "\\x%02x", c);
      shown += escaped;
    } else {
      shown += ch;
    }
  }
  return shown;
}

}  // namespace tarn
