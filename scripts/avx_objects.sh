# Sourced by the checks of the AVX objects: avx_objects ARGUMENT... prints, one a line,
# the objects built for AVX2 or AVX-512 (*_avx2.cpp.o, *_avx512.cpp.o) among the given
# ones. CMake may hand a list over as one argument separated by semicolons.
avx_objects() {
  local argument object
  local -a part
  for argument in "$@"; do
    IFS=';' read -r -a part <<<"$argument"
    for object in "${part[@]}"; do
      case "$(basename "$object")" in
        *_avx2.cpp.o | *_avx512.cpp.o) echo "$object" ;;
      esac
    done
  done
}
