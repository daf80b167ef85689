// The text layout table of the tool windows, and the rectangles read from what it gave.

#include "app/layout_prefs.h"
#include "fuzz_input.h"

#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace vortimax;
    std::istringstream in{std::string(fuzz::asText(data, size))};
    std::vector<std::int32_t> table;
    const LayoutStatus status = parseLayoutText(in, table);
    if (table.size() > kLayoutMaxEntries)
        std::abort();
    (void)status;
    return 0;
}
