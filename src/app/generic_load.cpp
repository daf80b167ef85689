#include "app/generic_load.h"

#include "app/application.h"
#include "base/text_utils.h"
#include "imagefile/image_commands.h"
#include "model/fractal_view.h"
#include "palette/palette_application.h"
#include "palette/palette_commands.h"
#include "parfile/par_loader.h"
#include "parfile/zar_import.h"

#include <algorithm>

namespace vortimax {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kLoadCaption = "Load...";
constexpr std::string_view kNothingSelected = "Nothing selected";
constexpr std::string_view kUnknownExtension =
    "You chose a file, whose extension is unknown to Vortimax.\n"
    "This load requester can load files having the following extensions:\n"
    "  *.par\n  *.frm\n  *.png\n  *.map\n\n"
    "If you want to load your files, choose the appropriate command from the menu...";
constexpr std::string_view kLoadingParameterFiles = "Loading parameter files";
constexpr std::string_view kLoadingParameterFile = "Loading parameter file";
constexpr std::string_view kNothingLoaded = " holds no fractals or could not be read.";

void tell(Application& app, std::string_view caption, std::string_view text,
          MessageIcon icon = MessageIcon::Information) {
    app.frontend().messageBox(caption, text, MessageButtons::Ok, icon);
}

bool hasExtension(const fs::path& file, std::string_view extension) {
    return equalsIgnoreCase(file.extension().string(), extension);
}

void loadPaletteFiles(Application& app, const std::vector<fs::path>& files) {
    FractalRecord* record = app.currentFractal();
    PaletteLoadResult result = loadPalettes(app.palettes(), app.frontend(), files, record);
    if (result.applied != nullptr && record != nullptr && record->view != nullptr) {
        pauseView(*record->view);
        applyPaletteToView(*record->view, app.palettes());
        redrawView(*record->view);
    }
}

} // namespace

void loadParameterFiles(Application& app, const std::vector<fs::path>& files) {
    ParameterLoadOptions options;
    options.context = app.creationContext();
    for (const fs::path& file : files) {
        if (hasExtension(file, ".zar")) {
            importZarIntoWorkspace(file, app.workspace(), app.frontend(), options.context);
            continue;
        }
        Folder* folder = nullptr;
        std::string refusal;
        const bool aborted = app.runLoad(kLoadingParameterFiles, [&](Progress& progress) {
            progress.setText(kLoadingParameterFile);
            folder = loadParameterFile(file, app.workspace(), &progress, options, &refusal);
            return progress.abortRequested();
        });
        if (folder != nullptr) {
            app.workspace().selectFolder(*folder, true);
            rememberRecentFile(app.settings(), file);
        } else if (!aborted)
            tell(app, kLoadingParameterFiles,
                 refusal.empty() ? file.string() + std::string(kNothingLoaded) : refusal + '.',
                 MessageIcon::Warning);
        if (aborted)
            return;
    }
}

void loadImageFile(Application& app, std::optional<fs::path> file) {
    LoadImageContext context{app.workspace(),
                             app.palettes(),
                             app.frontend(),
                             app.creationContext(),
                             app.screen().width,
                             app.screen().height,
                             app.settings().paths.projectSaveDir,
                             app.imageDirectory()};
    auto loaded = loadImage(std::move(file), context);
    app.imageDirectory() = context.imageDirectory;
    if (!loaded)
        return;
    rememberRecentFile(app.settings(), loaded->path);
    FractalRecord& record = *loaded->record;
    if (openView(record, true, app.views()) != 0 || record.view == nullptr)
        return;
    FractalView& view = *record.view;
    copyIntoBuffers(loaded->image, view.buffers());
    redrawView(view);
    app.frontend().viewChanged(view.id(), Rect{0, 0, record.width, record.height});
}

void loadFiles(Application& app, const std::vector<fs::path>& files) {
    if (files.empty()) {
        tell(app, kLoadCaption, kNothingSelected);
        return;
    }
    const fs::path& first = files.front();
    if (hasExtension(first, ".map")) {
        loadPaletteFiles(app, files);
    } else if (hasExtension(first, ".par") || hasExtension(first, ".zar")) {
        loadParameterFiles(app, files);
    } else if (hasExtension(first, ".png")) {
        loadImageFile(app, first);
    } else if (!app.loadLibraryFiles(files)) {
        tell(app, kLoadCaption, kUnknownExtension);
    }
    app.notify(ApplicationChange::Menus);
}

void openDesktopFiles(Application& app, const std::vector<fs::path>& files) {
    for (const fs::path& file : files) {
        if (!hasExtension(file, ".zar")) {
            loadFiles(app, {file});
            continue;
        }
        FractalRecord* record =
            importZarIntoWorkspace(file, app.workspace(), app.frontend(), app.creationContext());
        if (record != nullptr) {
            rememberRecentFile(app.settings(), file);
            openView(*record, false, app.views());
        }
        app.notify(ApplicationChange::Menus);
    }
}

} // namespace vortimax
