#pragma once

#include "base/frontend.h"

#include <functional>
#include <string_view>

namespace vortimax {

inline constexpr std::string_view kAbortingCaption = "Aborting";
inline constexpr std::string_view kLoadAbortedText = "Load was aborted...";

// A load that runs on a worker thread; returns whether it stopped early on an abort.
using AbortableWork = std::function<bool(Progress&)>;

// Runs `work` under the modal progress window `title`. The work notices an abort asked
// for in the window between two items; until it has wound down, the person is told
// "Load was aborted..." every 100 ms, and at least once when it stopped early. An
// exception thrown by the work reaches the caller after the worker has ended. Returns
// whether the work stopped early.
bool runAbortableLoad(Frontend& frontend, std::string_view title, const AbortableWork& work);

} // namespace vortimax
