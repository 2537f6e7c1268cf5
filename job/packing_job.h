#pragma once

#include <ctime>
#include <filesystem>
#include <map>
#include <memory>
#include <ostream>
#include <string_view>
#include <vector>

#include "geometry/part.h"
#include "geometry/part_source.h"
#include "geometry/region.h"
#include "job/nest_params.h"
#include "job/packing_point.h"

namespace tarn {

// The document: everything loaded and laid out. Each Open builds a fresh job
// and hands it over only when the load succeeded.
//
// `outputFolder` is where the files the job writes by name go: the timing file
// of the layout drivers, the preSrc reader's "PackError.txt", the packing
// report and the part drawings of its front end. An empty folder means the
// process's working directory at the time of writing.
struct PackingJob {
  // Appends to the error report at `errorReportPath` (created when missing,
  // never truncated) and stamps it. Throws CoreError "排样错误报告文件输出失败!"
  // when it cannot be opened.
  explicit PackingJob(const std::filesystem::path& errorReportPath,
                      std::filesystem::path outputFolder = {});
  // Writes the error report to a stream the caller owns (tests, tools).
  explicit PackingJob(std::ostream& errorReportStream, std::filesystem::path outputFolder = {});
  // Copies go through snapshotOf (below), never by accident.
  PackingJob(const PackingJob&) = delete;
  PackingJob& operator=(const PackingJob&) = delete;
  // A moved-from job has no error report.
  PackingJob(PackingJob&&) noexcept = default;
  PackingJob& operator=(PackingJob&&) noexcept = default;
  ~PackingJob() = default;

  // snapshotOf copies every field below: a new one must be added there too.
  PartSourceList sources;  // as read, with their arcs (reverse reading order)
  PartList workingParts;   // grown by half the gap; what layout and editing move
  PartList trueParts;      // true outlines, matched to working parts by id; never moved
  BBox plateExtents{0.0, 6000.0, 0.0, 4000.0};
  NestParams params;
  Plate plate;
  std::vector<PackingPoint> packingPoints;
  int gridCountY = 0;
  int gridCountX = 0;
  bool gridPending = true;  // build the grid before the next layout
  std::filesystem::path outputFolder;
  // The drawing each part was read from, by id: part lists and jobs from
  // drawings. Copies of one drawing share it.
  std::map<int, std::filesystem::path> partDrawings;

  std::ostream& errorReport() { return ownedReport_ ? *ownedReport_ : *borrowedReport_; }
  // `name` (UTF-8) in the output folder.
  std::filesystem::path outputFile(std::string_view name) const;

 private:
  friend PackingJob snapshotOf(const PackingJob& job);
  struct InMemoryReport {};
  // A job whose error report is kept in memory; nothing is stamped or reset.
  explicit PackingJob(InMemoryReport);
  void initialise();

  std::unique_ptr<std::ostream> ownedReport_;  // the report file, or memory
  std::ostream* borrowedReport_ = nullptr;     // a caller's stream otherwise
};

// An order-preserving copy of the whole job, for a worker thread: every list in
// the same order (sources, workingParts, trueParts, and each part's and
// source's holes), every field of every record (chordTol included), the grid
// with its counts and gridPending, the settings, the plate, the output folder
// and the parts' drawings. The job's own copies reverse every list; this one
// never does, so a snapshot laid out gives exactly the poses of the job laid out.
//
// Its error report goes to memory: a worker writes no file through it. A
// worker lays its snapshot out with the untimed walks (PlaceWaiting and the
// like), not with the timed drivers, which write the timing file.
PackingJob snapshotOf(const PackingJob& job);

// $XDG_STATE_HOME/tarnpacking/PackError.txt, or
// $HOME/.local/state/tarnpacking/PackError.txt; the folder is created.
std::filesystem::path defaultErrorReportPath();

// "<year>年<month>月<day>日, <hour>时<minute>分<second>秒" in local time, GBK,
// then a line end.
void WriteTimestamp(std::ostream& out);
// The same line for a given local time.
void WriteTimestamp(std::ostream& out, const std::tm& local);

}  // namespace tarn
