# The help book as the users of one system read it: each page keeps its passages for that
# system and loses those for the other. A passage for one system is the lines from
# "<!--linux-->" to "<!--/linux-->" (or "windows"), each marker on a line of its own.
#   cmake -DSYSTEM=linux|windows -DINPUT_DIR=<res/help> -DOUTPUT_DIR=<folder> -P HelpBook.cmake
cmake_minimum_required(VERSION 3.25)

if(SYSTEM STREQUAL "linux")
  set(other windows)
elseif(SYSTEM STREQUAL "windows")
  set(other linux)
else()
  message(FATAL_ERROR "HelpBook.cmake: SYSTEM must be linux or windows, not '${SYSTEM}'")
endif()

file(MAKE_DIRECTORY "${OUTPUT_DIR}")
file(GLOB pages RELATIVE "${INPUT_DIR}" "${INPUT_DIR}/*")
foreach(page IN LISTS pages)
  file(READ "${INPUT_DIR}/${page}" text)
  # Passages never nest, so each begin marker's end is the first one after it.
  while(TRUE)
    string(FIND "${text}" "<!--${other}-->\n" begin)
    if(begin EQUAL -1)
      break()
    endif()
    string(SUBSTRING "${text}" ${begin} -1 rest)
    string(FIND "${rest}" "<!--/${other}-->\n" end)
    if(end EQUAL -1)
      message(FATAL_ERROR "${page}: <!--${other}--> is never closed")
    endif()
    string(LENGTH "<!--/${other}-->\n" marker)
    math(EXPR after "${begin} + ${end} + ${marker}")
    string(SUBSTRING "${text}" 0 ${begin} before)
    string(SUBSTRING "${text}" ${after} -1 rest)
    set(text "${before}${rest}")
  endwhile()
  # This system's own markers go too: nothing is left to say which system the page is for.
  string(REPLACE "<!--${SYSTEM}-->\n" "" text "${text}")
  string(REPLACE "<!--/${SYSTEM}-->\n" "" text "${text}")
  file(WRITE "${OUTPUT_DIR}/${page}" "${text}")
endforeach()
