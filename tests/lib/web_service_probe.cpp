// A host program for the web-service call, run by the tests where the
// process itself matters: its command line (the tracing pause) and its folder
// (where the web-service library is looked for).
//   web_service_probe <address> <method> <request> [more arguments...]
// Prints "PAUSE:" + the pause message when the pause hook runs, then
// "ANSWER:" + the answer, or "ERROR:" + the message of an exception.
#include <cstdio>
#include <string>

#include "lib/web_service.h"

int main(int argc, char** argv) {
  if (argc < 4) return 2;
  vx::SetWebServiceTracePause(
      [](const std::string& message) { std::printf("PAUSE:%s\n", message.c_str()); });
  try {
    std::string answer = vx::CallWebService(argv[1], argv[2], argv[3]);
    std::printf("ANSWER:%s", answer.c_str());
  } catch (const std::exception& e) {
    std::printf("ERROR:%s", e.what());
  }
  return 0;
}
