#include "support/mixed_library.h"

#include <cstdio>
#include <cstdlib>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace tarn::test {
namespace {

// One vertex of a loop and the signed radius of the edge that ends there.
struct Vertex {
  int x = 0;
  int y = 0;
  int radius = 0;  // of the edge from the previous vertex to this one
};
using Loop = std::vector<Vertex>;  // the closing edge's radius sits on vertex 0

struct Shape {
  Loop outer;
  std::vector<Loop> holes;
};

// mt19937's raw output is fixed by the standard; its distributions are not.
class Dice {
 public:
  explicit Dice(std::uint32_t seed) : engine_(seed) {}
  int between(int lo, int hi) {
    return lo + static_cast<int>(engine_() % static_cast<std::uint32_t>(hi - lo + 1));
  }

 private:
  std::mt19937 engine_;
};

// Counter-clockwise, corner arcs turning counter-clockwise.
Loop roundedRectangle(int x, int y, int w, int h, int r) {
  return {{x + r, y, r},         {x + w - r, y, 0}, {x + w, y + r, r}, {x + w, y + h - r, 0},
          {x + w - r, y + h, r}, {x + r, y + h, 0}, {x, y + h - r, r}, {x, y + r, 0}};
}

// Clockwise quarter arcs, as a hole runs.
Loop circleHole(int cx, int cy, int r) {
  return {{cx + r, cy, -r}, {cx, cy - r, -r}, {cx - r, cy, -r}, {cx, cy + r, -r}};
}

// Counter-clockwise quarter arcs, as an outline runs.
Loop disc(int cx, int cy, int r) {
  return {{cx + r, cy, r}, {cx, cy + r, r}, {cx - r, cy, r}, {cx, cy - r, r}};
}

Loop squareHole(int x, int y, int side) {
  return {{x, y, 0}, {x, y + side, 0}, {x + side, y + side, 0}, {x + side, y, 0}};
}

Loop lShape(int a, int b, int t) {
  return {{0, 0, 0}, {a, 0, 0}, {a, t, 0}, {t, t, 0}, {t, b, 0}, {0, b, 0}};
}

Loop triangle(int a, int b) {
  return {{0, 0, 0}, {a, 0, 0}, {0, b, 0}};
}

// A block whose top edge is one arc bulging by either turn.
Loop arch(int w, int h, int turn) {
  return {{0, 0, 0}, {w, 0, 0}, {w, h, 0}, {0, h, turn * w}};
}

void writeLoop(std::string& out, const Loop& loop) {
  const auto number = [](int v) { return std::to_string(v); };
  out += number(static_cast<int>(loop.size()) + 1) + " " + number(loop[0].x) + " " +
         number(loop[0].y) + "\n";
  for (std::size_t i = 1; i < loop.size(); ++i) {
    out += number(loop[i].radius) + " " + number(loop[i].x) + " " + number(loop[i].y) + "\n";
  }
  out += number(loop[0].radius) + "\n";
}

}  // namespace

std::string mixedTextLibrary(std::uint32_t seed) {
  Dice dice(seed);
  struct Entry {
    std::string name;
    Shape shape;
    int copies = 1;
  };
  std::vector<Entry> entries;

  const int big = dice.between(0, 40);
  entries.push_back({"BIG-PLATE", {roundedRectangle(0, 0, 1100 + big, 950, 30), {}}, 1});
  entries.back().shape.holes.push_back(circleHole(200, 200, dice.between(30, 60)));
  entries.push_back({"WIDE-PLATE", {roundedRectangle(0, 0, 800, 700 - big, 20), {}}, 1});
  entries.push_back({"BIG-L", {lShape(1000, 900, 350 + big), {}}, 2});

  for (int k = 0; k < 3; ++k) {
    const int w = dice.between(480, 560);
    const int h = dice.between(420, 470);
    Shape medium{roundedRectangle(0, 0, w, h, dice.between(5, 25)), {}};
    medium.holes.push_back(circleHole(w / 4, h / 2, dice.between(20, 50)));
    medium.holes.push_back(squareHole(w / 2, h / 4, dice.between(40, 90)));
    entries.push_back({"MEDIUM-" + std::to_string(k), medium, dice.between(1, 2)});
  }
  for (int k = 0; k < 3; ++k) {
    const int a = dice.between(150, 320);
    entries.push_back({"TRIANGLE-" + std::to_string(k), {triangle(a, dice.between(80, a)), {}}, 2});
  }
  for (int k = 0; k < 2; ++k) {
    const int r = dice.between(60, 140);
    entries.push_back({"DISC-" + std::to_string(k), {disc(r, r, r), {circleHole(r, r, r / 3)}}, 2});
  }
  for (int k = 0; k < 2; ++k) {
    const int w = dice.between(150, 300);
    entries.push_back({"ARCH-" + std::to_string(k),
                       {arch(w, dice.between(w / 2, w), k == 0 ? 1 : -1), {}},
                       dice.between(1, 3)});
  }
  entries.push_back(
      {"SMALL-L", {lShape(dice.between(120, 200), dice.between(100, 180), 40), {}}, 3});

  std::string out = "Plate length:3000\nPlate width:1500\nPart distance:5\n";
  for (const Entry& entry : entries) {
    for (int copy = 1; copy <= entry.copies; ++copy) {
      out += "NAME " + entry.name + "-" + std::to_string(copy) + "\n";
      writeLoop(out, entry.shape.outer);
      for (const Loop& hole : entry.shape.holes) {
        writeLoop(out, hole);
      }
    }
  }
  out += "#end\n";
  return out;
}

std::string repeatedTextLibrary(const std::string& library, int copies) {
  constexpr std::size_t kPlateLengthLabel = 13;  // characters before the first header value
  std::istringstream in(library);
  std::vector<std::string> header;  // the three header lines, then what comes before the parts
  std::string parts;
  std::string line;
  while (std::getline(in, line)) {
    if (line.starts_with("#end")) {
      break;
    }
    if (parts.empty() && (header.size() < 3 || !line.starts_with("NAME"))) {
      header.push_back(line);
    } else {
      parts += line + "\n";
    }
  }
  std::string out;
  if (!header.empty()) {
    const std::string label = header[0].substr(0, kPlateLengthLabel);
    const double length = std::strtod(header[0].c_str() + label.size(), nullptr);
    char value[64];
    std::snprintf(value, sizeof value, "%.17g", length * copies);
    out += label + value + "\n";
  }
  for (std::size_t i = 1; i < header.size(); ++i) {
    out += header[i] + "\n";
  }
  for (int copy = 0; copy < copies; ++copy) {
    out += parts;
  }
  return out + "#end\n";
}

}  // namespace tarn::test
