# Release builds of the programs that ship (and of the benchmark's floor, which
# stands for them): no code that nothing reaches, and a stripped copy of each.
# A link map of each lands in build/maps/ to show where the bytes go.
#
# Every function gets its own section so that the linker can drop the unused
# ones. Data does not (-fdata-sections): on this PE toolchain it moves
# zero-filled tables from .bss into .data, where they take room in the file.
add_compile_options($<$<CONFIG:Release>:-ffunction-sections>)

set(PELORIN_SHIPPED Kadenza Pelorin PelorinStart PelorinSetup benchfloor benchpane benchkey)
# The code they are built from. The system throws no exceptions and asks no
# type at run time: compiled without either, it references none of the C++
# library's exception and type-information support (nor a function's static
# with a constructor: that brings the library's guard, and its exceptions,
# back). Optimised for size: none of it is bound by computing.
set(PELORIN_SHIPPED_CODE ${PELORIN_SHIPPED}
  ceplatform aygshell mfcce mfcce_main pelorin_common kadenza_core controlpanel)

function(pelorin_shrink_shipped)
  file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/maps ${CMAKE_BINARY_DIR}/stripped)
  foreach(target ${PELORIN_SHIPPED_CODE})
    if(TARGET ${target})
      target_compile_options(${target} PRIVATE $<$<COMPILE_LANGUAGE:CXX>:-fno-exceptions -fno-rtti>
        $<$<CONFIG:Release>:-Os>)
    endif()
  endforeach()
  foreach(target ${PELORIN_SHIPPED})
    if(TARGET ${target})
      target_link_options(${target} PRIVATE
        $<$<CONFIG:Release>:-Wl,--gc-sections>
        -Wl,-Map=${CMAKE_BINARY_DIR}/maps/${target}.map)
      # The built file keeps its symbols (tests read them); what is installed
      # is the stripped copy in build/stripped/.
      set(copy ${CMAKE_BINARY_DIR}/stripped/$<TARGET_FILE_NAME:${target}>)
      add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/stripped/${target}.stamp
        COMMAND ${CMAKE_STRIP} -o ${copy} $<TARGET_FILE:${target}>
        COMMAND ${CMAKE_COMMAND} -E touch ${CMAKE_BINARY_DIR}/stripped/${target}.stamp
        DEPENDS ${target} VERBATIM)
      list(APPEND stamps ${CMAKE_BINARY_DIR}/stripped/${target}.stamp)
    endif()
  endforeach()
  add_custom_target(stripped ALL DEPENDS ${stamps})
  # The budgets hold for the release build, the one that ships.
  if(CMAKE_BUILD_TYPE STREQUAL "Release")
    add_test(NAME test_shipped_sizes
      COMMAND ${CMAKE_COMMAND} -DDIR=${CMAKE_BINARY_DIR}/stripped -P ${CMAKE_SOURCE_DIR}/cmake/checksizes.cmake)
    set_tests_properties(test_shipped_sizes PROPERTIES LABELS static)
  endif()
endfunction()

# The targets exist once every folder is read.
cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL pelorin_shrink_shipped)
