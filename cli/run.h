#pragma once

#include <iosfwd>

#include "cli/options.h"

namespace tarn::cli {

struct Console {
  std::ostream& out;           // the summary
  std::ostream& err;           // messages, warnings, progress
  bool errIsTerminal = false;  // progress is drawn only on a terminal
};

// One run of tarnpack after its options were parsed: load, lay out, write the
// files into the output folder (the job's output folder; the working directory
// is left alone) and print the summary. Returns the exit status: 0 done, 1 a file could not be read or
// written, 2 a value the core refused (a packing point distance).
int runTarnpack(const Options& options, Console console);

// The core's message, then its English gloss in parentheses when one is known.
std::string describeFailure(std::string_view message);

}  // namespace tarn::cli
