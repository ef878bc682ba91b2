// vxshell: the suite's client shell host, headless. It loads a module
// library, creates the manager, drives the module's controller in the
// shell's order, pumps the message queue and prints what a user would have
// seen.
#include <cstdio>
#include <iostream>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "module/dll_base_ctrller.h"
#include "platform/automation/class_registry.h"
#include "platform/automation/dispatch.h"
#include "platform/os/dynlib.h"
#include "platform/os/paths.h"
#include "platform/os/system.h"
#include "platform/rtl/text.h"
#include "platform/ui/forms.h"
#include "platform/ui/headless.h"
#include "platform/ui/stdctrls.h"
#include "suite/shell/shell_options.h"

namespace {

using namespace vx;
using shell::TShellOptions;

const char* EventName(std::int32_t code) {
  switch (code) {
    case kEventFormCreated:
      return "form created";
    case kEventFormShow:
      return "form shown";
    case kEventFormHide:
      return "form hidden";
    case kEventFormDestroy:
      return "form destroyed";
    default:
      return "event";
  }
}

void OnEvent(void*, std::int32_t code, TDLLBaseController*) {
  std::printf("event %d: %s\n", code, EventName(code));
}

// Answers a dialog by the first rule that fits; otherwise leaves it to its
// default button.
void AnswerDialogs(const TShellOptions& options) {
  HeadlessWidgetSet()->SetModalResponder([&options](TCustomForm& form, const TDialogRecord& shown) {
    std::string text = shown.MessageDialog ? shown.Text : shown.Caption;
    for (char& c : text)
      if (c == '\r' || c == '\n') c = ' ';
    std::printf("dialog %s: %s [",
                shown.MessageDialog ? shown.DlgType.c_str() : shown.ClassName.c_str(),
                text.c_str());
    for (std::size_t i = 0; i < shown.Buttons.size(); ++i)
      std::printf("%s%s", i ? " " : "", shown.Buttons[i].c_str());
    std::printf("]");
    for (const auto& [match, button] : options.Answers) {
      if (shown.DlgType == match || text.find(match) != std::string::npos) {
        if (auto* b = dynamic_cast<TButton*>(form.FindComponent(button))) {
          std::printf(" -> %s\n", button.c_str());
          b->Click();
          return;
        }
      }
    }
    std::printf(" -> %s (default)\n",
                shown.DefaultButton.empty() ? "close" : shown.DefaultButton.c_str());
  });
}

// [mode, [true, [caption row, value row]]], rows with lower bound 0 and
// entries [caption, control name].
Variant ParameterMessage(const TShellOptions& options) {
  Variant captions = VarArrayCreate(0, static_cast<int>(options.Values.size()) - 1);
  Variant values = VarArrayCreate(0, static_cast<int>(options.Values.size()) - 1);
  for (std::size_t i = 0; i < options.Values.size(); ++i) {
    captions[static_cast<int>(i)] = VarArrayOf({options.Values[i].first, options.Values[i].first});
    values[static_cast<int>(i)] = options.Values[i].second;
  }
  Variant named =
      options.Values.empty() ? Variant() : VarArrayOf({true, VarArrayOf({captions, values})});
  return VarArrayOf({std::int32_t{options.Mode}, named});
}

int Run(const TShellOptions& options) {
  std::vector<std::unique_ptr<TDynLib>> libraries;
  for (const std::string& name : options.Libraries) {
    auto lib = std::make_unique<TDynLib>(name);
    if (!lib->Loaded()) {
      std::fprintf(stderr, "vxshell: cannot load %s: %s\n", name.c_str(), lib->Error().c_str());
      return 3;
    }
    libraries.push_back(std::move(lib));
  }
  std::string module = options.Module;
  if (options.Earlier)
    module = JoinPath(JoinPath(ExtractFilePath(module), "earlier"), ExtractFileName(module));
  if (ExtractFilePath(module).empty()) module = GetHostExeFolder() + module;
  TDynLib library(module);
  if (!library.Loaded()) {
    std::fprintf(stderr, "vxshell: cannot load module %s: %s\n", module.c_str(),
                 library.Error().c_str());
    return 3;
  }
  auto get = library.Function<TGetControllerFunc>(kGetControllerExport);
  if (!get) {
    std::fprintf(stderr, "vxshell: %s exports no GetController\n", module.c_str());
    return 3;
  }
  std::printf("module %s\n", library.FileName().c_str());
  AnswerDialogs(options);
  int status = 1;
  try {
    std::unique_ptr<TDLLBaseController> controller(get());
    try {
      controller->Manager = CreateOleObject("CorvanWorkCenter.Manager");
      // The company the user signed in to, as the shell's login sets it.
      try {
        Put(controller->Manager, "CompanyID", options.Startup[1]);
      } catch (const std::exception&) {
        // a manager without that property serves one company
      }
    } catch (const std::exception& e) {
      std::printf("manager: %s\n", e.what());
    }
    controller->OnEvent = TControllerEvent::FromFunction(&OnEvent, nullptr);
    Variant startup = VarArrayOf(
        {options.Startup[0], options.Startup[1], options.Startup[2], std::int64_t{0}, ""});
    std::int32_t started = controller->Initialize(startup);
    Application()->ProcessMessages();
    if (started != 0) {
      std::printf("start-up refused\n");
      status = 2;
    } else {
      Variant info;
      if (controller->GetInfo(info) == 0)
        std::printf("program %s %s, user %s, company %s\n", VarToStr(info[2]).c_str(),
                    VarToStr(info[3]).c_str(), VarToStr(info[0]).c_str(),
                    VarToStr(info[1]).c_str());
      controller->SetVisible(-1);
      Application()->ProcessMessages();
      if (options.Mode >= 0 && !controller->IsFormFreed()) {
        if (controller->DoCommand(5, nullptr, ParameterMessage(options)) != 0)
          std::printf("parameter message refused\n");
        Application()->ProcessMessages();
      }
      if (!controller->IsFormFreed()) controller->FreeForm();
      Application()->ProcessMessages();
      std::printf("result %d %s\n", controller->ResultCode,
                  VarToStr(controller->ResultValue).c_str());
      status = controller->ResultCode == 1 ? 0 : 1;
    }
    controller.reset();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "vxshell: %s\n", e.what());
    status = 2;
  }
  FreeAllForms();
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  vx::shell::TShellOptions options;
  try {
    options = vx::shell::ParseShellOptions(args);
  } catch (const std::invalid_argument& e) {
    std::fprintf(stderr, "vxshell: %s\n%s", e.what(), vx::shell::ShellUsage().c_str());
    return 64;
  }
  if (options.Help) {
    std::printf("%s", vx::shell::ShellUsage().c_str());
    return 0;
  }
  std::setvbuf(stdout, nullptr, _IOLBF, 0);
  return Run(options);
}
