# One interface target carries the warning and sanitizer flags; every target of ours links it.
add_library(tavlo_warnings INTERFACE)
target_compile_options(tavlo_warnings INTERFACE -Wall -Wextra -Wpedantic)
if(TAVLO_WERROR)
  target_compile_options(tavlo_warnings INTERFACE -Werror)
endif()
if(TAVLO_SANITIZE)
  target_compile_options(tavlo_warnings INTERFACE -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  target_link_options(tavlo_warnings INTERFACE -fsanitize=address,undefined)
endif()

# Benchmarks, demos and hand-run tools: the suite never runs them, so the sanitizer build only
# compiles them, into object files without sanitizers or debug information, at a fraction of
# the cost of sanitized programs; they still fail that build when they stop compiling. A build
# without sanitizers (TAVLO_BUILD_BENCH=ON for the benchmarks) makes them into programs.
add_library(tavlo_extra_flags INTERFACE)
if(TAVLO_SANITIZE)
  target_compile_options(tavlo_extra_flags INTERFACE -Wall -Wextra -Wpedantic -g0)
  if(TAVLO_WERROR)
    target_compile_options(tavlo_extra_flags INTERFACE -Werror)
  endif()
else()
  target_link_libraries(tavlo_extra_flags INTERFACE tavlo_warnings)
endif()

function(tavlo_add_extra_program name)
  if(TAVLO_SANITIZE)
    add_library(${name} OBJECT ${ARGN})
  else()
    add_executable(${name} ${ARGN})
  endif()
  target_link_libraries(${name} PRIVATE tavlo_extra_flags)
endfunction()
