# cmake -DDIR=build/stripped -P checksizes.cmake: fails when a shipped
# program's stripped copy outgrows its budget (the bench's size goals, in
# bytes). Sizes are no timing: they are the same on every machine. The setup
# library's budget holds the platform layer's message box too, which it links
# here and the device's coredll has.
set(budgets Kadenza.exe=96000 Pelorin.exe=128000 PelorinStart.exe=32000 PelorinSetup.dll=36000)
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
