#pragma once

#include <filesystem>
#include <string>

namespace tintwell {

// `text` (a path or any other text) between double quote characters, as
// messages name files and values.
std::string Quoted(const std::filesystem::path& text);

}  // namespace tintwell
