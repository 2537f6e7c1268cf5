#pragma once

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "geometry/core_error.h"
#include "geometry/point.h"
#include "job/packing_job.h"
#include "library/dxf_import.h"
#include "library/library_loader.h"
#include "support/test_support.h"

namespace tarn::test {

using Texts = std::vector<std::string>;

inline std::string toCrLf(const std::string& lf) {
  std::string crlf;
  for (const char c : lf) {
    crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
  }
  return crlf;
}

// UTF-8 lines, each ending in "\n", as GBK lines ending in CR LF.
inline std::string gbkLines(const std::string& utf8) {
  return toCrLf(gbkOf(utf8));  // no GBK byte is a line feed
}

inline std::filesystem::path libraryData(const std::string& relative) {
  return dataPath("library/" + relative);
}

// An expected report written as a UTF-8 fixture.
inline std::string expectedReport(const std::string& fixture) {
  return gbkLines(readBytes(libraryData(fixture)));
}

// A fixture as it is and as a CR LF copy in the current (scratch) folder.
inline std::vector<std::filesystem::path> withCrLfCopy(const std::string& fixture) {
  const std::filesystem::path lf = libraryData(fixture);
  writeBytes(lf.filename(), toCrLf(readBytes(lf)));
  return {lf, std::filesystem::current_path() / lf.filename()};
}

// x0, y0, x1, y1, ... of a vertex array.
inline std::vector<double> coordinates(const std::vector<Point>& points) {
  std::vector<double> xy;
  for (const Point& p : points) {
    xy.insert(xy.end(), {p.x, p.y});
  }
  return xy;
}

// A fresh job whose error report goes to memory.
struct MemoryJob {
  std::ostringstream report;
  PackingJob job{report};
  // The report after the job's timestamp line.
  std::string reportLines() const {
    const std::string bytes = report.str();
    return bytes.substr(bytes.find("\r\n") + 2);
  }
};

// Reads a fixture and its CR LF copy, each into a fresh job handed to `check`.
template <class Check>
void readBothLineEnds(void (*read)(PackingJob&, const std::filesystem::path&),
                      const std::string& fixture, Check check) {
  ScratchDir scratch;
  for (const auto& path : withCrLfCopy(fixture)) {
    SCOPED_TRACE(path.string());
    MemoryJob m;
    read(m.job, path);
    check(m.job);
  }
}

// A drawing built in a test: an ENTITIES section only, codes written plainly.
inline std::string entities(const std::string& body) {
  return "0\nSECTION\n2\nENTITIES\n" + body + "0\nENDSEC\n0\nEOF\n";
}

// Entities of a test drawing: (x, y) numbers as std::to_string writes them.
inline std::string line(double x1, double y1, double x2, double y2) {
  return "0\nLINE\n10\n" + std::to_string(x1) + "\n20\n" + std::to_string(y1) + "\n11\n" +
         std::to_string(x2) + "\n21\n" + std::to_string(y2) + "\n";
}

inline std::string text(const std::string& value, double x, double y) {
  return "0\nTEXT\n10\n" + std::to_string(x) + "\n20\n" + std::to_string(y) + "\n40\n2\n1\n" +
         value + "\n";
}

inline std::string square(double x, double y, double side) {
  return line(x, y, x + side, y) + line(x + side, y, x + side, y + side) +
         line(x + side, y + side, x, y + side) + line(x, y + side, x, y);
}

inline std::string circle(double x, double y, double r) {
  return "0\nCIRCLE\n10\n" + std::to_string(x) + "\n20\n" + std::to_string(y) + "\n40\n" +
         std::to_string(r) + "\n";
}

// A closed LWPOLYLINE through (x, y) pairs, each with the bulge of the edge after it.
inline std::string lwpolyline(const std::vector<std::array<double, 3>>& vertices) {
  std::string text = "0\nLWPOLYLINE\n90\n" + std::to_string(vertices.size()) + "\n70\n1\n";
  for (const auto& [x, y, bulge] : vertices) {
    text += "10\n" + std::to_string(x) + "\n20\n" + std::to_string(y) + "\n42\n" +
            std::to_string(bulge) + "\n";
  }
  return text;
}

inline std::vector<DxfProblemKind> kindsOf(const DxfImport& result) {
  std::vector<DxfProblemKind> kinds;
  for (const DxfProblem& problem : result.problems) {
    kinds.push_back(problem.kind);
  }
  return kinds;
}

// "<name>#<id>" of every element, in list order.
template <class List>
Texts namesOf(const List& list) {
  Texts names;
  for (const auto& element : list) {
    names.push_back(element.nameLabel.text + "#" + std::to_string(element.id));
  }
  return names;
}

}  // namespace tarn::test
