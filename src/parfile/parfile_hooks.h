#pragma once

#include "parfile/entry_parser.h"

namespace vortimax {

class Frontend;
class PaletteList;
class Workspace;
struct ViewHooks;

// Connects opening a view to the parameter-file reader: a record's pending entry is
// parsed (messages to the message window) and a record whose entry fails is deleted
// from the workspace without asking. The objects passed must outlive the hooks.
void installParameterFileHooks(ViewHooks& hooks, PaletteList& palettes, Workspace& workspace,
                               Frontend& frontend, EntryParseOptions options = {});

} // namespace vortimax
