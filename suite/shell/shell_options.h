#pragma once
// The command line of the shell host.
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace vx::shell {

struct TShellOptions {
  std::string Module;    // module library ("STKB17C.so" or a path)
  bool Earlier = false;  // the earlier edition's library
  std::vector<std::string> Startup = {"DS", "DEMO", "VXSYS"};
  std::vector<std::pair<std::string, std::string>> Values;  // parameter name = value
  int Mode = -1;                                            // the shell's run mode; -1: show only
  std::vector<std::string> Libraries;  // loaded before the module (manager, server)
  // Dialog answers: text fragment or dialog type -> button name.
  std::vector<std::pair<std::string, std::string>> Answers;
  bool Help = false;
};

// Parses argv (without the program name); raises std::invalid_argument with
// the reason for a command line it does not understand.
TShellOptions ParseShellOptions(const std::vector<std::string>& args);
std::string ShellUsage();

}  // namespace vx::shell
