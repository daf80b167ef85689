#include "cli/loaded_files.h"

#include "base/text_utils.h"
#include "parfile/entry_parser.h"
#include "parfile/par_loader.h"
#include "parfile/zar_import.h"

#include <algorithm>
#include <fstream>
#include <ostream>

namespace vortimax::cli {

namespace fs = std::filesystem;

namespace {

// Enough of a file's start to tell text from an image or other binary data.
constexpr std::size_t kProbeBytes = 4096;
constexpr std::string_view kPngSignature = "\x89PNG\r\n\x1a\n";

// Why the bytes at a file's start are no parameter text, or nothing.
std::optional<std::string_view> notParameterText(std::string_view start) {
    if (start.starts_with(kPngSignature))
        return "it is a PNG image; vortimax-cli render IMAGE.png reads its parameters";
    if (start.find('\0') != std::string_view::npos)
        return "it holds binary data";
    return std::nullopt;
}

} // namespace

LoadedFiles::LoadedFiles() : workspace_(frontend_) {}

bool LoadedFiles::load(const fs::path& path, std::ostream& err) {
    // Opening a pipe would wait for a writer, and a device may never end: only regular
    // files are opened.
    std::error_code error;
    const fs::file_status status = fs::status(path, error);
    if (fs::exists(status) && !fs::is_regular_file(status) && !fs::is_directory(status)) {
        err << "vortimax-cli: \"" << path.string()
            << "\" is not a regular file (a pipe, device or socket is not read)\n";
        return false;
    }
    std::ifstream probe;
    if (fs::is_regular_file(status))
        probe.open(path, std::ios::binary);
    if (!probe.is_open()) {
        err << "vortimax-cli: cannot read \"" << path.string() << "\"\n";
        return false;
    }
    if (equalsIgnoreCase(path.extension().string(), ".zar"))
        return loadZar(path, err);
    std::string start(kProbeBytes, '\0');
    probe.read(start.data(), static_cast<std::streamsize>(start.size()));
    start.resize(static_cast<std::size_t>(probe.gcount()));
    if (auto reason = notParameterText(start)) {
        err << "vortimax-cli: \"" << path.string() << "\" is not a parameter file: " << *reason
            << '\n';
        return false;
    }
    std::string refusal;
    ParameterLoadOptions options;
    options.refuseUnclosedEntry = true;
    Folder* folder = loadParameterFile(path, workspace_, nullptr, options, &refusal);
    if (!refusal.empty()) {
        err << "vortimax-cli: " << refusal << '\n';
        return false;
    }
    if (folder == nullptr) {
        err << "vortimax-cli: \"" << path.string()
            << "\" holds no parameter entry (an entry is a name followed by { ... })\n";
        return false;
    }
    for (FractalRecord& record : folder->fractals().all())
        entries_.push_back({path.string(), folder->name(), &record, false, {}});
    return true;
}

LoadedEntry* LoadedFiles::find(std::string_view name) {
    auto found = std::find_if(entries_.begin(), entries_.end(), [name](const LoadedEntry& entry) {
        return equalsIgnoreCase(entry.record->name, name);
    });
    return found == entries_.end() ? nullptr : &*found;
}

bool LoadedFiles::parse(LoadedEntry& entry) {
    // A failed parse keeps the entry text and always says why: it is not tried twice.
    if (entry.parsed || !entry.problems.empty() || !entry.record->pendingEntry)
        return entry.parsed;
    auto sink = [&entry](std::string_view text) { entry.problems.emplace_back(text); };
    entry.parsed = parseEntry(*entry.record, palettes_, sink);
    // The text is kept when it fails, so that asking again gives the same answer.
    if (entry.parsed)
        entry.record->pendingEntry.reset();
    return entry.parsed;
}

void LoadedFiles::parseAll() {
    for (LoadedEntry& entry : entries_)
        parse(entry);
}

bool LoadedFiles::loadZar(const fs::path& path, std::ostream& err) {
    const std::size_t before = frontend_.messages().size();
    auto record = importZar(path, frontend_);
    // What the import reported (features dropped or the reason for a refusal).
    const std::vector<std::string> said = frontend_.messages();
    std::vector<std::string> notes(said.begin() + static_cast<std::ptrdiff_t>(before), said.end());
    if (!record) {
        for (const std::string& note : notes)
            err << note << '\n';
        err << "vortimax-cli: \"" << path.string() << "\" was not loaded\n";
        return false;
    }
    zarRecords_.push_back(std::move(record));
    entries_.push_back({path.string(), parameterFolderName(path.filename().string()),
                        zarRecords_.back().get(), true, std::move(notes)});
    return true;
}

} // namespace vortimax::cli
