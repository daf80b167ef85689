#pragma once

// Changing a library entry while fractals may be calculating with it. A calculation thread
// reads the libraries through their lock, and the Formula type reads its formula's name
// from the fractal itself; so the open fractals that use the entry are paused first, the
// change is made under the libraries' lock, and then those fractals go on.

#include "formula/library_kind.h"

#include <functional>
#include <string_view>
#include <vector>

namespace vortimax {

class Application;
class FractalView;
struct ViewEnvironment;

enum class AfterEntryChange {
    Recalculate, // the entry's definition changed: the images are calculated anew
    Resume,      // only its name changed: unfinished images are finished
};

// The open fractals of the kind's type that name `entryName` (letter case ignored).
std::vector<FractalView*> openViewsUsing(ViewEnvironment& views, LibraryKind kind,
                                         std::string_view entryName);

// Pauses the users of `entryName`, runs `change` under the libraries' lock, then lets the
// users go on as `after` says. `change` must not show anything (nothing may wait for the
// person while the calculations are locked out).
void changeLibraryEntry(Application& app, LibraryKind kind, std::string_view entryName,
                        AfterEntryChange after, const std::function<void()>& change);

// Runs `change` under the libraries' lock (insertions and removals of entries no open
// fractal uses).
void changeLibrary(Application& app, const std::function<void()>& change);

} // namespace vortimax
