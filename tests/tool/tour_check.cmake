# Runs `kest tour` (PROGRAM under RUN), masks what varies from run to run, writes the
# transcript to ACTUAL and fails with a unified diff against EXPECTED. KEST_UPDATE_TOUR=1 in
# the environment writes it to EXPECTED instead, to be reviewed as the commit's diff.
execute_process(COMMAND ${RUN} ${PROGRAM} tour RESULT_VARIABLE status OUTPUT_VARIABLE out
                ERROR_VARIABLE err)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "kest tour: exit status ${status}\n${out}\n${err}")
endif()
# The user's name, temporary names, process ids, free space, and Wine's own kernel32.dll.
string(REPLACE "\r" "" out "${out}")
string(REGEX REPLACE "\\\\users\\\\[^\\\\]+" "\\\\users\\\\USER" out "${out}")
string(REGEX REPLACE "kest-tour-[0-9]+" "kest-tour-ID" out "${out}")
string(REGEX REPLACE "\\\\kst[0-9a-fA-F]+\\.tmp" "\\\\kstID.tmp" out "${out}")
string(REGEX REPLACE "-> 1, [0-9]+ (bytes|MB)" "-> 1, SOME \\1" out "${out}")
string(REGEX REPLACE "(\n  kernel32.dll [^\n]*->)[^\n]*" "\\1 WINE" out "${out}")
if("$ENV{KEST_UPDATE_TOUR}" STREQUAL "1")
  set(ACTUAL ${EXPECTED})
endif()
file(WRITE ${ACTUAL} "${out}")
execute_process(COMMAND diff -u ${EXPECTED} ${ACTUAL} RESULT_VARIABLE differs)
if(differs)
  message(FATAL_ERROR "the tour's transcript differs as shown (a change meant: "
                      "KEST_UPDATE_TOUR=1 ctest -R tool.tour writes it to ${EXPECTED})")
endif()
