#pragma once

namespace vortimax {
class FractalRecord;
class Workspace;
} // namespace vortimax

namespace vortimax::ui {

// Whether `record` still belongs to one of the workspace's folders. A tool window keeps
// the fractal it shows as a plain pointer; before it writes an edit into that fractal it
// checks that the fractal was not deleted in the meantime. Only addresses are compared:
// `record` is never read.
bool isLiveRecord(const Workspace& workspace, const FractalRecord* record);

} // namespace vortimax::ui
