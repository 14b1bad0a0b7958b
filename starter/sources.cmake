# PelorinStart.exe's unit and resource script, beside the shared units. CMake
# (CMakeLists.txt here) and the device build (scripts/device-build) both read
# this one list; names are relative to this folder.
set(PELORINSTART_UNITS main.cpp)
set(PELORINSTART_RESOURCES PelorinStart.rc)
