#include "app/config_file.h"

#include "base/atomic_file.h"
#include "base/text_io.h"
#include "base/text_utils.h"
#include "model/calculation_pool.h"

#include <algorithm>
#include <array>
#include <climits>
#include <fstream>
#include <initializer_list>

namespace vortimax {

namespace {

constexpr std::string_view kCommentKeyword = "DefaultComment";
constexpr std::string_view kRecentFileKeyword = "RecentFile";
constexpr std::string_view kCommentEnd = "$$$EndComment$$$";

// A line split into its keyword, what follows it, and the integers that follow it.
struct ConfigLine {
    std::string_view keyword;
    std::string_view rest;
    std::array<int, 5> numbers{};
    std::size_t count = 0;
};

ConfigLine scanLine(std::string_view text) {
    ConfigLine line;
    TextScanner scanner(text);
    line.keyword = scanner.word().value_or(std::string_view{});
    line.rest = scanner.rest();
    line.count = scanner.integers(line.numbers.data(), line.numbers.size());
    return line;
}

// --- Keywords with a fixed meaning -------------------------------------------------

void applyDrawingSpeed(const ConfigLine& line, Settings& settings) {
    settings.drawingSpeed =
        std::clamp(line.numbers[0], Settings::kMinDrawingSpeed, Settings::kMaxDrawingSpeed);
}

void applyCalculationThreads(const ConfigLine& line, Settings& settings) {
    settings.calculationThreads = std::clamp(line.numbers[0], 0, CalculationPool::kMostThreads);
}

void applyDisplayDepth(const ConfigLine& line, Settings& settings) {
    settings.displayDepth = line.numbers[0] > 10 ? 24 : 8;
}

void applyAutoSave(const ConfigLine& line, Settings& settings) {
    settings.autoSave = line.numbers[0] != 0;
}

ToolWindowState windowState(const ConfigLine& line) {
    return {line.numbers[0], line.numbers[1], line.numbers[2] != 0};
}

void applyParm1(const ConfigLine& line, Settings& settings) {
    settings.parm1 = windowState(line);
}

void applyParm2(const ConfigLine& line, Settings& settings) {
    settings.parm2 = windowState(line);
}

// The file holds width - 1 and height - 1 (the way the line has always been written);
// adding the 1 back keeps the window from shrinking by a pixel on every start.
void applyMainWindow(const ConfigLine& line, Settings& settings) {
    const auto grow = [](int value) { return value < INT_MAX ? value + 1 : value; };
    const MainWindowPlacement placement{line.numbers[0], line.numbers[1], grow(line.numbers[2]),
                                        grow(line.numbers[3]), line.numbers[4]};
    if (placement.width > 0 && placement.height > 0) {
        settings.mainWindow = placement;
    }
}

// Face in double quotes followed by size and style; without quotes, three words.
std::optional<FontSetting> parseFont(std::string_view rest) {
    std::string_view face;
    std::string_view numbers;
    const std::size_t open = rest.find('"');
    if (open == std::string_view::npos) {
        TextScanner scanner(rest);
        face = scanner.word().value_or(std::string_view{});
        numbers = scanner.rest();
        if (face.empty()) {
            return std::nullopt;
        }
    } else {
        const std::size_t close = rest.find('"', open + 1);
        if (close == std::string_view::npos) {
            return std::nullopt;
        }
        face = rest.substr(open + 1, close - open - 1);
        numbers = rest.substr(close + 1);
    }
    int values[2] = {};
    if (TextScanner(numbers).integers(values, 2) != 2) {
        return std::nullopt;
    }
    return FontSetting{std::string(face.substr(0, kFontFaceMaxLength)), values[0], values[1]};
}

void applyGuiFont(const ConfigLine& line, Settings& settings) {
    if (auto font = parseFont(line.rest)) {
        settings.guiFont = std::move(*font);
    }
}

void applySmallFont(const ConfigLine& line, Settings& settings) {
    if (auto font = parseFont(line.rest)) {
        settings.smallFont = std::move(*font);
    }
}

struct KeywordRule {
    std::string_view keyword;
    std::size_t integers; // the line is ignored when fewer follow the keyword
    void (*apply)(const ConfigLine&, Settings&);
};

constexpr std::array kRules{
    KeywordRule{"DrawingSpeed", 1, applyDrawingSpeed},
    KeywordRule{"AutoSave", 1, applyAutoSave},
    KeywordRule{"CalculationThreads", 1, applyCalculationThreads},
    KeywordRule{"DisplayDepth", 1, applyDisplayDepth},
    KeywordRule{"GUIFont", 0, applyGuiFont},
    KeywordRule{"SmallFont", 0, applySmallFont},
    KeywordRule{"Parm1", 3, applyParm1},
    KeywordRule{"Parm2", 3, applyParm2},
    KeywordRule{"Vortimax", 5, applyMainWindow},
};

// --- Library paths -------------------------------------------------------------------

struct PathRule {
    std::string_view keyword;
    std::string LibraryPaths::*list;
    std::filesystem::path LibraryPaths::*saveDir; // null: no save directory
};

constexpr std::array kPathRules{
    PathRule{"ProjectPath", &LibraryPaths::projects, &LibraryPaths::projectSaveDir},
    PathRule{"PalettePath", &LibraryPaths::palettes, &LibraryPaths::paletteSaveDir},
    PathRule{"FormulaPath", &LibraryPaths::formulas, &LibraryPaths::formulaSaveDir},
    PathRule{"AnimPath", &LibraryPaths::anims, nullptr},
    PathRule{"PicturePath", &LibraryPaths::pictures, nullptr},
};

// The value is the rest of the line, so that directories with blanks survive a round
// trip; a list without any directory is ignored.
void applyPath(const PathRule& rule, std::string_view rest, Settings& settings) {
    const std::string_view value = trimSpace(rest);
    const auto directories = splitPathList(value);
    if (directories.empty()) {
        return;
    }
    settings.paths.*rule.list = std::string(value);
    if (rule.saveDir != nullptr) {
        settings.paths.*rule.saveDir = directories.front();
    }
}

// --- Dispatch ------------------------------------------------------------------------

bool applyFixedRule(const ConfigLine& line, Settings& settings) {
    for (const KeywordRule& rule : kRules) {
        if (equalsIgnoreCase(line.keyword, rule.keyword)) {
            if (line.count >= rule.integers) {
                rule.apply(line, settings);
            }
            return true;
        }
    }
    return false;
}

bool applyPathRule(const ConfigLine& line, Settings& settings) {
    for (const PathRule& rule : kPathRules) {
        if (equalsIgnoreCase(line.keyword, rule.keyword)) {
            applyPath(rule, line.rest, settings);
            return true;
        }
    }
    return false;
}

bool applyConfirmation(const ConfigLine& line, Settings& settings) {
    for (std::size_t i = 0; i < kConfirmationCount; ++i) {
        if (equalsIgnoreCase(line.keyword, kConfirmationKeywords[i])) {
            if (line.count >= 1) {
                settings.confirmations[i] = line.numbers[0] != 0;
            }
            return true;
        }
    }
    return false;
}

void applyToolWindow(const ConfigLine& line, Settings& settings) {
    const auto row = ToolWindowRegistry::findByKeyword(line.keyword);
    if (row && line.count >= 3) {
        settings.toolWindows.state(*row) = windowState(line);
    }
}

// One line per file, the newest first; more than the list holds are passed over.
bool applyRecentFile(const ConfigLine& line, Settings& settings) {
    if (!equalsIgnoreCase(line.keyword, kRecentFileKeyword)) {
        return false;
    }
    const std::string_view file = trimSpace(line.rest);
    if (!file.empty() && settings.recentFiles.size() < Settings::kMaxRecentFiles) {
        settings.recentFiles.emplace_back(file);
    }
    return true;
}

void applyLine(std::string_view text, Settings& settings) {
    const ConfigLine line = scanLine(text);
    if (line.keyword.empty() || applyRecentFile(line, settings)) {
        return;
    }
    if (!applyFixedRule(line, settings) && !applyPathRule(line, settings) &&
        !applyConfirmation(line, settings)) {
        applyToolWindow(line, settings);
    }
}

// Collects the lines after "DefaultComment" up to the end marker. A line that would make
// the comment longer than the limit ends it; that line is handed back to be read as an
// ordinary line, like all lines after it. Carriage returns left at a line's end (a line
// ending CR CR LF) belong to the line break: a kept one could not be written back, since
// the written file ends its lines with CR LF.
std::optional<std::string> collectComment(LineReader& reader, Settings& settings) {
    std::string text;
    std::string line;
    std::optional<std::string> leftover;
    while (reader.next(line)) {
        while (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (line.starts_with(kCommentEnd)) {
            break;
        }
        if (text.size() + line.size() + 1 > kDefaultCommentMaxLength) {
            leftover = std::move(line);
            break;
        }
        text += line;
        text += '\n';
    }
    if (!text.empty()) {
        text.pop_back();
    }
    settings.defaultComment = std::move(text);
    return leftover;
}

bool isCommentStart(std::string_view line) {
    TextScanner scanner(line);
    const auto keyword = scanner.word();
    return keyword && equalsIgnoreCase(*keyword, kCommentKeyword);
}

// --- Writing -------------------------------------------------------------------------

void appendLine(std::string& out, std::string_view keyword,
                std::initializer_list<long long> values) {
    out += keyword;
    for (const long long value : values) {
        out += ' ';
        appendInteger(out, value);
    }
    out += '\n';
}

void appendFont(std::string& out, std::string_view keyword, const FontSetting& font) {
    out += keyword;
    out += " \"";
    out += font.face;
    out += "\" ";
    appendInteger(out, font.size);
    out += ' ';
    appendInteger(out, font.style);
    out += '\n';
}

void appendWindow(std::string& out, std::string_view keyword, const ToolWindowState& state) {
    appendLine(out, keyword, {state.x, state.y, state.open ? 1 : 0});
}

void appendPlacements(std::string& out, const Settings& settings) {
    appendWindow(out, "Parm1", settings.parm1);
    appendWindow(out, "Parm2", settings.parm2);
    for (std::size_t i = 0; i < ToolWindowRegistry::size(); ++i) {
        if (ToolWindowRegistry::isSavedOnItsOwn(i)) {
            appendWindow(out, ToolWindowRegistry::row(i).keyword, settings.toolWindows.state(i));
        }
    }
}

void appendMainWindow(std::string& out, const Settings& settings) {
    if (!settings.mainWindow) {
        return; // never placed: nothing to remember
    }
    const MainWindowPlacement& w = *settings.mainWindow;
    appendLine(out, "Vortimax",
               {w.x, w.y, static_cast<long long>(w.width) - 1, static_cast<long long>(w.height) - 1,
                w.showState});
}

void appendComment(std::string& out, const Settings& settings) {
    if (settings.defaultComment) {
        out += kCommentKeyword;
        out += '\n';
        out += *settings.defaultComment;
        out += '\n';
        out += kCommentEnd; // the file ends here, without a line break
    }
}

} // namespace

std::string formatConfiguration(const Settings& settings) {
    std::string out;
    appendPlacements(out, settings);
    appendLine(out, "DrawingSpeed", {settings.drawingSpeed});
    appendLine(out, "DisplayDepth", {settings.displayDepth});
    appendFont(out, "GUIFont", settings.guiFont);
    appendFont(out, "SmallFont", settings.smallFont);
    appendMainWindow(out, settings);
    for (std::size_t i = 0; i < kConfirmationCount; ++i) {
        appendLine(out, kConfirmationKeywords[i], {settings.confirmations[i] ? 1 : 0});
    }
    for (const PathRule& rule : kPathRules) {
        out += rule.keyword;
        out += ' ';
        out += settings.paths.*rule.list;
        out += '\n';
    }
    appendLine(out, "AutoSave", {settings.autoSave ? 1 : 0});
    if (settings.calculationThreads != 0)
        appendLine(out, "CalculationThreads", {settings.calculationThreads});
    for (const std::string& file : settings.recentFiles) {
        out += kRecentFileKeyword;
        out += ' ';
        out += file;
        out += '\n';
    }
    appendComment(out, settings); // last: the comment runs to the end of the file
    return out;
}

bool writeConfiguration(const std::filesystem::path& path, const Settings& settings) {
    return writeFileAtomically(path, withCrLf(formatConfiguration(settings)));
}

bool readConfiguration(const std::filesystem::path& path, Settings& settings) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) {
        return false;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return false;
    }
    // Read into a copy so that a read error part-way leaves the settings untouched.
    Settings result = settings;
    LineReader reader(in, kConfigMaxLineLength);
    std::string line;
    std::optional<std::string> pending;
    while (pending || reader.next(line)) {
        if (pending) {
            line = std::move(*pending);
            pending.reset();
        }
        if (isCommentStart(line)) {
            pending = collectComment(reader, result);
        } else {
            applyLine(line, result);
        }
    }
    if (reader.failed()) {
        return false;
    }
    settings = std::move(result);
    return true;
}

} // namespace vortimax
