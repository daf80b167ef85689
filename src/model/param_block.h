#pragma once

#include "model/big_fixed.h"
#include "model/param_descriptor.h"

#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <type_traits>

namespace vortimax {

static_assert(std::endian::native == std::endian::little,
              "parameter blocks and the wire format are little-endian");

constexpr std::size_t kParamBlockSize = 1720;
constexpr std::size_t kSettings3DSize = 580;
// A high-precision field: a spare word that carries no value, then the ten words.
constexpr std::size_t kBigFixedFieldSize = 44;

using ParamBlock = std::array<std::uint8_t, kParamBlockSize>;
using Settings3DBlock = std::array<std::uint8_t, kSettings3DSize>;

// Raw field access at a byte offset of a block (host order is little-endian).
double loadReal(const std::uint8_t* field);
void storeReal(std::uint8_t* field, double value);
std::int32_t loadInt(const std::uint8_t* field);
void storeInt(std::uint8_t* field, std::int32_t value);
BigFixed loadBigFixed(const std::uint8_t* field);
void storeBigFixed(std::uint8_t* field, const BigFixed& value);
std::string loadText(const std::uint8_t* field, std::size_t length);
// Copies at most length - 1 bytes and terminates the field (zero-filling the rest).
void storeText(std::uint8_t* field, std::size_t length, std::string_view text);

// A block seen through its descriptor table: values addressed by key (letter case
// ignored) or row index. A key the table lacks, or a value of the wrong kind, is a
// programming error and throws std::out_of_range / std::logic_error.
template <typename Byte> class BasicBlockRef {
public:
    static constexpr bool kWritable = !std::is_const_v<Byte>;

    BasicBlockRef(std::span<Byte> bytes, const DescriptorTable& table)
        : bytes_(bytes), table_(&table) {
        if (table.blockSize() > bytes.size())
            throw std::logic_error("descriptor table larger than its block");
    }

    const DescriptorTable& table() const { return *table_; }
    std::span<Byte> bytes() const { return bytes_; }

    std::size_t indexOf(std::string_view key) const {
        auto index = table_->find(key);
        if (!index)
            throw std::out_of_range("no parameter \"" + std::string(key) + "\"");
        return *index;
    }
    Byte* field(std::size_t index) const { return bytes_.data() + table_->offset(index); }

    double real(std::string_view key) const { return loadReal(checked(key, ParamKind::Real)); }
    std::int32_t integer(std::string_view key) const { return loadInt(checkedInteger(key)); }
    BigFixed bigFixed(std::string_view key) const {
        return loadBigFixed(checked(key, ParamKind::BigFixed));
    }
    std::string text(std::string_view key) const {
        std::size_t index = indexOf(key);
        requireKind(index, ParamKind::Text);
        return loadText(field(index), table_->row(index).length);
    }

    void setReal(std::string_view key, double value) const requires kWritable {
        storeReal(checked(key, ParamKind::Real), value);
    }
    void setInteger(std::string_view key, std::int32_t value) const requires kWritable {
        storeInt(checkedInteger(key), value);
    }
    void setBigFixed(std::string_view key, const BigFixed& value) const requires kWritable {
        storeBigFixed(checked(key, ParamKind::BigFixed), value);
    }
    void setText(std::string_view key, std::string_view value) const requires kWritable {
        std::size_t index = indexOf(key);
        requireKind(index, ParamKind::Text);
        storeText(field(index), table_->row(index).length, value);
    }

private:
    void requireKind(std::size_t index, ParamKind kind) const {
        if (table_->row(index).kind != kind)
            throw std::logic_error("parameter \"" + std::string(table_->row(index).key) +
                                   "\" has another kind");
    }
    Byte* checked(std::string_view key, ParamKind kind) const {
        std::size_t index = indexOf(key);
        requireKind(index, kind);
        return field(index);
    }
    // Integers and flags are both 32-bit words.
    Byte* checkedInteger(std::string_view key) const {
        std::size_t index = indexOf(key);
        if (table_->row(index).kind != ParamKind::Flag)
            requireKind(index, ParamKind::Integer);
        return field(index);
    }

    std::span<Byte> bytes_;
    const DescriptorTable* table_;
};

using BlockRef = BasicBlockRef<std::uint8_t>;
using ConstBlockRef = BasicBlockRef<const std::uint8_t>;

} // namespace vortimax
