#include "fuzz/fuzz_support.h"

#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>

namespace tarn::fuzz {
namespace {

std::filesystem::path scratch() {
  static const std::filesystem::path folder = [] {
    std::string pattern = (std::filesystem::temp_directory_path() / "tarn-fuzz-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
      std::abort();
    }
    std::filesystem::current_path(pattern);
    return std::filesystem::path(pattern);
  }();
  return folder;
}

}  // namespace

std::filesystem::path writeInput(const std::uint8_t* data, std::size_t size, const char* name) {
  const std::filesystem::path path = scratch() / name;
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  return path;
}

}  // namespace tarn::fuzz
