# Writes the build's local date and time and the building machine for the version resource.
string(TIMESTAMP now "%Y-%m-%d %H:%M:%S")
cmake_host_system_information(RESULT host QUERY HOSTNAME)
file(WRITE ${OUT} "#define NICSHOW_BUILD_TIME \"${now}\"\n#define NICSHOW_BUILT_ON \"${host}\"\n")
