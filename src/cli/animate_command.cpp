#include "cli/animate_command.h"

#include "animation/anim_file.h"
#include "animation/frame_interpolator.h"
#include "animation/frame_names.h"
#include "animation/key_layers.h"
#include "animation/key_list.h"
#include "animation/palette_interpolation.h"
#include "animation/png_frame_sink.h"
#include "animation/video_frame_sink.h"
#include "app/formula_libraries.h"
#include "app/scripted_frontend.h"
#include "base/text_io.h"
#include "cli/exit_codes.h"
#include "cli/interruption.h"
#include "cli/layer_entries.h"
#include "cli/loaded_files.h"
#include "cli/program_libraries.h"
#include "model/calculation_pool.h"
#include "model/folder.h"
#include "model/fractal_view.h"
#include "model/type_registry.h"
#include "palette/palette_application.h"
#include "parfile/entry_writer.h"
#include "render/colour/colouring_hooks.h"
#include "render/drivers.h"
#include "render/image_stages.h"
#include "video/video_options.h"

#include <algorithm>
#include <atomic>
#include <charconv>
#include <chrono>
#include <cmath>
#include <optional>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

namespace vortimax::cli {

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

constexpr std::string_view kUsage =
    "animate (FILE | --key PARFILE ENTRY --key PARFILE ENTRY ... [--gap N]) [--frames A-B] "
    "[--size WxH] [--format png|avi|mp4] [--codec dib|mjpeg|ffv1|h264] [--dir DIR] [--threads N] "
    "[--quiet] -o OUT";
constexpr int kDefaultWidth = 640;
constexpr int kDefaultHeight = 480;
// The palette every frame is coloured with, replaced frame by frame.
constexpr std::string_view kFramePaletteName = "(animation frame)";

struct KeyEntry {
    std::string_view file;
    std::string_view entry;
};

struct AnimateRequest {
    std::optional<std::string_view> file;
    std::vector<KeyEntry> keys;
    std::optional<double> gap;
    std::optional<std::pair<std::int64_t, std::int64_t>> frames;
    std::optional<std::pair<int, int>> size;
    std::optional<fs::path> dir;
    std::optional<int> threads;
    bool quiet = false;
    std::optional<fs::path> output;
    std::string_view format = "png";
    std::optional<std::string_view> codec;
    std::optional<VideoSettings> video; // set for --format avi|mp4
};

std::optional<std::int64_t> wholeNumber(std::string_view text, std::int64_t highest) {
    if (text.empty() || text.size() > 18 ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    std::int64_t value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    if (value > highest)
        return std::nullopt;
    return value;
}

std::optional<std::pair<int, int>> parseSize(std::string_view text) {
    const auto cross = text.find('x');
    if (cross == std::string_view::npos)
        return std::nullopt;
    const auto w = wholeNumber(text.substr(0, cross), kMaxImageSide);
    const auto h = wholeNumber(text.substr(cross + 1), kMaxImageSide);
    if (!w || !h || *w < 1 || *h < 1)
        return std::nullopt;
    return std::pair{static_cast<int>(*w), static_cast<int>(*h)};
}

// "A-B" with 1 <= A <= B.
std::optional<std::pair<std::int64_t, std::int64_t>> parseFrames(std::string_view text) {
    const auto dash = text.find('-');
    if (dash == std::string_view::npos)
        return std::nullopt;
    constexpr std::int64_t kMost = 2147483647;
    const auto first = wholeNumber(text.substr(0, dash), kMost);
    const auto last = wholeNumber(text.substr(dash + 1), kMost);
    if (!first || !last || *first < 1 || *last < *first)
        return std::nullopt;
    return std::pair{*first, *last};
}

// A gap: a finite decimal number; whether it is at least 1 is checked by the caller.
std::optional<double> parseGap(std::string_view text) {
    double value = 0.0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

bool fail(std::ostream& err, std::string_view text) {
    err << "vortimax-cli animate: " << text << '\n';
    return false;
}

bool parseOption(std::span<const std::string_view> args, std::size_t& i, AnimateRequest& request,
                 std::ostream& err) {
    const std::string_view arg = args[i];
    const bool hasValue = i + 1 < args.size();
    if (arg == "--key") {
        if (i + 2 >= args.size())
            return fail(err, "--key needs a parameter file and an entry name");
        request.keys.push_back({args[i + 1], args[i + 2]});
        i += 2;
    } else if (arg == "--quiet") {
        request.quiet = true;
    } else if (!hasValue) {
        return fail(err, std::string(arg) + " needs a value");
    } else if (arg == "-o") {
        request.output = fs::path(args[++i]);
    } else if (arg == "--dir") {
        request.dir = fs::path(args[++i]);
    } else if (arg == "--gap") {
        request.gap = parseGap(args[++i]);
        if (!request.gap || *request.gap < kMinimumGap)
            return fail(err, "--gap \"" + std::string(args[i]) +
                                 "\" is not allowed: the number of frames between two keys "
                                 "must be a number of at least 1");
    } else if (arg == "--frames") {
        request.frames = parseFrames(args[++i]);
        if (!request.frames)
            return fail(err, "--frames \"" + std::string(args[i]) +
                                 "\" is not A-B with whole numbers 1 <= A <= B");
    } else if (arg == "--size") {
        request.size = parseSize(args[++i]);
        if (!request.size)
            return fail(err, "--size \"" + std::string(args[i]) +
                                 "\" is not WxH with each side a whole number from 1 to " +
                                 std::to_string(kMaxImageSide));
    } else if (arg == "--threads") {
        const auto threads = wholeNumber(args[++i], CalculationPool::kMostThreads);
        if (!threads || *threads < 1)
            return fail(err, "--threads needs a number from 1 to " +
                                 std::to_string(CalculationPool::kMostThreads));
        request.threads = static_cast<int>(*threads);
    } else if (arg == "--format") {
        request.format = args[++i];
    } else if (arg == "--codec") {
        request.codec = args[++i];
    } else {
        return fail(err, "unknown option \"" + std::string(arg) + "\"");
    }
    return true;
}

// PNG files, or a video of the asked-for container and codec.
bool chooseOutputFormat(AnimateRequest& request, std::ostream& err) {
    if (request.format == "png") {
        if (request.codec)
            return fail(err, "--codec goes with --format avi or mp4");
        return true;
    }
    if (request.format != "avi" && request.format != "mp4")
        return fail(err, "--format is png, avi or mp4");
    VideoSettings settings;
    std::string error;
    if (!videoSettingsFromOptions(request.format, request.codec.value_or(""), settings, error))
        return fail(err, error);
    request.video = settings;
    return true;
}

std::optional<AnimateRequest> parseArguments(std::span<const std::string_view> args,
                                             std::ostream& err) {
    AnimateRequest request;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (!args[i].starts_with("-")) {
            if (request.file) {
                err << "usage: vortimax-cli " << kUsage << '\n';
                return std::nullopt;
            }
            request.file = args[i];
        } else if (!parseOption(args, i, request, err)) {
            return std::nullopt;
        }
    }
    if (!request.output || request.file.has_value() == !request.keys.empty()) {
        err << "usage: vortimax-cli " << kUsage << '\n';
        return std::nullopt;
    }
    if (request.file && request.gap) {
        fail(err, "--gap goes with --key; an animation data file gives its own gaps");
        return std::nullopt;
    }
    if (!chooseOutputFormat(request, err))
        return std::nullopt;
    return request;
}

// The keys and settings of the animation, owned here.
struct Animation {
    AnimData data;
    std::unique_ptr<Folder> folder;
    std::vector<std::unique_ptr<FractalRecord>> owned; // keys read from an animation file
    std::vector<std::vector<std::unique_ptr<FractalRecord>>> ownedLayers; // and their layers
    std::vector<const FractalRecord*> keys;
    std::vector<std::vector<const FractalRecord*>> layers; // layers[j]: those of key j
};

std::optional<Animation> fromAnimationFile(std::string_view file, PaletteList& palettes,
                                           Frontend& frontend, std::ostream& err) {
    std::string refusal;
    auto loaded = loadAnimationFile(fs::path(file), palettes, frontend, nullptr, {}, &refusal);
    if (!loaded) {
        fail(err, refusal);
        return std::nullopt;
    }
    for (const std::string& problem : loaded->problems)
        err << file << ": " << problem << '\n';
    if (!loaded->hasSettings) {
        fail(err, "\"" + std::string(file) + "\" holds no " + std::string(kAnimSettingsEntryName) +
                      " entry: it is not an animation data file");
        return std::nullopt;
    }
    Animation animation;
    animation.data = loaded->data;
    animation.owned = std::move(loaded->keys);
    animation.ownedLayers = std::move(loaded->layers);
    for (const auto& key : animation.owned)
        animation.keys.push_back(key.get());
    for (const auto& layers : animation.ownedLayers) {
        animation.layers.emplace_back();
        for (const auto& layer : layers)
            animation.layers.back().push_back(layer.get());
    }
    return animation;
}

std::optional<Animation> fromEntries(const AnimateRequest& request, LoadedFiles& files,
                                     Frontend& frontend, std::ostream& err) {
    Animation animation;
    animation.folder = std::make_unique<Folder>("Animation", FolderKind::Animation, fs::path());
    for (const KeyEntry& named : request.keys) {
        if (!files.load(fs::path(named.file), err))
            return std::nullopt;
        LoadedEntry* entry = files.find(named.entry);
        if (entry == nullptr) {
            fail(err, "no entry \"" + std::string(named.entry) + "\" in \"" +
                          std::string(named.file) + "\"");
            return std::nullopt;
        }
        const bool parsed = files.parse(*entry);
        for (const std::string& problem : entry->problems)
            err << named.file << ": " << problem << '\n';
        if (!parsed)
            return std::nullopt;
        // A compound's layers are read from its file; the key takes copies of them.
        if (entry->record->type == kTypeCompound && !prepareLayers(files, *entry->record, err))
            return std::nullopt;
        if (request.gap)
            entry->record->numFrames = *request.gap;
        if (!addKey(*animation.folder, animation.data, *entry->record,
                    animationKeys(*animation.folder).size(), frontend, {})) {
            fail(err, "the key \"" + std::string(named.entry) + "\" was refused");
            return std::nullopt;
        }
    }
    animation.data.width = kDefaultWidth;
    animation.data.height = kDefaultHeight;
    animation.keys = constKeys(animationKeys(*animation.folder));
    animation.layers = layersOfKeys(animation.keys);
    return animation;
}

// A file name part made of the animation's name: no directory separators, never empty.
std::string safeName(std::string name) {
    for (char& c : name)
        if (c == '/' || c == '\\' || static_cast<unsigned char>(c) < 32)
            c = '_';
    if (name.empty() || name == "." || name == "..")
        return "Animation";
    return name;
}

bool readsLibraries(std::uint32_t type) {
    return type == kTypeFormula || type == kTypeIfs || type == kTypeLSystem;
}

// Whether the keys or any of their layers read the formula libraries.
bool animationReadsLibraries(const Animation& animation) {
    if (readsLibraries(animation.keys.front()->type))
        return true;
    return !animation.layers.empty() &&
           std::any_of(animation.layers.front().begin(), animation.layers.front().end(),
                       [](const FractalRecord* layer) { return readsLibraries(layer->type); });
}

// What every frame's calculation shares: the drivers, colouring and libraries.
class FrameRenderer {
public:
    FrameRenderer(PaletteList& palettes, const ProgramLibraries& libraries, bool withLibraries,
                  Frontend& frontend) {
        environment_.frontend = &frontend;
        installDrivers(environment_.drivers);
        installColouring(environment_.hooks);
        installImageStages(environment_.hooks);
        installPaletteApplication(environment_.hooks, palettes);
        environment_.hooks.imageFinished = [this](FractalView& finished) {
            if (&finished.record() == current_.load())
                ended_.store(true);
        };
        if (withLibraries) {
            std::atomic<bool> noAbort{false};
            Progress progress(noAbort);
            formulas_.loadDirectories(libraries.formulaDirectories, progress, frontend);
            formulas_.installCalculations(environment_.drivers, environment_.hooks);
        }
    }

    // Calculates the frame; the view stays open for the caller to write. Nothing when the
    // image is finished, otherwise the exit status (the view is then closed).
    std::optional<int> calculate(FractalRecord& frame, const Interruption& interruption,
                                 std::ostream& err) {
        ended_.store(false);
        current_.store(&frame);
        environment_.defaultWidth = frame.width;
        environment_.defaultHeight = frame.height;
        if (openView(frame, false, environment_) != 0) {
            fail(err, "cannot open the frame \"" + frame.name + "\"");
            return kExitFailure;
        }
        while (!ended_.load()) {
            if (interruption.signal() != 0) {
                err << "vortimax-cli animate: interrupted\n";
                close(frame);
                return interruption.exitStatus();
            }
            if (const CalculationFailure failure = frame.view->failure(); failure.failed) {
                fail(err, "cannot calculate \"" + frame.name + "\": " + failure.reason);
                close(frame);
                return kExitFailure;
            }
            std::this_thread::sleep_for(5ms);
        }
        return std::nullopt;
    }
    void close(FractalRecord& frame) { closeView(frame, false, environment_); }

private:
    ViewEnvironment environment_;
    FormulaLibraries formulas_;
    std::atomic<const FractalRecord*> current_{nullptr};
    std::atomic<bool> ended_{false};
};

// Puts the frame's interpolated palette into the list under the frame palette's name.
void useFramePalette(FractalRecord& frame, FramePalette framePalette, PaletteList& palettes) {
    if (Palette* previous = palettes.find(kFramePaletteName))
        palettes.remove(*previous);
    auto palette = std::make_unique<Palette>(std::move(framePalette.palette));
    palette->setName(kFramePaletteName);
    frame.palName = palettes.insertUnique(std::move(palette)).name();
    frame.palOffset = framePalette.offset;
    frame.palNameAnim.clear();
    frame.palOffsetAnim = 0.0;
}

struct FrameRange {
    std::int64_t first = 1;
    std::int64_t last = 0;
};

std::optional<FrameRange> frameRange(const AnimateRequest& request, const AnimData& data,
                                     std::int64_t total, std::ostream& err) {
    FrameRange range{std::max<std::int64_t>(1, data.startFrame), total};
    if (request.frames) {
        range = {request.frames->first, request.frames->second};
        if (range.last > total) {
            fail(err, "--frames " + std::to_string(range.first) + "-" + std::to_string(range.last) +
                          " reaches beyond the last frame, " + std::to_string(total));
            return std::nullopt;
        }
    }
    if (range.first > range.last) {
        fail(err, "no frames to make: the animation has " + std::to_string(total));
        return std::nullopt;
    }
    return range;
}

// Checks the keys and the frames they give. False with the reason on `err`.
bool usableKeys(const Animation& animation, std::ostream& err) {
    if (animation.keys.size() < 2)
        return fail(err, "There must be at least two AnimKeys to create an animation...");
    const KeyTimeline timeline([&] {
        std::vector<double> gaps;
        for (const FractalRecord* key : animation.keys)
            gaps.push_back(key->numFrames);
        return gaps;
    }());
    if (auto shortGap = timeline.firstShortGap())
        return fail(err, "the gap before key \"" + animation.keys[*shortGap]->name +
                             "\" is below 1: every key must lie at least one frame after "
                             "the one before it");
    if (animation.data.width < 1 || animation.data.height < 1 ||
        animation.data.width > kMaxImageSide || animation.data.height > kMaxImageSide)
        return fail(err, "the frame size " + std::to_string(animation.data.width) + "x" +
                             std::to_string(animation.data.height) + " is not allowed; use --size");
    return true;
}

// The frame output: numbered PNG files in the folder OUT (made when missing), or the video
// file OUT (its folder made when missing).
std::unique_ptr<FrameSink> makeSink(const AnimateRequest& request, const std::string& name,
                                    Frontend& frontend, std::ostream& err) {
    const fs::path folder = request.video ? request.output->parent_path() : *request.output;
    std::error_code error;
    if (!folder.empty())
        fs::create_directories(folder, error);
    if (!folder.empty() && !fs::is_directory(folder)) {
        fail(err, "cannot make the folder \"" + folder.string() + "\"");
        return nullptr;
    }
    if (request.video)
        return std::make_unique<VideoFrameSink>(*request.output, *request.video, frontend);
    return std::make_unique<PngFrameSink>(*request.output, name, frontend);
}

// A compound frame's layer fractals are calculated first, at their own sizes (the
// frame's when they have none), and stay open for the compound to read.
std::optional<int> calculateWithLayers(FrameRenderer& renderer, FractalRecord& frame,
                                       const std::vector<std::unique_ptr<FractalRecord>>& layers,
                                       const Interruption& interruption, std::ostream& err) {
    std::vector<FractalRecord*> linked;
    for (std::size_t k = 0; k < layers.size(); ++k) {
        FractalRecord& layer = *layers[k];
        layer.staticImage = 0;
        layer.trueColourOn8Bit = 0;
        if (layer.width < 1 || layer.height < 1) {
            layer.width = frame.width;
            layer.height = frame.height;
        }
        const auto failed = renderer.calculate(layer, interruption, err);
        for (std::size_t done = 0; failed && done < k; ++done)
            renderer.close(*layers[done]);
        if (failed)
            return failed;
        linked.push_back(&layer);
    }
    linkFrameLayers(frame, linked);
    for (std::size_t k = 0; k < linked.size(); ++k)
        frame.layers[k] = linked[k];
    const auto failed = renderer.calculate(frame, interruption, err);
    if (failed)
        for (FractalRecord* layer : linked)
            renderer.close(*layer);
    return failed;
}

int makeFrames(Animation& animation, const AnimateRequest& request, PaletteList& palettes,
               const ProgramLibraries& libraries, ScriptedFrontend& frontend, std::ostream& out,
               std::ostream& err) {
    FrameInterpolator interpolator(animation.keys, animation.data);
    const auto range =
        frameRange(request, animation.data, interpolator.timeline().totalFrames(), err);
    if (!range)
        return kExitUsage;
    const std::string name = safeName(animation.data.name);
    const std::unique_ptr<FrameSink> sink = makeSink(request, name, frontend, err);
    if (!sink || !sink->open(animation.data))
        return kExitFailure;
    CalculationPool::shared().setThreadCount(
        request.threads.value_or(CalculationPool::hardwareThreads()));
    FrameRenderer renderer(palettes, libraries, animationReadsLibraries(animation), frontend);
    LayerFrames layerLists(animation.keys, animation.layers, animation.data, {});
    const Interruption interruption;
    int status = kExitSuccess;
    const auto started = std::chrono::steady_clock::now();
    for (std::int64_t f = range->first; f <= range->last; ++f) {
        auto frame = interpolator.createFrame(f, name + std::to_string(f), {});
        if (!frame)
            break;
        frame->staticImage = 0;
        frame->trueColourOn8Bit = 0;
        useFramePalette(*frame,
                        interpolatePalette(animation.keys, animation.data, f, palettes, false),
                        palettes);
        const auto layers = layerLists.createLayers(f, {});
        if (auto failed = calculateWithLayers(renderer, *frame, layers, interruption, err)) {
            sink->close();
            return *failed;
        }
        const std::string text = withCrLf(parameterEntryText(*frame, std::nullopt, &palettes));
        const FrameImage image{*frame, frame->view->buffers(), frame->view->colours,
                               frame->dims != 0, text};
        const FrameWriteResult written = sink->write(image, f);
        renderer.close(*frame);
        for (const auto& layer : layers)
            renderer.close(*layer);
        frontend.clearCalls(); // what was shown went to the standard error already
        if (written != FrameWriteResult::Written)
            status = kExitFailure;
        else if (!request.quiet && !request.video)
            out << "wrote " << pngFramePath(*request.output, name, f).string() << '\n';
        if (written == FrameWriteResult::Stopped)
            break;
    }
    sink->close();
    if (request.video && status == kExitSuccess && !request.quiet)
        out << "wrote " << request.output->string() << '\n';
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    const std::int64_t frames = range->last - range->first + 1;
    out << frames << " frames (" << range->first << "-" << range->last << ") of "
        << interpolator.timeline().totalFrames() << " in " << seconds << " s, "
        << (seconds > 0 ? frames / seconds : 0.0) << " frames/s\n";
    return status;
}

} // namespace

int runAnimate(std::span<const std::string_view> args, std::ostream& out, std::ostream& err) {
    auto request = parseArguments(args, err);
    if (!request)
        return kExitUsage;
    const std::optional<ProgramLibraries> libraries = findProgramLibraries(request->dir, err);
    if (!libraries)
        return kExitFailure;
    LoadedFiles files;
    ScriptedFrontend& frontend = files.frontend();
    loadPalettes(*libraries, files.palettes(), frontend);
    frontend.setEcho(&err);
    auto animation = request->file
                         ? fromAnimationFile(*request->file, files.palettes(), frontend, err)
                         : fromEntries(*request, files, frontend, err);
    if (!animation)
        return kExitFailure;
    if (request->size) {
        animation->data.width = request->size->first;
        animation->data.height = request->size->second;
    }
    if (!usableKeys(*animation, err))
        return kExitFailure;
    return makeFrames(*animation, *request, files.palettes(), *libraries, frontend, out, err);
}

} // namespace vortimax::cli
