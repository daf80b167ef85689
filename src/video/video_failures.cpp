#include "video/video_failures.h"

#include <array>

namespace vortimax {
namespace {

struct FailureRow {
    VideoFailure failure;
    VideoFailureMessage message;
};

// The format and frame messages have no caption of their own; they come from the
// animation system, so they carry its caption.
constexpr std::array<FailureRow, 5> kMessages{{
    {VideoFailure::Opening,
     {"Opening AVI File",
      "Sorry, unable to open specified AVI file.\nPerhaps file is currently in use..."}},
    {VideoFailure::StreamCreation,
     {"Creating AVI Stream", "Sorry, an error occurred during creation of an AVI stream.\n"
                             "Perhaps there is too few memory available."}},
    {VideoFailure::Compression,
     {"Setting Compression", "Sorry, an error occurred during AVIMakeCompressedStream.\n"
                             "Perhaps there is too few memory available."}},
    {VideoFailure::SetFormat, {"Animation system", "Fehler bei setFormat"}},
    {VideoFailure::StreamWrite, {"Animation system", "Fehler bei StreamWrite"}},
}};

} // namespace

const VideoFailureMessage& videoFailureMessage(VideoFailure failure) {
    for (const FailureRow& row : kMessages)
        if (row.failure == failure)
            return row.message;
    return kMessages.back().message;
}

} // namespace vortimax
