# Warnings and sanitizers for every target of the project.
add_compile_options(-Wall -Wextra)
if(MIVO_WERROR)
  add_compile_options(-Werror)
endif()
if(MIVO_SANITIZE)
  # -O1 keeps the sanitized test build quick enough to run often.
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined -O1)
  add_link_options(-fsanitize=address,undefined)
endif()
# Sources are UTF-8; Qt 6 reads every const char* as UTF-8, so Chinese literals need no wrapping.
add_compile_definitions(QT_NO_NARROWING_CONVERSIONS_IN_CONNECT)
