# Instrumented variants of the native build, chosen at configure time:
#   -DNICSHOW_SANITIZE=ON  AddressSanitizer and UndefinedBehaviorSanitizer on every target
#                          (build/asan: the whole unit suite runs under them);
#   -DNICSHOW_FUZZ=ON      the same, plus libFuzzer coverage, and the fuzz targets of fuzz/
#                          (build/fuzz, configured with clang++).
# Any error stops the program at once: a sanitizer report is a failed test, not a warning.
option(NICSHOW_SANITIZE "Build everything with ASan and UBSan" OFF)
option(NICSHOW_FUZZ "Build the libFuzzer targets (clang++ only)" OFF)

if(NICSHOW_FUZZ)
    if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
        message(FATAL_ERROR "NICSHOW_FUZZ needs clang++ (-DCMAKE_CXX_COMPILER=clang++)")
    endif()
    set(NICSHOW_SANITIZE ON)
endif()

if(NICSHOW_SANITIZE)
    set(NICSHOW_SANITIZER_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=all
        -fno-omit-frame-pointer)
    add_compile_options(${NICSHOW_SANITIZER_FLAGS} -g)
    add_link_options(${NICSHOW_SANITIZER_FLAGS})
endif()

if(NICSHOW_FUZZ)
    # Coverage instrumentation everywhere; only the fuzz targets link libFuzzer's main.
    add_compile_options(-fsanitize=fuzzer-no-link)
endif()
