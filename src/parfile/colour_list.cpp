#include "parfile/colour_list.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace vortimax {

namespace {

using SixBit = std::array<int, 3>;

constexpr int kMissing = 40;
// A count this large already covers every entry; more digits change nothing.
constexpr int kLargestCount = 100000;

std::optional<int> channelValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'Z')
        return c - 'A' + 10;
    if (c >= '_' && c <= 'z')
        return c - 59;
    return std::nullopt;
}

std::optional<SixBit> colourAt(std::string_view text, std::size_t pos) {
    if (text.size() - pos < 3)
        return std::nullopt;
    SixBit colour{};
    for (std::size_t k = 0; k < 3; ++k) {
        std::optional<int> value = channelValue(text[pos + k]);
        if (!value)
            return std::nullopt;
        colour[k] = *value;
    }
    return colour;
}

// "<n>" at pos (pos points at '<'): the count and the position after '>'.
std::optional<std::pair<int, std::size_t>> countAt(std::string_view text, std::size_t pos) {
    std::size_t at = pos + 1;
    int count = 0;
    bool anyDigit = false;
    while (at < text.size() && text[at] >= '0' && text[at] <= '9') {
        count = std::min(count * 10 + (text[at] - '0'), kLargestCount);
        anyDigit = true;
        ++at;
    }
    if (!anyDigit || at >= text.size() || text[at] != '>')
        return std::nullopt;
    return std::pair{count, at + 1};
}

class ColourDecoder {
public:
    explicit ColourDecoder(std::string_view text) : text_(text) {
        for (SixBit& colour : colours_)
            colour = {kMissing, kMissing, kMissing};
    }

    void run() {
        while (count_ < kPaletteEntries && pos_ < text_.size() && step()) {
        }
    }

    RgbTriples eightBit() const {
        RgbTriples out{};
        for (std::size_t i = 0; i < kPaletteEntries; ++i)
            for (std::size_t k = 0; k < 3; ++k)
                out[i][k] = static_cast<std::uint8_t>(colours_[i][k] * 4);
        return out;
    }

private:
    // Reads one colour or one interpolation count; false where decoding stops.
    bool step() {
        if (text_[pos_] == '<') {
            if (count_ == 0 || pendingCount_)
                return false;
            auto counted = countAt(text_, pos_);
            if (!counted)
                return false;
            pendingCount_ = counted->first;
            pos_ = counted->second;
            return true;
        }
        std::optional<SixBit> colour = colourAt(text_, pos_);
        if (!colour)
            return false;
        pos_ += 3;
        if (pendingCount_)
            interpolateTo(*colour, *std::exchange(pendingCount_, std::nullopt));
        if (count_ < kPaletteEntries)
            colours_[count_++] = *colour;
        return true;
    }

    // Fills n entries between the last colour and `after`, rounded to the nearest value.
    void interpolateTo(const SixBit& after, int n) {
        const SixBit before = colours_[count_ - 1];
        for (int k = 1; k <= n && count_ < kPaletteEntries; ++k) {
            SixBit mixed{};
            for (std::size_t c = 0; c < 3; ++c)
                mixed[c] = ((n + 1 - k) * before[c] + k * after[c] + (n + 1) / 2) / (n + 1);
            colours_[count_++] = mixed;
        }
    }

    std::string_view text_;
    std::size_t pos_ = 0;
    std::size_t count_ = 0;
    std::optional<int> pendingCount_;
    std::array<SixBit, kPaletteEntries> colours_{};
};

} // namespace

RgbTriples decodeColourList(std::string_view text) {
    ColourDecoder decoder(text);
    decoder.run();
    return decoder.eightBit();
}

namespace {

// The shortest runs worth an interpolation, and the longest one looked for.
constexpr std::size_t kShortestRun = 2;
constexpr std::size_t kLongestRun = 255;

char channelCharacter(int value) {
    if (value < 10)
        return static_cast<char>('0' + value);
    if (value < 36)
        return static_cast<char>('A' + value - 10);
    return static_cast<char>(value + 59);
}

SixBit sixBitOf(const std::array<std::uint8_t, 3>& colour) {
    return {colour[0] >> 2, colour[1] >> 2, colour[2] >> 2};
}

// Whether the decoder's interpolation between `first` and `last` gives every colour
// between them.
bool interpolationRebuilds(const std::vector<SixBit>& colours, std::size_t first,
                           std::size_t last) {
    const int n = static_cast<int>(last - first - 1);
    for (int k = 1; k <= n; ++k)
        for (std::size_t c = 0; c < 3; ++c) {
            const int mixed =
                ((n + 1 - k) * colours[first][c] + k * colours[last][c] + (n + 1) / 2) / (n + 1);
            if (mixed != colours[first + static_cast<std::size_t>(k)][c])
                return false;
        }
    return true;
}

void appendColour(std::string& out, const SixBit& colour) {
    for (int value : colour)
        out += channelCharacter(value);
}

} // namespace

std::string encodeColourList(const RgbTriples& colours, std::size_t count) {
    count = std::min(count, kPaletteEntries);
    std::vector<SixBit> six;
    for (std::size_t i = 0; i < count; ++i)
        six.push_back(sixBitOf(colours[i]));
    std::string out;
    std::size_t i = 0;
    while (i < count) {
        appendColour(out, six[i]);
        // The longest run after entry i that interpolation rebuilds, if any.
        std::size_t best = 0;
        for (std::size_t last = i + kShortestRun + 1; last < count && last - i - 1 <= kLongestRun;
             ++last)
            if (interpolationRebuilds(six, i, last))
                best = last;
        if (best == 0) {
            ++i;
            continue;
        }
        out += '<' + std::to_string(best - i - 1) + '>';
        i = best;
    }
    return out;
}

bool colourListIsExact(const RgbTriples& colours, std::size_t count) {
    for (std::size_t i = 0; i < std::min(count, kPaletteEntries); ++i)
        for (std::uint8_t value : colours[i])
            if (value % 4 != 0)
                return false;
    return true;
}

std::string encodeLowBits(const RgbTriples& colours, std::size_t count) {
    std::string out;
    for (std::size_t i = 0; i < std::min(count, kPaletteEntries); ++i)
        out += channelCharacter((colours[i][0] & 3) << 4 | (colours[i][1] & 3) << 2 |
                                (colours[i][2] & 3));
    return out;
}

void applyLowBits(RgbTriples& colours, std::string_view text) {
    for (std::size_t i = 0; i < std::min(text.size(), kPaletteEntries); ++i) {
        const std::optional<int> bits = channelValue(text[i]);
        if (!bits)
            return;
        const int shifts[] = {4, 2, 0};
        for (std::size_t c = 0; c < 3; ++c)
            colours[i][c] =
                static_cast<std::uint8_t>((colours[i][c] & ~3) | (*bits >> shifts[c] & 3));
    }
}

} // namespace vortimax
