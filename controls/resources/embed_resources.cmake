# Writes OUT: a C++ source holding every picture listed in DIR/index.txt
# ("NAME file" per line) as named PNG data, so that the controls need no
# files at run time.
file(STRINGS ${DIR}/index.txt lines)
set(body "// Generated from ${DIR}/index.txt; do not edit.\n#include \"controls/resources.h\"\nnamespace vx::resources {\nnamespace {\n")
set(table "")
set(i 0)
foreach(line IN LISTS lines)
  string(REGEX MATCH "^([A-Za-z0-9_]+) +(.+)$" _ "${line}")
  set(name ${CMAKE_MATCH_1})
  file(READ ${DIR}/${CMAKE_MATCH_2} hex HEX)
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  string(APPEND body "const unsigned char r${i}[] = {${bytes}};\n")
  string(APPEND table "    {\"${name}\", r${i}, sizeof r${i}},\n")
  math(EXPR i "${i} + 1")
endforeach()
string(APPEND body "}  // namespace\nconst Resource kResources[] = {\n${table}};\nconst int kResourceCount = ${i};\n}  // namespace vx::resources\n")
file(WRITE ${OUT} "${body}")
