// Imported parameter files of the other fractal program (".zar"), read from memory and
// through the importer the program uses.

#include "app/scripted_frontend.h"
#include "fuzz_input.h"
#include "parfile/zar_import.h"

#include <sstream>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace vortimax;
    const std::string text(fuzz::asText(data, size));
    std::istringstream in(text);
    const ZarFields fields = readZarFields(in);
    ScriptedFrontend frontend;
    (void)recordFromZarFields(fields, "Fuzz", frontend);
    (void)importZar(fuzz::writeScratchFile("fuzz_input.zar", text), frontend);
    return 0;
}
