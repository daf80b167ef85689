#include "cli/loaded_files.h"

#include "base/text_utils.h"
#include "parfile/entry_parser.h"
#include "parfile/par_loader.h"
#include "parfile/zar_import.h"

#include <fstream>
#include <ostream>

namespace vortimax::cli {

namespace fs = std::filesystem;

LoadedFiles::LoadedFiles() : workspace_(frontend_) {}

bool LoadedFiles::load(const fs::path& path, std::ostream& err) {
    std::ifstream probe(path, std::ios::binary);
    if (!probe || fs::is_directory(path)) {
        err << "vortimax-cli: cannot read \"" << path.string() << "\"\n";
        return false;
    }
    if (equalsIgnoreCase(path.extension().string(), ".zar"))
        return loadZar(path, err);
    if (Folder* folder = loadParameterFile(path, workspace_)) {
        for (FractalRecord& record : folder->fractals().all())
            entries_.push_back(parse(folder->name(), record));
    }
    return true;
}

bool LoadedFiles::anyUnparsed() const {
    for (const LoadedEntry& entry : entries_)
        if (!entry.parsed)
            return true;
    return false;
}

void LoadedFiles::printMessages(std::ostream& err) const {
    for (const std::string& message : messages())
        err << message << '\n';
}

LoadedEntry LoadedFiles::parse(const std::string& folder, FractalRecord& record) {
    auto sink = [this](std::string_view text) { frontend_.addMessage(text); };
    bool parsed = parseEntry(record, palettes_, sink);
    if (parsed)
        record.pendingEntry.reset();
    return {folder, &record, parsed};
}

bool LoadedFiles::loadZar(const fs::path& path, std::ostream& err) {
    auto record = importZar(path, frontend_);
    if (!record) {
        err << "vortimax-cli: \"" << path.string() << "\" was not loaded\n";
        return false;
    }
    zarRecords_.push_back(std::move(record));
    entries_.push_back(
        {parameterFolderName(path.filename().string()), zarRecords_.back().get(), true});
    return true;
}

} // namespace vortimax::cli
