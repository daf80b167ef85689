#include "cli/render_command.h"

#include "app/formula_libraries.h"
#include "app/program_directory.h"
#include "base/text_io.h"
#include "base/text_utils.h"
#include "cli/exit_codes.h"
#include "cli/interruption.h"
#include "cli/layer_entries.h"
#include "cli/loaded_files.h"
#include "cli/locked_stream.h"
#include "cli/memory_check.h"
#include "cli/network_options.h"
#include "cli/npy_file.h"
#include "cli/program_libraries.h"
#include "cli/write_failure.h"
#include "imagefile/image_commands.h"
#include "imagefile/png_loader.h"
#include "imagefile/png_writer.h"
#include "model/calculation_pool.h"
#include "model/fractal_view.h"
#include "model/image_region.h"
#include "model/param_text.h"
#include "model/type_registry.h"
#include "model/typed_value.h"
#include "model/value_rules.h"
#include "network/master.h"
#include "network/messages.h"
#include "network/network_drivers.h"
#include "palette/map_file.h"
#include "palette/palette_application.h"
#include "parfile/entry_parser.h"
#include "parfile/entry_writer.h"
#include "render/colour/colouring_hooks.h"
#include "render/drivers.h"
#include "render/filters/image_filter.h"
#include "render/image_stages.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace vortimax::cli {

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

constexpr std::string_view kUsage =
    "render [TYPE [--subtype N] | FILE ENTRY | IMAGE.png] [--dir DIR] [--size WxH] "
    "[--depth 8|24] [--palette MAP] [--set KEY=VALUE]... [--3d] [--filter N] [--threads N] "
    "[--region X,Y,W,H] [--values OUT.npy] [--master [--port P] [--slaves N] [--bind ADDR]] "
    "[--quiet] -o OUT.png";
constexpr int kDefaultWidth = 640;
constexpr int kDefaultHeight = 480;

struct RenderRequest {
    std::vector<std::string_view> source; // type name, file and entry, or image
    std::optional<std::uint32_t> subtype;
    std::optional<fs::path> dir;
    // Without --size: the image's own size when rendering from a PNG, else 640 x 480.
    std::optional<std::pair<int, int>> size;
    std::optional<int> depth;
    std::optional<fs::path> palette;
    std::vector<std::string_view> settings;
    std::optional<fs::path> values;
    std::optional<int> threads; // without: every hardware thread
    // A rectangle of the --size image: x, y from its top-left corner, width, height.
    std::optional<std::array<int, 4>> region;
    bool quiet = false;
    std::optional<fs::path> output;
    bool relief = false;       // --3d: the fractal's 3D transformation
    std::optional<int> filter; // --filter: image filter of a true-colour image
    // --master: share the image with slaves that connect to this port.
    bool master = false;
    std::uint16_t port = net::kMasterPort;
    int slaves = 0; // wait for this many before calculating
    std::string bind;
    bool networkOption = false; // --port, --slaves or --bind given
};

// Largest --slaves: as many members as a master takes.
constexpr long kMostSlaves = 64;

// A number written as plain decimal digits and nothing else; nothing for other text and
// for values beyond `highest`.
std::optional<long> plainNumber(std::string_view text, long highest) {
    if (text.empty() || text.size() > 18 ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    long value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    if (value > highest)
        return std::nullopt;
    return value;
}

// Exactly "WxH", each side from 1 to kMaxImageSide.
std::optional<std::pair<int, int>> parseSize(std::string_view text) {
    auto cross = text.find('x');
    if (cross == std::string_view::npos)
        return std::nullopt;
    auto w = plainNumber(text.substr(0, cross), kMaxImageSide);
    auto h = plainNumber(text.substr(cross + 1), kMaxImageSide);
    if (!w || !h || *w < 1 || *h < 1)
        return std::nullopt;
    return std::pair{static_cast<int>(*w), static_cast<int>(*h)};
}

// Exactly "X,Y,W,H": whole numbers, the width and height at least 1.
std::optional<std::array<int, 4>> parseRegion(std::string_view text) {
    std::array<int, 4> numbers{};
    for (std::size_t i = 0; i < numbers.size(); ++i) {
        const std::size_t comma = i + 1 < numbers.size() ? text.find(',') : text.size();
        if (comma == std::string_view::npos)
            return std::nullopt;
        auto number = plainNumber(text.substr(0, comma), kMaxImageSide);
        if (!number)
            return std::nullopt;
        numbers[i] = static_cast<int>(*number);
        text.remove_prefix(std::min(text.size(), comma + 1));
    }
    if (numbers[2] < 1 || numbers[3] < 1)
        return std::nullopt;
    return numbers;
}

bool takesValue(std::string_view option) {
    constexpr std::string_view kValued[] = {
        "-o",       "--dir",     "--size",   "--depth",  "--subtype", "--palette", "--set",
        "--values", "--threads", "--region", "--filter", "--port",    "--slaves",  "--bind"};
    return std::find(std::begin(kValued), std::end(kValued), option) != std::end(kValued);
}

std::optional<RenderRequest> parseArguments(std::span<const std::string_view> args,
                                            std::ostream& err) {
    RenderRequest request;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string_view arg = args[i];
        bool hasValue = i + 1 < args.size();
        if (arg == "-o" && hasValue) {
            request.output = fs::path(args[++i]);
        } else if (arg == "--dir" && hasValue) {
            request.dir = fs::path(args[++i]);
        } else if (arg == "--size" && hasValue) {
            request.size = parseSize(args[++i]);
            if (!request.size) {
                err << "vortimax-cli render: --size \"" << args[i]
                    << "\" is not WxH with each side "
                    << "a whole number from 1 to " << kMaxImageSide << '\n';
                return std::nullopt;
            }
        } else if (arg == "--depth" && hasValue) {
            auto depth = plainNumber(args[++i], 24);
            if (!depth || (*depth != 8 && *depth != 24)) {
                err << "vortimax-cli render: --depth is 8 or 24\n";
                return std::nullopt;
            }
            request.depth = static_cast<int>(*depth);
        } else if (arg == "--subtype" && hasValue) {
            auto subtype = plainNumber(args[++i], UINT32_MAX);
            if (!subtype) {
                err << "vortimax-cli render: --subtype needs a number\n";
                return std::nullopt;
            }
            request.subtype = static_cast<std::uint32_t>(*subtype);
        } else if (arg == "--palette" && hasValue) {
            request.palette = fs::path(args[++i]);
        } else if (arg == "--set" && hasValue) {
            request.settings.push_back(args[++i]);
        } else if (arg == "--threads" && hasValue) {
            auto threads = plainNumber(args[++i], CalculationPool::kMostThreads);
            if (!threads || *threads < 1) {
                err << "vortimax-cli render: --threads needs a number from 1 to "
                    << CalculationPool::kMostThreads << '\n';
                return std::nullopt;
            }
            request.threads = static_cast<int>(*threads);
        } else if (arg == "--3d") {
            request.relief = true;
        } else if (arg == "--filter" && hasValue) {
            auto filter = plainNumber(args[++i], kFilterAntiAlias);
            if (!filter) {
                err << "vortimax-cli render: --filter needs a number from 0 to " << kFilterAntiAlias
                    << '\n';
                return std::nullopt;
            }
            request.filter = static_cast<int>(*filter);
        } else if (arg == "--values" && hasValue) {
            request.values = fs::path(args[++i]);
        } else if (arg == "--region" && hasValue) {
            request.region = parseRegion(args[++i]);
            if (!request.region) {
                err << "vortimax-cli render: --region \"" << args[i]
                    << "\" is not X,Y,W,H (whole numbers; W and H at least 1)\n";
                return std::nullopt;
            }
        } else if (arg == "--quiet") {
            request.quiet = true;
        } else if (arg == "--master") {
            request.master = true;
        } else if (arg == "--port" && hasValue) {
            auto port = parsePort(args[++i], true);
            if (!port) {
                err << "vortimax-cli render: --port needs a number from 0 to 65535\n";
                return std::nullopt;
            }
            request.port = *port;
            request.networkOption = true;
        } else if (arg == "--slaves" && hasValue) {
            auto slaves = plainNumber(args[++i], kMostSlaves);
            if (!slaves) {
                err << "vortimax-cli render: --slaves needs a number from 0 to " << kMostSlaves
                    << '\n';
                return std::nullopt;
            }
            request.slaves = static_cast<int>(*slaves);
            request.networkOption = true;
        } else if (arg == "--bind" && hasValue) {
            request.bind = std::string(args[++i]);
            request.networkOption = true;
        } else if (!arg.starts_with("-")) {
            request.source.push_back(arg);
        } else if (!hasValue && takesValue(arg)) {
            err << "vortimax-cli render: " << arg << " needs a value\n";
            return std::nullopt;
        } else {
            err << "vortimax-cli render: unknown option \"" << arg << "\"\n";
            return std::nullopt;
        }
    }
    if (!request.output || request.source.size() > 2) {
        err << "usage: vortimax-cli " << kUsage << '\n';
        return std::nullopt;
    }
    if (request.networkOption && !request.master) {
        err << "vortimax-cli render: --port, --slaves and --bind go with --master\n";
        return std::nullopt;
    }
    if (request.master && request.region) {
        err << "vortimax-cli render: --master renders whole images, not --region tiles\n";
        return std::nullopt;
    }
    if (request.region && !request.size) {
        err << "vortimax-cli render: --region needs --size, the size of the whole image\n";
        return std::nullopt;
    }
    return request;
}

bool isImagePath(std::string_view source) {
    return equalsIgnoreCase(fs::path(source).extension().string(), ".png");
}

// The fractal to render, owned here or by the loaded files.
struct Subject {
    std::unique_ptr<FractalRecord> owned;
    FractalRecord* record = nullptr;
};

std::optional<Subject> fromType(std::string_view name, const RenderRequest& request,
                                std::ostream& err) {
    auto type = findTypeByRegistryName(name);
    if (!type) {
        err << "vortimax-cli render: unknown fractal type \"" << name
            << "\" (vortimax-cli params lists them)\n";
        return std::nullopt;
    }
    std::uint32_t subtype = request.subtype.value_or(0);
    if (subtype > highestSubtype(*type)) {
        err << "vortimax-cli render: subtype " << subtype << " is not valid for "
            << registryName(*type) << '\n';
        return std::nullopt;
    }
    Subject subject;
    subject.owned = createRecord(*type, subtype, RecordCreationContext{});
    subject.record = subject.owned.get();
    return subject;
}

std::optional<Subject> fromEntry(LoadedFiles& files, std::string_view file, std::string_view name,
                                 std::ostream& err) {
    if (!files.load(fs::path(file), err))
        return std::nullopt;
    LoadedEntry* entry = files.find(name);
    if (entry == nullptr) {
        err << "vortimax-cli render: no entry \"" << name << "\" in \"" << file << "\"\n";
        return std::nullopt;
    }
    const bool parsed = files.parse(*entry);
    for (const std::string& problem : entry->problems)
        err << file << ": " << problem << '\n';
    if (!parsed)
        return std::nullopt;
    return Subject{nullptr, entry->record};
}

// The fractal a PNG image carries, at the image's size and with the image's own palette,
// as loading the image in the desktop program gives it.
std::optional<Subject> fromImage(LoadedFiles& files, std::string_view file, std::ostream& err) {
    DecodedPng image;
    PngFileFacts facts;
    const PngLoadResult loaded = loadPng(fs::path(file), image, nullptr, {}, &facts);
    if (loaded != PngLoadResult::Loaded) {
        err << "vortimax-cli render: cannot read image \"" << file
            << "\": " << pngLoadProblem(loaded, facts) << '\n';
        return std::nullopt;
    }
    if (image.parameterTexts.empty()) {
        err << "vortimax-cli render: \"" << file << "\" holds no fractal parameters\n";
        return std::nullopt;
    }
    std::vector<std::string> problems;
    auto sink = [&problems](std::string_view message) { problems.emplace_back(message); };
    std::unique_ptr<FractalRecord> record =
        fractalFromImage(image, fs::path(file).filename().string(), files.palettes(), sink);
    if (!record) {
        for (const std::string& problem : problems)
            err << file << ": " << problem << '\n';
        if (problems.empty())
            err << "vortimax-cli render: \"" << file
                << "\" holds no fractal parameters that read: its \"Parameter\" text is not "
                   "an entry (a name followed by { ... })\n";
        return std::nullopt;
    }
    Subject subject;
    subject.owned = std::move(record);
    subject.record = subject.owned.get();
    return subject;
}

std::optional<Subject> buildSubject(LoadedFiles& files, const RenderRequest& request,
                                    std::ostream& err) {
    if (request.source.empty())
        return fromType("Mandel", request, err);
    if (request.source.size() == 2)
        return fromEntry(files, request.source[0], request.source[1], err);
    std::string_view only = request.source[0];
    if (isImagePath(only))
        return fromImage(files, only, err);
    return fromType(only, request, err);
}

// The block and row a --set key names: the fractal's parameters first, then its 3D ones.
std::optional<std::pair<BlockRef, std::size_t>> findSetting(FractalRecord& record,
                                                            std::string_view key) {
    for (BlockRef block : {record.params(), record.settings3D()})
        if (auto index = block.table().find(key))
            return std::pair{block, *index};
    return std::nullopt;
}

// Applies the --set values; every one must read completely as its parameter's kind and
// lie within its range: a command line is not a file to be read leniently.
bool applySettings(FractalRecord& record, const RenderRequest& request, std::ostream& err) {
    for (std::string_view setting : request.settings) {
        auto equals = setting.find('=');
        std::string_view key = setting.substr(0, equals);
        std::string_view value = equals == std::string_view::npos ? "" : setting.substr(equals + 1);
        auto found = equals == std::string_view::npos ? std::nullopt : findSetting(record, key);
        if (!found) {
            err << "vortimax-cli render: \"" << key << "\" is not a parameter of "
                << registryName(record.type) << " (vortimax-cli params "
                << registryName(record.type) << " lists them)\n";
            return false;
        }
        auto [block, index] = *found;
        const ParamDescriptor& row = block.table().row(index);
        if (!acceptsTypedValue(row, value)) {
            err << "vortimax-cli render: --set " << row.key << "=\"" << value
                << "\" is not allowed: " << row.key << " takes " << typedValueRange(row) << '\n';
            return false;
        }
        setByKey(block, key, value);
        // Values in range that the type still cannot calculate with.
        const bool ownParameter = &block.table() == &record.params().table();
        if (row.kind != ParamKind::Real || !ownParameter)
            continue;
        if (auto refused = refusedValue(record.type, row.key, block.real(row.key))) {
            err << "vortimax-cli render: --set " << row.key << "=\"" << value
                << "\" is not allowed: " << *refused << '\n';
            return false;
        }
    }
    return true;
}

// Only the options decide whether the picture is a relief and whatever filter it gets.
bool applyImageStages(FractalRecord& record, const RenderRequest& request, std::ostream& err) {
    const FractalTypeInfo* info = fractalType(record.type);
    if (request.relief && (info == nullptr || !info->has3D)) {
        err << "vortimax-cli render: " << registryName(record.type)
            << " has no 3D transformation\n";
        return false;
    }
    if (request.filter && request.relief) {
        err << "vortimax-cli render: --filter works on the flat image, not with --3d\n";
        return false;
    }
    if (request.filter && record.displayDepth != 24) {
        err << "vortimax-cli render: --filter needs a true-colour image (--depth 24)\n";
        return false;
    }
    record.dims = request.relief ? 1 : 0;
    // The anti-aliased copy is made once the image is finished.
    const int filter = request.filter.value_or(kFilterOriginal);
    record.imageFilter = filter == kFilterAntiAlias ? kFilterOriginal : filter;
    return true;
}

bool applyPalette(FractalRecord& record, PaletteList& palettes, const fs::path& path,
                  std::ostream& err) {
    std::optional<Palette> palette = readMapFile(path);
    if (!palette) {
        err << "vortimax-cli render: cannot read palette \"" << path.string() << "\"\n";
        return false;
    }
    // A map file given here may be in no palette directory: the fractal carries its
    // colours, unless a palette of the program has the same ones.
    palette->setStoredInMapFile(false);
    const Palette* existing = palettes.findDuplicate(*palette);
    const Palette& used =
        existing ? *existing : palettes.insertUnique(std::make_unique<Palette>(*palette));
    record.palName = used.name();
    return true;
}

// Progress on stderr for renders that take more than a second: percent done and rows per
// second, as a bar redrawn in place on a terminal, plain lines otherwise.
class ProgressReport {
public:
    ProgressReport(std::ostream& err, int rows, bool quiet)
        : err_(err), terminal_(isatty(STDERR_FILENO)), rows_(rows), quiet_(quiet) {}

    void show(double fraction) {
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
        if (quiet_ || seconds < 1.0)
            return;
        shown_ = true;
        const int percent = static_cast<int>(fraction * 100.0);
        const auto elapsed = static_cast<long>(seconds);
        const long rowsPerSecond = std::lround(fraction * rows_ / seconds);
        if (terminal_) {
            int filled = percent * 30 / 100;
            err_ << "\r[" << std::string(filled, '#') << std::string(30 - filled, ' ') << "] "
                 << percent << "%  " << elapsed / 60 << ':' << (elapsed % 60 < 10 ? "0" : "")
                 << elapsed % 60 << "  " << rowsPerSecond << " rows/s" << std::flush;
        } else if (percent >= nextLine_) {
            err_ << "render: " << percent << "% (" << elapsed << " s, " << rowsPerSecond
                 << " rows/s)\n";
            nextLine_ = percent / 10 * 10 + 10;
        }
    }
    void finish() {
        if (terminal_ && shown_)
            err_ << '\n';
    }

private:
    std::ostream& err_;
    bool terminal_;
    int rows_;
    bool quiet_;
    bool shown_ = false;
    int nextLine_ = 0;
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

// The types whose fractals name an entry of the formula, IFS or L-system libraries.
bool readsLibraries(std::uint32_t type) {
    return type == kTypeFormula || type == kTypeIfs || type == kTypeLSystem;
}

// Makes Formula, IFS and LSystem fractals calculable with the libraries of those
// directories.
void installFormulas(const std::vector<fs::path>& directories, FormulaLibraries& libraries,
                     ViewEnvironment& environment, Frontend& frontend) {
    std::atomic<bool> noAbort{false};
    Progress progress(noAbort);
    libraries.loadDirectories(directories, progress, frontend);
    libraries.installCalculations(environment.drivers, environment.hooks);
}

// Waits until `ended` says the open fractal's image is finished. Nothing when it is;
// otherwise the exit status, after the view was closed and the reason written.
std::optional<int> awaitImage(FractalRecord& record, ViewEnvironment& environment,
                              const std::function<bool()>& ended, const Interruption& interruption,
                              ProgressReport* progress, std::ostream& err) {
    FractalView& view = *record.view;
    for (int tick = 0; !ended(); ++tick) {
        if (interruption.signal() != 0) {
            if (progress != nullptr)
                progress->finish();
            err << "vortimax-cli render: interrupted; nothing written\n";
            closeView(record, false, environment);
            return interruption.exitStatus();
        }
        if (const CalculationFailure failure = view.failure(); failure.failed) {
            if (progress != nullptr)
                progress->finish();
            err << "vortimax-cli render: cannot calculate \"" << record.name
                << "\": " << failure.reason << '\n';
            closeView(record, false, environment);
            return kExitFailure;
        }
        if (progress != nullptr && tick % 10 == 0)
            progress->show(view.progress());
        std::this_thread::sleep_for(10ms);
    }
    return std::nullopt;
}

// Calculates the layers of a compound one after the other, at their own sizes (or the
// compound's when they have none); their views stay open for the compound to read.
std::optional<int> calculateLayers(const std::vector<FractalRecord*>& layers,
                                   ViewEnvironment& environment, const Interruption& interruption,
                                   std::ostream& err) {
    for (FractalRecord* layer : layers) {
        layer->staticImage = 0;
        if (openView(*layer, false, environment) != 0) {
            err << "vortimax-cli render: cannot open the layer \"" << layer->name << "\"\n";
            return kExitFailure;
        }
        const FractalView& view = *layer->view;
        const auto ended = [&view] { return view.finished() && view.commandWord() == calc::kIdle; };
        if (auto status = awaitImage(*layer, environment, ended, interruption, nullptr, err))
            return status;
    }
    return std::nullopt;
}

// The fractal's entry text; a region render names the whole image's size, so the tile
// carries the parameters of the image it is part of.
std::string wholeEntryText(FractalRecord& record, const PaletteList& palettes) {
    const int width = record.width, height = record.height;
    if (record.region) {
        record.width = record.region->fullWidth;
        record.height = record.region->fullHeight;
    }
    std::string text = withCrLf(parameterEntryText(record, std::nullopt, &palettes));
    record.width = width;
    record.height = height;
    return text;
}

// The half-size anti-aliased copy of a finished true-colour image, as the desktop
// program's linked copy holds it; the record then describes the copy (its size, no
// filter).
bool antiAliasedCopy(FractalRecord& record, const ImageBuffers& source, ImageBuffers& copy) {
    const HalfSize size = antiAliasSize(source.width, source.height);
    if (!allocateBuffers({size.width, size.height, 24, false, false, false, 24}, copy))
        return false;
    const BgrImage from{const_cast<std::uint8_t*>(source.pixels.data()), source.width,
                        source.height, source.rowLength};
    antiAliasInto(from, BgrImage{copy.pixels.data(), copy.width, copy.height, copy.rowLength},
                  source.values.data(), copy.values.data(), {});
    record.width = size.width;
    record.height = size.height;
    record.imageFilter = kFilterOriginal;
    return true;
}

// Listens for slaves and lets them calculate the fractal's rows.
bool startMaster(const std::shared_ptr<net::Master>& master, FractalRecord& record,
                 ViewEnvironment& environment, const RenderRequest& request, std::ostream& err) {
    if (!net::isNetworkType(record.type)) {
        err << "vortimax-cli render: " << registryName(record.type)
            << " fractals are not calculated over the network\n";
        return false;
    }
    if (!master->start(net::MasterOptions{request.port, request.bind}))
        return false;
    err << "master listening on port " << master->port() << std::endl;
    net::installNetworkDrivers(environment.drivers, master);
    record.networkMode = 1;
    return true;
}

// Opens the fractal on a calculation task, waits for the finished image and writes the
// files while the view still holds it. A compound's layers are calculated first.
int calculateAndWrite(FractalRecord& record, const std::vector<FractalRecord*>& layers,
                      PaletteList& palettes, const ProgramLibraries& libraries,
                      const RenderRequest& request, std::ostream& out, std::ostream& err) {
    ScriptedFrontend frontend;
    // Declared before the views' environment: its drivers refer to it until the end. Its
    // threads write their lines beside this thread's messages.
    auto master = std::make_shared<net::Master>([&err](const std::string& line) {
        err << line + '\n' << std::flush;
    });
    CalculationPool::shared().setThreadCount(
        request.threads.value_or(CalculationPool::hardwareThreads()));
    ViewEnvironment environment;
    environment.frontend = &frontend;
    installDrivers(environment.drivers);
    installColouring(environment.hooks);
    installImageStages(environment.hooks);
    installPaletteApplication(environment.hooks, palettes);
    // The worker says when a cycle has ended with the image finished: after the filter
    // and the relief, which follow the calculation itself.
    std::atomic<bool> cycleEnded{false};
    // Only the fractal itself counts, not the layers of a compound calculated before it.
    // The view's own record is compared: record.view is written by this thread meanwhile.
    environment.hooks.imageFinished = [&cycleEnded, &record](FractalView& finished) {
        if (&finished.record() == &record)
            cycleEnded.store(true);
    };
    FormulaLibraries formulas;
    if (readsLibraries(record.type) ||
        std::any_of(layers.begin(), layers.end(),
                    [](const FractalRecord* layer) { return readsLibraries(layer->type); }))
        installFormulas(libraries.formulaDirectories, formulas, environment, frontend);
    environment.defaultWidth = record.width;
    environment.defaultHeight = record.height;
    if (request.master && !startMaster(master, record, environment, request, err))
        return kExitFailure;
    // Ctrl-C or a kill ends the calculation and writes nothing. Once the calculation has
    // ended, the (short) writes finish first: each file is replaced in one step, so none
    // is ever left half-written.
    const Interruption interruption;
    if (auto status = calculateLayers(layers, environment, interruption, err))
        return *status;
    if (request.master && !master->waitForMembers(static_cast<std::size_t>(request.slaves),
                                                  [&] { return interruption.signal() != 0; })) {
        err << "vortimax-cli render: interrupted while waiting for slaves; nothing written\n";
        return interruption.exitStatus();
    }
    if (openView(record, false, environment) != 0) {
        for (const auto& box : frontend.messageBoxes())
            err << box.caption << ": " << box.text << '\n';
        return kExitFailure;
    }
    FractalView& view = *record.view;
    ProgressReport progress(err, record.height, request.quiet);
    const auto ended = [&cycleEnded] { return cycleEnded.load(); };
    if (auto status = awaitImage(record, environment, ended, interruption, &progress, err))
        return *status;
    progress.show(1.0);
    progress.finish();
    // Network mode was the way of calculating, not a parameter of the picture.
    if (request.master)
        record.networkMode = 0;
    int status = kExitSuccess;
    std::error_code error;
    const bool antiAliased = request.filter == kFilterAntiAlias;
    ImageBuffers halfSize;
    if (antiAliased && !antiAliasedCopy(record, view.buffers(), halfSize)) {
        err << "vortimax-cli render: not enough memory for the anti-aliased image\n";
        closeView(record, false, environment);
        return kExitFailure;
    }
    const ImageBuffers& shown = antiAliased ? halfSize : view.buffers();
    std::vector<PngText> regionText;
    if (record.region)
        regionText.push_back({std::string(kRegionTextKey), vortimax::regionText(*record.region)});
    PngWriteResult written = writeFractalPng(PngWriteSource{shown, view.colours, record.dims != 0},
                                             wholeEntryText(record, palettes), *request.output,
                                             nullptr, {}, &error, regionText);
    if (written != PngWriteResult::Written) {
        err << "vortimax-cli render: " << cannotWriteText(*request.output, error) << '\n';
        status = kExitFailure;
    } else {
        out << "wrote " << request.output->string() << " (" << record.width << "x" << record.height
            << ")\n";
    }
    if (request.values && !writeValuesNpy(shown, *request.values, &error)) {
        err << "vortimax-cli render: " << cannotWriteText(*request.values, error) << '\n';
        status = kExitFailure;
    }
    closeView(record, false, environment);
    // The calculation's own time, last, for scripts and benchmarks to read.
    out << "calculated in " << record.calcTime << " ms\n";
    return status;
}

// Makes the fractal calculate only the rectangle of its --size image. Only fractals whose
// pixels are calculated each by itself give a region that equals the whole image there.
bool restrictToRegion(FractalRecord& record, const std::array<int, 4>& rectangle, bool filtered,
                      std::ostream& err) {
    const ImageRegion region{rectangle[0], rectangle[1], rectangle[2],
                             rectangle[3], record.width, record.height};
    if (!isInsideWholeImage(region)) {
        err << "vortimax-cli render: --region " << region.x << ',' << region.y << ','
            << region.width << ',' << region.height << " does not lie inside the " << record.width
            << 'x' << record.height << " image\n";
        return false;
    }
    std::string_view whole;
    if (!typeRendersRegions(record.type))
        whole = "its pixels depend on each other";
    else if (record.dims != 0)
        whole = "its 3D relief depends on neighbouring pixels";
    else if (record.imageFilter != 0 || filtered)
        whole = "its image filter depends on neighbouring pixels";
    if (!whole.empty()) {
        err << "vortimax-cli render: --region cannot render a part of this "
            << registryName(record.type) << " fractal (" << whole
            << "); render the whole image instead\n";
        return false;
    }
    record.region = region;
    record.width = region.width;
    record.height = region.height;
    return true;
}

// Refuses, before anything is allocated, an image whose buffers the machine cannot hold,
// and says how to render it in pieces instead.
bool fitsInMemory(const FractalRecord& record, std::ostream& err) {
    const std::size_t needed = bufferBytes(bufferLayoutFor(record, 24));
    const std::optional<std::size_t> available = availableMemoryBytes();
    if (!available || needed <= *available)
        return true;
    err << "vortimax-cli render: a " << record.width << 'x' << record.height
        << " image of this fractal needs " << megabytes(needed)
        << " MB of memory, and this machine has " << megabytes(*available)
        << " MB available; render it in pieces with --region and join them with stitch "
           "(vortimax-cli tiles prints the commands)\n";
    return false;
}

} // namespace

int runRender(std::span<const std::string_view> args, std::ostream& out, std::ostream& err) {
    auto request = parseArguments(args, err);
    if (!request)
        return kExitUsage;
    const std::optional<ProgramLibraries> libraries = findProgramLibraries(request->dir, err);
    if (!libraries)
        return kExitFailure;
    LoadedFiles files;
    loadPalettes(*libraries, files.palettes(), files.frontend());
    auto subject = buildSubject(files, *request, err);
    if (!subject)
        return kExitFailure;
    FractalRecord& record = *subject->record;
    const bool fromImage = request->source.size() == 1 && isImagePath(request->source[0]);
    if (request->size || !fromImage) {
        record.width = request->size ? request->size->first : kDefaultWidth;
        record.height = request->size ? request->size->second : kDefaultHeight;
    }
    if (request->depth)
        record.displayDepth = *request->depth;
    record.trueColourOn8Bit = 0;
    record.staticImage = 0;
    if (!applySettings(record, *request, err) || !applyImageStages(record, *request, err))
        return kExitUsage;
    if (request->palette && !applyPalette(record, files.palettes(), *request->palette, err))
        return kExitFailure;
    const bool filtered = request->filter.value_or(kFilterOriginal) != kFilterOriginal;
    if (request->region && !restrictToRegion(record, *request->region, filtered, err))
        return kExitUsage;
    if (!fitsInMemory(record, err))
        return kExitFailure;
    std::vector<FractalRecord*> layers;
    if (record.type == kTypeCompound) {
        auto prepared = prepareLayers(files, record, err);
        if (!prepared)
            return kExitFailure;
        layers = std::move(*prepared);
    }
    if (!request->master)
        return calculateAndWrite(record, layers, files.palettes(), *libraries, *request, out, err);
    LockedStreamBuf lockedBuffer(err);
    std::ostream lockedErr(&lockedBuffer);
    return calculateAndWrite(record, layers, files.palettes(), *libraries, *request, out,
                             lockedErr);
}

} // namespace vortimax::cli
