#pragma once

#include <filesystem>
#include <string_view>

namespace tarn {

// Writes `bytes` as the whole content of the file at `path`, or throws
// CoreError(failureMessage) and leaves an existing file as it was: the bytes
// go to a new file in the same folder that then replaces the target.
void writeWholeFile(const std::filesystem::path& path, std::string_view bytes,
                    std::string_view failureMessage);

}  // namespace tarn
