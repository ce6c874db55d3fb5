# Runs `kest tour` (PROGRAM under RUN) and checks its transcript, with what varies from run
# to run masked, against the MD5 digest in DIGESTS; prints the transcript when it differs.
# With -DUPDATE=ON it writes this run's digest instead.
cmake_minimum_required(VERSION 3.25)
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
string(MD5 digest "${out}")
if(UPDATE)
  file(WRITE ${DIGESTS} "${digest}\n")
  return()
endif()
file(STRINGS ${DIGESTS} expected)
if(NOT digest STREQUAL expected)
  message(FATAL_ERROR "the transcript differs from ${DIGESTS} (this run's: ${digest}):\n${out}")
endif()
