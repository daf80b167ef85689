#pragma once

#include "model/fractal_record.h"

#include <array>
#include <cstdint>
#include <span>

namespace vortimax {

// A record as one fixed block of bytes, the fractal block of the network protocol:
// every field at its byte position, little-endian, references written as 0.
constexpr std::size_t kRecordWireSize = 2728;
using RecordWireBlock = std::array<std::uint8_t, kRecordWireSize>;

// Byte positions of the fields in the block.
namespace wire {
constexpr std::size_t kName = 16;
constexpr std::size_t kNameSize = 64;
constexpr std::size_t kNumFrames = 80;
constexpr std::size_t kEntryKind = 88;
constexpr std::size_t kType = 96;
constexpr std::size_t kSubtype = 100;
constexpr std::size_t kWidth = 104;
constexpr std::size_t kHeight = 108;
constexpr std::size_t kDims = 112;
constexpr std::size_t kColCyc = 116;
constexpr std::size_t kColCycUp = 120;
constexpr std::size_t kColCycSpeed = 128;
constexpr std::size_t kColCycStep = 136;
constexpr std::size_t kPalName = 144;
constexpr std::size_t kSecondName = 208;
constexpr std::size_t kPalOffset = 272;
constexpr std::size_t kPalNameAnim = 280;
constexpr std::size_t kPalNameAnimSize = 32;
constexpr std::size_t kPalOffsetAnim = 312;
constexpr std::size_t kScrollbar = 320;
constexpr std::size_t kImageFilter = 324;
constexpr std::size_t kWinWidth = 328;
constexpr std::size_t kWinHeight = 332;
constexpr std::size_t kCalcTime = 336;
constexpr std::size_t kComment = 340;
constexpr std::size_t kPendingEntry = 344;
constexpr std::size_t kDisplayDepth = 348;
constexpr std::size_t kTrueColourOn8Bit = 352;
constexpr std::size_t kNetworkGeneration = 356;
constexpr std::size_t kResizeLock = 360;
constexpr std::size_t kStaticImage = 364;
constexpr std::size_t kFolder = 368;
constexpr std::size_t kNetworkMode = 372;
constexpr std::size_t kWindowOpen = 376;
constexpr std::size_t kParamBlock = 380;
constexpr std::size_t kSettings3D = 2100;
constexpr std::size_t kLayers = 2680;
constexpr std::size_t kView = 2724;
} // namespace wire

RecordWireBlock toWireBlock(const FractalRecord& record);

// Fills the record's fields from a block received from elsewhere. Texts are read up to
// their terminator or the end of their field, whichever comes first; references
// (comment, pending entry, folder, layers, view) and the receiver's own window state
// (window-open flag, resize lock) are left untouched. A block of the
// wrong size is refused and the record stays as it was.
bool fromWireBlock(std::span<const std::uint8_t> block, FractalRecord& record);

} // namespace vortimax
