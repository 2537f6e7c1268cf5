#pragma once

#include <vector>

#include "geometry/part.h"
#include "geometry/region.h"

namespace tarn {

// One allowed pose of an item: its outline and holes where that pose puts them,
// before the layout's translation.
struct ItemOrientation {
  Region outer;
  std::vector<Region> holes;
};

// An item with the only poses it may take, in a fixed order.
struct StripItem {
  std::vector<ItemOrientation> orientations;
};

// Where an item lies: its orientation, then a translation added to every vertex.
struct ItemPose {
  int orientation = 0;
  double dx = 0.0;
  double dy = 0.0;
};

// Items on a strip [0, maxLength] x [0, width]; the used length along x is what
// the search shortens.
struct StripProblem {
  double width = 0.0;
  double maxLength = 0.0;
  std::vector<StripItem> items;
};

// The item in its pose as a Part (outline, holes, area and box), the way the
// layout is checked.
Part PosedPart(const StripItem& item, const ItemPose& pose);

// The largest x of the posed outer outlines; 0 without items.
double PackedLength(const StripProblem& problem, const std::vector<ItemPose>& poses);

// One pose per item, each orientation index valid, every translation finite,
// every posed part within (0, maxLength, 0, width) by withinRect and
// partsDisjoint from every other (a part in another's hole is allowed).
bool LayoutFeasible(const StripProblem& problem, const std::vector<ItemPose>& poses);

}  // namespace tarn
