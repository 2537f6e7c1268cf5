#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace tarn {

// The one error that abandons a command. It carries the exact text the user is
// shown (UTF-8); the front end reports it and keeps the job it had.
class CoreError : public std::runtime_error {
 public:
  explicit CoreError(std::string_view message) : std::runtime_error(std::string(message)) {}
};

}  // namespace tarn
