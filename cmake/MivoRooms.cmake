# A folder of src/ is a room: one static library that may use the rooms listed for it and, through
# them, the rooms they use. The build checks every include against that list, so a page that includes
# another page, or the core that includes a page, fails to configure.
include(${CMAKE_CURRENT_LIST_DIR}/MivoCheckIncludes.cmake)

set(MIVO_ROOMS_FILE ${CMAKE_BINARY_DIR}/mivo_rooms.cmake)
file(WRITE ${MIVO_ROOMS_FILE} "# What each room may include, written by the configuration.\n")

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

  set(files)
  foreach(s IN LISTS R_SOURCES)
    get_filename_component(abs ${s} ABSOLUTE BASE_DIR ${CMAKE_CURRENT_SOURCE_DIR})
    list(APPEND files ${abs})
  endforeach()
  mivo_check_includes(${room} "${allowed}" "${files}")
endfunction()
