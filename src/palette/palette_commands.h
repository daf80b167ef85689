#pragma once

#include "base/frontend.h"
#include "model/folder.h"
#include "model/fractal_record.h"
#include "model/named_list.h"
#include "palette/palette_list.h"

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace vortimax {

// The logic of the palette menu's commands. Everything shown to or asked of the person
// goes through the Frontend. "Applying" a palette to the active fractal here means the
// fractal's palette name now names it and it is the list's current palette; the caller
// refreshes the list box and recolours the fractal's view afterwards.

// A palette read from a map file joins the list under a unique name and becomes the last
// palette added, unless the list already holds its colours: then the message window
// shows "Duplicate palette: NAME loaded as EXISTING" and nothing is added.
Palette* addLoadedPalette(PaletteList& list, Frontend& frontend, Palette palette);

struct PaletteLoadResult {
    std::size_t added = 0;
    std::size_t duplicates = 0;
    bool aborted = false;
    Palette* applied = nullptr; // the last palette added, applied to the active fractal
};

// Load: reads the map files one by one on a worker under the progress window "Loading
// palettes"; cancelling stops the worker before the next file, and until it has stopped
// the box "Aborting" / "Load was aborted..." is repeated every 100 ms. The files read
// join the list in order (on the calling thread), and the last one added is applied to
// the active fractal (if any). The Frontend's file requester picks a single file, so the
// desktop program obtains the multiple selection itself and passes it here.
PaletteLoadResult loadPalettes(PaletteList& list, Frontend& frontend,
                               const std::vector<std::filesystem::path>& files,
                               FractalRecord* activeFractal);
// Load with one file chosen in the Frontend's requester; nothing when it is cancelled.
PaletteLoadResult loadPalettes(PaletteList& list, Frontend& frontend,
                               const std::filesystem::path& startDirectory,
                               FractalRecord* activeFractal);

// Start-up: for each directory logs "Loading palettes from directory DIR" and reads every
// "*.map" file in it (extension in any letter case, in name order). With a progress, an
// abort stops before the next file. Returns the number of palettes added.
std::size_t loadPaletteDirectories(PaletteList& list, Frontend& frontend,
                                   const std::vector<std::filesystem::path>& directories,
                                   const Progress* progress = nullptr);

// Save: the save requester proposes "NAME.map" in the directory; the palette is written
// there. A file that cannot be written is reported. Returns whether it was written.
bool savePalette(const Palette& palette, Frontend& frontend,
                 const std::filesystem::path& startDirectory);

// Save all: after the directory requester, writes every palette, the default palette
// included, as "NAME.map" ("NAME.1.map" ... when two names make the same file name). Files that
// cannot be written are reported together. Returns the number written.
std::size_t saveAllPalettes(const PaletteList& list, Frontend& frontend,
                            const std::filesystem::path& startDirectory);

enum class PaletteDeleteResult {
    Deleted,
    Declined,       // the person did not answer yes
    DefaultPalette, // the default palette stays
    NotMember,
};

// Delete: the default palette is refused with a note. With `confirm` (the "Delete
// Palette" setting) the person is asked first. The active fractal's palette name, when it
// named the palette, moves to the neighbour (the previous palette, else the next), which
// also becomes current when the deleted palette was.
PaletteDeleteResult deletePalette(PaletteList& list, Palette& palette, Frontend& frontend,
                                  bool confirm, FractalRecord* activeFractal);

// Rename: gives the palette the unique form of `newName` and carries that final name into
// the palette name and animation palette name of every fractal of every folder that named
// the palette (letter case ignored), and into the palette name of new fractals when
// given. An empty name changes nothing. Returns whether the name changed.
bool renamePalette(PaletteList& list, Palette& palette, std::string_view newName,
                   const NamedList<Folder>& folders, std::string* newFractalPaletteName);

// Duplicate: a copy under a unique name ("Fire" gives "Fire.1"), applied to the active
// fractal, whose palette offsets stay as they are.
Palette& duplicatePalette(PaletteList& list, const Palette& source, FractalRecord* activeFractal);

} // namespace vortimax
