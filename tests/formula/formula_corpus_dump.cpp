// Writes, for every formula of the formula files under a folder, whether it compiles and
// the compiled words of each statement, one formula per block. Comparing the output of two
// builds shows every formula whose compiled code changed.
//
//   formula_corpus_dump FOLDER > dump.txt

#include "formula/formula_batch.h"
#include "formula/formula_blocks.h"
#include "formula/formula_entry.h"
#include "formula/formula_preprocess.h"
#include "formula/library_reader.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {

using vortimax::CompiledStatement;

void printStatement(const char* label, const CompiledStatement& statement) {
    std::printf("  %s", label);
    for (const std::uint32_t word : statement.words) {
        std::printf(" %u", word);
    }
    std::printf("\n");
}

// The first line that fails to compile by itself, with its error code; or the note that
// the lines compile but the sections do not fit together.
void printFirstError(std::string_view body) {
    vortimax::VariableList variables;
    std::vector<CompiledStatement> statements;
    vortimax::BlockCompiler compiler(variables, statements);
    for (const std::string& line : vortimax::preprocessFormula(body)) {
        const vortimax::CompileError error =
            line == ":" ? vortimax::CompileError::None : compiler.line(line);
        if (error != vortimax::CompileError::None) {
            std::printf("  error %d in %s\n", static_cast<int>(error), line.c_str());
            return;
        }
    }
    std::printf("  error sections\n");
}

void printEntry(const std::string& where, const std::string& name, std::string_view body) {
    vortimax::FormulaEntry entry;
    const int result = vortimax::compileFormula(entry, name, body, {.silent = true}, nullptr);
    std::printf("%s %s %s\n", where.c_str(), name.c_str(), result == 0 ? "ok" : "FAIL");
    if (result != 0) {
        printFirstError(body);
        return;
    }
    const vortimax::FormulaCode& code = entry.code;
    std::printf("  variables %u\n", code.variableCount);
    vortimax::FormulaSettings settings;
    settings.fn = {0, 1, 2, 3};
    std::printf("  batch %s\n",
                vortimax::FormulaBatchIterator(code, settings).batched() ? "yes" : "no");
    for (const CompiledStatement& statement : code.init) {
        printStatement("init", statement);
    }
    for (const CompiledStatement& statement : code.iteration) {
        printStatement("iter", statement);
    }
    printStatement("abort", *code.abort);
    printStatement("inside", code.insideColour);
    printStatement("outside", code.outsideColour);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    std::vector<std::filesystem::path> files;
    for (const auto& file : std::filesystem::recursive_directory_iterator(argv[1])) {
        if (file.is_regular_file()) {
            files.push_back(file.path());
        }
    }
    std::sort(files.begin(), files.end());
    for (const std::filesystem::path& file : files) {
        const std::optional<std::string> text = vortimax::readLibraryText(file);
        if (!text) {
            continue;
        }
        const std::string where = std::filesystem::relative(file, argv[1]).string();
        vortimax::forEachLibraryEntry(*text, nullptr, [&](const vortimax::LibraryTextEntry& e) {
            printEntry(where, e.name, e.body);
        });
    }
    return 0;
}
