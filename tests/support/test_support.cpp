#include "support/test_support.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include <fstream>
#include <iterator>
#include <random>
#include <sstream>
#include <stdexcept>
#include <utility>

namespace tarn::test {

std::vector<std::string> textsOf(const std::vector<Notice>& notices) {
  std::vector<std::string> result;
  for (const Notice& notice : notices) {
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

std::string gbkOf(std::string utf8) {
  std::string gbk(utf8.size(), '\0');  // GBK never needs more bytes than UTF-8
  char* in = utf8.data();
  char* out = gbk.data();
  std::size_t inLeft = utf8.size();
  std::size_t outLeft = gbk.size();
  iconv_t cd = iconv_open("GBK", "UTF-8");
  EXPECT_NE(iconv(cd, &in, &inLeft, &out, &outLeft), static_cast<std::size_t>(-1)) << utf8;
  iconv_close(cd);
  gbk.resize(gbk.size() - outLeft);
  return gbk;
}

}  // namespace tarn::test
