# Pelorin.exe's units and resource script, beside the shared ones. CMake
# (CMakeLists.txt here) and the device build (scripts/device-build) both read
# this one list; names are relative to this folder.
#
# The library's units are the ones the tests run in their own process too.
set(PELORIN_LIBRARY_UNITS controlpanelapp.cpp settingsdialog.cpp aboutdialog.cpp)
set(PELORIN_MAIN_UNITS pelorin.cpp)
set(PELORIN_RESOURCES Pelorin.rc)
