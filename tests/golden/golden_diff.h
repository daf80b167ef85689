#pragma once

#include "golden_files.h"

#include <string>
#include <vector>

namespace vortimax::golden {

// How the pictures rendered now differ from the stored hashes. Names in each list are
// sorted.
struct GoldenDiff {
    struct Change {
        std::string name;
        bool values = false;
        bool pixels = false;
    };
    std::vector<Change> changed;
    std::vector<std::string> added;   // rendered, but no stored hashes
    std::vector<std::string> removed; // stored hashes, but no such case
};

// Compares the hashes of the pictures rendered now with the stored ones. `skipped` names
// cases that exist but were not rendered (their corpus file is absent): their stored
// hashes count neither as removed nor as changed.
GoldenDiff compareHashes(const HashTable& stored, const HashTable& rendered,
                         const std::vector<std::string>& skipped);

bool isEmpty(const GoldenDiff& diff);

// One line per difference: "changed NAME: values, pixels", "added NAME", "removed NAME".
std::string describe(const GoldenDiff& diff);

// The table to store after an update: the rendered hashes plus the stored ones of the
// skipped cases.
HashTable updatedTable(const HashTable& stored, const HashTable& rendered,
                       const std::vector<std::string>& skipped);

} // namespace vortimax::golden
