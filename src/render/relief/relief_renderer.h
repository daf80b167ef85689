#pragma once

namespace vortimax {

class FractalView;

// Makes the relief image of a finished flat image into the view's 3D image (and its
// 8-bit copy, when the view keeps one). Columns are drawn from the middle outwards; a
// stop request ends the rendering and keeps what was drawn. Matches
// ViewHooks::transform3D; the caller holds the view's pixel lock.
void renderRelief(FractalView& view);

} // namespace vortimax
