# Writes OUT: a C++ source holding every picture listed in DIR/index.txt as a
# byte array, in list order, so the library needs no files at run time.
file(STRINGS ${DIR}/index.txt names)
set(body "// Generated from ${DIR}/index.txt; do not edit.\n#include \"suite/bitmaps/picture_store.h\"\nnamespace vx::bitmaps {\nnamespace {\n")
set(table "")
set(i 0)
foreach(line IN LISTS names)
  # "file.png" or "file.png N": N images in the strip (the picture and its
  # disabled form when 2).
  string(REPLACE " " ";" fields "${line}")
  list(GET fields 0 name)
  list(LENGTH fields n)
  set(images 1)
  if(n GREATER 1)
    list(GET fields 1 images)
  endif()
  file(READ ${DIR}/${name} hex HEX)
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  string(APPEND body "const unsigned char p${i}[] = {${bytes}};\n")
  string(APPEND table "    {\"${name}\", p${i}, sizeof p${i}, ${images}},\n")
  math(EXPR i "${i} + 1")
endforeach()
string(APPEND body "}  // namespace\nconst EmbeddedPicture kPictures[] = {\n${table}};\nconst int kPictureCount = ${i};\n}  // namespace vx::bitmaps\n")
file(WRITE ${OUT} "${body}")
