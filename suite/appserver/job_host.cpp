// The job host: runs one job's server library in a process of its own.
//   vxjobhost <library file> <argument file>
// The argument file holds the argument array (MessagePack); the library's
// messages go to standard output and the exit code tells the outcome.
#include <exception>
#include <fstream>
#include <iostream>
#include <iterator>
#include <memory>

#include "framework/svrctrl.h"
#include "platform/os/dynlib.h"
#include "platform/remote/variant_codec.h"
#include "platform/rtl/text.h"
#include "suite/appserver/job_runner.h"

int main(int argc, char** argv) {
  using namespace vx;
  using namespace vx::appserver;
  if (argc != 3) {
    std::cout << "usage: vxjobhost <library file> <argument file>";
    return kHostBadInput;
  }
  Variant args;
  try {
    std::ifstream in(argv[2], std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    args = DecodeVariant(bytes);
  } catch (const std::exception& e) {
    std::cout << e.what();
    return kHostBadInput;
  }
  TDynLib lib(argv[1]);
  if (!lib.Loaded()) {
    std::cout << lib.Error();
    return kHostNoLibrary;
  }
  auto get = lib.Function<TGetSvrControllerFunc>(kGetSvrControllerExport);
  if (!get) return kHostNoExport;
  std::unique_ptr<TSvrController> controller(get());
  if (!controller) return kHostNoExport;
  int code = kHostOk;
  try {
    controller->Run(args);
  } catch (const std::exception& e) {
    std::cout << e.what() << "\n";
    code = kHostRaised;
  } catch (...) {
    code = kHostRaised;
  }
  std::u16string messages;
  try {
    controller->GetMessages(messages);
  } catch (...) {
  }
  std::cout << Utf16ToUtf8(messages);
  std::cout.flush();
  return code;
}
