#pragma once

#include <filesystem>
#include <vector>

class QMimeData;

namespace vortimax::ui {

// The local files a drag carries, in order; other URLs (web addresses) are left out.
std::vector<std::filesystem::path> droppedFiles(const QMimeData& data);

} // namespace vortimax::ui
