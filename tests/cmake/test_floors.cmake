# The floors check: the sources as they are pass; a file that includes a higher floor, or a
# core file that includes a window, fails the check with a message naming the include.
#   cmake -DTABLE=<build>/floors/table.cmake -DSOURCE_DIR=<checkout> -DWORK=<dir> -P test_floors.cmake

cmake_minimum_required(VERSION 3.24)

function(check table result error)
  execute_process(COMMAND ${CMAKE_COMMAND} -DTABLE=${table} -DSOURCE_DIR=${SOURCE_DIR}
                          -P ${SOURCE_DIR}/cmake/CheckFloors.cmake
                  RESULT_VARIABLE rc ERROR_VARIABLE err OUTPUT_QUIET)
  set(${result} ${rc} PARENT_SCOPE)
  set(${error} "${err}" PARENT_SCOPE)
endfunction()

# `lib` gains a file holding `content`; the check must fail with `expected`.
function(expect_refused name lib content expected)
  file(WRITE ${WORK}/${name}.cpp "${content}")
  file(READ ${TABLE} table)
  string(APPEND table "list(APPEND ${lib}_SOURCES ${WORK}/${name}.cpp)\n")
  file(WRITE ${WORK}/${name}.cmake "${table}")
  check(${WORK}/${name}.cmake rc err)
  if(rc EQUAL 0)
    message(FATAL_ERROR "${name}: the check let it pass")
  endif()
  if(NOT err MATCHES "${expected}")
    message(FATAL_ERROR "${name}: the check said:\n${err}")
  endif()
endfunction()

file(MAKE_DIRECTORY ${WORK})
check(${TABLE} rc err)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "the sources as they are: ${err}")
endif()
expect_refused(higher cartigo_data_ui "#include \"data/frmDati.h\"\n#include \"app/frmCartigo.h\"\n"
               "higher.cpp \\(src/data, floor 3\\) includes app/frmCartigo.h \\(src/app, floor 5\\): a folder uses only the floors below it")
expect_refused(same_floor cartigo_stampora_core "#include \"data/clsDatabase.h\"\n"
               "same_floor.cpp \\(src/stampora, floor 3\\) includes data/clsDatabase.h \\(src/data, floor 3\\)")
expect_refused(window cartigo_layout_core "#include \"layout/FiltroCampi.h\"\n"
               "window.cpp \\(cartigo_layout_core\\) includes layout/FiltroCampi.h of cartigo_layout_ui, which cartigo_layout_core does not link")
