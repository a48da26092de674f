# The real build: Nicshow-x86.dll, the stand-in host TakeCmd.dll and the launcher, all in
# bin/, where Wine finds the plug-in's host module beside the launcher.
enable_language(RC)
set(BIN ${CMAKE_BINARY_DIR}/bin)
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${BIN})
set(CMAKE_LIBRARY_OUTPUT_DIRECTORY ${BIN})

add_compile_options(-Wall -Wextra)
set(STATIC_RUNTIME -static-libgcc -static-libstdc++)

# The stand-in host.
add_library(takecmd SHARED host/takecmd.cpp host/portable.cpp host/takecmd.def)
set_target_properties(takecmd PROPERTIES PREFIX "" OUTPUT_NAME TakeCmd)
target_link_options(takecmd PRIVATE ${STATIC_RUNTIME} -Wl,--enable-stdcall-fixup)

# Import library for TakeCmd.dll with undecorated stdcall names; ld's own --out-implib with
# --kill-at leaves the importer unresolved.
set(TAKECMD_IMPLIB ${CMAKE_BINARY_DIR}/libTakeCmd_imp.a)
add_custom_command(OUTPUT ${TAKECMD_IMPLIB}
    COMMAND ${CMAKE_DLLTOOL} -d ${CMAKE_SOURCE_DIR}/host/takecmd_imp.def -l ${TAKECMD_IMPLIB} -k
    DEPENDS ${CMAKE_SOURCE_DIR}/host/takecmd_imp.def)
add_custom_target(takecmd_implib DEPENDS ${TAKECMD_IMPLIB})

# The build stamp of the version resource, written at every build.
set(STAMP ${CMAKE_BINARY_DIR}/stamp/build_stamp.h)
add_custom_target(build_stamp ALL
    COMMAND ${CMAKE_COMMAND} -DOUT=${STAMP} -P ${CMAKE_SOURCE_DIR}/cmake/stamp.cmake
    BYPRODUCTS ${STAMP})

# The plug-in.
add_library(nicshow SHARED ${NICSHOW_SOURCES} src/plugin/version.rc src/plugin/nicshow.def)
set_target_properties(nicshow PROPERTIES PREFIX "" OUTPUT_NAME Nicshow-x86)
set_source_files_properties(src/plugin/version.rc PROPERTIES OBJECT_DEPENDS ${STAMP})
target_include_directories(nicshow PRIVATE ${CMAKE_BINARY_DIR}/stamp)
add_dependencies(nicshow takecmd_implib build_stamp takecmd)
target_link_libraries(nicshow PRIVATE ${TAKECMD_IMPLIB}
    iphlpapi ws2_32 wlanapi ole32 winmm user32 advapi32)
target_link_options(nicshow PRIVATE ${STATIC_RUNTIME} -Wl,--enable-stdcall-fixup)

# The launcher.
add_executable(nicshow-host host/launcher.cpp)
add_dependencies(nicshow-host takecmd_implib)
target_link_libraries(nicshow-host PRIVATE ${TAKECMD_IMPLIB} version)
target_link_options(nicshow-host PRIVATE -municode -static)

# For the benchmarks (scripts/bench-wine.sh): the IP Helper calls of a run alone, and a
# program that does nothing.
add_executable(nicshow-floor host/floor.cpp)
target_link_libraries(nicshow-floor PRIVATE iphlpapi ws2_32)
target_link_options(nicshow-floor PRIVATE -municode -static)
add_executable(nicshow-idle host/idle.cpp)
target_link_options(nicshow-idle PRIVATE -static)

# End-to-end tests under Wine, one per script.
file(GLOB E2E_TESTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/e2e/test_*.sh)
foreach(script ${E2E_TESTS})
    get_filename_component(name ${script} NAME_WE)
    add_test(NAME e2e_${name} COMMAND bash ${script} ${BIN})
    # The tests share the prefix and stop its wineserver when they change namespaces.
    set_tests_properties(e2e_${name} PROPERTIES TIMEOUT 600 SKIP_RETURN_CODE 77 RUN_SERIAL TRUE)
endforeach()
