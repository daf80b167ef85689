#pragma once

namespace vortimax {

struct ViewHooks;

// Installs the stages that follow a finished calculation: the image filter and the
// relief (3D) image.
void installImageStages(ViewHooks& hooks);

} // namespace vortimax
