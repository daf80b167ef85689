#pragma once

#include "model/type_registry.h"

#include <array>
#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vortimax {

class Frontend;
class FractalRecord;
class FractalView;

// A type's calculation: fills the value buffer (and the pixels, through the colouring
// stage) of the rectangle x0..x1 by y0..y1 (inclusive, rows from the bottom), honouring
// the command word. The render layer fills the table at start-up; the calculation task
// never includes kernel headers.
// A driver may carry state set up at installation (the formula library it reads).
using CalculationDriver = std::function<void(FractalView& view, int x0, int y0, int x1, int y1)>;
using DriverTable = std::array<CalculationDriver, kFractalTypeCount>;

// What a formula or IFS fractal needs before it can be opened.
enum class FormulaCheck { Ok, NoFormulaSelected, FormulaNotAvailable };

// Work that belongs to other subsystems, reached through these hooks so that the model
// depends on none of them. Every hook may be left empty.
struct ViewHooks {
    // Parses a record's pending parameter-file entry; false when the entry is broken.
    std::function<bool(FractalRecord&)> parsePendingEntry;
    // Removes a record whose pending entry could not be parsed (no confirmation).
    std::function<void(FractalRecord&)> deleteRecord;
    // Whether the formula or IFS definition a record names is available.
    std::function<FormulaCheck(const FractalRecord&)> checkFormula;
    // The GUI creates and removes the window of a view, and sets its title.
    std::function<void(FractalView&)> viewOpened;
    std::function<void(FractalView&)> viewClosed;
    std::function<void(FractalView&, const std::string&)> setTitle;
    // The record's parameters changed (undo, redo): parameter windows refresh.
    std::function<void(FractalRecord&)> parametersChanged;
    // Applies the record's palette to a view opened interactively.
    std::function<void(FractalView&)> applyPalette;
    // Turns the values of part of a row into pixels at the given block size.
    std::function<void(FractalView&, int firstColumn, int row, int count, int blockSize)> colourRow;
    // Reduces a true-colour rectangle to the palette for an 8-bit screen.
    std::function<void(FractalView&, int x0, int y0, int x1, int y1)> reduceToPalette;
    // Image filter (the view's record says which) and 3D transformation.
    std::function<void(FractalView&)> applyFilter;
    std::function<void(FractalView&)> transform3D;
    // Called by the worker after a cycle that left the image finished (compound layers,
    // animation frames).
    std::function<void(FractalView&)> imageFinished;
    // Links a compound fractal to its layer fractals by name (main thread), when it is
    // opened and before each recalculation.
    std::function<void(FractalRecord&)> linkLayers;
};

// Program-wide state shared by every open view.
struct ViewEnvironment {
    Frontend* frontend = nullptr;
    DriverTable drivers{};
    ViewHooks hooks;
    // Minimum milliseconds between two paints of a calculating fractal.
    std::atomic<int> drawingSpeed{10};
    // Size of newly opened fractals; every interactive resize makes its size the default.
    int defaultWidth = 320;
    int defaultHeight = 256;
    int screenDepth = 24;
    // How much the calculation threads yield to the rest of the machine (a nice value):
    // the desktop program keeps them a little below its interface; the command line, whose
    // only work they are, leaves them at normal priority.
    int workerNice = 0;
    bool confirmDeleteCalculated = true; // "Delete Calculated"
    // Open views, owned here; each record's `view` points into this list.
    std::vector<std::unique_ptr<FractalView>> openViews;

    ViewEnvironment();
    ~ViewEnvironment();
    ViewEnvironment(const ViewEnvironment&) = delete;
    ViewEnvironment& operator=(const ViewEnvironment&) = delete;
};

} // namespace vortimax
