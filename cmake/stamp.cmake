# Writes the build's local date and time and the building machine for the version resource.
# string(TIMESTAMP) takes the time from SOURCE_DATE_EPOCH when it is set (make dist sets
# the last commit's), so a release build gives the same stamp every time. The file is
# rewritten only when its text changes: an unchanged stamp must not relink the plug-in.
string(TIMESTAMP now "%Y-%m-%d %H:%M:%S")
cmake_host_system_information(RESULT host QUERY HOSTNAME)
set(text "#define NICSHOW_BUILD_TIME \"${now}\"\n#define NICSHOW_BUILT_ON \"${host}\"\n")
set(old "")
if(EXISTS ${OUT})
    file(READ ${OUT} old)
endif()
if(NOT text STREQUAL old)
    file(WRITE ${OUT} "${text}")
endif()
