# Checks every source file's includes of the program's headers against the floors:
#   cmake -DTABLE=<build>/floors/table.cmake -DSOURCE_DIR=<checkout> -P cmake/CheckFloors.cmake
# The table (written by cartigo_check_floors() in Floors.cmake) names, for each library and
# program, its folder, floor, sources and the libraries it may use: itself and what it
# links. A file may include a header only when the library holding it is one of those.

cmake_minimum_required(VERSION 3.24)

include(${TABLE})
set(src ${SOURCE_DIR}/src)

# the library that holds each header
foreach(t IN LISTS TARGETS)
  foreach(f IN LISTS ${t}_SOURCES)
    if(f MATCHES "\\.h$")
      file(RELATIVE_PATH rel ${src} ${f})
      string(MAKE_C_IDENTIFIER "${rel}" key)
      set(OWNER_${key} ${t})
    endif()
  endforeach()
endforeach()

set(errors)
foreach(t IN LISTS TARGETS)
  foreach(f IN LISTS ${t}_SOURCES)
    file(RELATIVE_PATH file ${SOURCE_DIR} ${f})
    get_filename_component(here ${f} DIRECTORY)
    file(STRINGS ${f} lines REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
    foreach(line IN LISTS lines)
      string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([^\"]+)\".*" "\\1" inc "${line}")
      if(EXISTS ${src}/${inc})
        set(rel ${inc})
      elseif(EXISTS ${here}/${inc})
        file(RELATIVE_PATH rel ${src} ${here}/${inc})
      else()
        continue()  # a generated file (moc), or outside the program
      endif()
      string(MAKE_C_IDENTIFIER "${rel}" key)
      set(owner ${OWNER_${key}})
      if(NOT owner)
        list(APPEND errors "${file} includes ${rel}, which no library lists among its sources")
        continue()
      endif()
      if(owner IN_LIST ${t}_ALLOWED)
        continue()
      endif()
      set(folder ${${owner}_FOLDER})
      if(NOT folder STREQUAL ${t}_FOLDER AND NOT ${owner}_FLOOR LESS ${t}_FLOOR)
        set(e "${file} (src/${${t}_FOLDER}, floor ${${t}_FLOOR}) includes ${rel} (src/${folder}, floor ${${owner}_FLOOR})")
        list(APPEND errors "${e}: a folder uses only the floors below it")
      else()
        list(APPEND errors "${file} (${t}) includes ${rel} of ${owner}, which ${t} does not link")
      endif()
    endforeach()
  endforeach()
endforeach()

if(errors)
  list(LENGTH errors n)
  list(JOIN errors "\n  " text)
  message(FATAL_ERROR "${n} include(s) against the floors (see docs/architecture.md):\n  ${text}")
endif()
