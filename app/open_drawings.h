#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/commands.h"
#include "library/drawing_job.h"

namespace tarn {

// "File > Open Drawings…": the user picks DXF drawings, then the plate, the
// gap and a count per drawing; the job is loaded on a worker as Open loads a
// library (RunKind::OpenDrawings in app/job_runs.h) and replaces the job only
// when the load succeeded.

// What the dialog starts from: the plate and gap of the job on show (a new
// job's without one) and each drawing once.
DrawingJobRequest drawingJobDefaults(const AppState& state,
                                     const std::vector<std::filesystem::path>& drawings);

// Refuses what tarnpack refuses on its command line, with the core's message
// (CoreError): no drawing, a plate side or gap that is no usable number, a
// count out of 1 to kMaxDrawingJobParts or more copies than that in all, a
// drawing that does not exist (named). Parts are counted only once read.
void checkDrawingJob(const DrawingJobRequest& request);

// After the dialog was confirmed: checks the request, then asks for the run.
// Refused (nothing happens) while a run holds the job.
Effects openDrawingJob(AppState& state, const DrawingJobRequest& request);

// "bracket.dxf", or "bracket.dxf and 2 more": the window title's and the run's name.
std::string drawingsName(const std::filesystem::path& first, std::size_t more);

}  // namespace tarn
