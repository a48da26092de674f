# The real build, for one architecture: Nicshow-x86.dll (i686) or Nicshow-x64.dll
# (x86_64), the stand-in host TakeCmd.dll and the launcher, all in bin/, where Wine finds
# the plug-in's host module beside the launcher.
enable_language(RC)
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(NICSHOW_ARCH x64)
else()
    set(NICSHOW_ARCH x86)
endif()
set(NICSHOW_DLL Nicshow-${NICSHOW_ARCH})
set(BIN ${CMAKE_BINARY_DIR}/bin)
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${BIN})
set(CMAKE_LIBRARY_OUTPUT_DIRECTORY ${BIN})

add_compile_options(-Wall -Wextra)
# No path of the folders a build ran in goes into its files (__FILE__, debugging data):
# two checkouts of one commit give the same bytes. The build folder may lie inside the
# source folder; the last matching map wins.
add_compile_options($<$<COMPILE_LANGUAGE:CXX>:-ffile-prefix-map=${CMAKE_SOURCE_DIR}/=>
    $<$<COMPILE_LANGUAGE:CXX>:-ffile-prefix-map=${CMAKE_BINARY_DIR}/=>)
set(STATIC_RUNTIME -static-libgcc -static-libstdc++)

# The export lists are written once, for the 32-bit build: stdcall names carry their
# decoration there. The 64-bit ABI has no decoration, so the 64-bit lists are the same
# lists with it taken off (and the plug-in's own file name).
function(nicshow_def source out)
    file(READ ${source} text)
    if(NICSHOW_ARCH STREQUAL "x64")
        string(REGEX REPLACE "=[A-Za-z_$]+@[0-9]+" "" text "${text}")
        string(REGEX REPLACE "@[0-9]+" "" text "${text}")
        string(REPLACE "Nicshow-x86.dll" "${NICSHOW_DLL}.dll" text "${text}")
    endif()
    file(GENERATE OUTPUT ${out} CONTENT "${text}")
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${source})
endfunction()
set(DEFS ${CMAKE_BINARY_DIR}/def)
nicshow_def(${CMAKE_SOURCE_DIR}/src/plugin/nicshow.def ${DEFS}/nicshow.def)
nicshow_def(${CMAKE_SOURCE_DIR}/host/takecmd.def ${DEFS}/takecmd.def)
nicshow_def(${CMAKE_SOURCE_DIR}/host/takecmd_imp.def ${DEFS}/takecmd_imp.def)

# The stand-in host.
add_library(takecmd SHARED host/takecmd.cpp host/portable.cpp ${DEFS}/takecmd.def)
set_target_properties(takecmd PROPERTIES PREFIX "" OUTPUT_NAME TakeCmd)
target_link_options(takecmd PRIVATE ${STATIC_RUNTIME} -Wl,--enable-stdcall-fixup)

# Import library for TakeCmd.dll with undecorated stdcall names; ld's own --out-implib with
# --kill-at leaves the importer unresolved. dlltool names its symbols after the output
# path, so it is given a bare file name, not the build folder's path.
set(TAKECMD_IMPLIB ${CMAKE_BINARY_DIR}/libTakeCmd_imp.a)
add_custom_command(OUTPUT ${TAKECMD_IMPLIB}
    COMMAND ${CMAKE_DLLTOOL} -d def/takecmd_imp.def -l libTakeCmd_imp.a -k
    WORKING_DIRECTORY ${CMAKE_BINARY_DIR}
    DEPENDS ${DEFS}/takecmd_imp.def)
add_custom_target(takecmd_implib DEPENDS ${TAKECMD_IMPLIB})

# The build stamp of the version resource, written at every build.
set(STAMP ${CMAKE_BINARY_DIR}/stamp/build_stamp.h)
add_custom_target(build_stamp ALL
    COMMAND ${CMAKE_COMMAND} -DOUT=${STAMP} -P ${CMAKE_SOURCE_DIR}/cmake/stamp.cmake
    BYPRODUCTS ${STAMP})

# The plug-in.
add_library(nicshow SHARED ${NICSHOW_SOURCES} src/plugin/version.rc ${DEFS}/nicshow.def)
set_target_properties(nicshow PROPERTIES PREFIX "" OUTPUT_NAME ${NICSHOW_DLL})
set_source_files_properties(src/plugin/version.rc PROPERTIES OBJECT_DEPENDS ${STAMP})
target_include_directories(nicshow PRIVATE ${CMAKE_BINARY_DIR}/stamp)
add_dependencies(nicshow takecmd_implib build_stamp takecmd)
target_link_libraries(nicshow PRIVATE ${TAKECMD_IMPLIB}
    iphlpapi ws2_32 ole32 winmm user32 advapi32)
# No link time in the PE headers (dist.sh's strip writes the release time there).
target_link_options(nicshow PRIVATE ${STATIC_RUNTIME} -Wl,--enable-stdcall-fixup
    -Wl,--no-insert-timestamp)

# The launcher.
add_executable(nicshow-host host/launcher.cpp)
add_dependencies(nicshow-host takecmd_implib)
target_link_libraries(nicshow-host PRIVATE ${TAKECMD_IMPLIB} version ws2_32)
target_link_options(nicshow-host PRIVATE -municode -static)

# For the benchmarks (scripts/bench-wine.sh): the IP Helper calls of a run alone, and a
# program that does nothing.
add_executable(nicshow-floor host/floor.cpp)
target_link_libraries(nicshow-floor PRIVATE iphlpapi ws2_32)
target_link_options(nicshow-floor PRIVATE -municode -static)
add_executable(nicshow-idle host/idle.cpp)
target_link_options(nicshow-idle PRIVATE -static)

# The DLL as a file: machine type, exports, imports, version resource. No Wine needed, so
# this runs for both builds on every machine.
add_test(NAME dll_structure
    COMMAND /usr/bin/python3 ${CMAKE_SOURCE_DIR}/tests/dll/check_dll.py ${BIN}/${NICSHOW_DLL}.dll
            ${NICSHOW_ARCH})

# End-to-end tests under Wine, one per script. tests/e2e/run.sh skips them where this
# build cannot run and cleans up after each, whatever becomes of it.
file(GLOB E2E_TESTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/e2e/test_*.sh)
foreach(script ${E2E_TESTS})
    get_filename_component(name ${script} NAME_WE)
    add_test(NAME e2e_${name} COMMAND bash ${CMAKE_SOURCE_DIR}/tests/e2e/run.sh ${script} ${BIN})
    # The tests share the prefix and stop its wineserver when they change namespaces.
    set_tests_properties(e2e_${name} PROPERTIES TIMEOUT 600 SKIP_RETURN_CODE 77 RUN_SERIAL TRUE)
endforeach()
