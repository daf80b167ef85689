#pragma once

#include "app/scripted_frontend.h"
#include "model/workspace.h"
#include "palette/palette_list.h"

#include <filesystem>
#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

namespace vortimax::cli {

struct LoadedEntry {
    std::string file; // the path as given
    std::string folder;
    FractalRecord* record = nullptr;
    bool parsed = false;
    // What the reader said of the entry: why it cannot be used (an unknown type), or what
    // it left out (features of a .zar file this program does not have).
    std::vector<std::string> problems;
};

// The entries of parameter and .zar files. Entries are read at once and parsed when a
// command asks for them, so that the problems of one entry never show up for another.
class LoadedFiles {
public:
    LoadedFiles();

    // False (with one line on `err`) when the file cannot be read, is no parameter file
    // (a PNG image, binary data), holds no entry or was refused (.zar).
    bool load(const std::filesystem::path& path, std::ostream& err);

    std::vector<LoadedEntry>& entries() { return entries_; }
    const std::vector<LoadedEntry>& entries() const { return entries_; }
    // The first entry of that name (letter case ignored), or none.
    LoadedEntry* find(std::string_view name);
    // Parses the entry's text once; later calls return the first result.
    bool parse(LoadedEntry& entry);
    void parseAll();

    PaletteList& palettes() { return palettes_; }
    const PaletteList& palettes() const { return palettes_; }
    ScriptedFrontend& frontend() { return frontend_; }

private:
    bool loadZar(const std::filesystem::path& path, std::ostream& err);

    ScriptedFrontend frontend_;
    Workspace workspace_;
    PaletteList palettes_;
    std::vector<std::unique_ptr<FractalRecord>> zarRecords_;
    std::vector<LoadedEntry> entries_;
};

} // namespace vortimax::cli
