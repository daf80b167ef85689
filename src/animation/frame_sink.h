#pragma once

#include "model/colour_table.h"
#include "model/fractal_record.h"
#include "model/image_buffers.h"

#include <cstdint>
#include <string>

namespace vortimax {

struct AnimData;

// One finished frame as the frame output receives it.
struct FrameImage {
    const FractalRecord& record; // the frame fractal, interpolated for this frame
    const ImageBuffers& buffers; // its finished image (rows bottom-up)
    const ColourTable& colours;  // the displayed palette of a palette image
    bool use3D = false;          // write the 3D image (true colour) instead of the flat one
    std::string parameterText;   // the frame's entry, carried by formats that can hold it
};

enum class FrameWriteResult {
    Written,
    Skipped, // this frame failed (and was reported); the animation goes on
    Stopped, // the output cannot go on (reported); the animation ends
};

// Where the frames of an animation go: numbered PNG files, or the frames of one video.
// open() is called once before the first frame, write() for every frame in order, close()
// once at the end whatever happened (also when open() failed). Implementations report
// their failures themselves (through the frontend they were made with).
class FrameSink {
public:
    virtual ~FrameSink() = default;
    // False: nothing can be written and the animation does not start.
    virtual bool open(const AnimData& data) = 0;
    virtual FrameWriteResult write(const FrameImage& image, std::int64_t frame) = 0;
    virtual void close() = 0;
};

} // namespace vortimax
