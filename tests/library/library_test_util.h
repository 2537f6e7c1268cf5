#pragma once

#include <gtest/gtest.h>
#include <iconv.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "geometry/part.h"
#include "geometry/part_source.h"
#include "support/test_support.h"

namespace tarn::test {

// Expected report lines are written in UTF-8 here and converted, so they do not
// lean on the program's own GBK table.
inline std::string toGbk(std::string_view utf8) {
  iconv_t cd = iconv_open("GBK", "UTF-8");
  EXPECT_NE(cd, reinterpret_cast<iconv_t>(-1));
  std::string in(utf8);
  std::string out(in.size() * 2 + 4, '\0');
  char* inPtr = in.data();
  char* outPtr = out.data();
  std::size_t inLeft = in.size();
  std::size_t outLeft = out.size();
  EXPECT_NE(iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft), static_cast<std::size_t>(-1)) << utf8;
  iconv_close(cd);
  out.resize(out.size() - outLeft);
  return out;
}

// GBK lines, each followed by CR LF.
inline std::string gbkLines(const std::vector<std::string>& utf8Lines) {
  std::string bytes;
  for (const std::string& line : utf8Lines) {
    bytes += toGbk(line) + "\r\n";
  }
  return bytes;
}

// The report without the job's first (timestamp) line.
inline std::string afterTimestamp(const std::string& report) {
  const std::size_t end = report.find("\r\n");
  return end == std::string::npos ? std::string() : report.substr(end + 2);
}

inline std::filesystem::path libraryData(const std::string& relative) {
  return dataPath("library/" + relative);
}

// A copy of a fixture with CR LF line ends, in the current (scratch) folder.
inline std::filesystem::path crlfCopy(const std::filesystem::path& lfFile) {
  std::string crlf;
  for (const char c : readBytes(lfFile)) {
    if (c == '\n') {
      crlf += '\r';
    }
    crlf += c;
  }
  const std::filesystem::path copy = std::filesystem::current_path() / lfFile.filename();
  writeBytes(copy, crlf);
  return copy;
}

template <class List>
std::vector<std::string> namesOf(const List& list) {
  std::vector<std::string> names;
  for (const auto& element : list) {
    names.push_back(element.nameLabel.text);
  }
  return names;
}

template <class List>
std::vector<int> idsOf(const List& list) {
  std::vector<int> ids;
  for (const auto& element : list) {
    ids.push_back(element.id);
  }
  return ids;
}

template <class List>
const auto* findNamed(const List& list, std::string_view name) {
  const typename std::decay_t<decltype(*list.begin())>* found = nullptr;
  for (const auto& element : list) {
    if (element.nameLabel.text == name) {
      found = &element;
    }
  }
  return found;
}

}  // namespace tarn::test
