// A host program for the web-service call, run by the tests where the
// process itself matters: its command line (the tracing pause) and its folder
// (where the web-service library is looked for).
//   web_service_probe <address> <method> <request> [more arguments...]
// Prints "PAUSE:" + the pause message when the pause hook runs, then
// "ANSWER:" + the answer, or "ERROR:" + the message of an exception. With
// VX_PROBE_DIALOGS set the application's own pause stays, and every dialog
// shown is printed as "DIALOG:" + its text and buttons.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "lib/web_service.h"
#include "platform/ui/headless.h"

int main(int argc, char** argv) {
  if (argc < 4) return 2;
  if (std::getenv("VX_PROBE_DIALOGS")) {
    vx::HeadlessWidgetSet()->SetModalResponder([](vx::TCustomForm&, const vx::TDialogRecord& d) {
      std::string buttons;
      for (const std::string& b : d.Buttons)
        buttons += " " + b;
      std::printf("DIALOG:%s:%s\n", d.Text.c_str(), buttons.c_str());
    });
  } else {
    vx::SetWebServiceTracePause(
        [](const std::string& message) { std::printf("PAUSE:%s\n", message.c_str()); });
  }
  try {
    std::string answer = vx::CallWebService(argv[1], argv[2], argv[3]);
    std::printf("ANSWER:%s", answer.c_str());
  } catch (const std::exception& e) {
    std::printf("ERROR:%s", e.what());
  }
  return 0;
}
