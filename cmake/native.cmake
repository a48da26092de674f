# The native build: the same sources against the simulated Windows platform, the unit
# tests, benchmarks and fuzz targets.
find_package(GTest REQUIRED)
include(${CMAKE_SOURCE_DIR}/cmake/sanitizers.cmake)

set(NICSHOW_WARNINGS -Wall -Wextra)
set(SIM_INCLUDE ${CMAKE_SOURCE_DIR}/sim/include)

add_library(nicshow_src STATIC ${NICSHOW_SOURCES})
target_include_directories(nicshow_src PUBLIC ${SIM_INCLUDE})
target_compile_options(nicshow_src PRIVATE ${NICSHOW_WARNINGS})

file(GLOB SIM_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/sim/*.cpp)
add_library(sim OBJECT ${SIM_SOURCES} ${CMAKE_SOURCE_DIR}/host/portable.cpp)
target_include_directories(sim PUBLIC ${SIM_INCLUDE} ${CMAKE_SOURCE_DIR}/sim)
target_compile_options(sim PRIVATE ${NICSHOW_WARNINGS})

file(GLOB UNIT_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/unit/*.cpp)
add_executable(unit_tests ${UNIT_SOURCES})
target_include_directories(unit_tests PRIVATE ${CMAKE_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/tests/unit)
target_link_libraries(unit_tests PRIVATE nicshow_src sim GTest::gtest_main GTest::gmock pthread)
target_compile_options(unit_tests PRIVATE ${NICSHOW_WARNINGS})
add_test(NAME unit_tests COMMAND unit_tests --gtest_brief=1)

# Benchmarks of the whole run (bench/); built with everything else so they keep compiling,
# run by make bench from a Release build.
find_package(benchmark QUIET)
if(benchmark_FOUND)
    file(GLOB BENCH_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/bench/*.cpp)
    add_executable(bench_run ${BENCH_SOURCES})
    target_include_directories(bench_run PRIVATE ${CMAKE_SOURCE_DIR})
    target_link_libraries(bench_run PRIVATE nicshow_src sim benchmark::benchmark pthread)
    target_compile_options(bench_run PRIVATE ${NICSHOW_WARNINGS})
else()
    message(WARNING "Google Benchmark not found: no bench_run (scripts/install-deps.sh installs it)")
endif()

if(NICSHOW_FUZZ)
    include(${CMAKE_SOURCE_DIR}/cmake/fuzz.cmake)
endif()
