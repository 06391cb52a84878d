# The rooms' rule on includes: a source of a room includes headers of its own room and of the rooms it
# uses (and those they use), never of a room beside it: a page never includes another page, the core
# never includes a page. Runs at configure time for every room, and as a script for the tests:
#   cmake -DROOMS_FILE=<build>/mivo_rooms.cmake -DROOM=<room> -DFILES=<a;b> -P MivoCheckIncludes.cmake

cmake_policy(SET CMP0057 NEW)   # IN_LIST, also when run as a script

set(MIVO_ROOMS platform app widgets views find pagekit addressbook notebook assets ledger settings shell)

# Fails the configuration with every include of `files` that reaches outside `allowed`.
function(mivo_check_includes room allowed files)
  set(wrong)
  foreach(f IN LISTS files)
    if(NOT f MATCHES "\\.(c|cc|cpp|h|hpp)$" OR NOT EXISTS "${f}")
      continue()
    endif()
    file(STRINGS "${f}" lines REGEX "^[ \t]*#[ \t]*include[ \t]*\"[a-z_]+/")
    foreach(line IN LISTS lines)
      string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([a-z_]+)/.*$" "\\1" target "${line}")
      if(NOT target IN_LIST MIVO_ROOMS OR target STREQUAL room OR target IN_LIST allowed)
        continue()
      endif()
      list(APPEND wrong "${f}: ${line}")
    endforeach()
  endforeach()
  if(wrong)
    list(JOIN wrong "\n  " text)
    message(FATAL_ERROR "The room \"${room}\" may include only ${allowed}; it includes:\n  ${text}")
  endif()
endfunction()

if(CMAKE_SCRIPT_MODE_FILE STREQUAL CMAKE_CURRENT_LIST_FILE)
  include(${ROOMS_FILE})
  mivo_check_includes(${ROOM} "${MIVO_ALLOWED_${ROOM}}" "${FILES}")
endif()
