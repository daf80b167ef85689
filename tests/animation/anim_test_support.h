#pragma once

#include "model/big_fixed.h"
#include "model/fractal_record.h"
#include "model/type_registry.h"

#include <memory>
#include <string>
#include <vector>

namespace vortimax::test {

inline BigFixed big(const std::string& text) {
    return BigFixed::fromText(text, BigFixed::kFileDigitLimit).value();
}

// A Mandel key showing the square area of width `width` around (cx, cy), `gap` frames
// after the previous key.
inline std::unique_ptr<FractalRecord> mandelKey(const BigFixed& cx, const BigFixed& cy,
                                                const BigFixed& width, double gap,
                                                const std::string& name = "Key") {
    auto key = createRecord(kTypeMandel, 0, RecordCreationContext{});
    key->name = name;
    key->numFrames = gap;
    const BigFixed half = width.dividedBy(2);
    auto params = key->params();
    params.setInteger("Stretch", 0);
    params.setBigFixed("TopLeftR", cx - half);
    params.setBigFixed("BottomRightR", cx + half);
    params.setBigFixed("TopLeftI", cy + half);
    params.setBigFixed("BottomRightI", cy - half);
    params.setBigFixed("TopRightR", cx + half);
    params.setBigFixed("TopRightI", cy + half);
    return key;
}

inline std::vector<const FractalRecord*>
pointers(const std::vector<std::unique_ptr<FractalRecord>>& keys) {
    std::vector<const FractalRecord*> result;
    for (const auto& key : keys)
        result.push_back(key.get());
    return result;
}

inline double frameWidth(const FractalRecord& frame) {
    return (frame.params().bigFixed("BottomRightR") - frame.params().bigFixed("TopLeftR"))
        .toDouble();
}
inline double frameHeight(const FractalRecord& frame) {
    return (frame.params().bigFixed("TopLeftI") - frame.params().bigFixed("BottomRightI"))
        .toDouble();
}
inline double centreR(const FractalRecord& frame) {
    return (frame.params().bigFixed("BottomRightR") + frame.params().bigFixed("TopLeftR"))
               .toDouble() /
           2.0;
}

} // namespace vortimax::test
