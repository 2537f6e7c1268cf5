#pragma once

#include <string>
#include <vector>

#include "optimise/strip_layout.h"

namespace tarn::test {

// A layout check of its own, apart from the kernel's predicates: winding numbers
// for containment and segment distances for contact. Outlines closer than 1e-9
// count as touching, and touching counts as overlap. A part in another's hole is
// free. Returns what is wrong with the first faulty item or pair, or "".
std::string layoutFault(const StripProblem& problem, const std::vector<ItemPose>& poses);

}  // namespace tarn::test
