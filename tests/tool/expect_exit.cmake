# Runs PROGRAM with ARGS under RUN and checks that it exits with EXPECTED.
execute_process(COMMAND ${RUN} ${PROGRAM} ${ARGS} RESULT_VARIABLE status
                OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT status EQUAL EXPECTED)
  message(FATAL_ERROR "exit status ${status}, expected ${EXPECTED}\n${out}\n${err}")
endif()
