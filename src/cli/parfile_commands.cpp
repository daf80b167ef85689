#include "cli/parfile_commands.h"

#include "base/atomic_file.h"
#include "base/text_io.h"
#include "base/text_utils.h"
#include "cli/exit_codes.h"
#include "cli/loaded_files.h"
#include "cli/program_libraries.h"
#include "cli/write_failure.h"
#include "model/type_registry.h"
#include "palette/palette_list.h"
#include "parfile/entry_writer.h"

#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace vortimax::cli {

namespace {

namespace fs = std::filesystem;

std::string realText(double value) {
    return formatFixed(value, 15, true);
}

void printHeader(const FractalRecord& r, std::ostream& out) {
    out << "Name=" << r.name << "\nType=" << registryName(r.type) << "\nSubtype=" << r.subtype
        << "\nNumFrames=" << realText(r.numFrames) << "\nDisplayDepth=" << r.displayDepth
        << "\nWidth=" << r.width << "\nHeight=" << r.height << "\nDims=" << r.dims
        << "\nColCyc=" << r.colCyc << "\nColCycUp=" << r.colCycUp
        << "\nColCycSpeed=" << realText(r.colCycSpeed) << "\nColCycStep=" << realText(r.colCycStep)
        << "\nPalName=" << r.palName << "\nPalOffset=" << realText(r.palOffset)
        << "\nPalNameAnim=" << r.palNameAnim << "\nPalOffsetAnim=" << realText(r.palOffsetAnim)
        << "\nWinWidth=" << r.winWidth << "\nWinHeight=" << r.winHeight
        << "\nScrollbar=" << r.scrollbar << "\nImageFilter=" << r.imageFilter << '\n';
}

void printRows(ConstBlockRef block, std::ostream& out) {
    for (std::size_t i = 0; i < block.table().size(); ++i) {
        const ParamDescriptor& row = block.table().row(i);
        const std::uint8_t* field = block.field(i);
        out << row.key << '=';
        switch (row.kind) {
        case ParamKind::Real:
            out << realText(loadReal(field));
            break;
        case ParamKind::BigFixed:
            out << loadBigFixed(field).toText();
            break;
        case ParamKind::Text:
            out << loadText(field, row.length);
            break;
        case ParamKind::Integer:
        case ParamKind::Flag:
            out << loadInt(field);
            break;
        }
        out << '\n';
    }
}

// Palettes of the program directory (--dir, as the desktop program finds it), so that
// entries naming them keep the name, and "--dir" taken out of the arguments.
bool prepareFiles(std::vector<std::string_view>& args, std::string_view command, LoadedFiles& files,
                  std::ostream& err) {
    std::optional<fs::path> dir;
    if (!takeDirOption(args, dir, command, err))
        return false;
    const std::optional<ProgramLibraries> libraries = findProgramLibraries(dir, err);
    if (!libraries)
        return false;
    loadPalettes(*libraries, files.palettes(), files.frontend());
    return true;
}

void printProblems(const LoadedEntry& entry, std::ostream& err) {
    for (const std::string& problem : entry.problems)
        err << entry.file << ": " << problem << '\n';
}

int usage(std::ostream& err, std::string_view text) {
    err << "usage: vortimax-cli " << text << '\n';
    return kExitUsage;
}

} // namespace

int runList(std::span<const std::string_view> arguments, std::ostream& out, std::ostream& err) {
    std::vector<std::string_view> args(arguments.begin(), arguments.end());
    LoadedFiles files;
    if (!prepareFiles(args, "list", files, err))
        return kExitUsage;
    if (args.empty())
        return usage(err, "list [--dir DIR] FILE...");
    bool allRead = true;
    for (std::string_view arg : args)
        allRead = files.load(fs::path(arg), err) && allRead;
    files.parseAll();
    for (const LoadedEntry& entry : files.entries()) {
        const FractalRecord& record = *entry.record;
        out << entry.folder << '\t' << record.name << '\t';
        if (entry.parsed)
            out << registryName(record.type) << '\t' << record.subtype << '\n';
        else
            out << "unknown\t-\n";
        printProblems(entry, err);
    }
    return allRead ? kExitSuccess : kExitFailure;
}

int runShow(std::span<const std::string_view> arguments, std::ostream& out, std::ostream& err) {
    std::vector<std::string_view> args(arguments.begin(), arguments.end());
    LoadedFiles files;
    if (!prepareFiles(args, "show", files, err))
        return kExitUsage;
    if (args.size() != 2)
        return usage(err, "show [--dir DIR] FILE ENTRY");
    if (!files.load(fs::path(args[0]), err))
        return kExitFailure;
    LoadedEntry* entry = files.find(args[1]);
    if (entry == nullptr) {
        err << "vortimax-cli: no entry \"" << args[1] << "\" in \"" << args[0] << "\"\n";
        return kExitFailure;
    }
    const bool parsed = files.parse(*entry);
    printProblems(*entry, err);
    if (!parsed)
        return kExitFailure;
    const FractalRecord& record = *entry->record;
    printHeader(record, out);
    printRows(record.params(), out);
    printRows(record.settings3D(), out);
    return kExitSuccess;
}

// Every entry that reads is converted; the others are named on stderr and make the exit
// status 1. The output is written whole or not at all, and never empty.
int runConvert(std::span<const std::string_view> arguments, std::ostream& out, std::ostream& err) {
    std::vector<std::string_view> args(arguments.begin(), arguments.end());
    LoadedFiles files;
    if (!prepareFiles(args, "convert", files, err))
        return kExitUsage;
    std::vector<fs::path> inputs;
    std::optional<fs::path> output;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "-o" && i + 1 < args.size())
            output = fs::path(args[++i]);
        else
            inputs.emplace_back(args[i]);
    }
    if (inputs.empty() || !output)
        return usage(err, "convert [--dir DIR] IN... -o OUT.par");
    bool allRead = true;
    for (const fs::path& input : inputs)
        allRead = files.load(input, err) && allRead;
    std::string text;
    std::size_t converted = 0, skipped = 0;
    for (LoadedEntry& entry : files.entries()) {
        if (!files.parse(entry)) {
            for (const std::string& problem : entry.problems)
                err << entry.file << ": " << entry.record->name << ": skipped: " << problem << '\n';
            ++skipped;
            continue;
        }
        printProblems(entry, err);
        text += parameterEntryText(*entry.record, std::nullopt, &files.palettes()) + "\n\n\n";
        ++converted;
    }
    if (converted == 0) {
        err << "vortimax-cli convert: no entry to convert, nothing written to \""
            << output->string() << "\"\n";
        return kExitFailure;
    }
    if (std::error_code error; !writeFileAtomically(*output, withCrLf(text), &error)) {
        err << "vortimax-cli convert: " << cannotWriteText(*output, error) << '\n';
        return kExitFailure;
    }
    out << converted << " entries written to " << output->string();
    if (skipped > 0)
        out << ", " << skipped << " skipped";
    out << '\n';
    return allRead && skipped == 0 ? kExitSuccess : kExitFailure;
}

} // namespace vortimax::cli
