#include "app/library_entry_change.h"

#include "app/application.h"
#include "app/formula_libraries.h"
#include "base/text_utils.h"
#include "model/fractal_view.h"

namespace vortimax {

std::vector<FractalView*> openViewsUsing(ViewEnvironment& views, LibraryKind kind,
                                         std::string_view entryName) {
    const LibraryKindInfo& info = libraryKindInfo(kind);
    std::vector<FractalView*> users;
    for (const auto& view : views.openViews) {
        const FractalRecord& record = view->record();
        if (record.type == info.fractalType && record.hasParams() &&
            equalsIgnoreCase(record.params().text(info.nameKey), entryName))
            users.push_back(view.get());
    }
    return users;
}

void changeLibraryEntry(Application& app, LibraryKind kind, std::string_view entryName,
                        AfterEntryChange after, const std::function<void()>& change) {
    struct Paused {
        FractalView* view;
        bool wasFinished;
    };
    std::vector<Paused> paused;
    for (FractalView* view : openViewsUsing(app.views(), kind, entryName)) {
        paused.push_back({view, view->finished()});
        pauseView(*view);
    }
    changeLibrary(app, change);
    for (const Paused& user : paused) {
        if (after == AfterEntryChange::Recalculate)
            recalculateView(*user.view);
        else if (!user.wasFinished)
            resumeView(*user.view);
    }
}

void changeLibrary(Application& app, const std::function<void()>& change) {
    const std::unique_lock guard = app.formulaLibraries().lock();
    change();
}

} // namespace vortimax
