#include "palette/palette_editing.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

namespace vortimax {

namespace {

constexpr double kLastPosition = static_cast<double>(kPaletteColours - 1);
constexpr double kTurn = static_cast<double>(kPaletteColours);
constexpr const char* kChannelNames[3] = {"Red", "Green", "Blue"};

int roundedPosition(double x) {
    return static_cast<int>(std::lround(std::clamp(x, 0.0, kLastPosition)));
}

} // namespace

PaletteEditing::PaletteEditing()
    : curves_{KnotCurve(Channel::Red), KnotCurve(Channel::Green), KnotCurve(Channel::Blue)} {}

void PaletteEditing::attach(Palette* palette, double offset) {
    palette_ = palette;
    refill(offset);
}

void PaletteEditing::refill(double offset) {
    offset_ = roundedPaletteOffset(offset);
    for (KnotCurve& curve : curves_) {
        if (palette_ != nullptr)
            curve.fill(*palette_, offset_);
        else
            curve = KnotCurve(curve.channel());
    }
}

void PaletteEditing::rebuild() {
    if (palette_ == nullptr)
        return;
    rebuildPalette(*palette_, curves_, offset_);
    if (rebuilt)
        rebuilt();
}

std::optional<std::size_t> PaletteEditing::addKnot(Channel channel, double x, double y) {
    if (palette_ == nullptr || !std::isfinite(x) || !std::isfinite(y))
        return std::nullopt;
    const int position = roundedPosition(x);
    const double value = static_cast<double>(std::lround(std::clamp(y, 0.0, 255.0)));
    KnotCurve& curve = curves_[index(channel)];
    std::size_t at;
    if (auto existing = curve.knotAt(position)) {
        at = *existing;
        curve[at].y = value;
    } else {
        palette_->setKnot(channel, entryAtScreen(position, offset_), true);
        at = curve.insert({static_cast<double>(position), value, false});
    }
    rebuild();
    return at;
}

std::optional<std::size_t> PaletteEditing::moveKnot(Channel channel, std::size_t knot, double x,
                                                    double y) {
    KnotCurve& curve = curves_[index(channel)];
    if (palette_ == nullptr || knot >= curve.size() || !std::isfinite(x) || !std::isfinite(y))
        return std::nullopt;
    // Between the neighbours' positions, so the knots keep their order and places.
    const double low = knot == 0 ? 0.0 : std::lround(curve[knot - 1].x) + 1.0;
    const double high =
        knot + 1 == curve.size() ? kLastPosition : std::lround(curve[knot + 1].x) - 1.0;
    Knot& moved = curve[knot];
    const int before = static_cast<int>(std::lround(moved.x));
    moved.x = std::clamp(x, low, std::max(low, high));
    moved.y = std::clamp(y, 0.0, 255.0);
    const int after = static_cast<int>(std::lround(moved.x));
    if (after != before) {
        palette_->setKnot(channel, entryAtScreen(before, offset_), false);
        palette_->setKnot(channel, entryAtScreen(after, offset_), true);
    }
    rebuild();
    return knot;
}

bool PaletteEditing::deleteKnot(Channel channel, std::size_t knot) {
    const KnotCurve& curve = curves_[index(channel)];
    if (palette_ == nullptr || knot >= curve.size() || curve.size() < 2)
        return false;
    removeKnot(channel, knot);
    rebuild();
    return true;
}

void PaletteEditing::removeKnot(Channel channel, std::size_t knot) {
    KnotCurve& curve = curves_[index(channel)];
    const int position = static_cast<int>(std::lround(curve[knot].x));
    palette_->setKnot(channel, entryAtScreen(position, offset_), false);
    curve.erase(knot);
}

std::optional<Rgb> PaletteEditing::colourAtScreen(double x) const {
    if (palette_ == nullptr || !(x >= -0.5 && x < kLastPosition + 0.5))
        return std::nullopt;
    return palette_->colour(entryAtScreen(roundedPosition(x), offset_));
}

std::vector<double> PaletteEditing::knotErrors(Channel channel) const {
    const std::vector<Knot>& knots = curves_[index(channel)].knots();
    const std::size_t n = knots.size();
    std::vector<double> errors(n, 0.0);
    if (n < 2)
        return errors;
    for (std::size_t i = 0; i < n; ++i) {
        Knot previous = knots[(i + n - 1) % n];
        Knot next = knots[(i + 1) % n];
        if (i == 0)
            previous.x -= kTurn;
        if (i + 1 == n)
            next.x += kTurn;
        const Knot& k = knots[i];
        const double line =
            previous.y + (k.x - previous.x) * (next.y - previous.y) / (next.x - previous.x);
        errors[i] = std::fabs(k.y - line);
    }
    return errors;
}

MessageAnswer PaletteEditing::removeKnots(Channel channel, Frontend* ask) {
    MessageAnswer answer = MessageAnswer::Yes;
    KnotCurve& curve = curves_[index(channel)];
    while (palette_ != nullptr && curve.size() >= 2) {
        const std::vector<double> errors = knotErrors(channel);
        const auto smallest = std::min_element(errors.begin(), errors.end());
        const auto knot = static_cast<std::size_t>(smallest - errors.begin());
        if (*smallest < errorLimit) {
            removeKnot(channel, knot);
            continue;
        }
        if (ask == nullptr)
            break;
        curve[knot].highlighted = true;
        rebuild();
        answer = ask->messageBox(kKnotRemovalCaption,
                                 knotRemovalQuestion(channel, knot, *smallest, errorLimit),
                                 MessageButtons::YesNoCancel, MessageIcon::Question);
        curve.clearHighlights();
        if (answer != MessageAnswer::Yes)
            break;
        removeKnot(channel, knot);
    }
    rebuild();
    return answer;
}

void PaletteEditing::cleanUp(Frontend& frontend) {
    for (Channel channel : {Channel::Red, Channel::Green, Channel::Blue})
        removeKnots(channel, nullptr);
    for (Channel channel : {Channel::Red, Channel::Green, Channel::Blue})
        if (removeKnots(channel, &frontend) == MessageAnswer::Cancel)
            return;
}

std::string knotRemovalQuestion(Channel channel, std::size_t knot, double error, double limit) {
    char text[300];
    std::snprintf(text, sizeof text,
                  "Color space: \t%s\nKnot number: \t%d\nError made:\t%.3lf\nError limit: "
                  "\t%.3lf\nShould this knot be removed?",
                  kChannelNames[static_cast<int>(channel)], static_cast<int>(knot), error, limit);
    return text;
}

} // namespace vortimax
