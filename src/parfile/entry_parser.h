#pragma once

#include "model/fractal_record.h"
#include "model/type_registry.h"
#include "parfile/foreign_types.h"

#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vortimax {

class PaletteList;

// Receives the lines meant for the message window.
using MessageSink = std::function<void(std::string_view)>;

// An entry's text between its braces, split at the first semicolon of every line: the
// parts before it are the key text, the parts after it (leading blanks skipped) the lines
// of the comment, joined with "\n". Braces inside comments do not count.
struct EntryParts {
    std::string keyText;
    std::string comment;
};
EntryParts splitEntry(std::string_view entryText);

// The words of a key text: runs of characters above 32. A value therefore never holds a
// blank.
std::vector<std::string_view> entryWords(std::string_view keyText);

// What the words say about the type. The first "Type=" word names it (a registry name,
// else a foreign name); without one the entry is a Mandel fractal. A "Subtype=" word
// gives the subtype, otherwise the foreign row does (0 for a registry name). A subtype the
// type does not have is ignored. A foreign type that cannot be read is unknown, with the
// reason why.
struct EntryTypeResult {
    EntryType type{kTypeMandel, 0, false};
    std::optional<std::string> unknownTypeText; // set when no table knows the type
    // Why the type cannot be read, when it is a foreign type known to be unreadable.
    std::optional<std::string_view> refusal;
};
EntryTypeResult entryTypeOf(std::span<const std::string_view> words);

// The type an entry text will be parsed as, or nothing when its type is unknown.
std::optional<EntryType> peekEntryType(std::string_view entryText);

struct EntryParseOptions {
    // Bits per pixel of the screen, for the true-colour-on-8-bit flag.
    int screenDepth = 24;
    // Resolves a compound fractal's layer names to records once the entry is parsed.
    // Optional: the program links compounds when they are opened and recalculated.
    std::function<void(FractalRecord&)> resolveCompoundLayers;
};

// Turns the record's pending entry into parameters. The record is first reset to the
// defaults of the entry's type and subtype (keeping its name, folder, pending entry and,
// unless the entry has one, its comment), then the presets of a foreign type's row, then
// every "key=value" word. An unknown type is reported to `messages`, with the reason when
// it is a foreign type known to be unreadable, and leaves the record untouched (result
// false).
// A record without a pending entry is left as it is (result true). The pending entry is
// not released: that is the caller's business.
bool parseEntry(FractalRecord& record, PaletteList& palettes, const MessageSink& messages,
                const EntryParseOptions& options = {});

// The same with the entry text given explicitly.
bool parseEntryText(FractalRecord& record, std::string_view entryText, PaletteList& palettes,
                    const MessageSink& messages, const EntryParseOptions& options = {});

} // namespace vortimax
