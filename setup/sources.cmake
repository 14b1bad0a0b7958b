# PelorinSetup.dll's units, exports and resource script. CMake (CMakeLists.txt
# here) and the device build (scripts/device-build) both read this one list;
# names are relative to this folder, the shared units' to common/.
#
# Of the shared code the hooks need only the registry vocabulary (which holds
# the driver's built-in key and device name); none of the driver link's
# program-wide state comes with it.
set(PELORINSETUP_UNITS main.cpp install.cpp uninstall.cpp shortcuts.cpp)
set(PELORINSETUP_COMMON_UNITS registrynames.cpp)
set(PELORINSETUP_EXPORTS PelorinSetup.def)
set(PELORINSETUP_RESOURCES PelorinSetup.rc)
