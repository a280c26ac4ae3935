#pragma once

#include <filesystem>
#include <random>
#include <string>

namespace zorvik::testing {

// A new, empty folder under the system's temporary folder whose name starts with `prefix`. The
// name is random and the folder is made anew (making it fails when it exists), so processes that
// run at the same time never share one. Works the same on Linux and Windows.
inline std::filesystem::path MakeTempFolder(const std::string& prefix) {
  std::random_device random;
  const std::filesystem::path base = std::filesystem::temp_directory_path();
  for (;;) {
    const std::filesystem::path candidate = base / (prefix + "-" + std::to_string(random()));
    if (std::filesystem::create_directory(candidate)) return candidate;
  }
}

}  // namespace zorvik::testing
