# The files the program finds next to itself. The database is made only where none exists: a delivered
# database is never touched. The program's own files (help page, icons) follow the sources.

add_custom_target(mivo_database ALL
  COMMAND mivo_mkdb ${MIVO_RUNTIME_DIR}/mivo.mdb
  DEPENDS mivo_mkdb
  COMMENT "mivo.mdb next to the executable (made only where none exists)"
  VERBATIM)

# Copies one file into the runtime folder whenever its source changes.
function(mivo_deliver_file source destination)
  configure_file(${source} ${MIVO_RUNTIME_DIR}/${destination} COPYONLY)
endfunction()

if(EXISTS ${PROJECT_SOURCE_DIR}/resource/help.htm)
  mivo_deliver_file(${PROJECT_SOURCE_DIR}/resource/help.htm help.htm)
endif()
