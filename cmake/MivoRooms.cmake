# A folder of src/ is a room: one static library that may use the rooms listed for it and, through
# them, the rooms they use. The build checks every include against that list, so a page that includes
# another page, or the core that includes a page, fails to configure.
include(${CMAKE_CURRENT_LIST_DIR}/MivoCheckIncludes.cmake)

set(MIVO_ROOMS_FILE ${CMAKE_BINARY_DIR}/mivo_rooms.cmake)
file(WRITE ${MIVO_ROOMS_FILE} "# What each room may include, written by the configuration.\n")

# The rule on includes for sources named relative to the current folder.
function(mivo_check_sources room allowed sources)
  set(files)
  foreach(s IN LISTS sources)
    get_filename_component(abs ${s} ABSOLUTE BASE_DIR ${CMAKE_CURRENT_SOURCE_DIR})
    list(APPEND files ${abs})
  endforeach()
  mivo_check_includes(${room} "${allowed}" "${files}")
endfunction()

# mivo_room(<room> SOURCES … [USES <rooms>…] [LIBS <public libraries>…] [PRIVATE_LIBS <libraries>…])
# USES and LIBS are public: a room's headers include theirs. PRIVATE_LIBS stay inside the room.
function(mivo_room room)
  cmake_parse_arguments(R "" "" "SOURCES;USES;LIBS;PRIVATE_LIBS" ${ARGN})
  add_library(mivo_${room} STATIC ${R_SOURCES})
  target_include_directories(mivo_${room} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  set(allowed)
  foreach(used IN LISTS R_USES)
    get_property(below GLOBAL PROPERTY MIVO_ALLOWED_${used})
    if(NOT TARGET mivo_${used})
      message(FATAL_ERROR "The room \"${room}\" uses \"${used}\", which is not defined before it.")
    endif()
    target_link_libraries(mivo_${room} PUBLIC mivo_${used})
    list(APPEND allowed ${used} ${below})
  endforeach()
  list(REMOVE_DUPLICATES allowed)
  target_link_libraries(mivo_${room} PUBLIC ${R_LIBS} PRIVATE ${R_PRIVATE_LIBS})
  set_property(GLOBAL PROPERTY MIVO_ALLOWED_${room} "${allowed}")
  file(APPEND ${MIVO_ROOMS_FILE} "set(MIVO_ALLOWED_${room} \"${allowed}\")\n")

  mivo_check_sources(${room} "${allowed}" "${R_SOURCES}")
endfunction()

# mivo_module(<name> ROOM <room> SOURCES … [LIBS <libraries>…]): a part of <room> built as a module
# that the program loads on first use (platform/modules.h), so the libraries only it needs are not
# mapped at start. Its sources follow the room's rule on includes. It links libraries, never a room:
# the program already holds the rooms, and a second copy inside the module would be a second set of
# their globals. It lands in bin/modules beside the executable and installs into lib/mivo/modules:
# a folder of its own, so the package's scripts do not run ldconfig for libraries no one links.
set(MIVO_MODULE_INSTALL_DIR lib/mivo/modules)
function(mivo_module name)
  cmake_parse_arguments(M "" "ROOM" "SOURCES;LIBS" ${ARGN})
  set(target mivo_module_${name})
  add_library(${target} MODULE ${M_SOURCES})
  target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${target} PRIVATE ${M_LIBS})
  # Every symbol resolved at link time: a module that needs a room's code fails to build, not to load.
  target_link_options(${target} PRIVATE -Wl,--no-undefined)
  set_target_properties(${target} PROPERTIES PREFIX "" OUTPUT_NAME ${name}
                        LIBRARY_OUTPUT_DIRECTORY ${MIVO_RUNTIME_DIR}/modules)
  set_property(GLOBAL APPEND PROPERTY MIVO_MODULES ${target})
  install(TARGETS ${target} LIBRARY DESTINATION ${MIVO_MODULE_INSTALL_DIR})

  get_property(allowed GLOBAL PROPERTY MIVO_ALLOWED_${M_ROOM})
  mivo_check_sources(${M_ROOM} "${allowed}" "${M_SOURCES}")
endfunction()
