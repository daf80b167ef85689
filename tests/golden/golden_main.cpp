// golden_images: renders every case of cases.txt through vortimax-cli and compares the
// hashes of its values and pixels with hashes.txt. With --update it rewrites hashes.txt
// and prints what changed; with --compare-threads it renders every case on one and on two
// threads and lists the cases whose pictures differ.

#include "case_render.h"
#include "golden_diff.h"
#include "golden_files.h"

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string_view>
#include <thread>

namespace {

namespace fs = std::filesystem;
using namespace vortimax::golden;

constexpr int kPass = 0, kFail = 1, kSetupError = 2;
// Every comparison renders on this many threads; --compare-threads checks that one
// thread gives the same pictures.
constexpr int kThreads = 2;
constexpr int kConcurrentRenders = 4;

struct Options {
    bool update = false;
    bool compareThreads = false;
    fs::path cli = VORTIMAX_CLI_PATH;
    fs::path cases = VORTIMAX_GOLDEN_DIR "/cases.txt";
    fs::path hashes = VORTIMAX_GOLDEN_DIR "/hashes.txt";
    fs::path corpus = VORTIMAX_CORPUS_DIR;
};

std::optional<Options> parseOptions(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        std::string_view arg = argv[i];
        bool hasValue = i + 1 < argc;
        if (arg == "--update")
            options.update = true;
        else if (arg == "--compare-threads")
            options.compareThreads = true;
        else if (arg == "--cli" && hasValue)
            options.cli = argv[++i];
        else if (arg == "--cases" && hasValue)
            options.cases = argv[++i];
        else if (arg == "--hashes" && hasValue)
            options.hashes = argv[++i];
        else if (arg == "--corpus" && hasValue)
            options.corpus = argv[++i];
        else
            return std::nullopt;
    }
    return options;
}

std::optional<std::string> readText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    return std::string{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A fresh scratch directory, removed with its contents when the object goes.
class Scratch {
public:
    Scratch() {
        std::string pattern = (fs::temp_directory_path() / "vortimax-golden-XXXXXX").string();
        if (mkdtemp(pattern.data()) != nullptr)
            path_ = pattern;
    }
    ~Scratch() {
        std::error_code ignored;
        if (!path_.empty())
            fs::remove_all(path_, ignored);
    }
    Scratch(const Scratch&) = delete;
    Scratch& operator=(const Scratch&) = delete;
    const fs::path& path() const { return path_; }

private:
    fs::path path_;
};

template <typename T>
bool reportProblems(const Parsed<T>& parsed, const fs::path& file, std::ostream& err) {
    for (const std::string& problem : parsed.problems)
        err << file.string() << ':' << problem << '\n';
    return parsed.problems.empty();
}

// What rendering the cases gave: hashes by name, the cases left out for want of the
// corpus, and the cases that did not render.
struct RenderRun {
    HashTable hashes;
    std::vector<std::string> skipped;
    std::vector<std::string> failures;
};

// Renders the cases that can be rendered, kConcurrentRenders at a time: each render spends
// most of its time starting up and waiting, not calculating. Every worker has a program
// directory of its own, since the first render into one sets it up.
std::vector<std::optional<RenderOutcome>> renderConcurrently(const std::vector<GoldenCase>& cases,
                                                             const Options& options,
                                                             const RenderSetup& setup,
                                                             int threads) {
    const bool haveCorpus = fs::is_directory(options.corpus);
    std::vector<std::optional<RenderOutcome>> outcomes(cases.size());
    std::atomic<std::size_t> next{0};
    auto work = [&](int worker) {
        RenderSetup own = setup;
        own.programDir = setup.programDir / std::to_string(worker);
        for (std::size_t i = next++; i < cases.size(); i = next++)
            if (!usesCorpus(cases[i]) || haveCorpus)
                outcomes[i] =
                    renderAndHash(own, cases[i].name,
                                  expandPlaceholder(expandCorpus(cases[i], options.corpus.string()),
                                                    kGoldenPlaceholder, VORTIMAX_GOLDEN_DIR),
                                  threads);
    };
    {
        std::vector<std::jthread> workers;
        for (int worker = 0; worker < kConcurrentRenders; ++worker)
            workers.emplace_back(work, worker);
    }
    return outcomes;
}

RenderRun renderAll(const std::vector<GoldenCase>& cases, const Options& options,
                    const RenderSetup& setup, int threads) {
    const auto outcomes = renderConcurrently(cases, options, setup, threads);
    RenderRun run;
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const std::string& name = cases[i].name;
        if (!outcomes[i])
            run.skipped.push_back(name);
        else if (outcomes[i]->hashes)
            run.hashes[name] = *outcomes[i]->hashes;
        else
            run.failures.push_back(name + ": " + outcomes[i]->problem);
    }
    return run;
}

void printSummary(const RenderRun& run, std::size_t caseCount) {
    std::cout << "golden images: " << run.hashes.size() << " of " << caseCount << " rendered";
    if (!run.skipped.empty())
        std::cout << ", " << run.skipped.size() << " skipped (no corpus directory)";
    std::cout << '\n';
    for (const std::string& failure : run.failures)
        std::cout << "did not render " << failure << '\n';
}

int compare(const RenderRun& run, const HashTable& stored, const Options& options) {
    const GoldenDiff diff = compareHashes(stored, run.hashes, run.skipped);
    if (isEmpty(diff) && run.failures.empty()) {
        std::cout << "every picture matches " << options.hashes.string() << '\n';
        return kPass;
    }
    std::cout << "pictures differ from " << options.hashes.string() << ":\n"
              << describe(diff)
              << "if the change is meant, rewrite the hashes with: golden_images --update\n";
    return kFail;
}

int update(const RenderRun& run, const HashTable& stored, const Options& options) {
    if (!run.failures.empty()) {
        std::cout << "hashes not written: some cases did not render\n";
        return kFail;
    }
    const GoldenDiff diff = compareHashes(stored, run.hashes, run.skipped);
    std::cout << (isEmpty(diff) ? "no picture changed\n" : describe(diff));
    std::ofstream out(options.hashes, std::ios::binary | std::ios::trunc);
    out << formatHashes(updatedTable(stored, run.hashes, run.skipped));
    if (!out.flush()) {
        std::cerr << "golden_images: cannot write " << options.hashes.string() << '\n';
        return kSetupError;
    }
    std::cout << "wrote " << options.hashes.string() << '\n';
    return kPass;
}

int compareThreadCounts(const std::vector<GoldenCase>& cases, const Options& options,
                        const RenderSetup& setup) {
    const RenderRun one = renderAll(cases, options, setup, 1);
    const RenderRun two = renderAll(cases, options, setup, kThreads);
    printSummary(two, cases.size());
    const GoldenDiff diff = compareHashes(one.hashes, two.hashes, {});
    for (const auto& change : diff.changed)
        std::cout << "one and two threads differ: " << change.name << '\n';
    if (diff.changed.empty())
        std::cout << "one and two threads give the same pictures\n";
    return diff.changed.empty() && one.failures.empty() && two.failures.empty() ? kPass : kFail;
}

} // namespace

int main(int argc, char** argv) {
    const std::optional<Options> options = parseOptions(argc, argv);
    if (!options) {
        std::cerr << "usage: golden_images [--update | --compare-threads] [--cli PATH] "
                     "[--cases FILE] [--hashes FILE] [--corpus DIR]\n";
        return kSetupError;
    }
    const auto casesText = readText(options->cases);
    const auto hashesText = readText(options->hashes);
    if (!casesText || (!hashesText && !options->update)) {
        std::cerr << "golden_images: cannot read " << options->cases.string() << " or "
                  << options->hashes.string() << '\n';
        return kSetupError;
    }
    const auto cases = parseCases(*casesText);
    const auto stored = parseHashes(hashesText.value_or(""));
    if (!reportProblems(cases, options->cases, std::cerr) ||
        !reportProblems(stored, options->hashes, std::cerr))
        return kSetupError;
    Scratch scratch;
    if (scratch.path().empty()) {
        std::cerr << "golden_images: cannot make a scratch directory\n";
        return kSetupError;
    }
    const RenderSetup setup{options->cli, scratch.path(), scratch.path() / "program"};
    if (options->compareThreads)
        return compareThreadCounts(cases.value, *options, setup);
    const RenderRun run = renderAll(cases.value, *options, setup, kThreads);
    printSummary(run, cases.value.size());
    return options->update ? update(run, stored.value, *options)
                           : compare(run, stored.value, *options);
}
