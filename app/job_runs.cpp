#include "app/job_runs.h"

#include <exception>
#include <filesystem>
#include <memory>
#include <system_error>
#include <utility>
#include <vector>

#include "app/app_texts.h"
#include "app/edit_history.h"
#include "app/open_drawings.h"
#include "app/plate_tabs.h"
#include "geometry/core_error.h"
#include "geometry/notify.h"
#include "job/job_operations.h"
#include "library/library_loader.h"
#include "nesting/layout.h"
#include "output/packing_report.h"

namespace tarn {
namespace {

std::string_view stepLabel(RunKind kind) {
  switch (kind) {
    case RunKind::Layout:
      return app_text::kStepLayout;
    case RunKind::LayoutAll:
      return app_text::kStepLayoutAll;
    case RunKind::LayoutNext:
      return app_text::kStepLayoutNext;
    case RunKind::LayoutMultipleSteps:
      return app_text::kStepLayoutMultipleSteps;
    case RunKind::PlateSet:
      return app_text::kStepLayOutOnPlates;
    case RunKind::PlateSetInSteps:
      return app_text::kStepLayOutOnPlatesInSteps;
    case RunKind::Open:
    case RunKind::OpenDrawings:
      break;
  }
  return {};
}

RunWork loadWork(const AppState& state, const RunRequest& request) {
  return [errorReport = defaultErrorReportPath(), outputFolder = state.outputFolder,
          path = request.path, format = request.format](RunContext& ctx) {
    RunResult result;
    PackingJob job(errorReport, outputFolder);
    openLibrary(job, path, format);
    // The readers cannot stop half-way; a load asked to stop is dropped whole.
    if (!ctx.stop.stop_requested()) {
      result.job.emplace(std::move(job));
    }
    return result;
  };
}

RunWork drawingsWork(const AppState& state, const RunRequest& request) {
  return [errorReport = defaultErrorReportPath(), outputFolder = state.outputFolder,
          drawings = request.drawings](RunContext& ctx) {
    RunResult result;
    PackingJob job(errorReport, outputFolder);
    openDrawings(job, drawings);
    if (!ctx.stop.stop_requested()) {
      result.job.emplace(std::move(job));
    }
    return result;
  };
}

bool opens(RunKind kind) {
  return kind == RunKind::Open || kind == RunKind::OpenDrawings;
}

// The drawings beside the first, which names the job.
std::size_t moreDrawings(const RunRequest& request) {
  const std::size_t count = request.drawings.drawings.size();
  return request.kind == RunKind::OpenDrawings && count > 0 ? count - 1 : 0;
}

// The same drivers the commands have always run, on a snapshot of the job.
RunWork layoutWork(const PackingJob& job, const RunRequest& request) {
  auto snapshot = std::make_shared<PackingJob>(snapshotOf(job));
  return [snapshot, kind = request.kind, announce = request.announce](RunContext& ctx) {
    PackingJob& laidOut = *snapshot;
    RunResult result;
    switch (kind) {
      case RunKind::Layout:
        Layout(laidOut, announce, ctx);
        break;
      case RunKind::LayoutAll:
        LayoutAll(laidOut, true, ctx);
        try {
          WritePackingReport(laidOut, laidOut.outputFile(kReportFileName));
        } catch (const CoreError& e) {
          result.failure = e.what();
        }
        break;
      case RunKind::LayoutNext:
        StageNextPart(laidOut);
        Layout(laidOut, false, ctx);
        break;
      case RunKind::LayoutMultipleSteps:
        LayoutMultipleSteps(laidOut, announce, ctx);
        break;
      case RunKind::Open:
      case RunKind::OpenDrawings:
      case RunKind::PlateSet:
      case RunKind::PlateSetInSteps:
        break;
    }
    result.job.emplace(std::move(laidOut));
    return result;
  };
}

}  // namespace

RunWork prepareRun(const AppState& state, const RunRequest& request) {
  if (request.kind == RunKind::Open) {
    return loadWork(state, request);
  }
  if (request.kind == RunKind::OpenDrawings) {
    return drawingsWork(state, request);
  }
  if (request.kind == RunKind::PlateSet || request.kind == RunKind::PlateSetInSteps) {
    return prepareSetRun(state, request);
  }
  if (!state.job) {
    return [](RunContext&) { return RunResult{}; };
  }
  // A plate of a set writes its timing file into a folder of its own.
  if (plateCount(state) > 1 && !state.job->outputFolder.empty()) {
    std::error_code ignored;  // an unwritable folder fails the timing file, with its message
    std::filesystem::create_directories(state.job->outputFolder, ignored);
  }
  return layoutWork(*state.job, request);
}

Effects finishRun(AppState& state, const RunRequest& request, RunResult result) {
  Effects effects;
  if (result.plates) {
    effects = finishSetRun(state, request, std::move(*result.plates));
    effects.warning = std::move(result.failure);
    return effects;
  }
  if (!result.job) {
    return effects;
  }
  if (opens(request.kind)) {
    // Handed over only now: a failed or stopped load leaves the old job and view in place.
    state.job = std::make_unique<PackingJob>(std::move(*result.job));
    state.libraryPath = request.path;
    state.moreDrawings = moreDrawings(request);
    state.history.reset(state.job.get());
    forgetPlates(state);
    // The view shows the plate and the parts parked beside it.
    state.viewport.view = View{};
    fitAllParts(state);
    effects.openPackingKit = true;
    effects.focusMainWindow = true;
  } else if (state.job) {
    state.history.replaceWorkingLayout(*state.job, takeWorkingLayout(*result.job),
                                       stepLabel(request.kind));
  }
  effects.repaint = true;
  effects.warning = std::move(result.failure);
  return effects;
}

Effects runNow(AppState& state, const RunRequest& request) {
  const RunWork work = prepareRun(state, request);
  std::vector<Notice> notices;
  RunResult result;
  std::exception_ptr failure;
  {
    NoticeCollector collector;
    RunContext ctx;
    try {
      result = work(ctx);
    } catch (...) {
      failure = std::current_exception();
    }
    notices = collector.notices();
  }
  if (failure) {
    for (const Notice& notice : notices) {
      raiseNotice(notice);
    }
    std::rethrow_exception(failure);
  }
  Effects effects = finishRun(state, request, std::move(result));
  for (const Notice& notice : notices) {
    raiseNotice(notice);
  }
  return effects;
}

std::string runTitle(const RunRequest& request) {
  if (request.kind == RunKind::Open) {
    return request.path.filename().string();
  }
  if (request.kind == RunKind::OpenDrawings) {
    return drawingsName(request.path, moreDrawings(request));
  }
  return std::string(stepLabel(request.kind));
}

}  // namespace tarn
