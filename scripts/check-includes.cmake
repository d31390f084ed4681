# scripts/check-includes.cmake — each folder includes only the folders below it
#
#   cmake -DSOURCE_DIR=<top of the tree> -P scripts/check-includes.cmake
#
# Run by the build before anything is compiled (the include_rule target);
# every #include "…" that breaks the rule is named, and the build stops.
# From the bottom up: the model, the rules, the computer and the kept battle
# beside each other, the drawing, the window. Below the window nothing
# includes a GL, GLU, GLUT or X header either. The drawing reads two of the
# window's headers, its view state and its texture names, and no other.

cmake_minimum_required(VERSION 3.25)

set(ALLOWED_game   game)
set(ALLOWED_rules  game rules)
set(ALLOWED_ai     game rules ai)
set(ALLOWED_save   game rules save)
set(ALLOWED_render game rules save render app/camera.h app/textures.h)
set(ALLOWED_app    game rules ai save render app)
set(HEADLESS game rules ai save)

set(broken "")
foreach(folder game rules ai save render app)
  file(GLOB sources ${SOURCE_DIR}/${folder}/*.cpp ${SOURCE_DIR}/${folder}/*.h)
  foreach(source ${sources})
    file(STRINGS ${source} lines REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]")
    foreach(line IN LISTS lines)
      string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*[<\"]([^>\"]*)[>\"].*$" "\\1" included "${line}")
      file(RELATIVE_PATH shown ${SOURCE_DIR} ${source})
      if(line MATCHES "<(GL|X11)/")
        if(folder IN_LIST HEADLESS)
          string(APPEND broken "  ${shown}: ${included} (no GL or X below the window)\n")
        endif()
        continue()
      endif()
      if(line MATCHES "<")
        continue()   # the standard library and other system headers
      endif()
      string(REGEX MATCH "^[^/]+" top "${included}")
      if(NOT top IN_LIST ALLOWED_${folder} AND NOT included IN_LIST ALLOWED_${folder})
        string(APPEND broken "  ${shown}: ${included}\n")
      endif()
    endforeach()
  endforeach()
endforeach()

if(broken)
  message(FATAL_ERROR "These includes reach above their folder's layer:\n${broken}")
endif()
