#include "golden_diff.h"

#include <algorithm>

namespace vortimax::golden {

namespace {

bool contains(const std::vector<std::string>& names, const std::string& name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

std::string changedParts(const GoldenDiff::Change& change) {
    if (change.values && change.pixels)
        return "values, pixels";
    return change.values ? "values" : "pixels";
}

} // namespace

GoldenDiff compareHashes(const HashTable& stored, const HashTable& rendered,
                         const std::vector<std::string>& skipped) {
    GoldenDiff diff;
    for (const auto& [name, now] : rendered) {
        auto before = stored.find(name);
        if (before == stored.end())
            diff.added.push_back(name);
        else if (before->second != now)
            diff.changed.push_back(
                {name, before->second.values != now.values, before->second.pixels != now.pixels});
    }
    for (const auto& [name, hashes] : stored)
        if (!rendered.contains(name) && !contains(skipped, name))
            diff.removed.push_back(name);
    return diff;
}

bool isEmpty(const GoldenDiff& diff) {
    return diff.changed.empty() && diff.added.empty() && diff.removed.empty();
}

std::string describe(const GoldenDiff& diff) {
    std::string text;
    for (const auto& change : diff.changed)
        text += "changed " + change.name + ": " + changedParts(change) + '\n';
    for (const auto& name : diff.added)
        text += "added   " + name + '\n';
    for (const auto& name : diff.removed)
        text += "removed " + name + '\n';
    return text;
}

HashTable updatedTable(const HashTable& stored, const HashTable& rendered,
                       const std::vector<std::string>& skipped) {
    HashTable table = rendered;
    for (const std::string& name : skipped)
        if (auto kept = stored.find(name); kept != stored.end())
            table.insert(*kept);
    return table;
}

} // namespace vortimax::golden
