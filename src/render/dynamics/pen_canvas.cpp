#include "render/dynamics/pen_canvas.h"

#include "model/image_buffers.h"
#include "render/raster/line_drawing.h"

#include <cmath>
#include <cstring>

namespace vortimax {

PenCanvas::PenCanvas(ImageBuffers& buffers, PixelColour pen) : buffers_(buffers), pen_(pen) {}

void PenCanvas::fill(PixelColour colour) {
    if (buffers_.bytesPerPixel == 1) {
        std::memset(buffers_.pixels.data(), colour[0], buffers_.pixels.size());
        return;
    }
    const std::size_t pixelCount = buffers_.pixels.size() / buffers_.bytesPerPixel;
    for (std::size_t i = 0; i < pixelCount; ++i)
        std::memcpy(buffers_.pixels.data() + i * buffers_.bytesPerPixel, colour.data(),
                    buffers_.bytesPerPixel);
}

void PenCanvas::dot(PixelPoint p) {
    const double x = std::floor(p.x);
    const double y = std::floor(p.y);
    if (x >= 0.0 && x < buffers_.width && y >= 0.0 && y < buffers_.height)
        plot(static_cast<int>(x), static_cast<int>(y));
}

void PenCanvas::line(PixelPoint from, PixelPoint to) {
    double ax = std::floor(from.x), ay = std::floor(from.y);
    double bx = std::floor(to.x), by = std::floor(to.y);
    // A pixel beyond each edge, so that a line entering the image keeps its direction up
    // to the edge; the clipped ends are whole pixels again before the integer line.
    const ClipBox box{-1.0, -1.0, static_cast<double>(buffers_.width),
                      static_cast<double>(buffers_.height)};
    if (!clipSegment(ax, ay, bx, by, box))
        return;
    auto whole = [](double v, double most) {
        return static_cast<int>(std::fmin(std::fmax(std::floor(v), -1.0), most));
    };
    drawIntegerLine(whole(ax, box.xMax), whole(ay, box.yMax), whole(bx, box.xMax),
                    whole(by, box.yMax), [this](int x, int y) {
                        if (x >= 0 && x < buffers_.width && y >= 0 && y < buffers_.height)
                            plot(x, y);
                    });
}

void PenCanvas::plot(int x, int y) {
    std::memcpy(buffers_.pixelRow(y) + static_cast<std::size_t>(x) * buffers_.bytesPerPixel,
                pen_.data(), buffers_.bytesPerPixel);
}

} // namespace vortimax
