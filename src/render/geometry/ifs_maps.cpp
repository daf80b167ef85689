#include "render/geometry/ifs_maps.h"

#include "formula/formula_eval.h"
#include "formula/ifs_entry.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace vortimax {

namespace {

double usableProbability(double p) {
    return std::isfinite(p) && p > 0.0 ? std::min(p, IfsMapSet::kMostProbability) : 0.0;
}

EvalContext contextFor(const IfsExpressionInputs& inputs) {
    EvalContext context;
    for (std::size_t k = 0; k < inputs.parms.size(); ++k)
        context.p[k] = Complex{inputs.parms[k], 0.0};
    context.maxIter = inputs.maxIter;
    context.width = inputs.width;
    context.height = inputs.height;
    return context;
}

} // namespace

IfsMapSet::IfsMapSet(std::vector<IfsMap> maps) : maps_(std::move(maps)) {
    runningSums_.reserve(maps_.size());
    for (std::size_t k = 0; k < maps_.size(); ++k) {
        IfsMap& map = maps_[k];
        map.probability = usableProbability(map.probability);
        total_ += map.probability;
        runningSums_.push_back(total_);
        if (map.probability > 0.0)
            lastLikely_ = k;
    }
}

std::size_t IfsMapSet::choose(double r) const {
    // The running sums never decrease: the first one not below r is a binary search away.
    const auto found = std::lower_bound(runningSums_.begin(), runningSums_.end(), r);
    if (found == runningSums_.end())
        return lastLikely_;
    return static_cast<std::size_t>(found - runningSums_.begin());
}

IfsMapSet evaluateIfsMaps(const IfsEntry& entry, const IfsExpressionInputs& inputs) {
    EvalContext context = contextFor(inputs);
    std::vector<IfsMap> maps;
    maps.reserve(entry.transforms.size());
    for (const IfsTransform& transform : entry.transforms) {
        IfsMap map;
        for (std::size_t k = 0; k < map.a.size(); ++k)
            map.a[k] = ifsElementValue(transform.elements[k], context);
        map.probability = ifsElementValue(transform.elements[kIfsProbability], context);
        maps.push_back(map);
    }
    return IfsMapSet(std::move(maps));
}

} // namespace vortimax
