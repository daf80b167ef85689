# Compile options for every target of our own. Floating point stays strict IEEE:
# no fast-math, and no fused multiply-add so results do not depend on the compiler.
add_library(vortimax_options INTERFACE)
target_compile_options(vortimax_options INTERFACE
  -Wall -Wextra -Werror -ffp-contract=off -fno-fast-math)
# GCC 12 at -O3 reports overlapping copies inside libstdc++'s own std::string operator+
# (GCC bug 105329, fixed in GCC 13) wherever a literal is prepended to a string: false
# alarms that would stop the optimised build.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
  target_compile_options(vortimax_options INTERFACE -Wno-restrict)
endif()
