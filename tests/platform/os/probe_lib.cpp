// A library for the loader tests: a value that tells which copy was loaded,
// and the library's own file name as the loader reports it.
#include <string>

#include "platform/os/dynlib.h"

extern "C" int VxProbeValue() {
  return PROBE_VALUE;
}

extern "C" const char* VxProbeOwnName() {
  static std::string name = vx::GetCallingModuleFileName();
  return name.c_str();
}
