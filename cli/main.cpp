#include <unistd.h>

#include <iostream>

#include "cli/options.h"
#include "cli/run.h"

int main(int argc, char** argv) {
  const tarn::cli::ParseResult parsed =
      tarn::cli::parseCommandLine(argc, argv, std::cout, std::cerr);
  if (!parsed.options) {
    return parsed.exitCode;
  }
  return tarn::cli::runTarnpack(*parsed.options,
                                {std::cout, std::cerr, isatty(STDERR_FILENO) == 1});
}
