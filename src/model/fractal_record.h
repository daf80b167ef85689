#pragma once

#include "model/image_region.h"
#include "model/param_block.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace vortimax {

class Folder;
class FractalView;

// Longest names, without the terminator of the stored 64-character field.
constexpr std::size_t kMaxNameLength = 63;
constexpr std::size_t kMaxFileNameLength = 31; // names read from parameter files
constexpr std::size_t kMaxLayers = 10;

// Entry kinds of a tree node.
constexpr std::uint32_t kEntryOrdinary = 0;
constexpr std::uint32_t kEntryKeyFrame = 10;

// Program-wide values a new record takes over.
struct RecordCreationContext {
    int displayDepth = 8; // the configured depth for new fractals (8 or 24)
    int screenDepth = 24; // 8 or 24 bits per pixel of the screen
    std::string defaultComment;
};

// One fractal: everything that defines its image. Parameters live in byte blocks laid
// out by the type's descriptor table; the typed header fields below are the rest.
// Records are owned by their folder and never copied implicitly: see cloneRecord.
class FractalRecord {
public:
    FractalRecord() = default;
    FractalRecord(const FractalRecord&) = delete;
    FractalRecord& operator=(const FractalRecord&) = delete;

    // Tree node part.
    std::string name;
    std::uint32_t entryKind = kEntryOrdinary;

    double numFrames = 10.0;
    std::uint32_t type = 0;
    std::uint32_t subtype = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t dims = 0; // 3D transformation on
    std::int32_t colCyc = 0;
    std::int32_t colCycUp = 1;
    double colCycSpeed = 4.0;
    double colCycStep = 1.0;
    std::string palName; // empty: the default palette
    std::string secondName = "Unnamed";
    double palOffset = 0.0;
    std::string palNameAnim; // at most 31 characters
    double palOffsetAnim = 0.0;
    std::int32_t scrollbar = 0;
    std::int32_t imageFilter = 0;
    std::int32_t winWidth = 0;
    std::int32_t winHeight = 0;
    std::uint32_t calcTime = 0;
    std::string comment; // empty: no comment
    std::optional<std::string> pendingEntry;
    std::int32_t displayDepth = 8;
    std::int32_t trueColourOn8Bit = 0;
    std::uint32_t networkGeneration = 0;
    std::atomic<std::int32_t> resizeLock{0};
    std::int32_t staticImage = 0;
    Folder* folder = nullptr;
    std::int32_t networkMode = 0;
    std::int32_t windowOpen = 0;
    ParamBlock paramBlock{};
    Settings3DBlock settings3DBlock{};
    std::array<FractalRecord*, kMaxLayers> layers{};
    FractalView* view = nullptr;
    // The view a relief reads as its overlay (its own view when it names itself). Only the
    // main thread sets it, while the relief's worker is paused; the worker never looks the
    // overlay up in the folder, which the main thread changes at any time. Never saved.
    FractalView* overlayView = nullptr;
    // Set for a region render only: the fractal calculates this rectangle of a larger image,
    // and width x height is the rectangle's size. Never saved, never copied.
    std::optional<ImageRegion> region;

    // The parameter block through the type's table. Types without a table (ids above
    // 13) have no parameters: these throw std::logic_error.
    BlockRef params();
    ConstBlockRef params() const;
    BlockRef settings3D();
    ConstBlockRef settings3D() const;
    bool hasParams() const;
};

// A new record of the type with every type and subtype default (ids above 13 keep
// their name and parameter block cleared).
std::unique_ptr<FractalRecord> createRecord(std::uint32_t type, std::uint32_t subtype,
                                            const RecordCreationContext& context);

// Writes the 3D block, the common rows, the type defaults and then the subtype
// defaults ("Defaultvalues").
void setDefaults(FractalRecord& record, std::uint32_t type, std::uint32_t subtype);

// "Duplicate": a record of the same type with the header, parameters, 3D settings, name,
// comment and pending entry of the source, but no window, folder or view.
std::unique_ptr<FractalRecord> cloneRecord(const FractalRecord& source,
                                           const RecordCreationContext& context);

// 1 when the record shows true colour on an 8-bit screen.
std::int32_t trueColourOn8Bit(int displayDepth, int screenDepth);

// The question to ask before an interactive start, or nothing when MaxIter is within
// the type's limit (or the type has no limit).
std::optional<std::string> maxIterationWarning(const FractalRecord& record);

} // namespace vortimax
