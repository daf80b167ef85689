// IFS and L-system library files: the same text read as both kinds, the elements of the
// IFS transformations evaluated once each, and every L-system measured and, when small,
// walked by a turtle at the first few depths.

#include "formula/formula_eval.h"
#include "formula/ifs_entry.h"
#include "formula/library_list.h"
#include "formula/library_load.h"
#include "fuzz_input.h"
#include "render/geometry/lsystem_expansion.h"
#include "render/geometry/turtle.h"

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
    struct NoPen : TurtlePen {
        void line(double, double, double, double, int index) override {
            if (index < 0 || index > 251)
                std::abort();
        }
    } pen;
    for (const LSystemEntry& entry : lsystems.all()) {
        const LSystemGrammar grammar(entry);
        for (std::int64_t depth = 0; depth < 4; ++depth) {
            const ExpansionSize size = measureExpansion(grammar, entry.axiom, depth);
            if (size.tooDeep || size.characters > 20'000)
                break;
            Turtle turtle(TurtleState{}, pen);
            LSystemWalk walk(grammar, entry.axiom, depth, turtle);
            walk.walk(size.characters + 1);
            // A full stack may cut the walk short, never make it longer.
            if (!walk.complete() || walk.charactersWalked() > size.characters)
                std::abort();
        }
    }
    return 0;
}
