#include "formula/library_writer.h"

#include "base/text_utils.h"

namespace vortimax {

namespace {

constexpr std::string_view kNameSeparator = "  {";

void appendElement(std::string& text, const IfsElement& element) {
    text += ' ';
    const std::size_t start = text.size();
    for (const char c : element.text) {
        if (static_cast<unsigned char>(c) > 32) {
            text.push_back(c);
        }
    }
    if (text.size() == start) {
        text += '0';
    }
}

} // namespace

std::string entryText(const FormulaEntry& entry) {
    std::string text = entry.name;
    text += kNameSeparator;
    text += entry.source;
    text += '}';
    return text;
}

std::string entryText(const IfsEntry& entry) {
    std::string text = entry.name;
    text += kNameSeparator;
    text += '\n';
    for (const IfsTransform& transform : entry.transforms) {
        for (const IfsElement& element : transform.elements) {
            appendElement(text, element);
        }
        text += '\n';
    }
    text += '}';
    return text;
}

std::string entryText(const LSystemEntry& entry) {
    std::string text = entry.name;
    text += kNameSeparator;
    text += "\nAngle ";
    text += formatFixed(entry.angle, 3);
    text += "\nAxiom ";
    text += entry.axiom;
    text += '\n';
    for (const LSystemRule& rule : entry.rules) {
        text += ' ';
        text += rule.letter;
        text += '=';
        text += rule.replacement;
        text += '\n';
    }
    text += '}';
    return text;
}

} // namespace vortimax
