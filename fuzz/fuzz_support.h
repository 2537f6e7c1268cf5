#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>

namespace tarn::fuzz {

// The readers take paths: each input is written to this file, in a scratch
// folder that is also the working directory (the preSrc reader writes its
// report there).
std::filesystem::path writeInput(const std::uint8_t* data, std::size_t size, const char* name);

}  // namespace tarn::fuzz
