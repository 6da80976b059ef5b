# Makes the Windows icon from the dialog's bitmap into OUT and compares it with the committed one.
execute_process(COMMAND ${TOOL} ${BITMAP} ${OUT} RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "icon_ico failed: ${rc}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${OUT} ${ICON} RESULT_VARIABLE diff)
if(NOT diff EQUAL 0)
  message(FATAL_ERROR "${ICON} is not what icon_ico makes of ${BITMAP}; run the windows-icon target")
endif()
