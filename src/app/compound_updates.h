#pragma once

#include <mutex>
#include <vector>

namespace vortimax {

class Folder;
class FractalRecord;
struct ViewEnvironment;

// Keeps compound fractals linked to their layer fractals by name and has them calculated
// again when a layer finishes. Workers only report finished images here; the links are
// made and the compounds restarted on the interface thread.
class CompoundUpdates {
public:
    // Puts the linking and the finished-image report into the environment's hooks.
    void install(ViewEnvironment& environment);

    // Interface thread: the folder's fractals were added, removed or renamed. Compounds
    // whose links changed are linked anew; open ones are calculated again, so a link
    // broken by a rename or a deletion shows at once.
    void folderChanged(Folder& folder, ViewEnvironment& environment);
    // Interface thread: the record is about to be deleted; no compound keeps a link to it
    // (open ones that used it are paused first).
    void forgetLayer(FractalRecord& record, ViewEnvironment& environment);
    // Interface thread (the 100 ms timer): every open compound of the same folder that
    // uses a fractal finished since the last call is calculated again.
    void recalculateWaiting(ViewEnvironment& environment);

private:
    std::mutex mutex_;
    std::vector<int> finishedViews_; // view ids, reported by the workers
    // Open compounds that lost a layer to a deletion: calculated again (and so showing
    // the broken link) once the layer has left the folder. Compared, never followed.
    std::vector<const FractalRecord*> unlinked_;
};

} // namespace vortimax
