#include "golden_files.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <set>
#include <sstream>

namespace vortimax::golden {

namespace {

// Options of "vortimax-cli render" that the runner sets itself for every case.
constexpr std::string_view kRunnerOptions[] = {"-o", "--values", "--dir", "--threads"};

// No case or hash line needs more characters than this; longer lines are refused.
constexpr std::size_t kLongestLine = 4096;

std::vector<std::string> splitWords(std::string_view line) {
    std::vector<std::string> words;
    std::istringstream stream{std::string(line)};
    for (std::string word; stream >> word;)
        words.push_back(word);
    return words;
}

bool isNameChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '_' || c == '.';
}

bool isValidName(std::string_view name) {
    return !name.empty() && std::all_of(name.begin(), name.end(), isNameChar);
}

bool isIgnored(const std::vector<std::string>& words) {
    return words.empty() || words.front().starts_with('#');
}

std::optional<std::uint64_t> parseHex(std::string_view text) {
    if (text.size() != 16 || !std::all_of(text.begin(), text.end(), [](char c) {
            return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
        }))
        return std::nullopt;
    std::uint64_t value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value, 16);
    return value;
}

std::string hex(std::uint64_t value) {
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(value));
    return text;
}

// Calls `take(lineNumber, words)` for every line that is neither blank nor a comment;
// `take` returns a problem or an empty string.
template <typename Take> std::vector<std::string> forEachLine(std::string_view text, Take take) {
    std::vector<std::string> problems;
    std::istringstream stream{std::string(text)};
    int number = 0;
    for (std::string line; std::getline(stream, line);) {
        ++number;
        if (line.size() > kLongestLine) {
            problems.push_back(std::to_string(number) + ": line too long");
            continue;
        }
        auto words = splitWords(line);
        if (isIgnored(words))
            continue;
        if (std::string problem = take(words); !problem.empty())
            problems.push_back(std::to_string(number) + ": " + problem);
    }
    return problems;
}

std::string checkArguments(const std::vector<std::string>& words) {
    if (words.size() < 2)
        return "a case needs render arguments after its name";
    for (std::string_view option : kRunnerOptions)
        if (std::find(words.begin() + 1, words.end(), option) != words.end())
            return std::string(option) + " is set by the runner";
    return {};
}

} // namespace

Parsed<std::vector<GoldenCase>> parseCases(std::string_view text) {
    Parsed<std::vector<GoldenCase>> parsed;
    std::set<std::string> names;
    parsed.problems = forEachLine(text, [&](const std::vector<std::string>& words) {
        if (!isValidName(words[0]))
            return "\"" + words[0] + "\" is not a case name";
        if (!names.insert(words[0]).second)
            return "case \"" + words[0] + "\" appears twice";
        if (std::string problem = checkArguments(words); !problem.empty())
            return problem;
        parsed.value.push_back({words[0], {words.begin() + 1, words.end()}});
        return std::string();
    });
    return parsed;
}

Parsed<HashTable> parseHashes(std::string_view text) {
    Parsed<HashTable> parsed;
    parsed.problems = forEachLine(text, [&](const std::vector<std::string>& words) {
        if (words.size() != 3 || !isValidName(words[0]))
            return std::string("expected NAME VALUES PIXELS");
        auto values = parseHex(words[1]);
        auto pixels = parseHex(words[2]);
        if (!values || !pixels)
            return "the hashes of \"" + words[0] + "\" are not 16 lower-case hex digits";
        if (!parsed.value.emplace(words[0], PictureHashes{*values, *pixels}).second)
            return "\"" + words[0] + "\" appears twice";
        return std::string();
    });
    return parsed;
}

std::string formatHashes(const HashTable& table) {
    std::string text = "# Written by golden_images --update: NAME, then the 64-bit FNV-1a of the\n"
                       "# value buffer (.npy file) and of the decoded PNG pixels.\n";
    for (const auto& [name, hashes] : table)
        text += name + ' ' + hex(hashes.values) + ' ' + hex(hashes.pixels) + '\n';
    return text;
}

bool usesCorpus(const GoldenCase& golden) {
    return std::any_of(golden.args.begin(), golden.args.end(), [](const std::string& arg) {
        return arg.find(kCorpusPlaceholder) != std::string::npos;
    });
}

std::vector<std::string> expandPlaceholder(std::vector<std::string> args,
                                           std::string_view placeholder, std::string_view dir) {
    for (std::string& arg : args)
        for (auto at = arg.find(placeholder); at != std::string::npos;
             at = arg.find(placeholder, at + dir.size()))
            arg.replace(at, placeholder.size(), dir);
    return args;
}

std::vector<std::string> expandCorpus(const GoldenCase& golden, std::string_view corpusDir) {
    return expandPlaceholder(golden.args, kCorpusPlaceholder, corpusDir);
}

} // namespace vortimax::golden
