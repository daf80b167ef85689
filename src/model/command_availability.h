#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace vortimax {

class FractalRecord;
struct FractalTypeInfo;

// Menu commands that only some fractal types can use.
namespace command {
constexpr int kProportional = 29028;
constexpr int kSelect = 29034;
constexpr int kDeselect = 29035;
constexpr int kBoxZoomIn = 29036;
constexpr int kBoxZoomOut = 29037;
constexpr int kSelectAll = 29041;
constexpr int k3DTransformation = 29140;
constexpr int kToTrueColourType = 29143; // "To Julia24/Mandel24"
constexpr int kToEscapeType = 29144;     // "To Julia/Mandel"
constexpr int k256Colors = 29181;
} // namespace command

// Whether the current fractal's type and subtype allow a command.
using CommandPredicate = bool (*)(const FractalTypeInfo& type, std::uint32_t subtype);

struct CommandRule {
    int commandId;
    std::string_view label;
    CommandPredicate available;
};

// Every command whose availability depends on the current fractal; the menus grey the
// commands whose rule says no.
std::span<const CommandRule> commandRules();

// Whether the command can be used with `current` (null: no current fractal). Commands of
// the table are unavailable without a current fractal or with a type outside 0..13;
// commands outside the table are always available.
bool isCommandAvailable(int commandId, const FractalRecord* current);

} // namespace vortimax
