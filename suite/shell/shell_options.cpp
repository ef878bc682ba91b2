#include "suite/shell/shell_options.h"

#include <stdexcept>

#include "platform/rtl/text.h"

namespace vx::shell {

std::string ShellUsage() {
  return R"(usage: vxshell [options] MODULE

Loads a module library (for example STKB17C.so), starts its form through the
module's controller as the suite's client shell does, and prints the events,
every dialog a user would have seen and the outcome.

  --earlier              load the earlier edition (earlier/MODULE beside MODULE)
  --user U --company C --sysdb DB
                         the start-up array (default DS, DEMO, VXSYS)
  --set NAME=VALUE       put VALUE into the form's control NAME by name, as the
                         shell's parameter message does (repeatable); dates as
                         YYYYMMDD
  --queue                submit the job to the server's queue (mode 2)
  --direct               run the job directly (mode 5)
  --mode N               send the parameter message with mode N
  --load LIB             load a library first (the manager, the in-process
                         server; repeatable)
  --answer TEXT=BUTTON   answer a dialog whose text contains TEXT (or whose type
                         is TEXT, e.g. mtConfirmation) with BUTTON (Yes, No, OK,
                         Cancel, ...); unanswered dialogs take their default
                         button, never a silent Yes
  --help                 this text

Exit status: 0 a job was submitted (ResultCode 1); 1 nothing was submitted;
2 the module refused to start; 3 a library could not be loaded; 64 a usage
error.
)";
}

TShellOptions ParseShellOptions(const std::vector<std::string>& args) {
  TShellOptions o;
  auto need = [&](std::size_t& i) -> const std::string& {
    if (i + 1 >= args.size()) throw std::invalid_argument(args[i] + " needs a value");
    return args[++i];
  };
  auto pair_of = [](const std::string& text) {
    std::size_t eq = text.find('=');
    if (eq == std::string::npos || eq == 0)
      throw std::invalid_argument("expected NAME=VALUE, got '" + text + "'");
    return std::make_pair(text.substr(0, eq), text.substr(eq + 1));
  };
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--help" || a == "-h") {
      o.Help = true;
    } else if (a == "--earlier") {
      o.Earlier = true;
    } else if (a == "--user") {
      o.Startup[0] = need(i);
    } else if (a == "--company") {
      o.Startup[1] = need(i);
    } else if (a == "--sysdb") {
      o.Startup[2] = need(i);
    } else if (a == "--set") {
      o.Values.push_back(pair_of(need(i)));
    } else if (a == "--queue") {
      o.Mode = 2;
    } else if (a == "--direct") {
      o.Mode = 5;
    } else if (a == "--mode") {
      auto n = TryStrToInt(need(i));
      if (!n || *n < 0 || *n > 9) throw std::invalid_argument("--mode takes 0 to 9");
      o.Mode = *n;
    } else if (a == "--load") {
      o.Libraries.push_back(need(i));
    } else if (a == "--answer") {
      o.Answers.push_back(pair_of(need(i)));
    } else if (!a.empty() && a[0] == '-') {
      throw std::invalid_argument("unknown option " + a);
    } else if (o.Module.empty()) {
      o.Module = a;
    } else {
      throw std::invalid_argument("more than one module: " + a);
    }
  }
  if (!o.Help && o.Module.empty()) throw std::invalid_argument("no module named");
  return o;
}

}  // namespace vx::shell
