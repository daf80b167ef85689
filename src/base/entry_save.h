#pragma once

#include "base/frontend.h"
#include "base/library_file.h"

#include <filesystem>
#include <string_view>

namespace vortimax {

enum class EntrySaveResult { Saved, Cancelled, Failed };

// Scratch copy of the entry, made in the chosen directory and deleted when the save ends.
inline constexpr std::string_view kEntryScratchFileName = "~tmp0091.bac";

// What the save of one entry shows: the caption of every box, the three questions about
// a file that does not look like one of its kind, the question about an entry of the
// same name, and the two failure texts (followed by the file's path).
struct EntrySaveTexts {
    std::string_view caption;
    std::string_view nonStandard;
    std::string_view stillMalformed;
    std::string_view malformed;
    std::string_view sameName;
    std::string_view unreadable;
    std::string_view writeFailed;
};

// Saves one entry (its lines ending in CR LF) into `file`, through the scratch file in the
// same directory, after the checks of the file, each question with Yes/No/Cancel:
// - bytes outside tab, LF, CR and 32..127, or a broken entry structure: append anyway?
//   (both questions when both apply; anything but Yes ends the save);
// - an entry of the same name: Yes replaces exactly that entry, No appends the new one,
//   Cancel writes nothing;
// - otherwise the file is created or appended to, a line break before the entry.
// The rest of the file keeps its bytes. The file is replaced as a whole, so a failure
// never leaves it half-written; an unreadable file and a failed write are reported.
EntrySaveResult saveEntryIntoFile(const std::filesystem::path& file, std::string_view entryName,
                                  std::string_view entryText, LibraryBodySyntax syntax,
                                  const EntrySaveTexts& texts, Frontend& frontend);

// Replaces the whole file by `content`, reporting a failure.
EntrySaveResult replaceFileOrReport(const std::filesystem::path& file, std::string_view content,
                                    const EntrySaveTexts& texts, Frontend& frontend);

} // namespace vortimax
