#pragma once

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "geometry/core_error.h"
#include "geometry/notify.h"

namespace tarn::test {

// The texts of `notices`, in order.
std::vector<std::string> textsOf(const std::vector<Notice>& notices);

// Records every notice raised on the test's thread while it lives.
class NoticeRecorder {
 public:
  const std::vector<Notice>& notices() const { return collector_.notices(); }
  std::vector<std::string> texts() const { return textsOf(notices()); }

 private:
  NoticeCollector collector_;
};

// A fresh empty folder that becomes the working directory while it lives, so
// the files the core writes by relative name stay apart between tests.
class ScratchDir {
 public:
  ScratchDir();
  ~ScratchDir();
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
  std::filesystem::path previous_;
};

// tests/data/<relative>
std::filesystem::path dataPath(const std::string& relative);
// The repository's own folder (examples/ and the like).
std::filesystem::path sourcePath(const std::string& relative);
std::string readBytes(const std::filesystem::path& path);
void writeBytes(const std::filesystem::path& path, const std::string& bytes);

// `utf8` as GBK bytes, converted by iconv, so that expectations never lean on
// the program's own GBK tables.
std::string gbkOf(std::string utf8);

// The message of the CoreError that `action` throws; empty when it throws none.
template <class Action>
std::string errorOf(Action&& action) {
  try {
    std::forward<Action>(action)();
  } catch (const CoreError& e) {
    return e.what();
  }
  return {};
}

}  // namespace tarn::test
