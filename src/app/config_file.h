#pragma once

#include "app/settings.h"

#include <cstddef>
#include <filesystem>
#include <string>

namespace vortimax {

inline constexpr const char* kConfigFileName = "Vortimax.cfg";
// Longest line the reader looks at; the rest of a longer line is skipped.
inline constexpr std::size_t kConfigMaxLineLength = 1990;
// Longest default comment kept; it is cut at the last whole line that fits.
inline constexpr std::size_t kDefaultCommentMaxLength = 1900;
inline constexpr std::size_t kFontFaceMaxLength = 63;

// Reads the configuration file over `settings`. Settings the file does not mention keep
// their values. A missing or unreadable file changes nothing and returns false; no
// message is shown.
bool readConfiguration(const std::filesystem::path& path, Settings& settings);

// Writes all settings, replacing the file at once (never a half-written file). Returns
// false, showing no message and leaving any old file as it was, when that fails.
bool writeConfiguration(const std::filesystem::path& path, const Settings& settings);

// The text of the file with "\n" line breaks (the file itself has CR LF).
std::string formatConfiguration(const Settings& settings);

} // namespace vortimax
