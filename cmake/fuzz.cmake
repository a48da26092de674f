# The libFuzzer targets: one executable per fuzz/fuzz_*.cpp, linked with the plug-in's
# sources and the simulated platform; `fuzzers` builds them all. Seed corpora live in
# fuzz/corpus/<target>/.
file(GLOB FUZZ_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/fuzz/fuzz_*.cpp)
add_custom_target(fuzzers)
foreach(source ${FUZZ_SOURCES})
    get_filename_component(name ${source} NAME_WE)
    add_executable(${name} ${source})
    target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/fuzz)
    target_link_libraries(${name} PRIVATE nicshow_src sim)
    target_compile_options(${name} PRIVATE ${NICSHOW_WARNINGS})
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/fuzz)
    add_dependencies(fuzzers ${name})
endforeach()
