# Compiler settings for the project's own targets; dependencies never get them.
set(ITEMLIB_WARNINGS -Wall -Wextra -Wpedantic -Wshadow
    -Woverloaded-virtual)
set(ITEMLIB_SANITIZER_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=all
    -fno-omit-frame-pointer)

if(ITEMLIB_BUILD_FUZZ AND NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  message(FATAL_ERROR "ITEMLIB_BUILD_FUZZ needs clang (libFuzzer)")
endif()

function(itemlib_our_code target)
  target_compile_options(${target} PRIVATE ${ITEMLIB_WARNINGS})
  if(ITEMLIB_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
  if(ITEMLIB_SANITIZE)
    target_compile_options(${target} PRIVATE ${ITEMLIB_SANITIZER_FLAGS})
    target_link_options(${target} PRIVATE -fsanitize=address,undefined)
  endif()
  if(ITEMLIB_BUILD_FUZZ)
    # Coverage for libFuzzer on everything the fuzzers reach.
    target_compile_options(${target} PRIVATE -fsanitize=fuzzer-no-link)
    target_link_options(${target} PRIVATE -fsanitize=fuzzer-no-link)
  endif()
endfunction()
