#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vortimax {

// How a field of a parameter block is stored. The numbers are the stored kind codes.
enum class ParamKind : std::uint16_t {
    Real = 1,     // double, 8 bytes
    Integer = 2,  // 32-bit signed, 4 bytes
    BigFixed = 4, // high-precision real, 44 bytes (a spare word, then ten value words)
    Text = 5,     // the row's length in bytes, terminator included
    Flag = 6,     // 32-bit, 4 bytes
};

// How the animation moves a value between two key frames.
enum class AnimMode : std::uint16_t {
    Interpolate = 0,
    SetZero = 1,
    Copy = 2,
    Match = 3, // must be equal in all key frames
};

// Whether and how a parameter file writes the row.
enum class FileClass : std::uint32_t {
    None = 0,   // written in a line of its own (area, inversion, functions) or not at all
    Key = 1,    // "key=value" when it differs from the type's default
    Params = 2, // one of the values of the "params=" list
};

// Names for the integer values 0, 1, 2, ... of a row.
using ChoiceList = std::span<const std::string_view>;

struct ParamDescriptor {
    std::string_view key;
    std::string_view label;
    ParamKind kind = ParamKind::Real;
    std::uint16_t length = 0; // bytes of a text field
    AnimMode animMode = AnimMode::Interpolate;
    bool animated = false;
    bool recalculation = true; // a change needs a new calculation, not only recolouring
    std::uint16_t timeWarp = 0;
    double increment = 0.0;
    double minimum = 0.0;
    double maximum = 0.0;
    FileClass fileClass = FileClass::None;
    ChoiceList choices{};

    // Number of bytes the field takes in its block.
    std::size_t fieldSize() const;
    // Name of a choice value, or nothing when the row has no name for it.
    std::optional<std::string_view> choiceName(std::int64_t value) const;
};

// An ordered list of rows laying out one block: fields follow each other without gaps.
class DescriptorTable {
public:
    explicit DescriptorTable(std::vector<ParamDescriptor> rows);

    std::span<const ParamDescriptor> rows() const { return rows_; }
    std::size_t size() const { return rows_.size(); }
    const ParamDescriptor& row(std::size_t index) const { return rows_[index]; }
    std::size_t offset(std::size_t index) const { return offsets_[index]; }
    // Bytes taken by all rows together.
    std::size_t blockSize() const { return blockSize_; }

    // Row index of a key, compared without regard to letter case.
    std::optional<std::size_t> find(std::string_view key) const;

private:
    std::vector<ParamDescriptor> rows_;
    std::vector<std::size_t> offsets_;
    std::size_t blockSize_ = 0;
};

} // namespace vortimax
