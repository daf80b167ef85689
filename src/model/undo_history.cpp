#include "model/undo_history.h"

#include <algorithm>
#include <array>
#include <span>
#include <stdexcept>
#include <utility>

namespace vortimax {

namespace {

// Entry layout, relative to the entry's start. The record comes first, then the header
// (types, the two word maps, the label filling the rest), then the (old, new) pairs.
constexpr std::size_t kEntrySizeField = 0;
constexpr std::size_t kParamCountField = 4;
constexpr std::size_t k3DCountField = 8;
constexpr std::size_t kHeaderStart = kUndoRecordSize;
constexpr std::size_t kOldSubtypeField = kHeaderStart + 0;
constexpr std::size_t kNewSubtypeField = kHeaderStart + 4;
constexpr std::size_t kOldTypeField = kHeaderStart + 8;
constexpr std::size_t kNewTypeField = kHeaderStart + 12;
constexpr std::size_t mapBytes(std::size_t words) {
    return (words + 31) / 32 * 4;
}
constexpr std::size_t kParamMapField = kHeaderStart + 16;
constexpr std::size_t k3DMapField = kParamMapField + mapBytes(kUndoParamWords);
constexpr std::size_t kLabelField = k3DMapField + mapBytes(kUndo3DWords);
constexpr std::size_t kDataStart = kHeaderStart + kUndoHeaderSize;
constexpr std::size_t kLabelBytes = kDataStart - kLabelField;
static_assert(kLabelBytes == kUndoMaxLabelLength + 1, "the label fills the header's end");

constexpr std::string_view kDefaultLabel = "Unknown";

// The two blocks an entry covers, in the order their words are stored.
struct BlockLayout {
    std::size_t words;
    std::size_t mapField;
    std::size_t countField;
};
constexpr std::array<BlockLayout, 2> kBlocks{{
    {kUndoParamWords, kParamMapField, kParamCountField},
    {kUndo3DWords, k3DMapField, k3DCountField},
}};

std::span<std::uint8_t> blockBytes(UndoState& state, std::size_t block) {
    return block == 0 ? std::span<std::uint8_t>(state.params)
                      : std::span<std::uint8_t>(state.settings3D);
}
std::span<const std::uint8_t> blockBytes(const UndoState& state, std::size_t block) {
    return block == 0 ? std::span<const std::uint8_t>(state.params)
                      : std::span<const std::uint8_t>(state.settings3D);
}

std::uint32_t getWord(const std::uint8_t* p) {
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
           std::uint32_t(p[3]) << 24;
}
void putWord(std::uint8_t* p, std::uint32_t value) {
    for (int i = 0; i < 4; ++i)
        p[i] = std::uint8_t(value >> (8 * i));
}

bool mapBit(const std::uint8_t* map, std::size_t word) {
    return (getWord(map + word / 32 * 4) >> (word % 32)) & 1u;
}
void setMapBit(std::uint8_t* map, std::size_t word) {
    std::uint8_t* field = map + word / 32 * 4;
    putWord(field, getWord(field) | 1u << (word % 32));
}

// Words that differ between the two states, per block.
struct WordDiff {
    std::array<std::array<bool, kUndoParamWords>, 2> changed{};
    std::array<std::size_t, 2> count{};
    std::size_t total() const { return count[0] + count[1]; }
};

WordDiff compareStates(const UndoState& before, const UndoState& after) {
    WordDiff diff;
    for (std::size_t b = 0; b < kBlocks.size(); ++b) {
        auto oldBytes = blockBytes(before, b);
        auto newBytes = blockBytes(after, b);
        for (std::size_t w = 0; w < kBlocks[b].words; ++w) {
            bool differs = getWord(oldBytes.data() + 4 * w) != getWord(newBytes.data() + 4 * w);
            diff.changed[b][w] = differs;
            diff.count[b] += differs ? 1 : 0;
        }
    }
    return diff;
}

// The label as stored: up to the first terminator, cut to the field, never empty.
std::string_view storedLabel(std::string_view label) {
    label = label.substr(0, label.find('\0'));
    label = label.substr(0, kUndoMaxLabelLength);
    return label.empty() ? kDefaultLabel : label;
}

// Serialises an entry: record, header and the (old, new) pair of every changed word.
void writeEntry(std::uint8_t* entry, std::size_t size, const WordDiff& diff,
                const UndoState& before, const UndoState& after, std::string_view label) {
    std::fill(entry, entry + size, std::uint8_t{0});
    putWord(entry + kEntrySizeField, std::uint32_t(size));
    putWord(entry + kOldSubtypeField, before.subtype);
    putWord(entry + kNewSubtypeField, after.subtype);
    putWord(entry + kOldTypeField, before.type);
    putWord(entry + kNewTypeField, after.type);
    std::string_view text = storedLabel(label);
    std::copy(text.begin(), text.end(), entry + kLabelField);
    std::uint8_t* pair = entry + kDataStart;
    for (std::size_t b = 0; b < kBlocks.size(); ++b) {
        putWord(entry + kBlocks[b].countField, std::uint32_t(diff.count[b]));
        for (std::size_t w = 0; w < kBlocks[b].words; ++w) {
            if (!diff.changed[b][w])
                continue;
            setMapBit(entry + kBlocks[b].mapField, w);
            putWord(pair, getWord(blockBytes(before, b).data() + 4 * w));
            putWord(pair + 4, getWord(blockBytes(after, b).data() + 4 * w));
            pair += kUndoBytesPerWord;
        }
    }
}

} // namespace

UndoHistory::UndoHistory() : buffer_(kUndoBufferSize, 0) {}

const std::uint8_t* UndoHistory::bytesAt(std::size_t offset, std::size_t length) const {
    if (offset > buffer_.size() || length > buffer_.size() - offset)
        throw std::logic_error("undo entry outside its buffer");
    return buffer_.data() + offset;
}

std::uint8_t* UndoHistory::bytesAt(std::size_t offset, std::size_t length) {
    return const_cast<std::uint8_t*>(std::as_const(*this).bytesAt(offset, length));
}

bool UndoHistory::record(const UndoState& before, const UndoState& current,
                         std::string_view label) {
    WordDiff diff = compareStates(before, current);
    // A type conversion may leave both blocks identical; it is still a step to undo.
    bool typeChanged = before.type != current.type || before.subtype != current.subtype;
    if (diff.total() == 0 && !typeChanged)
        return false;
    std::size_t size = entrySize(diff.total());
    dropRedoTail();
    std::size_t offset = makeRoom(size);
    writeEntry(bytesAt(offset, size), size, diff, before, current, label);
    entries_.push_back({offset, size});
    current_ = entries_.size() - 1;
    ++revision_;
    return true;
}

bool UndoHistory::dropNewest() {
    if (!current_ || *current_ + 1 != entries_.size())
        return false;
    entries_.pop_back();
    current_ = entries_.empty() ? std::nullopt : std::optional<std::size_t>(entries_.size() - 1);
    ++revision_;
    return true;
}

void UndoHistory::dropRedoTail() {
    entries_.resize(current_ ? *current_ + 1 : 0);
}

// Finds the place for a new entry behind the newest one, dropping the oldest entries
// until it fits. The entries run from the oldest to the newest, wrapping at most once:
// while the oldest lies before the placement the free space runs to the buffer's end,
// otherwise it is the gap up to the oldest. A wrap itself drops nothing.
std::size_t UndoHistory::makeRoom(std::size_t size) {
    std::size_t place = entries_.empty() ? 0 : entries_.back().offset + entries_.back().size;
    while (true) {
        if (entries_.empty())
            return kUndoBufferSize - place >= size ? place : 0;
        std::size_t oldest = entries_.front().offset;
        if (oldest < place) {
            if (kUndoBufferSize - place >= size)
                return place;
            place = 0;
        } else if (oldest - place >= size) {
            return place;
        } else {
            entries_.pop_front();
        }
    }
}

std::optional<UndoApplied> UndoHistory::undo(UndoState& state) {
    if (!current_)
        return std::nullopt;
    UndoApplied applied = apply(*current_, false, state);
    current_ = *current_ == 0 ? std::nullopt : std::optional<std::size_t>(*current_ - 1);
    ++revision_;
    return applied;
}

std::optional<UndoApplied> UndoHistory::redo(UndoState& state) {
    std::size_t next = nextIndex();
    if (next >= entries_.size())
        return std::nullopt;
    UndoApplied applied = apply(next, true, state);
    current_ = next;
    ++revision_;
    return applied;
}

// Writes one side of an entry into state. The entry is checked first (its record must
// agree with its placement and its maps), so a damaged entry changes nothing.
UndoApplied UndoHistory::apply(std::size_t index, bool forwards, UndoState& state) const {
    const UndoEntryPlacement& placement = entries_.at(index);
    const std::uint8_t* entry = bytesAt(placement.offset, placement.size);
    checkEntry(entry, placement.size);
    UndoState result = state;
    UndoApplied applied;
    const std::uint8_t* pair = entry + kDataStart;
    std::size_t side = forwards ? 4 : 0;
    for (std::size_t b = 0; b < kBlocks.size(); ++b) {
        auto target = blockBytes(result, b);
        for (std::size_t w = 0; w < kBlocks[b].words; ++w) {
            if (!mapBit(entry + kBlocks[b].mapField, w))
                continue;
            putWord(target.data() + 4 * w, getWord(pair + side));
            pair += kUndoBytesPerWord;
            (b == 0 ? applied.paramsChanged : applied.settings3DChanged) = true;
        }
    }
    result.subtype = getWord(entry + (forwards ? kNewSubtypeField : kOldSubtypeField));
    result.type = getWord(entry + (forwards ? kNewTypeField : kOldTypeField));
    applied.typeChanged = getWord(entry + kOldTypeField) != getWord(entry + kNewTypeField) ||
                          getWord(entry + kOldSubtypeField) != getWord(entry + kNewSubtypeField);
    state = result;
    return applied;
}

void UndoHistory::checkEntry(const std::uint8_t* entry, std::size_t size) {
    std::size_t words = 0;
    for (const BlockLayout& block : kBlocks) {
        std::size_t bits = 0;
        for (std::size_t w = 0; w < block.words; ++w)
            bits += mapBit(entry + block.mapField, w) ? 1 : 0;
        if (bits != getWord(entry + block.countField))
            throw std::logic_error("undo entry damaged");
        words += bits;
    }
    if (getWord(entry + kEntrySizeField) != size || entrySize(words) != size)
        throw std::logic_error("undo entry damaged");
}

std::string UndoHistory::label(std::size_t index) const {
    const UndoEntryPlacement& placement = entries_.at(index);
    const std::uint8_t* field = bytesAt(placement.offset + kLabelField, kLabelBytes);
    const std::uint8_t* end = std::find(field, field + kLabelBytes - 1, std::uint8_t{0});
    return std::string(field, end);
}

std::string UndoHistory::undoLabel() const {
    return current_ ? "Undo: " + label(*current_) : std::string("Undo");
}

std::string UndoHistory::redoLabel() const {
    return canRedo() ? "Redo: " + label(nextIndex()) : std::string("Redo");
}

void UndoHistory::clear() {
    entries_.clear();
    current_.reset();
    ++revision_;
}

} // namespace vortimax
