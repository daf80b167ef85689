// Parameter files: the loader splits the file into entries, then every entry is parsed
// into its record the way opening a fractal does.

#include "app/scripted_frontend.h"
#include "fuzz_input.h"
#include "model/folder.h"
#include "model/workspace.h"
#include "palette/palette_list.h"
#include "parfile/entry_parser.h"
#include "parfile/par_loader.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace vortimax;
    const std::string_view text = fuzz::asText(data, size);
    ScriptedFrontend frontend;
    Workspace workspace(frontend);
    PaletteList palettes;
    const auto ignore = [](std::string_view) {};
    Folder* folder = loadParameterFile(fuzz::writeScratchFile("fuzz_input.par", text), workspace);
    if (folder == nullptr)
        return 0;
    for (FractalRecord& record : folder->fractals().all()) {
        if (!record.pendingEntry)
            std::abort(); // a freshly loaded record waits to be parsed
        parseEntry(record, palettes, ignore);
    }
    return 0;
}
