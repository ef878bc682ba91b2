#pragma once
// The contract between a module and its job's server library ("<program
// id>S.DLL"): the library exports
//
//   extern "C" vx::TSvrController* GetSvrController();
//
// and the module calls the controller's fourth virtual operation with the
// job's argument array, then its third for the messages, then deletes it.
// The order of the virtual operations is the contract: a library built
// against this header fills the table in this order.
#include <string>

#include "platform/automation/variant.h"

namespace vx {

class TSvrController {
 public:
  // 1, 2: reserved for the server's own use.
  virtual void Reserved1() {}
  virtual void Reserved2() {}
  // 3: the messages of the last run; empty when it went well and had nothing
  // to say.
  virtual void GetMessages(std::u16string& text) = 0;
  // 4: runs the job. Batch programs receive [JobID, CompanyID, UserID,
  // Values, SystemDB, SubID, ProductID]; other kinds twelve elements.
  virtual void Run(const Variant& args) = 0;
  virtual ~TSvrController() = default;
};

using TGetSvrControllerFunc = TSvrController* (*)();
inline constexpr const char* kGetSvrControllerExport = "GetSvrController";

}  // namespace vx
