// A server of test objects in a process of its own, so that a test can kill
// it in the middle of a call. Prints the port it listens on, then serves
// until it is killed or its input ends.
#include <chrono>
#include <cstdio>
#include <iostream>
#include <thread>

#include "platform/automation/class_registry.h"
#include "platform/automation/scripted_object.h"
#include "platform/remote/remote_server.h"

int main() {
  using namespace vx;
  ClassRegistry::Instance().Register("Remote.Sleeper", [] {
    auto object = std::make_shared<ScriptedObject>();
    object->On("Sleep", [](std::span<Arg> args) {
      std::this_thread::sleep_for(std::chrono::milliseconds(args[0].get().ToInt()));
      return Variant(true);
    });
    return object;
  });
  TRemoteServerOptions options;
  options.AllowedClasses = {"Remote.Sleeper"};
  TRemoteServer server(options);
  server.Start();
  std::cout << server.Port() << std::endl;
  std::string line;
  while (std::getline(std::cin, line)) {
  }
  return 0;
}
