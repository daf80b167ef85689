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
    std::string folder;
    FractalRecord* record = nullptr;
    bool parsed = false;
};

// Everything the commands read from parameter and .zar files, parsed, with the messages
// the reading made (unknown types, refused .zar files).
class LoadedFiles {
public:
    LoadedFiles();

    // False (with a message on `err`) when the file cannot be read or was refused.
    bool load(const std::filesystem::path& path, std::ostream& err);

    const std::vector<LoadedEntry>& entries() const { return entries_; }
    PaletteList& palettes() { return palettes_; }
    const PaletteList& palettes() const { return palettes_; }
    std::vector<std::string> messages() const { return frontend_.messages(); }
    bool anyUnparsed() const;
    void printMessages(std::ostream& err) const;

private:
    LoadedEntry parse(const std::string& folder, FractalRecord& record);
    bool loadZar(const std::filesystem::path& path, std::ostream& err);

    ScriptedFrontend frontend_;
    Workspace workspace_;
    PaletteList palettes_;
    std::vector<std::unique_ptr<FractalRecord>> zarRecords_;
    std::vector<LoadedEntry> entries_;
};

} // namespace vortimax::cli
