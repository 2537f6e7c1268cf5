#pragma once

#include <string>
#include <string_view>

namespace tarn::cli {

bool isValidUtf8(std::string_view bytes);

// Part names and paths are bytes as read: kept when they are valid UTF-8,
// else decoded from GBK (the files' code page); a byte that is neither
// becomes U+FFFD, so the result is always valid UTF-8.
std::string toUtf8(std::string_view bytes);

}  // namespace tarn::cli
