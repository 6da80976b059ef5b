# cmake -DGENERATOR=PROGRAM [-DEMULATOR=...] -DCOMMITTED=DIR -DOUT=DIR -DFILES=a,b -DTARGET=NAME
#   [-DSIZE=BYTES] -P compare_generated.cmake
# Runs a generator of committed files (through EMULATOR where set) into OUT and checks each of
# FILES is byte for byte the committed one: a generator changed without its output fails here.
file(REMOVE_RECURSE ${OUT})
file(MAKE_DIRECTORY ${OUT})
execute_process(COMMAND ${EMULATOR} ${GENERATOR} ${OUT} RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "${GENERATOR} failed: ${rc}")
endif()
string(REPLACE "," ";" files "${FILES}")
foreach(name ${files})
  if(NOT EXISTS ${OUT}/${name})
    message(FATAL_ERROR "${name} was not made")
  endif()
  if(SIZE)
    file(SIZE ${OUT}/${name} size)
    if(NOT size EQUAL SIZE)
      message(FATAL_ERROR "${name} is ${size} bytes, not ${SIZE}")
    endif()
  endif()
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${OUT}/${name} ${COMMITTED}/${name}
                  RESULT_VARIABLE diff)
  if(NOT diff EQUAL 0)
    message(FATAL_ERROR "${name} differs from the generator's; run the ${TARGET} target")
  endif()
endforeach()
