#pragma once
// The controller of a job's server library ("<ProgramID>S.DLL", export
// "GetSvrController"). The batch run calls its operations by their position
// in the table of virtual operations, so the order below is fixed: new
// operations go after the destructor, never between.
//
//   auto get = lib.Function<vx::TGetSvrController>("GetSvrController");
//   std::unique_ptr<vx::ISvrController> c(get());
//   c->Run(args);                      // never raises across the library edge
//   std::u16string text; c->GetMessages(text);
#include <string>

#include "platform/automation/variant.h"

namespace vx {

class ISvrController {
 public:
  // 1: the version of this interface the library implements (1).
  virtual int InterfaceVersion() const = 0;
  // 2: the program identifier the library serves, e.g. "STKB17".
  virtual const char* ProgramID() const = 0;
  // 3: the messages of the last run: empty when it went well, otherwise the
  // reasons it did not, as one text.
  virtual void GetMessages(std::u16string& out) = 0;
  // 4: runs the job. A batch program takes [JobID, CompanyID, UserID,
  // Values, SystemDB, SubID, ProductID]; Values is the value row of the
  // parameter array. True when the job did its work; otherwise the reasons
  // are in GetMessages.
  virtual bool Run(const Variant& args) = 0;
  virtual ~ISvrController() = default;
};

inline constexpr int kSvrControllerVersion = 1;

// The export: a new controller, freed by the caller with delete.
using TGetSvrController = ISvrController* (*)();

}  // namespace vx
