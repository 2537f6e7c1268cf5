#pragma once

#include <gtest/gtest.h>
#include <iconv.h>

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "geometry/core_error.h"
#include "support/test_support.h"

namespace tarn::test {

// Expected report lines are written in UTF-8 and converted here, so they do
// not lean on the program's own GBK table.
inline std::string gbkLines(const std::vector<std::string>& utf8Lines) {
  std::string bytes;
  for (const std::string& line : utf8Lines) {
    iconv_t cd = iconv_open("GBK", "UTF-8");
    std::string in(line);
    std::string out(in.size() * 2 + 4, '\0');
    char* inPtr = in.data();
    char* outPtr = out.data();
    std::size_t inLeft = in.size();
    std::size_t outLeft = out.size();
    EXPECT_NE(iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft), static_cast<std::size_t>(-1));
    iconv_close(cd);
    bytes += out.substr(0, out.size() - outLeft) + "\r\n";
  }
  return bytes;
}

// The job's error report without its first (timestamp) line.
inline std::string afterTimestamp(const std::string& report) {
  const std::size_t end = report.find("\r\n");
  return end == std::string::npos ? std::string() : report.substr(end + 2);
}

inline std::filesystem::path libraryData(const std::string& relative) {
  return dataPath("library/" + relative);
}

// A CR LF copy of an LF fixture in the current (scratch) folder.
inline std::filesystem::path crlfCopy(const std::filesystem::path& lfFile) {
  std::string crlf;
  for (const char c : readBytes(lfFile)) {
    crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
  }
  writeBytes(lfFile.filename(), crlf);
  return std::filesystem::current_path() / lfFile.filename();
}

// The message of the CoreError that `action` throws; empty when it throws none.
template <class Action>
std::string errorOf(Action&& action) {
  try {
    action();
  } catch (const CoreError& e) {
    return e.what();
  }
  return {};
}

template <class List>
std::vector<std::string> namesOf(const List& list) {
  std::vector<std::string> names;
  for (const auto& element : list) {
    names.push_back(element.nameLabel.text + "#" + std::to_string(element.id));
  }
  return names;
}

template <class List>
const auto& named(const List& list, std::string_view name) {
  for (const auto& element : list) {
    if (element.nameLabel.text == name) {
      return element;
    }
  }
  ADD_FAILURE() << "no part " << name;
  return list.front();
}

}  // namespace tarn::test
