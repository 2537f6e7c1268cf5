#pragma once

#include <deque>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "job/packing_job.h"
#include "job/run_context.h"
#include "output/layout_summary.h"
#include "plates/unplaced_parts.h"

namespace tarn {

// The most plates a set is asked to hold when it may take "as many as needed".
inline constexpr int kMaxPlateCount = 1000;

// Lays out the waiting parts of one plate's job, untimed (it writes no file),
// honouring ctx.stop and reporting to ctx.progress as the engine's walks do.
// A driver places parts or leaves them untouched where they wait; it never
// removes or adds a part.
using PlateDriver = std::function<void(PackingJob& job, RunContext& ctx)>;

// LayoutAll's walk (PlaceWaiting).
void LayOutAllWaiting(PackingJob& job, RunContext& ctx);
// Select every part, then the multi-step walk (PlaceSelectedInSteps).
void LayOutInSteps(PackingJob& job, RunContext& ctx);

// Several plates of one size, each an ordinary job: plate k (from 1) is
// plates[k - 1], its files go to folder / PlateFolderName(k), and its lists
// hold only its own parts (working, true and source records), in the order
// the library was loaded in. The parts that wait on a plate (outside its
// rectangle) belong to that plate; after a layout run only the last plate
// holds waiting parts. References to plates stay valid while plates are added.
struct PlateSet {
  std::deque<PackingJob> plates;
  std::filesystem::path folder;  // empty: the working directory

  // Position of each part's records in its list at load, by id: moved parts
  // are merged back into these orders.
  struct LoadedOrder {
    std::unordered_map<int, int> working, truth, sources;
  };
  LoadedOrder loadedOrder;
};

// "plate-3" for plate 3.
std::string PlateFolderName(int plate);

// A set of one plate: the loaded job, as it is (its parts may already be laid
// out). Its output folder becomes folder / "plate-1".
PlateSet MakePlateSet(PackingJob&& loaded, const std::filesystem::path& folder);

// Progress of a set run, after every part tried.
struct PlateSetProgress {
  int plate = 0;         // the plate being laid out, from 1
  int placedBefore = 0;  // parts on the plates before it
  int parts = 0;         // parts in the whole set
  // The driver's figures on this plate, its time counted from the set's start.
  LayoutProgress onPlate;
};
using PlateSetProgressHook = std::function<void(const PlateSetProgress&)>;

struct PlateSetOptions {
  PlateDriver driver = LayOutAllWaiting;
  int maxPlates = 1;              // at least 1
  PlateSetProgressHook progress;  // empty: none (ctx.progress still hears the driver)
};

// How a set run ended.
enum class PlateSetEnd {
  AllPlaced,    // no part waits
  NothingFits,  // the parts left are larger than the plate, or a fresh plate took none of them
  PlateLimit,   // parts are left and the set has maxPlates plates
  Stopped,      // a stop request ended it; the parts not yet placed keep waiting
};

struct PlateSetRun {
  PlateSetEnd end = PlateSetEnd::AllPlaced;
  // Time the driver took on each plate of the set (0 for a plate it did not
  // run on) and for the whole run, s.
  std::vector<double> plateSeconds;
  double seconds = 0.0;
  // The parts left waiting, plate by plate in list order (after a full run
  // only on the last plate), with why.
  std::vector<UnplacedPart> unplaced;
};

// Lays the set out, plate by plate from the first: the driver runs on a plate
// that has waiting parts; what still waits moves on, as it was before that
// driver tried it, to the next plate (merged into its lists in the loaded
// order) or to a fresh plate with the same settings (size, gap, RN, PPD,
// turn-over) and a grid of its own, which the set keeps only when the driver
// placed a part on it. So each plate is laid out as the parts left for it
// would be on a job of their own. It ends when no part waits, when the parts
// left cannot fit (each larger than the plate, or a fresh plate took none), at
// maxPlates plates, or on a stop request (checked between parts, through
// ctx.stop). ctx's notices and counters serve every plate; ctx.progress hears
// each plate's driver with the time counted from the set's start. CoreError
// from a driver (a refused grid) leaves the plates laid out so far as they are.
PlateSetRun LayOutPlateSet(PlateSet& set, const PlateSetOptions& options, RunContext& ctx);

// Moves the waiting parts of plates[index] to plates[index + 1], creating that
// plate (empty, the same settings) when it does not exist; they keep their
// poses and join its lists in the loaded order. Returns how many moved; with
// none nothing changes and no plate is created.
int MoveWaitingPartsToNextPlate(PlateSet& set, std::size_t index);

// The free strip of the last plate right of its packed length.
struct Remnant {
  int plate = 0;        // from 1
  double x = 0.0;       // where it starts: the last plate's packed length, mm
  double length = 0.0;  // plate length - x, mm
  double width = 0.0;   // mm
};

struct PlateSetSummary {
  std::vector<LayoutSummary> plates;  // one per plate, as its layout drawing states it
  int partCount = 0;                  // working parts on all plates, placed or waiting
  int packedCount = 0;
  double packedArea = 0.0;  // mm², net true area of the placed parts
  // Full plates plus the last plate's packed length × width, mm².
  double usedArea = 0.0;
  std::optional<double> utilisation;  // packedArea / usedArea; none while usedArea is 0
  Remnant remnant;
};

PlateSetSummary SummarisePlateSet(const PlateSet& set);

}  // namespace tarn
