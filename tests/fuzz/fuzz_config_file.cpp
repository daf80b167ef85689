// The program's configuration file, read over the default settings; whatever it reads
// must write out and read back to the same text.

#include "app/config_file.h"
#include "app/settings.h"
#include "fuzz_input.h"

#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace vortimax;
    const std::string_view text = fuzz::asText(data, size);
    Settings settings;
    if (!readConfiguration(fuzz::writeScratchFile("Vortimax.cfg", text), settings))
        std::abort();
    const std::string written = formatConfiguration(settings);
    const auto copy = fuzz::writeScratchFile("Vortimax.copy.cfg", "");
    if (!writeConfiguration(copy, settings))
        std::abort();
    Settings reread;
    if (!readConfiguration(copy, reread) || formatConfiguration(reread) != written)
        std::abort();
    return 0;
}
