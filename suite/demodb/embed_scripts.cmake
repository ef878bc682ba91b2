# Writes OUT: a C++ source holding demo/sql/system.sql and company.sql as
# byte arrays, so that the tool needs no files beside it at run time.
set(body "// Generated from ${DIR}; do not edit.\n#include <string>\nnamespace vx::demo::scripts {\n")
foreach(name IN ITEMS system company)
  file(READ ${DIR}/${name}.sql hex HEX)
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  string(APPEND body "static const unsigned char k_${name}[] = {${bytes}};\n")
  string(APPEND body "const std::string& ${name}() {\n  static const std::string s(reinterpret_cast<const char*>(k_${name}), sizeof k_${name});\n  return s;\n}\n")
endforeach()
string(APPEND body "}  // namespace vx::demo::scripts\n")
file(WRITE ${OUT} "${body}")
