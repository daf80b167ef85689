#pragma once

namespace vortimax {

struct ViewHooks;

// Connects the colouring stage to the calculation task: rows are coloured (and dithered
// for an 8-bit screen) as they are finished, and a true-colour image is dithered again
// as a whole at the end of every pass.
void installColouring(ViewHooks& hooks);

} // namespace vortimax
