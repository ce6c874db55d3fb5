# Runs `kest tour` (PROGRAM under RUN) and checks each section of its transcript, with what
# varies from run to run masked, against its MD5 digest in DIGESTS (one line, in order);
# prints the sections that differ. With -DUPDATE=ON it writes this run's digests instead.
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
file(STRINGS ${DIGESTS} expected)
string(REPLACE " " ";" expected "${expected}")
# A section: its "== title ==" line and the indented lines after it.
string(REGEX MATCHALL "== [^\n]* ==(\n  [^\n]*|\n)*" sections "${out}")
foreach(section IN LISTS sections)
  string(MD5 digest "${section}")
  list(APPEND digests ${digest})
  if(NOT digest IN_LIST expected)
    string(APPEND differing "${section}\n")
  endif()
endforeach()
if(UPDATE)
  string(REPLACE ";" " " digests "${digests}")
  file(WRITE ${DIGESTS} "${digests}\n")
elseif(NOT digests STREQUAL expected OR NOT out MATCHES "\nkest tour: done\n$")
  message(FATAL_ERROR "sections that differ from ${DIGESTS}:\n${differing}\nthis run's: ${digests}")
endif()
