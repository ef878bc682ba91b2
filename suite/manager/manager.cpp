#include "suite/manager/manager.h"

#include "lib/alert_log.h"
#include "platform/automation/class_registry.h"
#include "platform/os/paths.h"
#include "platform/rtl/text.h"
#include "suite/manager/state.h"
#include "suite/vazuvirure/release_store.h"

namespace vx::manager {
namespace {

constexpr std::size_t kMaxFileNameLength = 255;

// The catalogue column of the interface's language.
const char* LanguageColumn(const std::string& code_page) {
  if (code_page == "936") return "CHS";
  if (code_page == "950") return "CHT";
  return "ENG";
}

bool IsDigits(std::string_view s) {
  for (char c : s)
    if (c < '0' || c > '9') return false;
  return !s.empty();
}

// One log line per entry, whatever the caller's text holds.
std::string OneLine(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (static_cast<unsigned char>(c) < 0x20) c = ' ';
  return out;
}

// The template of (kind, id) in the interface's language; another language's
// text where that one is missing, and a text naming the code where the
// catalogue has none.
std::string MessageTemplate(const TManagerState& state, const std::string& kind_arg,
                            const std::string& id_arg) {
  const std::string kind = UpperCase(Trim(kind_arg));
  std::string id = Trim(id_arg);
  if (!id.empty() && id[0] == '-') id.erase(0, 1);
  if (kind.size() != 1 || kind[0] < 'A' || kind[0] > 'Z' || id.size() != 6 || !IsDigits(id))
    Refuse("GetMessage needs a kind letter and a six-digit number");
  auto session = state.OpenSystem({});
  try {
    const std::string wanted = LanguageColumn(state.Config.UICodePage);
    auto q = session->Prepare("SELECT " + wanted +
                              ", CHS, ENG, CHT FROM VRXMSG WHERE UPPER(KIND) = :KIND AND ID = :ID");
    q->Bind("KIND", kind);
    q->Bind("ID", id);
    if (!q->Step()) return "Message " + kind + ";" + id + " is not in the message catalogue";
    for (int c = 0; c < 4; ++c)
      if (!q->ColumnIsNull(c) && !q->ColumnText(c).empty()) return std::string(q->ColumnText(c));
    return {};
  } catch (const EOleError&) {
    throw;
  } catch (const Exception& e) {
    Refuse("Cannot read the message catalogue: " + e.Message());
  }
}

}  // namespace

TManager::TManager(TManagerConfig config)
    : state_(std::make_shared<TManagerState>(std::move(config))),
      counter_(MakeCounter(state_)),
      validator_(MakeValidator(state_)),
      f2window_(MakeF2Window(state_)) {}

TManager::~TManager() = default;

const TManagerConfig& TManager::Config() const {
  return state_->Config;
}

void TManager::SetAnswerer(std::shared_ptr<IF2Answerer> answerer) {
  state_->Answerer = answerer ? std::move(answerer) : state_->Scripted;
}

TScriptedAnswerer& TManager::ScriptedAnswers() {
  return *state_->Scripted;
}

std::vector<THelpRequest> TManager::HelpRequests() const {
  return {state_->Help.begin(), state_->Help.end()};
}

Variant TManager::Invoke(std::string_view name, DispatchKind kind, std::span<Arg> args) {
  if (SameText(name, "VersionType")) return state_->Config.VersionType;
  if (SameText(name, "ProductID")) return state_->Config.ProductID;
  if (SameText(name, "Com_Counter")) return counter_;
  if (SameText(name, "Com_Validator")) return validator_;
  if (SameText(name, "Com_F2Window")) return f2window_;
  if (SameText(name, "CompanyID")) {
    if (kind != DispatchKind::PropertyPut) return state_->Config.CompanyID;
    RequireArgs(args, 1, name);
    state_->Config.CompanyID = Trim(TextArg(args, args.size() - 1, "The company"));
    return Unassigned;
  }
  if (SameText(name, "GetMessage")) {
    RequireArgs(args, 2, name);
    return MessageTemplate(*state_, TextArg(args, 0, "The message kind"),
                           TextArg(args, 1, "The message number"));
  }
  if (SameText(name, "GetFileList")) {
    RequireArgs(args, 1, name);
    const Variant& list = args[0].get();
    std::string file = list.IsArray()
                           ? TextElement(list, list.LowBound(), "The file name", kMaxFileNameLength)
                           : TextArg(args, 0, "The file name", kMaxFileNameLength);
    file = LowerCase(Trim(file));
    if (file.empty() || ExtractFileName(file) != file || file == "." || file == "..")
      Refuse("GetFileList needs a plain file name");
    return release::DescribeRelease(state_->Config.ReleaseFolder, file,
                                    state_->Config.ReleaseAddress);
  }
  if (SameText(name, "CallHelp")) {
    RequireArgs(args, 1, name);
    const Variant& request = args[0].get();
    if (!request.IsArray()) Refuse("CallHelp needs [system, topic]");
    const int low = request.DimCount() == 1 ? request.LowBound() : 0;
    THelpRequest help{Trim(TextElement(request, low, "The system")),
                      Trim(TextElement(request, low + 1, "The help topic"))};
    if (help.Topic.empty()) Refuse("CallHelp needs a help topic");
    const std::string line =
        "CallHelp system " + OneLine(help.System) + " topic " + OneLine(help.Topic);
    if (state_->Config.InstallFolder.empty())
      WriteAlertLog("CorvanWorkCenter", line);
    else
      WriteAlertLogIn(state_->Config.InstallFolder, "CorvanWorkCenter", line);
    state_->Help.push_back(std::move(help));
    while (state_->Help.size() > kMaxHelpRequests)
      state_->Help.pop_front();
    return Unassigned;
  }
  RaiseUnknownName(name);
}

std::shared_ptr<TManager> CreateManager(TManagerConfig config) {
  return std::make_shared<TManager>(std::move(config));
}

namespace {

// The shell creates the manager by its identifier while this library is
// loaded; unloading it takes the identifier away again.
const ScopedClassRegistration kRegistration(kManagerClassID,
                                            [] { return CreateManager(LoadManagerConfig()); });

}  // namespace

}  // namespace vx::manager
