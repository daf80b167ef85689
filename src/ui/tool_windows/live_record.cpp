#include "ui/tool_windows/live_record.h"

#include "model/workspace.h"

namespace vortimax::ui {

bool isLiveRecord(const Workspace& workspace, const FractalRecord* record) {
    if (record == nullptr)
        return false;
    for (const Folder& folder : workspace.folders().all())
        for (const FractalRecord& member : folder.fractals().all())
            if (&member == record)
                return true;
    return false;
}

} // namespace vortimax::ui
