#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tarn {

inline constexpr std::size_t kLabelTextBytes = 49;  // what a 50-byte text field holds

// A text drawn with a part. The text is bytes as read (GBK or UTF-8).
struct TextLabel {
  std::string text = "empty text!";
  double x = 0.0;  // insertion point
  double y = 0.0;
  double angle = 0.0;  // degrees
  double height = 10.0;
};

// At most maxBytes of `text`, never cut inside a multi-byte character (UTF-8
// when the text is valid UTF-8, GBK otherwise).
std::string truncateText(std::string_view text, std::size_t maxBytes);

// Sets the label text cut to kLabelTextBytes.
void setLabelText(TextLabel& label, std::string_view text);

// Well-formed UTF-8: no overlong forms, surrogates or cut-off sequences.
bool isUtf8(std::string_view text);

// Bytes (a part name, GBK or UTF-8) as a UTF-8 message can show them: valid
// UTF-8 stays, otherwise every byte from 0x80 up becomes \xhh; control
// characters become \xhh either way.
std::string printableText(std::string_view bytes);

}  // namespace tarn
