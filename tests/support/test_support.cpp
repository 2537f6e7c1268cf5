#include "support/test_support.h"

#include <fstream>
#include <iterator>
#include <random>
#include <sstream>
#include <stdexcept>
#include <utility>

namespace tarn::test {

std::vector<std::string> NoticeRecorder::texts() const {
  std::vector<std::string> result;
  for (const Notice& notice : notices()) {
    result.push_back(notice.text);
  }
  return result;
}

ScratchDir::ScratchDir() : previous_(std::filesystem::current_path()) {
  std::random_device random;
  const auto base = std::filesystem::temp_directory_path();
  for (;;) {
    std::ostringstream name;
    name << "tarn-test-" << std::hex << random() << random();
    path_ = base / name.str();
    if (std::filesystem::create_directory(path_)) {
      break;
    }
  }
  std::filesystem::current_path(path_);
}

ScratchDir::~ScratchDir() {
  std::error_code ignored;
  std::filesystem::current_path(previous_, ignored);
  std::filesystem::remove_all(path_, ignored);
}

std::filesystem::path dataPath(const std::string& relative) {
  return std::filesystem::path(TARN_TEST_DATA) / relative;
}

std::filesystem::path sourcePath(const std::string& relative) {
  return std::filesystem::path(TARN_SOURCE_DIR) / relative;
}

std::string readBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    throw std::runtime_error("cannot read " + path.string());
  }
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeBytes(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
  if (!out) {
    throw std::runtime_error("cannot write " + path.string());
  }
}

}  // namespace tarn::test
