#include "render/dynamics/plasma_cloud.h"

#include "formula/random_generator.h"
#include "model/fractal_record.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <iterator>
#include <vector>

namespace vortimax {

namespace {

// Rectangles finished between two progress reports.
constexpr int kRectanglesPerReport = 4096;

struct Rectangle {
    int x0, y0, x1, y1; // corners, x0 <= x1 and y0 <= y1
    int level;
};

struct Cell {
    int x, y;
};

class PlasmaBuilder {
public:
    PlasmaBuilder(const ValueGrid& grid, const PlasmaParams& params)
        : grid_(grid), params_(params), roughness_(std::pow(0.5, params.h)), seed_(params.seed) {}

    void setCorners() {
        const double w = grid_.width, h = grid_.height;
        const double scale = params_.sigma * std::sqrt(w * w + h * h);
        const int right = grid_.width - 1, top = grid_.height - 1;
        for (const Cell corner : {Cell{0, 0}, Cell{right, 0}, Cell{right, top}, Cell{0, top}})
            at(corner) = static_cast<float>(drawGaussian(seed_) * scale);
    }

    // Sets the centre and edge midpoints of r and puts its parts on the stack, the first
    // part to be subdivided on top. False for a rectangle too small to subdivide.
    bool subdivide(const Rectangle& r, std::vector<Rectangle>& stack) {
        const int w = r.x1 - r.x0, h = r.y1 - r.y0;
        if (w < 2 && h < 2)
            return false;
        const double sigma = params_.sigma * std::pow(roughness_, r.level);
        const int xm = (r.x0 + r.x1) / 2, ym = (r.y0 + r.y1) / 2;
        const Cell ll{r.x0, r.y0}, lr{r.x1, r.y0}, ur{r.x1, r.y1}, ul{r.x0, r.y1};
        const double mean = (value(ll) + value(lr) + value(ur) + value(ul)) / 4.0;
        const double c =
            mean + drawGaussian(seed_) * std::sqrt(double(w) * w + double(h) * h) * sigma;
        const double dx = xm - r.x0, dy = ym - r.y0;
        const double noise = std::sqrt(dx * dx + dy * dy) * sigma;
        const Cell bottom{xm, r.y0}, top{xm, r.y1}, left{r.x0, ym}, right{r.x1, ym};
        const int k = r.level + 1;
        if (w >= 2 * h) {
            setMidpoint(bottom, ll, lr, c, {xm, r.y0 - (ym - r.y0)}, noise);
            setMidpoint(top, ul, ur, c, {xm, r.y1 + (r.y1 - ym)}, noise);
            push(stack, {{r.x0, r.y0, xm, r.y1, k}, {xm, r.y0, r.x1, r.y1, k}});
        } else if (h >= 2 * w) {
            setMidpoint(right, lr, ur, c, {r.x1 + (r.x1 - xm), ym}, noise);
            setMidpoint(left, ll, ul, c, {r.x0 - (xm - r.x0), ym}, noise);
            push(stack, {{r.x0, r.y0, r.x1, ym, k}, {r.x0, ym, r.x1, r.y1, k}});
        } else {
            at({xm, ym}) = static_cast<float>(c);
            setMidpoint(bottom, ll, lr, c, {xm, r.y0 - (ym - r.y0)}, noise);
            setMidpoint(right, lr, ur, c, {r.x1 + (r.x1 - xm), ym}, noise);
            setMidpoint(top, ul, ur, c, {xm, r.y1 + (r.y1 - ym)}, noise);
            setMidpoint(left, ll, ul, c, {r.x0 - (xm - r.x0), ym}, noise);
            push(stack, {{r.x0, r.y0, xm, ym, k},
                         {xm, r.y0, r.x1, ym, k},
                         {xm, ym, r.x1, r.y1, k},
                         {r.x0, ym, xm, r.y1, k}});
        }
        return true;
    }

private:
    float& at(Cell cell) const { return grid_.at(cell.x, cell.y); }
    double value(Cell cell) const { return grid_.at(cell.x, cell.y); }
    bool inside(Cell cell) const {
        return cell.x >= 0 && cell.x < grid_.width && cell.y >= 0 && cell.y < grid_.height;
    }

    // The midpoint of the edge from `a` to `b`, unless it holds a value already; `far` is
    // the centre of the neighbouring rectangle beyond the edge.
    void setMidpoint(Cell midpoint, Cell a, Cell b, double centre, Cell far, double noise) {
        if (at(midpoint) != 0.0f)
            return;
        double sum = value(a) + value(b) + centre;
        double count = 3.0;
        if (inside(far) && at(far) != 0.0f) {
            sum += value(far);
            count = 4.0;
        }
        at(midpoint) = static_cast<float>(sum / count + drawGaussian(seed_) * noise);
    }

    // The parts in the order they are subdivided: the first ends on top of the stack.
    static void push(std::vector<Rectangle>& stack, std::initializer_list<Rectangle> parts) {
        stack.insert(stack.end(), std::rbegin(parts), std::rend(parts));
    }

    ValueGrid grid_;
    PlasmaParams params_;
    double roughness_; // 0.5^H
    std::uint32_t seed_;
};

} // namespace

PlasmaParams readPlasmaParams(const FractalRecord& record) {
    const ConstBlockRef block = record.params();
    return {block.real("Sigma"), block.real("H"),
            static_cast<std::uint32_t>(block.integer("Seed"))};
}

double gaussianFromDraws(std::uint64_t sumOfFourDraws) {
    return static_cast<double>(sumOfFourDraws) * 8.06549e-10 - 3.4641016;
}

double drawGaussian(std::uint32_t& seed) {
    std::uint64_t sum = 0;
    for (int n = 0; n < 4; ++n)
        sum += nextRandom(seed);
    return gaussianFromDraws(sum);
}

bool fillPlasma(const ValueGrid& grid, const PlasmaParams& params,
                const std::function<bool()>& mustStop,
                const std::function<void(double)>& progress) {
    if (grid.width <= 0 || grid.height <= 0)
        return true;
    for (int y = 0; y < grid.height; ++y)
        std::fill_n(&grid.at(0, y), grid.width, 0.0f);
    PlasmaBuilder builder(grid, params);
    builder.setCorners();
    // Each subdivision halves a side, so the stack holds at most three rectangles for
    // each halving of the width and of the height, and one more.
    std::vector<Rectangle> stack;
    stack.reserve(128);
    stack.push_back({0, 0, grid.width - 1, grid.height - 1, 1});
    const double area = static_cast<double>(grid.width - 1) * (grid.height - 1);
    double covered = 0.0; // the area of the rectangles too small to subdivide
    for (int count = 1; !stack.empty(); ++count) {
        if (mustStop())
            return false;
        const Rectangle r = stack.back();
        stack.pop_back();
        if (!builder.subdivide(r, stack))
            covered += static_cast<double>(r.x1 - r.x0) * (r.y1 - r.y0);
        if (count % kRectanglesPerReport == 0 && area > 0.0)
            progress(std::min(covered / area, 1.0));
    }
    progress(1.0);
    return true;
}

} // namespace vortimax
