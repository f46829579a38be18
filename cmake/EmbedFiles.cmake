# Writes a C++ header holding the application icon's PNG files as byte arrays.
#   cmake -DOUTPUT=<header> -DINPUTS="<size>=<png>|..." -P EmbedFiles.cmake
string(REPLACE "|" ";" INPUTS "${INPUTS}")
set(body "")
set(table "")
set(index 0)
foreach(entry IN LISTS INPUTS)
  string(REPLACE "=" ";" parts "${entry}")
  list(GET parts 0 size)
  list(GET parts 1 path)
  file(READ "${path}" hex HEX)
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  string(APPEND body "inline constexpr unsigned char kIconPng${index}[] = {${bytes}};\n")
  string(APPEND table "    {${size}, kIconPng${index}, sizeof kIconPng${index}},\n")
  math(EXPR index "${index} + 1")
endforeach()
file(WRITE "${OUTPUT}.tmp"
"// Generated from res/icons by cmake/EmbedFiles.cmake; do not edit.
#pragma once
#include <cstddef>
struct IconPng {
  int size_px;
  const unsigned char* data;
  std::size_t size;
};
${body}
inline constexpr IconPng kIconPngs[] = {
${table}};
")
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.tmp")
