# The shared units: the driver link, the registry's names and the settings.
# CMakeLists.txt here and the device build (scripts/device-build) both read
# this one list; names are relative to this folder.
set(COMMON_UNITS driverlink.cpp registrynames.cpp settingsstore.cpp)
