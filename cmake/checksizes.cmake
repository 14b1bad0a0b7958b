# cmake -DDIR=build/stripped -P checksizes.cmake: fails when a shipped
# program's stripped copy outgrows its budget (the bench's size goals, in
# bytes). Sizes are no timing: they are the same on every machine. The setup
# library's budget holds the platform layer's message box too, which it links
# here and the device's coredll has.
#
# With -DIMAGES=device, DIR holds the device images (scripts/device-build),
# with budgets of their own: the platform's libraries are DLLs there.
set(budgets Kadenza.exe=96000 Pelorin.exe=128000 PelorinStart.exe=32000 PelorinSetup.dll=36000)
if(IMAGES STREQUAL "device")
  set(budgets Kadenza.exe=60000 Pelorin.exe=28000 PelorinStart.exe=10000 PelorinSetup.dll=7000)
endif()
foreach(budget ${budgets})
  string(REPLACE "=" ";" pair ${budget})
  list(GET pair 0 name)
  list(GET pair 1 limit)
  if(NOT EXISTS ${DIR}/${name})
    message(SEND_ERROR "${name}: no stripped copy in ${DIR}")
    continue()
  endif()
  file(SIZE ${DIR}/${name} size)
  if(size GREATER limit)
    message(SEND_ERROR "${name}: ${size} bytes, over its budget of ${limit}")
  else()
    message(STATUS "${name}: ${size} of ${limit} bytes")
  endif()
endforeach()
