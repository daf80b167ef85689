#include "ui/dropped_files.h"

#include "ui/qt_text.h"

#include <QMimeData>
#include <QUrl>

namespace vortimax::ui {

std::vector<std::filesystem::path> droppedFiles(const QMimeData& data) {
    std::vector<std::filesystem::path> files;
    if (!data.hasUrls())
        return files;
    for (const QUrl& url : data.urls())
        if (url.isLocalFile() && !url.toLocalFile().isEmpty())
            files.push_back(toPath(url.toLocalFile()));
    return files;
}

} // namespace vortimax::ui
