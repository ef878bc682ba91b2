#pragma once
// The shell's manager object "CorvanWorkCenter.Manager" and its service
// objects (counter, validator, lookup window), answering from the suite's
// databases. The library registers the identifier in the class registry when
// it loads; the registered manager reads its configuration from the registry
// (LoadManagerConfig). A shell or a test that knows its installation creates
// one with CreateManager.
#include <memory>
#include <string>
#include <vector>

#include "platform/automation/dispatch.h"
#include "suite/manager/answerer.h"
#include "suite/manager/config.h"

namespace vx::manager {

inline constexpr const char* kManagerClassID = "CorvanWorkCenter.Manager";

struct THelpRequest {
  std::string System;
  std::string Topic;
};

class TManagerState;

// Methods: VersionType, ProductID, Com_Counter, Com_Validator, Com_F2Window,
// GetMessage(kind, id), GetFileList([file name]), CallHelp([system, topic]);
// property CompanyID (the signed-in company). Failures raise EOleException
// with the reason.
class VX_MANAGER_API TManager : public IDispatch {
 public:
  explicit TManager(TManagerConfig config);
  ~TManager() override;
  Variant Invoke(std::string_view name, DispatchKind kind, std::span<Arg> args) override;

  const TManagerConfig& Config() const;
  // Replaces the answering rule of the lookup window (the desktop's windows,
  // or a test's script).
  void SetAnswerer(std::shared_ptr<IF2Answerer> answerer);
  // The headless rule in use unless replaced.
  TScriptedAnswerer& ScriptedAnswers();
  // Help topics asked for, oldest first (the latest 100).
  std::vector<THelpRequest> HelpRequests() const;

 private:
  std::shared_ptr<TManagerState> state_;
  DispatchPtr counter_, validator_, f2window_;
};

VX_MANAGER_API std::shared_ptr<TManager> CreateManager(TManagerConfig config);

}  // namespace vx::manager
