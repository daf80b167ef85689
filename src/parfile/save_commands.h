#pragma once

#include "base/entry_save.h"
#include "base/frontend.h"
#include "model/folder.h"
#include "model/fractal_record.h"

#include <filesystem>
#include <string_view>

namespace vortimax {

class PaletteList;

// The save commands for parameter files. Every question goes through the Frontend; the
// file is always replaced as a whole (write to a temporary file, then rename), so a
// failure never leaves it truncated or half-written. The entry's lines end in CR LF;
// the rest of the file keeps its bytes exactly, whatever line ends it uses.

using SaveResult = EntrySaveResult;

// Scratch copy of the entry, made in the chosen directory and deleted when the save ends.
constexpr std::string_view kSaveScratchFileName = kEntryScratchFileName;

// Save one fractal: a requester starting in `directory` (which then remembers the
// directory chosen), then checks of the chosen file:
// - a byte outside tab, LF, CR and 32..127, or a broken entry structure: the person is
//   asked whether to append anyway (both questions when both apply);
// - an entry of the same name: Yes replaces exactly that entry, No appends the new one,
//   Cancel writes nothing;
// - otherwise the file is created or appended to, a line break before the entry.
// A file that exists but cannot be read, or cannot be written, is reported.
// `palettes` lets the entry carry a palette that no map file holds (see
// parameterEntryText).
SaveResult saveFractal(const FractalRecord& record, Frontend& frontend,
                       std::filesystem::path& directory, const PaletteList* palettes = nullptr);

// Save a folder: a requester proposing the folder's name in its directory (or `directory`
// when it has none); the chosen file then holds every fractal of the folder, each entry
// followed by "\n\n\n". `directory` remembers the directory chosen.
SaveResult saveFolder(const Folder& folder, Frontend& frontend, std::filesystem::path& directory,
                      const PaletteList* palettes = nullptr);

} // namespace vortimax
