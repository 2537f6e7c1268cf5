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

}  // namespace

ProcessResult runTarnpackProcess(const std::vector<std::string>& args) {
  const std::filesystem::path outFile = std::filesystem::absolute(".tarnpack-stdout");
  const std::filesystem::path errFile = std::filesystem::absolute(".tarnpack-stderr");
  std::string command = shellQuote(TARNPACK_PATH);
  for (const std::string& arg : args) {
    command += ' ' + shellQuote(arg);
  }
  command += " </dev/null >" + shellQuote(outFile.string()) + " 2>" + shellQuote(errFile.string());

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

}  // namespace tarn::test
