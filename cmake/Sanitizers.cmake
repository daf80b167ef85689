# Sanitizer builds apply to the whole build tree, including third-party test code,
# so that instrumented and uninstrumented code never mix.
if(VORTIMAX_ASAN)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all
                      -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()
if(VORTIMAX_TSAN)
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
endif()
# Fuzzing instruments everything for coverage and checks it with AddressSanitizer and
# UndefinedBehaviorSanitizer; only the fuzz targets themselves link libFuzzer's main.
if(VORTIMAX_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "VORTIMAX_FUZZ needs clang (libFuzzer): configure with CMAKE_CXX_COMPILER=clang++")
  endif()
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all
                      -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()
