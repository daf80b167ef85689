#pragma once

#include "model/calc_command.h"
#include "model/colour_table.h"
#include "model/fractal_record.h"
#include "model/image_buffers.h"
#include "model/view_environment.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <shared_mutex>
#include <string>
#include <thread>

namespace vortimax {

class UndoHistory;

// Selection-box corner value meaning "no selection".
constexpr int kNoSelection = -10000;

// Whether the last calculation of a view could not run, and why. `serial` grows with
// every change (a failure reported, a failure cleared by the next calculation), so a
// reader can tell a change from the state it has already shown.
struct CalculationFailure {
    bool failed = false;
    std::string reason; // one line, for the person
    std::uint32_t serial = 0;
};

// The calculation task of one open fractal: worker thread, command word, image buffers
// and the parameter snapshot. Exists only while the fractal's window is open.
class FractalView {
public:
    FractalView(FractalRecord& record, ViewEnvironment& environment);
    ~FractalView();
    FractalView(const FractalView&) = delete;
    FractalView& operator=(const FractalView&) = delete;

    FractalRecord& record() { return record_; }
    const FractalRecord& record() const { return record_; }
    ViewEnvironment& environment() { return environment_; }
    ImageBuffers& buffers() { return buffers_; }
    const ImageBuffers& buffers() const { return buffers_; }
    // A number that tells views apart in notifications to the frontend.
    int id() const { return id_; }

    // Writes `command`, then waits in 20 ms steps until the worker has written
    // `expected` (at once when the word already holds it). Returns at once when the
    // worker has ended. A command that may write the image first pauses the compounds
    // reading this view (main thread).
    void post(std::uint32_t command, std::uint32_t expected);
    std::uint32_t commandWord() const { return command_.load(); }

    // --- For calculation drivers, on the worker thread ---------------------------------
    // Looks at the command word before a pixel: "continue" is taken back to idle and the
    // work goes on; any other command means the job must stop (returns true).
    bool mustStop();
    void setProgress(double fraction) { progress_.store(fraction); }
    // For a copy whose image another view's worker has made (anti-aliasing), while this
    // view's own worker is paused: the image counts as finished.
    void markFinished() {
        progress_.store(1.0);
        finished_.store(true);
    }
    // The job being run: calc::kCalculate or calc::kResume.
    int lastJob() const { return lastJob_; }
    // Passes a resume may use (1000 after "resume").
    int passLimit() const { return passLimit_.load(); }
    void setPassLimit(int limit) { passLimit_.store(limit); }
    // Says that the image cannot be calculated and why; the driver then returns. The
    // calculation ends unfinished with its progress at zero. (The worker reports a type
    // without a driver itself.)
    void reportFailure(std::string reason);

    // --- State read by the main thread --------------------------------------------------
    double progress() const { return progress_.load(); }
    bool finished() const { return finished_.load(); }
    bool done3D() const { return done3D_.load(); }
    // Readable from any thread. The worker clears a failure before it takes the command
    // of the next calculation, so once post() has returned, no earlier failure shows.
    CalculationFailure failure() const;
    // What the window title and the message window show (main thread only).
    double shownProgress = -1.0;
    std::uint32_t shownFailureSerial = 0;
    int appliedFilter = 0;
    int selectionLeft = kNoSelection, selectionTop = kNoSelection;
    int selectionRight = kNoSelection, selectionBottom = kNoSelection;
    FractalView* filteredCopy = nullptr; // anti-aliased partner
    FractalView* filterSource = nullptr;

    // The applied palette in display form. Written only while the worker is paused or
    // idle; read by the colouring stage on the worker.
    ColourTable colours{};

    // Parameters of the last calculation or undo step.
    ParamBlock paramSnapshot{};
    Settings3DBlock settings3DSnapshot{};
    std::uint32_t snapshotType = 0;
    std::uint32_t snapshotSubtype = 0;
    void takeSnapshot();

    UndoHistory& undoHistory() { return *undo_; }
    const UndoHistory& undoHistory() const { return *undo_; }

    // Starts the worker (waiting for the start command). Called once by openView.
    void startWorker();

    // Painting and resizing take turns through the record's resize lock.
    void lockResize();
    void unlockResize();

    // Held by the worker while it writes pixels (a coloured row, a palette reduction, a
    // filter, the 3D image) and by whoever reads them while it may be writing.
    std::mutex& pixelLock() { return pixelMutex_; }

    // Held by the worker for the whole of every command that may write the values, pixels
    // or 3D image (taken before the command is acknowledged, so it is held once post()
    // returns), and taken shared by the compounds that read this view as a layer.
    std::shared_mutex& imageLock() { return imageMutex_; }

private:
    friend class ViewWorker;

    FractalRecord& record_;
    ViewEnvironment& environment_;
    ImageBuffers buffers_;
    std::unique_ptr<UndoHistory> undo_;
    int id_;
    std::thread worker_;
    std::atomic<std::uint32_t> command_{calc::kIdle};
    std::atomic<bool> workerEnded_{false};
    std::atomic<double> progress_{0.0};
    std::atomic<bool> finished_{false};
    std::atomic<bool> done3D_{false};
    std::atomic<int> passLimit_{1000};
    int lastJob_ = calc::kCalculate;
    std::mutex pixelMutex_;
    std::shared_mutex imageMutex_;
    mutable std::mutex failureMutex_;
    CalculationFailure failure_;
};

// The buffers a view of the record needs on a screen of that depth.
BufferLayout bufferLayoutFor(const FractalRecord& record, int screenDepth);

// Opens the fractal's view and starts its worker: 0 on success, 1 when it could not be
// opened (the reason was shown). `silent` skips the maximum-iteration question and
// leaves the fractal paused instead of calculating.
int openView(FractalRecord& record, bool silent, ViewEnvironment& environment);

// Closes the view (after the "Delete Calculated" question when `ask` is set and the
// confirmation is on). Returns false when the person kept it.
bool closeView(FractalRecord& record, bool ask, ViewEnvironment& environment);

// Gives the fractal a new image size. `keepDefault` leaves the default size for new
// fractals alone and the fractal paused-free (used by programmatic resizes). Returns 0,
// or 1 when memory ran out (the view was then closed and the reason shown).
int resizeView(FractalRecord& record, int width, int height, bool keepDefault,
               ViewEnvironment& environment);

// Gives an open fractal's buffers the layout its record now asks for (after a change
// of display depth or of the 3D switch). The calculated values are kept and the image is
// coloured again; an unfinished image, and a drawn one (a dynamic system's), is
// calculated anew. Returns 0, or 1 when memory ran out: the view then keeps its old
// buffers, and the caller puts the record back.
int relayoutView(FractalRecord& record, ViewEnvironment& environment);

// Window client size rule of interactive resizing: width up to the next multiple of 4,
// at least 32 x 10.
struct ImageSize {
    int width;
    int height;
    bool operator==(const ImageSize&) const = default;
};
ImageSize windowSizeRule(int width, int height);

// Pauses every open view that reads the view's values, pixels or colour table (compounds
// using it as a layer, reliefs using it as their overlay), before the main thread or the
// view's worker writes them. Views already paused are left alone; a compound is
// calculated again when the view finishes.
void pauseViewsReading(FractalView& view);

// The main-thread operations of the command table.
void pauseView(FractalView& view);
void recalculateView(FractalView& view);
void resumeView(FractalView& view);
// Finishes an unfinished image (a paused calculation goes on) and, while 3D is on, makes
// the 3D image anew.
void continueView(FractalView& view);
void redrawView(FractalView& view);
void filterView(FractalView& view);
// Cuts the link between a view and its anti-aliased copy, or its source, on both sides;
// a source busy filtering into the copy finishes first.
void unlinkFilteredCopy(FractalView& view);

// Texts of the progress display.
std::string progressTitle(const std::string& name, int percent);
// The title of a fractal whose calculation failed, and the line telling why.
std::string notCalculatedTitle(const std::string& name);
std::string notCalculatedMessage(const std::string& name, const std::string& reason);
std::string animationProgressTitle(const std::string& animationName, int frame, int frames,
                                   int percent);
std::string progressStatus(int percent);
std::string zoomStatus(std::string_view typeName, double zooms);
std::string sizeStatus(int width, int height);

// Captions and texts shown by the view operations.
constexpr std::string_view kCreatingSubtaskCaption = "Creating subtask";
constexpr std::string_view kResizingCaption = "Resizing fractal image";
constexpr std::string_view kDeleteOperationCaption = "Delete operation";
extern const std::string_view kNotEnoughMemoryText;
extern const std::string_view kDeleteCalculatedText;
std::string noFormulaSelectedText(const std::string& fractalName);
std::string formulaNotAvailableText(const std::string& fractalName, const std::string& formulaName);
std::string removedAndDeletedText(const std::string& fractalName);
// Reasons a calculation fails.
std::string noCalculationText(std::string_view typeName);
std::string formulaMissingText(const std::string& formulaName);
std::string formulaDoesNotCompileText(const std::string& formulaName);

} // namespace vortimax
