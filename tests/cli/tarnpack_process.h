#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace tarn::test {

struct ProcessResult {
  int status = -1;  // exit status, -1 when the program did not exit normally
  std::string out;
  std::string err;
};

// Runs the built tarnpack with `args` in the current working directory, its
// standard input empty and both outputs captured (so neither is a terminal).
ProcessResult runTarnpackProcess(const std::vector<std::string>& args);

// The same with both outputs on one pseudo-terminal (through util-linux's
// `script`), as a person at a terminal sees them; nullopt without `script`.
std::optional<ProcessResult> runTarnpackOnTerminal(const std::vector<std::string>& args);

}  // namespace tarn::test
