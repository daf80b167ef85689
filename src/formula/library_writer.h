#pragma once

// The text of library entries as they are written to files (line ends as "\n"; the file
// writers turn them into CR LF).

#include "formula/library_list.h"

#include <string>

namespace vortimax {

// "NAME  {" + the source unchanged + "}".
std::string entryText(const FormulaEntry& entry);
// "NAME  {\n", per transformation the twelve matrix and vector elements as " TEXT" (" 0"
// when empty) and the probability likewise followed by "\n", then "}". Blanks inside an
// element text are left out so that the line reads back with its thirteen fields.
std::string entryText(const IfsEntry& entry);
// "NAME  {\n", "Angle A\n" (three decimals), "Axiom TEXT\n", per rule " X=TEXT\n", "}".
std::string entryText(const LSystemEntry& entry);

// Every entry of the library, each followed by "\n\n".
template <class Entry> std::string libraryText(const EntryLibrary<Entry>& library) {
    std::string text;
    for (const Entry& entry : library.all()) {
        text += entryText(entry);
        text += "\n\n";
    }
    return text;
}

} // namespace vortimax
