# The help book as the users of one system read it, in one language: each page keeps its
# passages for that system and loses those for the other. A passage for one system is the lines
# from "<!--linux-->" to "<!--/linux-->" (or "windows"), each marker on a line of its own. A
# page the language's folder lacks is taken from FALLBACK_DIR (the English book), if given.
# Chinese and Japanese pages get the places where their lines may break (HelpLineBreaks.pl).
#   cmake -DSYSTEM=linux|windows -DINPUT_DIR=<folder> [-DFALLBACK_DIR=<folder>]
#         -DOUTPUT_DIR=<folder> -P HelpBook.cmake
cmake_minimum_required(VERSION 3.25)

if(SYSTEM STREQUAL "linux")
  set(other windows)
elseif(SYSTEM STREQUAL "windows")
  set(other linux)
else()
  message(FATAL_ERROR "HelpBook.cmake: SYSTEM must be linux or windows, not '${SYSTEM}'")
endif()

file(MAKE_DIRECTORY "${OUTPUT_DIR}")
file(GLOB pages LIST_DIRECTORIES false RELATIVE "${INPUT_DIR}" "${INPUT_DIR}/*")
set(fallbacks "")
if(FALLBACK_DIR)
  file(GLOB fallbacks LIST_DIRECTORIES false RELATIVE "${FALLBACK_DIR}" "${FALLBACK_DIR}/*")
  list(REMOVE_ITEM fallbacks ${pages})
endif()
foreach(page IN LISTS pages fallbacks)
  if(page IN_LIST pages)
    file(READ "${INPUT_DIR}/${page}" text)
  else()
    file(READ "${FALLBACK_DIR}/${page}" text)
  endif()
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
  # Chinese and Japanese text gets the places where its lines may break.
  if(page MATCHES "\\.html$")
    execute_process(COMMAND perl -CSD ${CMAKE_CURRENT_LIST_DIR}/HelpLineBreaks.pl
                    INPUT_FILE "${OUTPUT_DIR}/${page}" OUTPUT_FILE "${OUTPUT_DIR}/${page}.new"
                    RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
      message(FATAL_ERROR "HelpLineBreaks.pl failed on ${page}")
    endif()
    file(RENAME "${OUTPUT_DIR}/${page}.new" "${OUTPUT_DIR}/${page}")
  endif()
endforeach()
