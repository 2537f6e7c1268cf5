#include "tarnpack_process.h"

#include <sys/wait.h>

#include <cstdlib>

#include "support/test_support.h"

namespace tarn::test {

namespace {

// Single quotes keep every byte but the quote itself, which is spliced in.
std::string shellQuote(const std::string& arg) {
  std::string quoted = "'";
  for (const char c : arg) {
    if (c == '\'') {
      quoted += "'\\''";
    } else {
      quoted += c;
    }
  }
  return quoted + "'";
}

std::string commandLine(const std::vector<std::string>& args) {
  std::string command = shellQuote(TARNPACK_PATH);
  for (const std::string& arg : args) {
    command += ' ' + shellQuote(arg);
  }
  return command;
}

}  // namespace

ProcessResult runTarnpackProcess(const std::vector<std::string>& args) {
  const std::filesystem::path outFile = std::filesystem::absolute(".tarnpack-stdout");
  const std::filesystem::path errFile = std::filesystem::absolute(".tarnpack-stderr");
  const std::string command = commandLine(args) + " </dev/null >" + shellQuote(outFile.string()) +
                              " 2>" + shellQuote(errFile.string());

  ProcessResult result;
  const int status = std::system(command.c_str());
  if (status != -1 && WIFEXITED(status)) {
    result.status = WEXITSTATUS(status);
  }
  result.out = readBytes(outFile);
  result.err = readBytes(errFile);
  std::filesystem::remove(outFile);
  std::filesystem::remove(errFile);
  return result;
}

std::optional<ProcessResult> runTarnpackOnTerminal(const std::vector<std::string>& args) {
  if (std::system("command -v script >/dev/null 2>&1") != 0) {
    return std::nullopt;
  }
  const std::filesystem::path outFile = std::filesystem::absolute(".tarnpack-terminal");
  const std::string command = "script -qec " + shellQuote(commandLine(args)) + " /dev/null" +
                              " </dev/null >" + shellQuote(outFile.string()) + " 2>&1";
  ProcessResult result;
  const int status = std::system(command.c_str());
  if (status != -1 && WIFEXITED(status)) {
    result.status = WEXITSTATUS(status);
  }
  result.out = readBytes(outFile);
  std::filesystem::remove(outFile);
  return result;
}

}  // namespace tarn::test
