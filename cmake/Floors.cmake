# The floors of the program: which library may use which.
#
# Every source folder stands on a floor; cartigo_floors() lists them from the ground up.
# A folder makes a core library (QtCore and QtGui only) and, when it has windows, a UI
# library. A library links only libraries of lower floors, and a UI library its own
# folder's core; a core library never links a UI library or QtWidgets. These rules are
# checked when CMake runs. At every build each source file's includes of the program's
# headers are checked against what its library links: a file may include the headers of
# its own library, of the libraries it links and of what those link PUBLIC. So a lower
# folder that includes a higher one, or a core file that includes a window, fails the
# build with a message naming the file and the include.

# cartigo_floors("<folders of floor 0>" "<folders of floor 1>" ...)
function(cartigo_floors)
  set(n 0)
  foreach(floor IN LISTS ARGN)
    string(REPLACE " " ";" folders "${floor}")
    foreach(folder IN LISTS folders)
      set_property(GLOBAL PROPERTY CARTIGO_FLOOR_${folder} ${n})
    endforeach()
    math(EXPR n "${n} + 1")
  endforeach()
endfunction()

function(_cartigo_floor folder out)
  get_property(floor GLOBAL PROPERTY CARTIGO_FLOOR_${folder})
  if(floor STREQUAL "")
    message(FATAL_ERROR "src/${folder} stands on no floor: add it to cartigo_floors() in CMakeLists.txt")
  endif()
  set(${out} ${floor} PARENT_SCOPE)
endfunction()

# cartigo_library(<folder> <core|ui>): the static library cartigo_<folder>_<core|ui>.
function(cartigo_library folder kind)
  _cartigo_floor(${folder} floor)
  set(name cartigo_${folder}_${kind})
  add_library(${name} STATIC)
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC Qt6::Core Qt6::Gui)
  if(kind STREQUAL "ui")
    target_link_libraries(${name} PUBLIC Qt6::Widgets)
  elseif(NOT kind STREQUAL "core")
    message(FATAL_ERROR "cartigo_library(${folder} ${kind}): the kind is core or ui")
  endif()
  set_target_properties(${name} PROPERTIES CARTIGO_FOLDER ${folder} CARTIGO_KIND ${kind})
  set_property(GLOBAL APPEND PROPERTY CARTIGO_LIBRARIES ${name})
endfunction()

# cartigo_program(<target> <folder> [NO_WIDGETS]): a program of a folder, whose sources are
# checked like a library's. NO_WIDGETS: it links no UI library and no widget module.
function(cartigo_program target folder)
  cmake_parse_arguments(P "NO_WIDGETS" "" "" ${ARGN})
  _cartigo_floor(${folder} floor)
  set_target_properties(${target} PROPERTIES CARTIGO_FOLDER ${folder} CARTIGO_KIND program
                                             CARTIGO_NO_WIDGETS "${P_NO_WIDGETS}")
  set_property(GLOBAL APPEND PROPERTY CARTIGO_PROGRAMS ${target})
endfunction()

# cartigo_core: every core library; cartigo_ui: every library. For tests and benchmarks.
function(cartigo_aggregates)
  get_property(libs GLOBAL PROPERTY CARTIGO_LIBRARIES)
  add_library(cartigo_core INTERFACE)
  add_library(cartigo_ui INTERFACE)
  target_link_libraries(cartigo_ui INTERFACE cartigo_core)
  foreach(lib IN LISTS libs)
    get_target_property(kind ${lib} CARTIGO_KIND)
    if(kind STREQUAL "core")
      target_link_libraries(cartigo_core INTERFACE ${lib})
    else()
      target_link_libraries(cartigo_ui INTERFACE ${lib})
    endif()
  endforeach()
endfunction()

# The program's libraries named in `target`'s `property`: LINK_LIBRARIES, what it links
# (any scope); INTERFACE_LINK_LIBRARIES, what it links PUBLIC.
function(_cartigo_links target property out)
  get_property(libs GLOBAL PROPERTY CARTIGO_LIBRARIES)
  get_target_property(links ${target} ${property})
  set(result)
  foreach(l IN LISTS links)
    if(l IN_LIST libs)
      list(APPEND result ${l})
    endif()
  endforeach()
  set(${out} ${result} PARENT_SCOPE)
endfunction()

# The libraries reached from `target` through `property`, link after link. Through
# LINK_LIBRARIES: every library it links. Through INTERFACE_LINK_LIBRARIES: the libraries
# whose headers its users may include (a PRIVATE link stays with the library that made it).
function(_cartigo_reach target property out)
  set(todo ${target})
  set(seen)
  while(todo)
    list(POP_FRONT todo t)
    _cartigo_links(${t} ${property} next)
    foreach(d IN LISTS next)
      if(NOT d IN_LIST seen)
        list(APPEND seen ${d})
        list(APPEND todo ${d})
      endif()
    endforeach()
  endwhile()
  set(${out} ${seen} PARENT_SCOPE)
endfunction()

# Checks the links against the floors and adds the build step that checks the includes.
function(cartigo_check_floors)
  get_property(libs GLOBAL PROPERTY CARTIGO_LIBRARIES)
  get_property(programs GLOBAL PROPERTY CARTIGO_PROGRAMS)
  set(errors)
  set(table "set(TARGETS ${libs} ${programs})\n")
  set(all_sources)
  foreach(t IN LISTS libs programs)
    get_target_property(folder ${t} CARTIGO_FOLDER)
    get_target_property(kind ${t} CARTIGO_KIND)
    _cartigo_floor(${folder} floor)
    _cartigo_links(${t} LINK_LIBRARIES direct)
    _cartigo_reach(${t} LINK_LIBRARIES closure)
    set(allowed ${t} ${direct})
    foreach(d IN LISTS direct)
      _cartigo_reach(${d} INTERFACE_LINK_LIBRARIES usable)
      list(APPEND allowed ${usable})
    endforeach()
    list(REMOVE_DUPLICATES allowed)
    get_target_property(qt ${t} LINK_LIBRARIES)
    foreach(d IN LISTS direct)
      get_target_property(dfolder ${d} CARTIGO_FOLDER)
      get_target_property(dkind ${d} CARTIGO_KIND)
      _cartigo_floor(${dfolder} dfloor)
      if(dfolder STREQUAL folder)
        if(kind STREQUAL "core" AND dkind STREQUAL "ui")
          list(APPEND errors "${t} is a core library and links the UI library ${d}")
        endif()
      elseif(NOT dfloor LESS floor)
        list(APPEND errors "${t} (src/${folder}, floor ${floor}) links ${d} (src/${dfolder}, floor ${dfloor}): a library links only libraries of lower floors")
      endif()
    endforeach()
    get_target_property(no_widgets ${t} CARTIGO_NO_WIDGETS)
    if(kind STREQUAL "core" OR no_widgets)
      foreach(d IN LISTS t closure)
        get_target_property(dkind ${d} CARTIGO_KIND)
        get_target_property(dlinks ${d} LINK_LIBRARIES)
        if(dkind STREQUAL "ui" OR "Qt6::Widgets" IN_LIST dlinks OR "Qt6::PrintSupport" IN_LIST dlinks)
          list(APPEND errors "${t} must run without widgets, and links ${d}, which uses them")
        endif()
      endforeach()
    endif()
    get_target_property(sources ${t} SOURCES)
    get_target_property(dir ${t} SOURCE_DIR)
    set(absolute)
    foreach(s IN LISTS sources)
      if(NOT s MATCHES "\\.(h|cpp)$" OR s MATCHES "\\$<")
        continue()
      endif()
      get_filename_component(s ${s} ABSOLUTE BASE_DIR ${dir})
      list(APPEND absolute ${s})
    endforeach()
    list(APPEND all_sources ${absolute})
    string(APPEND table "set(${t}_FOLDER ${folder})\nset(${t}_FLOOR ${floor})\n"
                        "set(${t}_ALLOWED ${allowed})\nset(${t}_SOURCES \"${absolute}\")\n")
  endforeach()
  if(errors)
    list(JOIN errors "\n  " text)
    message(FATAL_ERROR "The floors are broken:\n  ${text}\n(see docs/architecture.md)")
  endif()

  set(table_file ${PROJECT_BINARY_DIR}/floors/table.cmake)
  file(GENERATE OUTPUT ${table_file} CONTENT "${table}")
  set(stamp ${PROJECT_BINARY_DIR}/floors/checked)
  add_custom_command(
    OUTPUT ${stamp}
    COMMAND ${CMAKE_COMMAND} -DTABLE=${table_file} -DSOURCE_DIR=${PROJECT_SOURCE_DIR}
            -P ${PROJECT_SOURCE_DIR}/cmake/CheckFloors.cmake
    COMMAND ${CMAKE_COMMAND} -E touch ${stamp}
    DEPENDS ${all_sources} ${table_file} ${PROJECT_SOURCE_DIR}/cmake/CheckFloors.cmake
    COMMENT "Checking that each folder includes only the floors below it"
    VERBATIM)
  add_custom_target(cartigo_floors_check ALL DEPENDS ${stamp})
endfunction()
