// IFS and L-system library files: the same text read as both kinds, and the elements of
// the IFS transformations evaluated once each.

#include "formula/formula_eval.h"
#include "formula/ifs_entry.h"
#include "formula/library_list.h"
#include "formula/library_load.h"
#include "fuzz_input.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace vortimax;
    const std::string_view text = fuzz::asText(data, size);
    IfsLibrary ifs;
    const LibraryLoadResult ifsRead = loadLibraryText(ifs, text);
    if (ifsRead.added != ifs.size())
        std::abort();
    EvalContext context;
    for (const IfsEntry& entry : ifs.all())
        for (const IfsTransform& transform : entry.transforms)
            for (const IfsElement& element : transform.elements)
                (void)ifsElementValue(element, context);

    LSystemLibrary lsystems;
    const LibraryLoadResult lsystemsRead = loadLibraryText(lsystems, text);
    if (lsystemsRead.added != lsystems.size())
        std::abort();
    return 0;
}
