#include "parfile/parfile_hooks.h"

#include "base/frontend.h"
#include "model/view_environment.h"
#include "model/workspace.h"

namespace vortimax {

void installParameterFileHooks(ViewHooks& hooks, PaletteList& palettes, Workspace& workspace,
                               Frontend& frontend, EntryParseOptions options) {
    hooks.parsePendingEntry = [&palettes, &frontend, options](FractalRecord& record) {
        MessageSink messages = [&frontend](std::string_view text) { frontend.addMessage(text); };
        return parseEntry(record, palettes, messages, options);
    };
    hooks.deleteRecord = [&workspace](FractalRecord& record) {
        workspace.deleteFractal(record, false);
    };
}

} // namespace vortimax
