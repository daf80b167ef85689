#include "render/image_stages.h"

#include "model/view_environment.h"
#include "render/filters/image_filter.h"
#include "render/relief/relief_renderer.h"

namespace vortimax {

void installImageStages(ViewHooks& hooks) {
    hooks.applyFilter = applyImageFilter;
    hooks.transform3D = renderRelief;
}

} // namespace vortimax
