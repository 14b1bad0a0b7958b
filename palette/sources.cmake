# Kadenza.exe's units and resource script, beside the shared ones. CMake
# (CMakeLists.txt here) and the device build (scripts/device-build) both read
# this one list; names are relative to this folder.
#
# The library's units are the ones the tests run in their own process too.
set(KADENZA_LIBRARY_UNITS palettewindow.cpp shelldialog.cpp keypoll.cpp typing.cpp captiontext.cpp textstore.cpp
    buttontexts.cpp editdialog.cpp)
set(KADENZA_MAIN_UNITS main.cpp)
set(KADENZA_RESOURCES Kadenza.rc)
