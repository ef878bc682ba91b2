// The job host: runs one job's server library in a process of its own.
//   vxjobhost <library file> <argument file> [server process id]
// The argument file holds the argument array (MessagePack); the library's
// messages go to standard output and the exit code tells the outcome.
#include <sys/prctl.h>
#include <unistd.h>

#include <csignal>
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
  if (argc != 3 && argc != 4) {
    std::cout << "usage: vxjobhost <library file> <argument file> [server process id]";
    return kHostBadInput;
  }
  // A run whose server died is abandoned with it: the server's successor
  // claims the job again and runs it anew.
  ::prctl(PR_SET_PDEATHSIG, SIGKILL);
  if (argc == 4 && std::to_string(::getppid()) != argv[3]) return kHostBadInput;
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
