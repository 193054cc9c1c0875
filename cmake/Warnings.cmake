# One INTERFACE target carries the language level and the warnings for every target of ours.
add_library(velquin_options INTERFACE)
target_compile_features(velquin_options INTERFACE cxx_std_20)
target_compile_options(velquin_options INTERFACE
  $<$<CXX_COMPILER_ID:GNU,Clang>:-Wall -Wextra -Wpedantic>)
