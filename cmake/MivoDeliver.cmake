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

# The pictures are drawn from their SVG sources in resource/art by mivo_art at the sizes they are
# shown at: the application and tray icon, the navigation bitmaps, the tree and tab icons of every page,
# and the picture buttons of the notebook and the settings page (their sources in resource/art/gif: the
# navigation bitmaps share the names).
set(MIVO_ART_DIR ${PROJECT_SOURCE_DIR}/resource/art)
set(MIVO_PICTURES)
function(mivo_render_picture source destination sizes)
  set(output ${MIVO_RUNTIME_DIR}/${destination})
  add_custom_command(OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=0
            $<TARGET_FILE:mivo_art> ${MIVO_ART_DIR}/${source} ${output} ${sizes}
    DEPENDS mivo_art ${MIVO_ART_DIR}/${source}
    COMMENT "Drawing ${destination}"
    VERBATIM)
  set(MIVO_PICTURES ${MIVO_PICTURES} ${output} PARENT_SCOPE)
endfunction()

mivo_render_picture(i001.svg i001.ico 32,16,24,48,64,128)
foreach(n RANGE 0 7)
  mivo_render_picture(P00${n}.svg resource/P00${n}.bmp 32)
endforeach()
foreach(n 002 003 004 005 006 007 008 009 010)
  mivo_render_picture(i${n}.svg resource/i${n}.ico 16,32)
endforeach()
foreach(n RANGE 1 6)
  mivo_render_picture(gif/P00${n}.svg resource/P00${n}.gif 16)
endforeach()
# The personal assets' tree (11 an item, 12 a group), the ledger's tabs (13-15: expenses, incomes,
# statistics) and the settings page's tabs (16-21; P001.gif above is its backup-folder button).
foreach(n RANGE 11 21)
  mivo_render_picture(i0${n}.svg resource/i0${n}.ico 16,32)
endforeach()
add_custom_target(mivo_pictures ALL DEPENDS ${MIVO_PICTURES})
