#include "output/file_output.h"

#include <fstream>
#include <random>
#include <string>
#include <system_error>

#include "geometry/core_error.h"

namespace tarn {

namespace {

namespace fs = std::filesystem;

bool writeFile(const fs::path& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  return static_cast<bool>(out);
}

fs::path temporarySibling(const fs::path& target) {
  std::random_device random;
  std::error_code ignored;
  for (;;) {
    fs::path candidate = target;
    candidate += ".tmp" + std::to_string(random());
    if (!fs::exists(candidate, ignored)) {
      return candidate;
    }
  }
}

}  // namespace

void writeWholeFile(const fs::path& path, std::string_view bytes, std::string_view failureMessage) {
  std::error_code ec;
  fs::path target = path;
  // Replace what a link points to, not the link itself.
  if (fs::is_symlink(target, ec)) {
    if (fs::path resolved = fs::weakly_canonical(target, ec); !ec) {
      target = resolved;
    }
  }
  const bool exists = fs::exists(target, ec);
  if (exists) {
    // A file we may not write keeps its content: opening it to append changes nothing.
    std::ofstream probe(target, std::ios::binary | std::ios::app);
    if (!probe) {
      throw CoreError(failureMessage);
    }
  }

  const fs::path temporary = temporarySibling(target);
  if (writeFile(temporary, bytes)) {
    if (exists) {
      fs::permissions(temporary, fs::status(target, ec).permissions(), ec);
    }
    fs::rename(temporary, target, ec);
    if (!ec) {
      return;
    }
  }
  std::error_code ignored;
  fs::remove(temporary, ignored);
  throw CoreError(failureMessage);
}

}  // namespace tarn
