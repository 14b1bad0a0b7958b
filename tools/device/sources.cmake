# cmake -DFOLDER=DIR -P sources.cmake: the lists that DIR/sources.cmake sets
# (the units and resource scripts that CMake builds from), one line each,
# "-- NAME ITEM...", for the device build.
get_cmake_property(before VARIABLES)
include(${FOLDER}/sources.cmake)
get_cmake_property(after VARIABLES)
list(REMOVE_ITEM after ${before} before)
list(FILTER after EXCLUDE REGEX "^CMAKE_")
foreach(name ${after})
  string(JOIN " " items ${${name}})
  message(STATUS "${name} ${items}")
endforeach()
