# Compile options for every target of our own. Floating point stays strict IEEE:
# no fast-math, and no fused multiply-add so results do not depend on the compiler.
add_library(vortimax_options INTERFACE)
target_compile_options(vortimax_options INTERFACE
  -Wall -Wextra -Werror -ffp-contract=off -fno-fast-math)
