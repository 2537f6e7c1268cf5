#include "cli/run.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <ostream>
#include <string>
#include <system_error>
#include <utility>

#include "cli/cli_texts.h"
#include "cli/layout_svg.h"
#include "cli/summary.h"
#include "cli/text_encoding.h"
#include "geometry/core_error.h"
#include "geometry/notify.h"
#include "geometry/texts.h"
#include "job/job_operations.h"
#include "job/packing_job.h"
#include "library/library_loader.h"
#include "nesting/layout.h"
#include "nesting/packing_points.h"
#include "optimise/layout_search.h"
#include "output/dxf_writer.h"
#include "output/file_output.h"
#include "output/layout_dxf.h"
#include "output/layout_summary.h"
#include "output/packing_report.h"
#include "output/part_export.h"
#include "plates/plate_set.h"
#include "plates/plate_set_report.h"
#include "plates/unplaced_parts.h"

namespace tarn::cli {

namespace {

constexpr auto kProgressInterval = std::chrono::milliseconds(100);

// One line on the terminal, redrawn in place at most every kProgressInterval.
class ProgressLine {
 public:
  explicit ProgressLine(std::ostream& err) : err_(err) {}

  void update(const LayoutProgress& progress) {
    if (!due(progress.waiting)) {
      return;
    }
    char buffer[128];
    std::snprintf(buffer, sizeof buffer, "\rlaying out: %d parts tried, %d waiting, %.1f s\x1b[K",
                  progress.tried, progress.waiting, progress.elapsedSeconds);
    err_ << buffer << std::flush;
  }

  void update(const PlateSetProgress& progress) {
    if (!due(progress.onPlate.waiting)) {
      return;
    }
    char buffer[160];
    std::snprintf(buffer, sizeof buffer,
                  "\rlaying out plate %d: %d of %d parts on earlier plates, %d tried, %d waiting, "
                  "%.1f s\x1b[K",
                  progress.plate, progress.placedBefore, progress.parts, progress.onPlate.tried,
                  progress.onPlate.waiting, progress.onPlate.elapsedSeconds);
    err_ << buffer << std::flush;
  }

  void update(const SearchProgress& progress) {
    if (!due(1)) {
      return;
    }
    char buffer[160];
    std::snprintf(buffer, sizeof buffer,
                  "\roptimising: best length %.1f mm, utilisation %.2f %%, %llu evaluations, "
                  "%.1f s\x1b[K",
                  progress.best.packedLength, progress.best.utilisation * 100.0,
                  static_cast<unsigned long long>(progress.evaluations), progress.elapsedSeconds);
    err_ << buffer << std::flush;
  }

  // Clears the line so that later messages start at the margin.
  void finish() {
    if (drawn_) {
      err_ << "\r\x1b[K" << std::flush;
      drawn_ = false;
    }
  }

 private:
  // Whether to draw now: the first time, the last step, and then every interval.
  bool due(int waiting) {
    const auto now = std::chrono::steady_clock::now();
    if (drawn_ && now - lastDraw_ < kProgressInterval && waiting > 0) {
      return false;
    }
    lastDraw_ = now;
    drawn_ = true;
    return true;
  }

  std::ostream& err_;
  bool drawn_ = false;
  std::chrono::steady_clock::time_point lastDraw_;
};

std::string_view glossOf(std::string_view message) {
  for (const text::Gloss& gloss : text::kGlosses) {
    if (message.starts_with(gloss.messageStart)) {
      return gloss.english;
    }
  }
  return {};
}

// A relative path on the command line means the folder tarnpack was started in.
std::filesystem::path fromStartFolder(const std::filesystem::path& path) {
  return path.empty() ? path : std::filesystem::absolute(path);
}

// The output folder from the start folder; "." (the default) names the start
// folder itself, so that the files are named without a "/./" in messages.
std::filesystem::path outputFolderOf(const std::filesystem::path& outDir) {
  std::filesystem::path folder = std::filesystem::absolute(outDir);
  if (folder.filename() == ".") {
    folder = folder.parent_path();
  }
  return folder;
}

double runLayout(PackingJob& job, LayoutMode mode, RunContext& run) {
  switch (mode) {
    case LayoutMode::All:
      return LayoutAll(job, false, run);
    case LayoutMode::Multi:
      SelectAll(job);
      return LayoutMultipleSteps(job, false, run);
    case LayoutMode::None:
      break;
  }
  return 0.0;
}

// The failures a run reports, with the exit status each one ends with.
struct Failure {
  std::string message;
  int status = 1;
};

std::string partCount(std::size_t count) {
  return std::to_string(count) + (count == 1 ? " part" : " parts");
}

// "\"NAME\" (id 7)", the name decoded on its own: names of one list may be in
// different encodings.
std::string namedPart(const UnplacedPart& part) {
  return '"' + toUtf8(part.name) + "\" (id " + std::to_string(part.id) + ')';
}

std::string_view reasonWarning(UnplacedReason reason) {
  switch (reason) {
    case UnplacedReason::NoRoomOnEmptyPlate:
      return text::kNoRoomOnEmptyPlate;
    case UnplacedReason::PlateLimit:
      return text::kPlateLimitReached;
    case UnplacedReason::Stopped:
      return text::kLayoutStopped;
    case UnplacedReason::LargerThanPlate:
    case UnplacedReason::NoRoom:
      break;
  }
  return text::kNoRoomOnPlate;
}

// One warning for each part larger than the plate, then one for each other
// reason naming its parts, in the order given.
void warnUnplaced(const std::vector<UnplacedPart>& unplaced, const NestParams& params) {
  std::map<UnplacedReason, std::vector<const UnplacedPart*>> others;
  for (const UnplacedPart& part : unplaced) {
    if (part.reason != UnplacedReason::LargerThanPlate) {
      others[part.reason].push_back(&part);
      continue;
    }
    notifyWarning("part " + namedPart(part) + std::string(text::kLargerThanPlate) +
                  formatNumber(part.boxLength) + " x " + formatNumber(part.boxWidth) + " mm" +
                  std::string(text::kLargerThanPlatePlate) + formatNumber(params.plateLength) +
                  " x " + formatNumber(params.plateWidth) + " mm)");
  }
  for (const auto& [reason, parts] : others) {
    std::string names;
    for (const UnplacedPart* part : parts) {
      names += (names.empty() ? "" : ", ") + namedPart(*part);
    }
    notifyWarning(partCount(parts.size()) + std::string(reasonWarning(reason)) + ": " + names);
  }
}

// The plate set's run: every plate's files in its own folder, then the set's
// report and timing line in the output folder. Throws CoreError as the single
// run does, with stepFile naming the file concerned.
struct SetRunTools {
  const Options& options;
  RunFacts& facts;
  ProgressLine& progressLine;
  bool showProgress = false;
  std::filesystem::path& stepFile;
  const std::filesystem::path& outDir;
};

void writeTimingFile(const std::filesystem::path& path, double seconds) {
  writeWholeFile(path, TimingFileText(seconds) + std::string(::tarn::text::kLineEnd),
                 ::tarn::text::kTimingFileWriteFailed);
}

PlateSet runPlateSet(PackingJob&& job, SetRunTools& tools) {
  // Opened before anything moves, as the drivers open theirs; the line comes last.
  tools.stepFile = tools.outDir / std::string(::tarn::text::kTimingFileName);
  std::ofstream timing(tools.stepFile, std::ios::binary | std::ios::trunc);
  if (!timing) {
    throw CoreError(::tarn::text::kTimingFileWriteFailed);
  }

  PlateSet set = MakePlateSet(std::move(job), tools.outDir);
  PlateSetOptions setOptions;
  setOptions.driver =
      tools.options.layout == LayoutMode::Multi ? PlateDriver(LayOutInSteps) : LayOutAllWaiting;
  if (tools.options.search) {
    // The chosen walk first, then the search from its layout, plate by plate.
    SearchFacts& search = tools.facts.search.emplace();
    search.seed = tools.options.search->seed;
    search.threads = tools.options.search->threads;
    PlateDriver optimise =
        OptimisingPlateDriver(*tools.options.search, [&search](const SearchResult& result) {
          search.seconds += result.seconds;
          search.evaluations += result.evaluations;
          search.plates.emplace_back(result.greedy, result.final);
        });
    setOptions.driver = [walk = setOptions.driver, optimise](PackingJob& plate, RunContext& ctx) {
      walk(plate, ctx);
      if (!ctx.stop.stop_requested()) {
        optimise(plate, ctx);
      }
    };
  }
  setOptions.maxPlates = *tools.options.plates;
  if (tools.showProgress) {
    setOptions.progress = [&](const PlateSetProgress& step) { tools.progressLine.update(step); };
  }
  RunContext run;
  const PlateSetRun result = LayOutPlateSet(set, setOptions, run);
  tools.progressLine.finish();
  tools.facts.layoutSeconds = result.seconds;
  warnUnplaced(result.unplaced, set.plates.front().params);

  for (std::size_t k = 0; k < set.plates.size(); ++k) {
    PackingJob& plate = set.plates[k];
    tools.stepFile = plate.outputFolder;
    std::error_code error;
    std::filesystem::create_directories(plate.outputFolder, error);
    if (error) {
      throw CoreError(text::kOutputFolderFailed);
    }
    tools.stepFile = plate.outputFile(::tarn::text::kTimingFileName);
    writeTimingFile(tools.stepFile, result.plateSeconds[k]);
    tools.stepFile = plate.outputFile(kReportFileName);
    WritePackingReport(plate, tools.stepFile);
    tools.stepFile = plate.outputFolder / tools.options.dxfPath;
    WriteLayoutDxf(plate, tools.stepFile);
    tools.stepFile = plate.outputFile(text::kLayoutSvgName);
    writeWholeFile(tools.stepFile, LayoutSvg(plate, SummariseLayout(plate)),
                   ::tarn::text::kLayoutFileWriteFailed);
    if (tools.options.exportParts) {
      tools.stepFile = plate.outputFolder;
      ExportParts(plate);
    }
  }
  tools.stepFile = tools.outDir / std::string(kReportFileName);
  WritePlateSetReport(set, SummarisePlateSet(set), result.unplaced, tools.stepFile);
  tools.stepFile = tools.outDir / std::string(::tarn::text::kTimingFileName);
  timing << TimingFileText(result.seconds) << ::tarn::text::kLineEnd;
  timing.close();
  return set;
}

// The search from the layout just made (its greedy start places nothing more);
// the job takes the best layout found, and the search's notices are raised
// here, on the run's thread, unless the layout already raised them.
void optimiseLayout(PackingJob& job, const SearchSettings& settings, RunFacts& facts,
                    ProgressLine* progressLine) {
  SearchProgressHook hook;
  if (progressLine != nullptr) {
    hook = [progressLine](const SearchProgress& step) { progressLine->update(step); };
  }
  SearchResult result = OptimiseLayout(job, settings, {}, hook);
  if (progressLine != nullptr) {
    progressLine->finish();
  }
  AdoptLayout(job, result.best);
  for (const std::string& notice : result.notices) {
    if (std::find(facts.warnings.begin(), facts.warnings.end(), notice) == facts.warnings.end()) {
      notifyWarning(notice);
    }
  }
  SearchFacts& search = facts.search.emplace();
  search.seconds = result.seconds;
  search.evaluations = result.evaluations;
  search.seed = settings.seed;
  search.threads = settings.threads;
  search.plates.emplace_back(result.greedy, result.final);
}

}  // namespace

std::string describeFailure(std::string_view message) {
  std::string text = toUtf8(message);
  const std::string_view gloss = glossOf(message);
  if (!gloss.empty()) {
    text += " (";
    text += gloss;
    text += ')';
  }
  return text;
}

int runTarnpack(const Options& options, Console console) {
  const std::filesystem::path library = fromStartFolder(options.library);
  const std::filesystem::path errorReport =
      options.errorReport ? fromStartFolder(*options.errorReport) : std::filesystem::path();
  const LibraryFormat format = options.format       ? *options.format
                               : options.drawingJob ? LibraryFormat::PartListFile
                                                    : detectLibraryFormat(library);

  RunFacts facts;
  facts.library = options.library.string();
  facts.format = format;
  facts.fromDrawings = options.drawingJob.has_value();

  const bool showProgress = console.errIsTerminal && !options.quiet;
  ProgressLine progressLine(console.err);
  // Every notice of the run, raised on this thread, from loading to writing.
  const NoticeRoute notices([&](const Notice& notice) {
    facts.warnings.push_back(notice.text);
    if (!options.quiet) {
      progressLine.finish();
      console.err << text::kProgramName << ": " << notice.caption << ' '
                  << describeFailure(notice.text) << '\n';
    }
  });
  RunContext run;
  if (showProgress) {
    run.progress = [&](const LayoutProgress& step) { progressLine.update(step); };
  }

  const auto fail = [&](const Failure& failure) {
    progressLine.finish();
    console.err << text::kProgramName << ": " << failure.message << '\n';
    if (failure.status == 2) {
      console.err << text::kSeeHelp << '\n';
    }
    return failure.status;
  };

  const std::filesystem::path outDir = outputFolderOf(options.outDir);
  std::error_code error;
  std::filesystem::create_directories(outDir, error);
  if (error) {
    return fail({describeFailure(text::kOutputFolderFailed) + ": " +
                 toUtf8(options.outDir.string()) + ": " + error.message()});
  }

  // The file the current step reads or writes, named after a failure.
  std::filesystem::path stepFile = errorReport.empty() ? defaultErrorReportPath() : errorReport;
  try {
    PackingJob job(stepFile, outDir);
    if (options.drawingJob) {
      // What the options let through and the core still refuses (too many
      // parts in all) is a usage error too; a drawing names itself in its notices.
      try {
        openDrawings(job, *options.drawingJob);
      } catch (const CoreError& e) {
        return fail({describeFailure(e.what()), 2});
      }
    } else {
      stepFile = library;
      openLibrary(job, library, format);
    }
    // As the "Renew RN&PPD" dialog does: RN takes effect at the layout, a
    // new distance rebuilds the grid at once.
    if (options.rotationNumber) {
      job.params.rotationNumber = *options.rotationNumber;
    }
    if (options.packingPointDistance) {
      try {
        RenewPackingPointDistance(job, *options.packingPointDistance);
      } catch (const CoreError& e) {
        return fail({describeFailure(e.what()), 2});
      }
    }
    if (job.workingParts.empty()) {
      notifyWarning(
          std::string(text::kNoPartsToLayOut) +
          toUtf8((errorReport.empty() ? defaultErrorReportPath() : errorReport).string()));
    }

    if (options.plates) {
      SetRunTools tools{options, facts, progressLine, showProgress, stepFile, outDir};
      const PlateSet set = runPlateSet(std::move(job), tools);
      const PlateSetSummary summary = SummarisePlateSet(set);
      if (options.json) {
        console.out << plateSetJson(set, summary, facts).dump(2) << '\n';
      } else {
        console.out << plateSetLine(summary, facts) << '\n';
      }
      console.out.flush();
      return 0;
    }

    stepFile = job.outputFile(::tarn::text::kTimingFileName);
    facts.layoutSeconds = runLayout(job, options.layout, run);
    progressLine.finish();
    if (options.search) {
      optimiseLayout(job, *options.search, facts, showProgress ? &progressLine : nullptr);
    }
    if (options.layout != LayoutMode::None) {
      warnUnplaced(FindUnplacedParts(job, UnplacedReason::NoRoom), job.params);
    }

    stepFile = job.outputFile(kReportFileName);
    WritePackingReport(job, stepFile);
    stepFile = outDir / options.dxfPath;
    WriteLayoutDxf(job, stepFile);
    const LayoutSummary summary = SummariseLayout(job);
    stepFile = job.outputFile(text::kLayoutSvgName);
    writeWholeFile(stepFile, LayoutSvg(job, summary), ::tarn::text::kLayoutFileWriteFailed);
    if (options.exportParts) {
      stepFile = outDir;
      ExportParts(job);
    }

    if (options.json) {
      console.out << summaryJson(job, summary, facts).dump(2) << '\n';
    } else {
      console.out << summaryLine(job, summary, facts) << '\n';
    }
    console.out.flush();
    return 0;
  } catch (const CoreError& e) {
    // A refused grid names its distance and plate; the file being written is not to blame.
    if (std::string_view(e.what()).starts_with(::tarn::text::kBadPackingPointDistance)) {
      return fail({describeFailure(e.what())});
    }
    return fail({describeFailure(e.what()) + ": " + toUtf8(stepFile.string())});
  } catch (const std::exception& e) {
    return fail({std::string(e.what()) + " (" + std::string(text::kUnexpectedFailureGloss) +
                 "): " + toUtf8(stepFile.string())});
  }
}

}  // namespace tarn::cli
