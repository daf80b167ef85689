#include "model/fractal_view.h"

#include "base/frontend.h"
#include "model/folder.h"
#include "model/pass_scheme.h"
#include "model/undo_history.h"

#include <algorithm>
#include <cfenv>
#include <cstdio>
#include <iterator>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace vortimax {

namespace {

using namespace std::chrono_literals;

constexpr auto kPostPoll = 20ms;
constexpr auto kWorkerPoll = 10ms;
constexpr auto kResizeLockPoll = 10ms;

std::atomic<int> nextViewId{1};

bool isTierazon(std::uint32_t type) {
    return type == kTypeTieraJulia || type == kTypeTieraMandel;
}

// A dynamic system's picture is drawn into the bitmap, not coloured from values: it keeps
// no values to colour again, and its bitmap is the only copy of the picture.
bool drawnPicture(std::uint32_t type) {
    return type == kTypeDynamicSystem;
}

// IFS and L-system figures are drawn in palette colours and keep no values to colour
// again from.
bool drawsFigures(std::uint32_t type) {
    return type == kTypeIfs || type == kTypeLSystem;
}

// The commands after which the worker may write the view's values, pixels or 3D image.
constexpr std::uint32_t kImageWritingCommands[] = {calc::kCalculate, calc::kResume, calc::kContinue,
                                                   calc::kRedraw, calc::kFilter};

// Defined with the main-thread operations below.
void linkOverlay(FractalView& view);

bool writesImage(std::uint32_t command) {
    return std::find(std::begin(kImageWritingCommands), std::end(kImageWritingCommands), command) !=
           std::end(kImageWritingCommands);
}

} // namespace

BufferLayout bufferLayoutFor(const FractalRecord& record, int screenDepth) {
    BufferLayout layout;
    layout.width = record.width;
    layout.height = record.height;
    layout.displayDepth = record.displayDepth == 24 ? 24 : 8;
    layout.trueColourOn8Bit = record.trueColourOn8Bit != 0;
    layout.tierazon = isTierazon(record.type);
    layout.dims = record.dims != 0;
    layout.screenDepth = screenDepth;
    return layout;
}

// The worker thread's side of the command protocol.
class ViewWorker {
public:
    explicit ViewWorker(FractalView& view) : view_(view), word_(view.command_) {}

    void run() {
        // Calculations rely on infinities and NaN, never on traps.
        fedisableexcept(FE_ALL_EXCEPT);
        // A mild nice keeps an interface responsive without starving the calculation
        // on a busy machine.
        if (const int nice = view_.environment_.workerNice; nice > 0)
            setpriority(PRIO_PROCESS, static_cast<id_t>(syscall(SYS_gettid)), nice);
        if (waitForStart())
            mainLoop();
        view_.workerEnded_.store(true);
        word_.store(calc::kTerminated);
    }

private:
    // Takes back a command by writing the acknowledgement, unless the main thread has
    // written a newer command meanwhile: that one must not be lost.
    void acknowledge(std::uint32_t command, std::uint32_t answer) {
        word_.compare_exchange_strong(command, answer);
    }

    bool waitForStart() {
        for (;;) {
            std::uint32_t command = word_.load();
            if (command == calc::kStart) {
                acknowledge(command, calc::kIdle);
                return true;
            }
            // A close before the start must still end the worker.
            if (command == calc::kTerminate)
                return false;
            if (command == calc::kPause)
                acknowledge(command, calc::kPaused);
            else if (command != calc::kIdle && command != calc::kPaused)
                acknowledge(command, calc::kIdle);
            std::this_thread::sleep_for(kWorkerPoll);
        }
    }

    void mainLoop() {
        for (;;) {
            const std::uint32_t command = word_.load();
            if (command == calc::kTerminate)
                return;
            if (command == calc::kIdle || command == calc::kPaused) {
                std::this_thread::sleep_for(kWorkerPoll);
                continue;
            }
            runCommand(command);
            if (word_.load() == calc::kIdle && view_.finished_.load()) {
                if (const auto& hook = hooks().imageFinished)
                    hook(view_);
            }
        }
    }

    // Every command but a pause may write the image: it runs holding the image lock,
    // taken before the command is acknowledged, so a compound never reads it meanwhile.
    void runCommand(std::uint32_t command) {
        const std::uint32_t job = effectiveCommand(command);
        std::unique_lock image(view_.imageMutex_, std::defer_lock);
        if (job != calc::kPause)
            image.lock();
        switch (job) {
        case calc::kPause:
            acknowledge(command, calc::kPaused);
            break;
        case calc::kCalculate:
        case calc::kResume:
            calculate(command, job);
            break;
        case calc::kContinue:
            continueImage(command);
            break;
        case calc::kRedraw:
            redraw(command);
            break;
        case calc::kFilter:
            acknowledge(command, calc::kIdle);
            if (!isStatic())
                applyFilter();
            break;
        default: // start and anything unknown
            acknowledge(command, calc::kIdle);
            break;
        }
    }

    // A redraw of an unfinished image, or of one that has no values, becomes a
    // calculation, and so does a filter of an unfinished image. A finished drawn picture
    // has no values but needs none: its redraw leaves it as it is. The figure types draw
    // their palette colours straight into the bitmap: a redraw draws them anew.
    std::uint32_t effectiveCommand(std::uint32_t command) const {
        const bool finished = view_.finished_.load();
        const ImageBuffers& buffers = view_.buffers_;
        const std::uint32_t type = view_.record_.type;
        const bool noValues = buffers.values.empty() || buffers.values[0] == 0.0f;
        const bool lacksValues = (noValues && !drawnPicture(type)) || drawsFigures(type);
        if (command == calc::kRedraw && (!finished || lacksValues))
            return calc::kResume;
        if (command == calc::kFilter && !finished)
            return calc::kResume;
        return command;
    }

    void calculate(std::uint32_t command, std::uint32_t job) {
        view_.lastJob_ = static_cast<int>(job);
        if (job == calc::kCalculate)
            view_.buffers_.clearValues();
        clearFailure();
        acknowledge(command, calc::kIdle);
        view_.finished_.store(false);
        bool ran = runDriver();
        view_.appliedFilter = 0;
        if (ran && stillUndisturbed())
            completeImage();
    }

    void continueImage(std::uint32_t command) {
        clearFailure();
        acknowledge(command, calc::kIdle);
        if (!view_.finished_.load()) {
            if (!runDriver() || !stillUndisturbed())
                return;
        }
        completeImage();
    }

    void redraw(std::uint32_t command) {
        acknowledge(command, calc::kIdle);
        FractalRecord& record = view_.record_;
        if (record.dims != 0 && view_.buffers_.has3D()) {
            bool drawOnly = record.settings3D().integer("Drawmode") != 0;
            if (!drawOnly && !isStatic() && hooks().transform3D) {
                std::lock_guard pixels(view_.pixelMutex_);
                hooks().transform3D(view_);
            }
            view_.done3D_.store(true);
            return;
        }
        bool recoloured = true;
        if (!isStatic() && !drawnPicture(record.type))
            recoloured = recolourImage(view_);
        view_.appliedFilter = 0;
        view_.finished_.store(true);
        if (recoloured && stillUndisturbed())
            applyFilterIfChosen();
        view_.progress_.store(1.0);
        run3D();
    }

    // Runs the type's driver over the whole image plus the spare column. False when the
    // calculation failed: the type has no driver, or the driver reported why it could
    // not calculate.
    bool runDriver() {
        FractalRecord& record = view_.record_;
        if (isStatic())
            return true;
        CalculationDriver driver =
            record.type < kFractalTypeCount ? view_.environment_.drivers[record.type] : nullptr;
        if (driver == nullptr) {
            view_.reportFailure(noCalculationText(registryName(record.type)));
            return false;
        }
        const auto start = std::chrono::steady_clock::now();
        driver(view_, 0, 0, record.width, record.height - 1);
        const auto spent = std::chrono::steady_clock::now() - start;
        record.calcTime = static_cast<std::uint32_t>(
            std::chrono::duration_cast<std::chrono::milliseconds>(spent).count());
        return !view_.failure().failed;
    }

    void clearFailure() {
        std::lock_guard lock(view_.failureMutex_);
        CalculationFailure& failure = view_.failure_;
        if (failure.failed) {
            failure.failed = false;
            failure.reason.clear();
            ++failure.serial;
        }
    }

    bool stillUndisturbed() const {
        const std::uint32_t word = word_.load();
        return word == calc::kIdle || word == calc::kContinue;
    }

    void completeImage() {
        view_.progress_.store(1.0);
        view_.finished_.store(true);
        applyFilterIfChosen();
        run3D();
    }

    void applyFilterIfChosen() {
        const int filter = view_.record_.imageFilter;
        if (filter >= 1 && filter <= 6 && !isStatic())
            applyFilter();
    }

    void applyFilter() {
        if (hooks().applyFilter) {
            std::lock_guard pixels(view_.pixelMutex_);
            hooks().applyFilter(view_);
        }
        view_.progress_.store(1.0);
    }

    void run3D() {
        if (view_.record_.dims == 0 || !view_.buffers_.has3D() || isStatic())
            return;
        if (hooks().transform3D) {
            std::lock_guard pixels(view_.pixelMutex_);
            hooks().transform3D(view_);
        }
        view_.done3D_.store(true);
    }

    bool isStatic() const { return view_.record_.staticImage != 0; }
    const ViewHooks& hooks() const { return view_.environment_.hooks; }

    FractalView& view_;
    std::atomic<std::uint32_t>& word_;
};

FractalView::FractalView(FractalRecord& record, ViewEnvironment& environment)
    : record_(record), environment_(environment), undo_(std::make_unique<UndoHistory>()),
      id_(nextViewId.fetch_add(1)) {
    takeSnapshot();
}

FractalView::~FractalView() {
    if (worker_.joinable()) {
        post(calc::kTerminate, calc::kTerminated);
        worker_.join();
    }
}

void FractalView::startWorker() {
    worker_ = std::thread([this] { ViewWorker(*this).run(); });
}

void FractalView::post(std::uint32_t command, std::uint32_t expected) {
    if (workerEnded_.load())
        return;
    if (writesImage(command)) {
        linkOverlay(*this);
        pauseViewsReading(*this);
    }
    command_.store(command);
    while (command_.load() != expected && !workerEnded_.load())
        std::this_thread::sleep_for(kPostPoll);
}

void FractalView::reportFailure(std::string reason) {
    progress_.store(0.0);
    std::lock_guard lock(failureMutex_);
    failure_.failed = true;
    failure_.reason = std::move(reason);
    ++failure_.serial;
}

CalculationFailure FractalView::failure() const {
    std::lock_guard lock(failureMutex_);
    return failure_;
}

bool FractalView::mustStop() {
    std::uint32_t command = command_.load();
    if (command == calc::kIdle)
        return false;
    if (command == calc::kContinue) {
        command_.compare_exchange_strong(command, calc::kIdle);
        return false;
    }
    return true;
}

void FractalView::takeSnapshot() {
    paramSnapshot = record_.paramBlock;
    settings3DSnapshot = record_.settings3DBlock;
    snapshotType = record_.type;
    snapshotSubtype = record_.subtype;
}

void FractalView::lockResize() {
    for (;;) {
        std::int32_t expected = 0;
        if (record_.resizeLock.compare_exchange_strong(expected, 1))
            return;
        std::this_thread::sleep_for(kResizeLockPoll);
    }
}

void FractalView::unlockResize() {
    record_.resizeLock.store(0);
}

ViewEnvironment::ViewEnvironment() = default;

ViewEnvironment::~ViewEnvironment() {
    for (auto& view : openViews)
        view->record().view = nullptr;
}

// --- Opening, closing, resizing -----------------------------------------------------

namespace {

MessageAnswer ask(ViewEnvironment& environment, std::string_view caption, std::string_view text,
                  MessageButtons buttons, MessageIcon icon) {
    if (environment.frontend == nullptr)
        return defaultAnswer(buttons);
    return environment.frontend->messageBox(caption, text, buttons, icon);
}

void tell(ViewEnvironment& environment, std::string_view caption, std::string_view text) {
    ask(environment, caption, text, MessageButtons::Ok, MessageIcon::Error);
}

std::string formulaNameOf(const FractalRecord& record) {
    if (record.type == kTypeFormula)
        return record.params().text("FormulaName");
    if (record.type == kTypeIfs)
        return record.params().text("Formula");
    return {};
}

FormulaCheck checkFormula(const FractalRecord& record, const ViewHooks& hooks) {
    if (record.type != kTypeFormula && record.type != kTypeIfs)
        return FormulaCheck::Ok;
    if (formulaNameOf(record).empty())
        return FormulaCheck::NoFormulaSelected;
    return hooks.checkFormula ? hooks.checkFormula(record) : FormulaCheck::Ok;
}

// Steps before a view exists; false when the fractal cannot be opened.
bool readyToOpen(FractalRecord& record, bool silent, ViewEnvironment& environment) {
    switch (checkFormula(record, environment.hooks)) {
    case FormulaCheck::NoFormulaSelected:
        tell(environment, kCreatingSubtaskCaption, noFormulaSelectedText(record.name));
        return false;
    case FormulaCheck::FormulaNotAvailable:
        tell(environment, kCreatingSubtaskCaption,
             formulaNotAvailableText(record.name, formulaNameOf(record)));
        return false;
    case FormulaCheck::Ok:
        break;
    }
    if (!silent) {
        if (auto question = maxIterationWarning(record)) {
            MessageAnswer answer = ask(environment, kIterationWarningCaption, *question,
                                       MessageButtons::YesNo, MessageIcon::Warning);
            if (answer != MessageAnswer::Yes)
                return false;
        }
    }
    return true;
}

bool parsePending(FractalRecord& record, ViewEnvironment& environment) {
    if (!record.pendingEntry)
        return true;
    const ViewHooks& hooks = environment.hooks;
    bool parsed = hooks.parsePendingEntry ? hooks.parsePendingEntry(record) : false;
    if (parsed) {
        record.pendingEntry.reset();
        return true;
    }
    if (environment.frontend != nullptr)
        environment.frontend->addMessage(removedAndDeletedText(record.name));
    if (hooks.deleteRecord)
        hooks.deleteRecord(record);
    return false;
}

// Whether `reader` is a relief whose worker reads `source`'s view and buffers as its
// overlay.
bool readsAsOverlay(const FractalRecord& reader, const FractalRecord& source) {
    return &reader != &source && reader.overlayView != nullptr && reader.overlayView == source.view;
}

// The open view the relief names as its overlay in its 3D settings, or none.
FractalView* namedOverlayView(const FractalRecord& record) {
    if (record.dims == 0 || record.folder == nullptr)
        return nullptr;
    const ConstBlockRef settings = record.settings3D();
    if (settings.integer("Overlay") == 0)
        return nullptr;
    const FractalRecord* named = record.folder->fractals().find(settings.text("OvlName"));
    return named != nullptr ? named->view : nullptr;
}

bool readsAsLayer(const FractalRecord& reader, const FractalRecord& source) {
    return reader.type == kTypeCompound &&
           std::find(reader.layers.begin(), reader.layers.end(), &source) != reader.layers.end();
}

// Compound fractals read their layers' views and buffers, reliefs those of their overlay:
// before such a view comes or goes, or its buffers change size or are written, every open
// view that reads it is paused. A paused worker reads nothing until the main thread gives
// it a command.
void pauseReadersOf(const FractalRecord& record, ViewEnvironment& environment) {
    for (const auto& open : environment.openViews) {
        const FractalRecord& reader = open->record();
        if (open->commandWord() != calc::kPaused &&
            (readsAsLayer(reader, record) || readsAsOverlay(reader, record)))
            pauseView(*open);
    }
}

// Links a relief to the overlay its settings name, before a command that makes its image.
// The link changes only while the worker is paused: the worker may still be reading the
// old overlay, and closing that one pauses only the reliefs linked to it.
void linkOverlay(FractalView& view) {
    FractalRecord& record = view.record();
    FractalView* overlay = namedOverlayView(record);
    if (overlay == record.overlayView)
        return;
    if (view.commandWord() != calc::kPaused)
        view.post(calc::kPause, calc::kPaused);
    record.overlayView = overlay;
}

// After an overlay's view closed (its readers are paused), no relief keeps its address.
void unlinkOverlayReaders(const FractalView& closed, ViewEnvironment& environment) {
    for (const auto& open : environment.openViews)
        if (open->record().overlayView == &closed)
            open->record().overlayView = nullptr;
}

void linkLayers(FractalRecord& record, ViewEnvironment& environment) {
    if (record.type == kTypeCompound && environment.hooks.linkLayers)
        environment.hooks.linkLayers(record);
}

void removeFromOpenViews(FractalView& view, ViewEnvironment& environment) {
    auto& views = environment.openViews;
    for (auto it = views.begin(); it != views.end(); ++it) {
        if (it->get() == &view) {
            views.erase(it);
            return;
        }
    }
}

} // namespace

int openView(FractalRecord& record, bool silent, ViewEnvironment& environment) {
    if (!parsePending(record, environment))
        return 1;
    if (record.view != nullptr)
        return 0;
    if (!readyToOpen(record, silent, environment))
        return 1;
    linkLayers(record, environment);
    const int oldWidth = record.width;
    const int oldHeight = record.height;
    if (record.width == 0 || record.height == 0) {
        record.width = environment.defaultWidth;
        record.height = environment.defaultHeight;
        record.winWidth = record.width;
        record.winHeight = record.height;
    }
    auto view = std::make_unique<FractalView>(record, environment);
    if (!allocateBuffers(bufferLayoutFor(record, environment.screenDepth), view->buffers())) {
        record.width = oldWidth;
        record.height = oldHeight;
        tell(environment, kCreatingSubtaskCaption, kNotEnoughMemoryText);
        return 1;
    }
    FractalView& opened = *view;
    pauseReadersOf(record, environment);
    environment.openViews.push_back(std::move(view));
    record.view = &opened;
    if (environment.hooks.viewOpened)
        environment.hooks.viewOpened(opened);
    opened.startWorker();
    opened.post(calc::kStart, calc::kIdle);
    record.windowOpen = 1;
    if (silent) {
        opened.post(calc::kPause, calc::kPaused);
    } else {
        if (environment.hooks.applyPalette)
            environment.hooks.applyPalette(opened);
        recalculateView(opened);
    }
    return 0;
}

bool closeView(FractalRecord& record, bool ask, ViewEnvironment& environment) {
    FractalView* view = record.view;
    if (view == nullptr)
        return true;
    if (ask && environment.confirmDeleteCalculated) {
        MessageAnswer answer =
            vortimax::ask(environment, kDeleteOperationCaption, kDeleteCalculatedText,
                          MessageButtons::YesNo, MessageIcon::Question);
        if (answer != MessageAnswer::Yes)
            return false;
    }
    unlinkFilteredCopy(*view);
    pauseReadersOf(record, environment);
    view->post(calc::kTerminate, calc::kTerminated);
    record.windowOpen = 0;
    if (environment.hooks.viewClosed)
        environment.hooks.viewClosed(*view);
    record.view = nullptr;
    record.overlayView = nullptr;
    unlinkOverlayReaders(*view, environment);
    removeFromOpenViews(*view, environment);
    return true;
}

int resizeView(FractalRecord& record, int width, int height, bool keepDefault,
               ViewEnvironment& environment) {
    FractalView* view = record.view;
    if (width == record.width && height == record.height) {
        if (view != nullptr && !view->finished())
            redrawView(*view);
        return 0;
    }
    if (!keepDefault) {
        environment.defaultWidth = width;
        environment.defaultHeight = height;
    }
    if (view == nullptr) {
        record.width = width;
        record.height = height;
        return 0;
    }
    if (!keepDefault)
        pauseView(*view);
    pauseReadersOf(record, environment);
    view->lockResize();
    record.width = width;
    record.height = height;
    bool allocated =
        allocateBuffers(bufferLayoutFor(record, environment.screenDepth), view->buffers());
    view->unlockResize();
    if (!allocated) {
        closeView(record, false, environment);
        tell(environment, kResizingCaption, kNotEnoughMemoryText);
        return 1;
    }
    if (!keepDefault)
        recalculateView(*view);
    return 0;
}

int relayoutView(FractalRecord& record, ViewEnvironment& environment) {
    FractalView* view = record.view;
    if (view == nullptr)
        return 0;
    const bool wasFinished = view->finished();
    pauseView(*view);
    pauseReadersOf(record, environment);
    ImageBuffers fresh;
    if (!allocateBuffers(bufferLayoutFor(record, environment.screenDepth), fresh))
        return 1;
    view->lockResize();
    ImageBuffers& buffers = view->buffers();
    fresh.values = std::move(buffers.values);
    if (!fresh.tierazon1.empty() && buffers.tierazon1.size() == fresh.tierazon1.size()) {
        fresh.tierazon1 = std::move(buffers.tierazon1);
        fresh.tierazon2 = std::move(buffers.tierazon2);
    }
    buffers = std::move(fresh);
    view->unlockResize();
    // A drawn picture went with the old bitmap and must be drawn again. A relief just
    // switched on is made from the finished values; a redraw would keep the empty 3D
    // image of a fixed-colour relief.
    if (wasFinished && !drawnPicture(record.type) && record.dims != 0)
        continueView(*view);
    else if (wasFinished && !drawnPicture(record.type))
        redrawView(*view);
    else
        recalculateView(*view);
    return 0;
}

ImageSize windowSizeRule(int width, int height) {
    width = std::max(width, 32);
    height = std::max(height, 10);
    return {(width + 3) / 4 * 4, height};
}

// --- Main-thread operations ---------------------------------------------------------

void pauseView(FractalView& view) {
    view.post(calc::kPause, calc::kPaused);
}

// A source's worker reads its link while it filters, under its pixel lock.
void unlinkFilteredCopy(FractalView& view) {
    if (FractalView* copy = view.filteredCopy) {
        std::lock_guard pixels(view.pixelLock());
        copy->filterSource = nullptr;
        view.filteredCopy = nullptr;
    }
    if (FractalView* source = view.filterSource) {
        std::lock_guard pixels(source->pixelLock());
        source->filteredCopy = nullptr;
        view.filterSource = nullptr;
    }
}

void pauseViewsReading(FractalView& view) {
    pauseReadersOf(view.record(), view.environment());
}

void recalculateView(FractalView& view) {
    linkLayers(view.record(), view.environment());
    if (view.filteredCopy != nullptr) {
        view.filteredCopy->filterSource = nullptr;
        view.filteredCopy = nullptr;
    }
    view.post(calc::kCalculate, calc::kIdle);
}

void resumeView(FractalView& view) {
    view.setPassLimit(1000);
    view.post(calc::kResume, calc::kIdle);
}

void continueView(FractalView& view) {
    if (view.record().dims != 0)
        view.buffers().clear3D();
    view.post(calc::kContinue, calc::kIdle);
}

void redrawView(FractalView& view) {
    view.post(calc::kRedraw, calc::kIdle);
}

void filterView(FractalView& view) {
    view.post(calc::kFilter, calc::kIdle);
}

// --- Texts --------------------------------------------------------------------------

namespace {

template <typename... Args> std::string format(const char* pattern, Args... args) {
    char buffer[512];
    std::snprintf(buffer, sizeof buffer, pattern, args...);
    return buffer;
}

} // namespace

std::string progressTitle(const std::string& name, int percent) {
    return format("%s (%d%%)", name.c_str(), percent);
}

std::string notCalculatedTitle(const std::string& name) {
    return name + " (not calculated)";
}

std::string notCalculatedMessage(const std::string& name, const std::string& reason) {
    return "Fractal \"" + name + "\" was not calculated: " + reason;
}

std::string animationProgressTitle(const std::string& animationName, int frame, int frames,
                                   int percent) {
    return format("%s %d/%d (%d%%)", animationName.c_str(), frame, frames, percent);
}

std::string progressStatus(int percent) {
    return format("%d%% done", percent);
}

std::string zoomStatus(std::string_view typeName, double zooms) {
    return std::string(typeName) + format(" (%.1lf zooms)", zooms);
}

std::string sizeStatus(int width, int height) {
    return format("%dx%d", width, height);
}

const std::string_view kNotEnoughMemoryText =
    "There is not enough memory available for this operation.\n\n"
    "You have the following possibilities:\n\n"
    "1. Close other applications to free some memory.\n"
    "2. Increase the swap file size (System Configuration/System).\n"
    "3. Allow a bigger swap file by:\n"
    "  3.1  deleting some files on the harddisk partition which contains\n"
    "        the swap file\n"
    "  3.2  placing the swap file on a partition with more space.";

const std::string_view kDeleteCalculatedText =
    "You are about to delete a calculated fractal image.\n"
    "If you delete it, the window and thus the image will\n"
    "be destroyed.\n\n"
    "Do you really want to delete it?";

std::string noFormulaSelectedText(const std::string& fractalName) {
    return "Fractal \"" + fractalName +
           "\" has no formula selected,\nso no calculation routine is selected...";
}

std::string formulaNotAvailableText(const std::string& fractalName,
                                    const std::string& formulaName) {
    return "Fractal \"" + fractalName + "\" uses formula \"" + formulaName +
           "\",\nbut this formula isn't available.\nUnable to calculate this fractal...";
}

std::string removedAndDeletedText(const std::string& fractalName) {
    return "Fractal " + fractalName + " has been removed and deleted...";
}

std::string noCalculationText(std::string_view typeName) {
    return "Fractals of type " + std::string(typeName) + " cannot be calculated yet.";
}

std::string formulaMissingText(const std::string& formulaName) {
    return "Formula \"" + formulaName + "\" isn't available.";
}

std::string formulaDoesNotCompileText(const std::string& formulaName) {
    return "Formula \"" + formulaName + "\" does not compile.";
}

} // namespace vortimax
