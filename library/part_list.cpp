#include "library/part_list.h"

#include <algorithm>
#include <fstream>
#include <optional>
#include <string>
#include <system_error>

#include "geometry/core_error.h"
#include "geometry/texts.h"
#include "library/drawing_parts.h"
#include "library/line_reader.h"
#include "library/text_library.h"

namespace tarn {
namespace {

constexpr int kFolderLine = 4;

bool hasDrawingExtension(const std::string& name) {
  constexpr std::string_view kExtension = ".dxf";
  if (name.size() < kExtension.size()) {
    return false;
  }
  const std::string_view tail = std::string_view(name).substr(name.size() - kExtension.size());
  return std::equal(tail.begin(), tail.end(), kExtension.begin(), [](char a, char b) {
    return (a >= 'A' && a <= 'Z' ? static_cast<char>(a - 'A' + 'a') : a) == b;
  });
}

bool isFolder(const std::filesystem::path& path) {
  std::error_code error;
  return std::filesystem::is_directory(path, error);
}

// A relative folder is looked for in the job's output folder, where the
// program's working directory has always been, then beside the list.
std::filesystem::path resolveFolder(const std::filesystem::path& folder,
                                    const std::filesystem::path& listFile,
                                    const std::filesystem::path& jobFolder) {
  if (folder.is_absolute()) {
    return folder;
  }
  const std::filesystem::path inJobFolder = jobFolder / folder;
  if (isFolder(inJobFolder)) {
    return inJobFolder;
  }
  const std::filesystem::path besideList = listFile.parent_path() / folder;
  return isFolder(besideList) ? besideList : inJobFolder;
}

}  // namespace

std::vector<std::filesystem::path> findDrawings(const std::filesystem::path& folder) {
  std::vector<std::filesystem::path> drawings;
  std::error_code error;
  std::filesystem::directory_iterator entry(folder, error);
  for (; !error && entry != std::filesystem::directory_iterator(); entry.increment(error)) {
    std::error_code typeError;
    if (entry->is_directory(typeError)) {
      continue;
    }
    if (hasDrawingExtension(entry->path().filename().string())) {
      drawings.push_back(entry->path());
    }
  }
  std::sort(drawings.begin(), drawings.end(),
            [](const std::filesystem::path& a, const std::filesystem::path& b) {
              return a.filename().string() < b.filename().string();
            });
  return drawings;
}

void readPartListFile(PackingJob& job, const std::filesystem::path& path) {
  std::ifstream in = openInput(path, text::kListFileReadFailed);
  LineReader file(in, kPartListLineBytes, path.string());
  readPlateHeader(job, file);

  file.setLimit(kFolderLineBytes);
  const std::optional<std::string> folderLine = file.next();
  if (file.truncated()) {
    throw CoreError(fileLineMessage(text::kFolderPathTooLong, file.fileName(), kFolderLine));
  }
  in.close();
  // Without a folder line there is no folder to search: the library is empty.
  if (!folderLine || folderLine->empty()) {
    return;
  }

  int counter = 0;
  for (const std::filesystem::path& drawing :
       findDrawings(resolveFolder(std::filesystem::path(*folderLine), path, job.outputFolder))) {
    const DrawingParts parts = readDrawingParts(drawing);
    reportDrawingProblems(parts, drawing);
    addDrawingParts(job, parts, drawing, counter);
  }
}

}  // namespace tarn
