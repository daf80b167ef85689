#pragma once

#include "model/param_block.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vortimax {

// Size of a view's undo buffer; the history keeps as many of the newest steps as fit.
constexpr std::size_t kUndoBufferSize = 100000;
// Every entry: a 16-byte record (entry size and word counts), the 184-byte header,
// then an (old, new) pair of 32-bit words per changed word.
constexpr std::size_t kUndoRecordSize = 16;
constexpr std::size_t kUndoHeaderSize = 184;
constexpr std::size_t kUndoBytesPerWord = 8;
constexpr std::size_t kUndoParamWords = kParamBlockSize / 4; // 430
constexpr std::size_t kUndo3DWords = kSettings3DSize / 4;    // 145
constexpr std::size_t kUndoMaxLabelLength = 91;              // the label field is 92 bytes
constexpr std::size_t kUndoMaxEntrySize =
    kUndoRecordSize + kUndoHeaderSize + kUndoBytesPerWord * (kUndoParamWords + kUndo3DWords);
static_assert(kUndoMaxEntrySize <= kUndoBufferSize, "the largest entry must fit the buffer");

// Everything a step restores: both parameter blocks, type and subtype.
struct UndoState {
    ParamBlock params{};
    Settings3DBlock settings3D{};
    std::uint32_t type = 0;
    std::uint32_t subtype = 0;

    bool operator==(const UndoState&) const = default;
};

// What applying a step changed, so that the caller knows how much to redo.
struct UndoApplied {
    bool paramsChanged = false;     // some ParamBlock word was written
    bool settings3DChanged = false; // some Settings3D word was written
    bool typeChanged = false;       // type or subtype differ between the two sides

    // A new type or subtype draws a different image even with identical blocks, so it
    // needs a full calculation just like a parameter change; otherwise only 3D is redone.
    bool needsRecalculation() const { return paramsChanged || typeChanged; }
};

// Where an entry lies in the buffer.
struct UndoEntryPlacement {
    std::size_t offset = 0;
    std::size_t size = 0;
    bool operator==(const UndoEntryPlacement&) const = default;
};

// The undo/redo history of one open fractal: entries holding only the changed words,
// serialised (little-endian) into a fixed ring buffer. The oldest entries make room for
// new ones. Owned and driven by the view; knows nothing of views, threads or windows.
class UndoHistory {
public:
    UndoHistory();

    // Bytes an entry takes for the given number of changed words.
    static constexpr std::size_t entrySize(std::size_t changedWords) {
        return kUndoRecordSize + kUndoHeaderSize + kUndoBytesPerWord * changedWords;
    }

    // Records the step from before to current. Returns false, making no entry, when nothing
    // differs. Any redo steps are discarded. An empty label becomes "Unknown"; long labels
    // are cut to fit the entry.
    bool record(const UndoState& before, const UndoState& current, std::string_view label);
    // Forgets the current entry when it is the newest one, as if it had never been
    // recorded (so that a step still going on can be recorded anew); false otherwise.
    bool dropNewest();

    // Applies the current entry backwards (old values) to state and steps back; nothing
    // when there is no current entry.
    std::optional<UndoApplied> undo(UndoState& state);
    // Applies the entry after the current one (the first one when none is current)
    // forwards; nothing when there is no such entry.
    std::optional<UndoApplied> redo(UndoState& state);

    bool canUndo() const { return current_.has_value(); }
    bool canRedo() const { return nextIndex() < entries_.size(); }
    // Menu texts: "Undo: <label>" / "Redo: <label>", or plain "Undo" / "Redo".
    std::string undoLabel() const;
    std::string redoLabel() const;

    void clear();
    // Grows with every change of the history: a step recorded, dropped, undone or redone.
    std::uint64_t revision() const { return revision_; }

    // Inspection: the entries oldest first, and the index of the current one.
    std::size_t entryCount() const { return entries_.size(); }
    UndoEntryPlacement entry(std::size_t index) const { return entries_.at(index); }
    std::optional<std::size_t> currentIndex() const { return current_; }
    std::string label(std::size_t index) const;

private:
    std::size_t nextIndex() const { return current_ ? *current_ + 1 : 0; }
    void dropRedoTail();
    std::size_t makeRoom(std::size_t size);
    UndoApplied apply(std::size_t index, bool forwards, UndoState& state) const;
    static void checkEntry(const std::uint8_t* entry, std::size_t size);
    // The buffer range, checked to lie inside it.
    const std::uint8_t* bytesAt(std::size_t offset, std::size_t length) const;
    std::uint8_t* bytesAt(std::size_t offset, std::size_t length);

    std::vector<std::uint8_t> buffer_; // kUndoBufferSize bytes, never resized
    std::deque<UndoEntryPlacement> entries_;
    std::optional<std::size_t> current_;
    std::uint64_t revision_ = 0;
};

} // namespace vortimax
