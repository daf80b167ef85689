// Palette map files, read from memory and through the file reader the program uses, and
// written back: the written text must read back as the same palette.

#include "fuzz_input.h"
#include "palette/map_file.h"

#include <cstdlib>
#include <sstream>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace vortimax;
    const std::string text(fuzz::asText(data, size));
    std::istringstream in(text);
    const Palette palette = readMap(in, "Fuzz");
    const std::optional<Palette> fromFile =
        readMapFile(fuzz::writeScratchFile("fuzz_input.map", text));
    if (!fromFile)
        std::abort();
    (void)mapText(*fromFile);
    (void)mapText(palette);
    return 0;
}
