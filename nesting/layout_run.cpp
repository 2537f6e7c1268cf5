#include "nesting/layout_run.h"

#include <cstring>

namespace tarn {
namespace {

constexpr double kForgetMargin = 1.0;  // mm around a vacated box

void appendRegion(std::vector<double>& signature, const Region& region) {
  signature.push_back(static_cast<double>(region.points.size()));
  for (const Point& p : region.points) {
    signature.push_back(p.x);
    signature.push_back(p.y);
  }
  signature.push_back(region.area);
  signature.push_back(region.bbox.xmin);
  signature.push_back(region.bbox.xmax);
  signature.push_back(region.bbox.ymin);
  signature.push_back(region.bbox.ymax);
}

// Every field the placement routines read from the part, in list order.
std::vector<double> signatureOf(const Part& part) {
  std::vector<double> signature;
  appendRegion(signature, part.outer);
  signature.push_back(static_cast<double>(part.holes.count()));
  for (const Region& hole : part.holes) {
    appendRegion(signature, hole);
  }
  signature.push_back(part.bbox.xmin);
  signature.push_back(part.bbox.xmax);
  signature.push_back(part.bbox.ymin);
  signature.push_back(part.bbox.ymax);
  signature.push_back(part.centroid.x);
  signature.push_back(part.centroid.y);
  signature.push_back(part.area);
  signature.push_back(part.refPoint.x);
  signature.push_back(part.refPoint.y);
  signature.push_back(part.rotation);
  signature.push_back(part.turnedOver ? 1.0 : 0.0);
  signature.push_back(part.fillRatio);
  signature.push_back(part.aspectRatio);
  return signature;
}

// Bit for bit: -0.0 is not 0.0, and a NaN equals the same NaN.
bool sameBits(const std::vector<double>& a, const std::vector<double>& b) {
  return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(double)) == 0;
}

std::uint64_t hashOf(const std::vector<double>& signature) {
  std::uint64_t hash = 14695981039346656037ull;  // FNV-1a
  const auto* bytes = reinterpret_cast<const unsigned char*>(signature.data());
  for (std::size_t i = 0; i < signature.size() * sizeof(double); ++i) {
    hash ^= bytes[i];
    hash *= 1099511628211ull;
  }
  return hash;
}

// What the fit tests read of a part that blocks: its vertices and boxes.
bool sameObstacle(const Part& a, const Part& b) {
  std::vector<double> sa;
  std::vector<double> sb;
  appendRegion(sa, a.outer);
  appendRegion(sb, b.outer);
  for (const Region& hole : a.holes) {
    appendRegion(sa, hole);
  }
  for (const Region& hole : b.holes) {
    appendRegion(sb, hole);
  }
  return a.holes.count() == b.holes.count() && sameBits(sa, sb);
}

}  // namespace

LayoutRun::LayoutRun(PackingJob& job, RunContext& ctx)
    : job_(job), ctx_(ctx), previous_(ctx.layoutRun) {
  index_.emplace(job.plateExtents, job.workingParts);
  see();
  ctx_.layoutRun = this;
}

LayoutRun::~LayoutRun() {
  ctx_.counters.fitTests += index_->tests();
  ctx_.layoutRun = previous_;
}

LayoutRun* LayoutRun::of(const PackingJob& job, const RunContext& ctx) {
  LayoutRun* run = ctx.layoutRun;
  return run != nullptr && &run->job_ == &job ? run : nullptr;
}

void LayoutRun::see() {
  seen_.clear();
  seenAt_.clear();
  for (const Part& part : job_.workingParts) {
    seenAt_.emplace(&part, seen_.size());
    seen_.push_back(Seen{&part, part.outer.bbox});
  }
}

bool LayoutRun::unchanged() const {
  if (static_cast<std::size_t>(job_.workingParts.count()) != seen_.size()) {
    return false;
  }
  auto seen = seen_.begin();
  for (const Part& part : job_.workingParts) {
    const BBox& a = seen->box;
    const BBox& b = part.outer.bbox;
    if (seen->part != &part || a.xmin != b.xmin || a.xmax != b.xmax || a.ymin != b.ymin ||
        a.ymax != b.ymax) {
      return false;
    }
    ++seen;
  }
  return true;
}

void LayoutRun::trying(const Part& part) {
  if (!unchanged()) {
    // Changed behind the run's back (between two parts): start afresh.
    ctx_.counters.fitTests += index_->tests();
    index_.emplace(job_.plateExtents, job_.workingParts);
    see();
    reset();
  }
  trying_ = &part;
  before_.reset();
  if (index_->holds(part)) {
    before_.emplace(sameOrderCopy(part));
  }
}

void LayoutRun::tried(const Part& part) {
  const bool told = trying_ == &part;
  const bool wasFiled = index_->update(part);
  if (wasFiled && !(told && before_ && sameObstacle(*before_, part))) {
    if (told && before_) {
      forget(before_->outer.bbox, part);
    } else {
      reset();  // moved without a word: no telling where from
    }
  }
  trying_ = nullptr;
  before_.reset();
  if (const auto at = seenAt_.find(&part); at != seenAt_.end()) {
    seen_[at->second].box = part.outer.bbox;
  }
}

void LayoutRun::forget(const BBox& vacated, const Part& moved) {
  // Only a candidate whose box reaches the vacated one can have met the part
  // there; the margin keeps far clear of the box rule's gap and of rounding.
  const BBox reach{vacated.xmin - kForgetMargin, vacated.xmax + kForgetMargin,
                   vacated.ymin - kForgetMargin, vacated.ymax + kForgetMargin};
  const int countX = job_.gridCountX;
  const int countY = job_.gridCountY;
  // The first column at or right of x; the columns' x grow with their index.
  const auto firstColumnFrom = [&](double x) {
    int lo = 0;
    int hi = countX;
    while (lo < hi) {
      const int mid = lo + (hi - lo) / 2;
      const std::size_t at = static_cast<std::size_t>(mid) * static_cast<std::size_t>(countY);
      if (job_.packingPoints[at].position.x < x) {
        lo = mid + 1;
      } else {
        hi = mid;
      }
    }
    return lo;
  };
  for (Shape& shape : shapes_) {
    for (std::optional<ScanStart>& start : shape.starts) {
      if (!start) {
        continue;
      }
      // The first column of the scan whose candidates can reach the box.
      const int stride = start->stride;
      const int column =
          (firstColumnFrom(reach.xmin - start->reachRight) + stride - 1) / stride * stride;
      if (start->exhausted || column <= start->column) {
        *start = ScanStart{column, 0, 0, false, stride, start->reachRight};
      }
    }
  }
  for (auto it = partnerTrials_.begin(); it != partnerTrials_.end();) {
    if (it->first.second == &moved) {
      partnerTrialCount_ -= it->second.size();
      it = partnerTrials_.erase(it);
      continue;
    }
    for (PartnerTrial& trial : it->second) {
      const BBox& b = trial.box;
      if (trial.failed && b.xmax >= reach.xmin && b.xmin <= reach.xmax && b.ymax >= reach.ymin &&
          b.ymin <= reach.ymax) {
        trial.failed = false;
      }
    }
    ++it;
  }
}

void LayoutRun::reset() {
  for (Shape& shape : shapes_) {
    for (auto& start : shape.starts) {
      start.reset();
    }
  }
  partnerTrials_.clear();
  partnerTrialCount_ = 0;
}

std::size_t LayoutRun::shapeOf(const Part& part) {
  std::vector<double> signature = signatureOf(part);
  const std::uint64_t hash = hashOf(signature);
  const auto [first, last] = shapeByHash_.equal_range(hash);
  for (auto it = first; it != last; ++it) {
    if (sameBits(shapes_[it->second].signature, signature)) {
      return it->second;
    }
  }
  shapes_.push_back(Shape{std::move(signature), {}});
  shapeByHash_.emplace(hash, shapes_.size() - 1);
  return shapes_.size() - 1;
}

LayoutRun::ScanStart& LayoutRun::scanStart(std::size_t shape, Routine routine) {
  std::optional<ScanStart>& start = shapes_[shape].starts[static_cast<int>(routine)];
  if (!start) {
    start.emplace();
  }
  return *start;
}

std::vector<PartnerTrial>* LayoutRun::partnerTrials(std::size_t shape, const Part& laidOut,
                                                    Search kind) {
  const auto key = std::make_pair(shape * 2 + static_cast<std::size_t>(kind), &laidOut);
  const auto found = partnerTrials_.find(key);
  if (found != partnerTrials_.end()) {
    return &found->second;
  }
  if (partnerTrialCount_ >= kMaxPartnerTrials) {
    return nullptr;
  }
  return &partnerTrials_[key];
}

void LayoutRun::keptPartnerTrials(std::size_t count) {
  partnerTrialCount_ += count;
}

RunObstacles::RunObstacles(const PackingJob& job, RunContext& ctx)
    : run_(LayoutRun::of(job, ctx)), counters_(ctx.counters) {
  if (run_ != nullptr) {
    index_ = &run_->index();
  } else {
    own_.emplace(job.plateExtents, job.workingParts);
    index_ = &*own_;
  }
}

RunObstacles::~RunObstacles() {
  // The run counts the tests made through its index when it goes.
  if (own_) {
    counters_.fitTests += own_->tests();
  }
}

}  // namespace tarn
