#include "cli/parfile_commands.h"

#include "base/atomic_file.h"
#include "base/text_io.h"
#include "base/text_utils.h"
#include "cli/exit_codes.h"
#include "cli/loaded_files.h"
#include "cli/write_failure.h"
#include "model/type_registry.h"
#include "palette/map_file.h"
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

// Entries with a colour list bring their own palette, which a parameter file refers to
// by name only: it is written as a map file beside the output so that nothing is lost.
// An existing map file of that name is left alone.
bool writeEntryPalettes(const LoadedFiles& files, const fs::path& output, std::ostream& out,
                        std::ostream& err) {
    const fs::path directory = output.parent_path();
    bool allWritten = true;
    for (const Palette& palette : files.palettes().palettes().all()) {
        if (&palette == &files.palettes().defaultPalette())
            continue;
        fs::path path = directory / mapFileName(palette.name());
        if (fs::exists(path)) {
            err << "vortimax-cli: palette \"" << palette.name() << "\" not written, \""
                << path.string() << "\" exists\n";
        } else if (std::error_code error; writeMapFile(palette, path, &error)) {
            out << "palette " << palette.name() << " written to " << path.string() << '\n';
        } else {
            err << "vortimax-cli: " << cannotWriteText(path, error) << '\n';
            allWritten = false;
        }
    }
    return allWritten;
}

int usage(std::ostream& err, std::string_view text) {
    err << "usage: vortimax-cli " << text << '\n';
    return kExitUsage;
}

} // namespace

int runList(std::span<const std::string_view> args, std::ostream& out, std::ostream& err) {
    if (args.empty())
        return usage(err, "list FILE...");
    LoadedFiles files;
    bool allRead = true;
    for (std::string_view arg : args)
        allRead = files.load(fs::path(arg), err) && allRead;
    for (const LoadedEntry& entry : files.entries()) {
        const FractalRecord& record = *entry.record;
        out << entry.folder << '\t' << record.name << '\t';
        if (entry.parsed)
            out << registryName(record.type) << '\t' << record.subtype << '\n';
        else
            out << "unknown\t-\n";
    }
    files.printMessages(err);
    return allRead ? kExitSuccess : kExitFailure;
}

int runShow(std::span<const std::string_view> args, std::ostream& out, std::ostream& err) {
    if (args.size() != 2)
        return usage(err, "show FILE ENTRY");
    LoadedFiles files;
    if (!files.load(fs::path(args[0]), err)) {
        files.printMessages(err);
        return kExitFailure;
    }
    for (const LoadedEntry& entry : files.entries()) {
        if (!equalsIgnoreCase(entry.record->name, args[1]))
            continue;
        if (!entry.parsed) {
            files.printMessages(err);
            return kExitFailure;
        }
        const FractalRecord& record = *entry.record;
        printHeader(record, out);
        printRows(record.params(), out);
        printRows(record.settings3D(), out);
        return kExitSuccess;
    }
    err << "vortimax-cli: no entry \"" << args[1] << "\" in \"" << args[0] << "\"\n";
    return kExitFailure;
}

int runConvert(std::span<const std::string_view> args, std::ostream& out, std::ostream& err) {
    std::vector<fs::path> inputs;
    std::optional<fs::path> output;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "-o" && i + 1 < args.size())
            output = fs::path(args[++i]);
        else
            inputs.emplace_back(args[i]);
    }
    if (inputs.empty() || !output)
        return usage(err, "convert IN... -o OUT.par");
    LoadedFiles files;
    bool allRead = true;
    for (const fs::path& input : inputs)
        allRead = files.load(input, err) && allRead;
    files.printMessages(err);
    if (!allRead || files.anyUnparsed()) {
        err << "vortimax-cli: nothing written to \"" << output->string() << "\"\n";
        return kExitFailure;
    }
    std::string text;
    for (const LoadedEntry& entry : files.entries())
        text += parameterEntryText(*entry.record) + "\n\n\n";
    if (std::error_code error; !writeFileAtomically(*output, withCrLf(text), &error)) {
        err << "vortimax-cli: " << cannotWriteText(*output, error) << '\n';
        return kExitFailure;
    }
    out << files.entries().size() << " entries written to " << output->string() << '\n';
    return writeEntryPalettes(files, *output, out, err) ? kExitSuccess : kExitFailure;
}

} // namespace vortimax::cli
