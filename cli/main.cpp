#include <unistd.h>

#include <exception>
#include <iostream>

#include "cli/options.h"
#include "cli/run.h"

int main(int argc, char** argv) {
  try {
    const tarn::cli::ParseResult parsed =
        tarn::cli::parseCommandLine(argc, argv, std::cout, std::cerr);
    if (!parsed.options) {
      return parsed.exitCode;
    }
    return tarn::cli::runTarnpack(*parsed.options,
                                  {std::cout, std::cerr, isatty(STDERR_FILENO) == 1});
  } catch (const std::exception& e) {
    // What a run cannot name a file for (its start folder gone, no memory) still ends cleanly.
    std::cerr << tarn::cli::text::kProgramName << ": " << e.what() << " ("
              << tarn::cli::text::kUnexpectedFailureGloss << ")\n";
    return 1;
  }
}
