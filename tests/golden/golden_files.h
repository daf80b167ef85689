#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vortimax::golden {

// One picture: a name and the arguments of "vortimax-cli render" that make it (without
// the output files, the program directory and the thread count, which the runner adds).
struct GoldenCase {
    std::string name;
    std::vector<std::string> args;
};

// The two hashes of one picture: of its value buffer as written to a .npy file and of
// its decoded pixels.
struct PictureHashes {
    std::uint64_t values = 0;
    std::uint64_t pixels = 0;
    bool operator==(const PictureHashes&) const = default;
};

using HashTable = std::map<std::string, PictureHashes>;

// What a file of cases or hashes held, or the problems that kept it from reading: one per
// bad line, as "LINE: reason".
template <typename T> struct Parsed {
    T value;
    std::vector<std::string> problems;
};

// The placeholder in a case's arguments that stands for the corpus directory; cases that
// use it are left out when that directory is absent.
constexpr std::string_view kCorpusPlaceholder = "@CORPUS@";
// The placeholder for this folder of the sources, which holds parameter files of its own.
constexpr std::string_view kGoldenPlaceholder = "@GOLDEN@";

// Reads the case list: one "NAME ARGUMENT..." line per case, blank lines and lines
// starting with '#' ignored. Names are letters, digits, '-', '_' and '.', each once;
// arguments may not name the options the runner sets itself.
Parsed<std::vector<GoldenCase>> parseCases(std::string_view text);

// Reads the hash table: one "NAME VALUES PIXELS" line per picture, each hash 16 hex digits.
Parsed<HashTable> parseHashes(std::string_view text);

// The hash table as parseHashes reads it, in name order, after a heading comment.
std::string formatHashes(const HashTable& table);

bool usesCorpus(const GoldenCase& golden);

// The arguments with the corpus placeholder replaced by `corpusDir`.
std::vector<std::string> expandCorpus(const GoldenCase& golden, std::string_view corpusDir);
// Every occurrence of `placeholder` in the arguments replaced by `dir`.
std::vector<std::string> expandPlaceholder(std::vector<std::string> args,
                                           std::string_view placeholder, std::string_view dir);

} // namespace vortimax::golden
