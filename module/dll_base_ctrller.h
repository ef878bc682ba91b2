#pragma once
// The module's boundary with the client shell: the one header a shell
// compiles against.
//
// A module is a shared library whose only export is
//
//   extern "C" vx::TDLLBaseController* GetController();
//
// Every call returns a new controller; the shell owns it and destroys it with
// delete (which frees the controller's form first). From then on the shell
// drives the module only through the controller:
//
// - the eighteen virtual operations below, in this order: they are the
//   controller's table of virtual operations, which comes first in the object,
//   and a shell may call them by position. The destructor stands after them;
// - the four fields Manager, ResultCode, ResultValue and OnEvent, in this
//   order: the shell writes Manager and OnEvent before Initialize and reads
//   ResultCode and ResultValue at any time (they keep the outcome of the last
//   destroyed form: 1 a job was submitted, 2 the user cancelled, 0 nothing;
//   the value is the job identifier);
// - the events sent to OnEvent (code, controller): 256 the form was created
//   by Initialize, 272 it is being shown, 288 hidden, 304 destroyed (the
//   outcome is already copied), 320 on request only. Without a handler
//   (code address nil) events are dropped.
//
// Ownership: the controller owns at most one form and frees it on request or
// when it is destroyed; a form closed by the user frees itself. Variants are
// values: every party holds its own copy. Everything runs on the shell's
// user-interface thread. Booleans marked OLE are all bits set for true.
//
// No operation raises except GetController and Initialize when a module
// registered no controller or no form class (kNoControllerClassError,
// kNoFormClassError).
#include <cstdint>
#include <string>

#include "platform/automation/variant.h"
#include "platform/ui/events.h"
#include "platform/ui/types.h"

namespace vx {

class TObject;
class TDLLBaseController;

// The shell's event handler, called on its object with (code, controller).
using TControllerEvent = TEvent<std::int32_t, TDLLBaseController*>;

using OleBool = std::int32_t;
inline constexpr OleBool kOleTrue = -1;
inline constexpr OleBool kOleFalse = 0;

inline constexpr std::int32_t kEventFormCreated = 256;
inline constexpr std::int32_t kEventFormShow = 272;
inline constexpr std::int32_t kEventFormHide = 288;
inline constexpr std::int32_t kEventFormDestroy = 304;
inline constexpr std::int32_t kEvent320 = 320;

inline constexpr const char* kNoControllerClassError =
    "VRX DLL Internal Error :\rNot Assign \"DLLControllerClass\" varible";
inline constexpr const char* kNoFormClassError =
    "VRX DLL Internal Error :\rNot Assign \"frmBaseBatchClass\" varible";

class TDLLBaseController {
 public:
  // 1. The form's version stamp; left unchanged without a form.
  virtual void GetVersion(std::u16string& version) = 0;
  // 2. True when a form exists and is visible.
  virtual OleBool GetVisible() = 0;
  // 3. Shows (restoring a minimised form and bringing it to the foreground)
  //    or hides the form.
  virtual void SetVisible(std::int16_t value) = 0;
  // 4. The form's window handle (made when needed); 0 without a form.
  virtual HWND GetHandle() = 0;
  // 5. Creates the form when there is none and hands it the start-up array
  //    [user, company, system database, shell window, extra]; 0 when the form
  //    accepted it, -1 otherwise.
  virtual std::int32_t Initialize(const Variant& startup) = 0;
  // 6. A parameter message for the form (an array); 0 when it was applied,
  //    -1 otherwise.
  virtual std::int32_t SetParameters(const Variant& message) = 0;
  // 7. Code 5 passes value to the form as its parameter message; any other
  //    code does nothing and gives -1. reserved is not read.
  virtual std::int32_t DoCommand(std::int32_t code, const void* reserved, const Variant& value) = 0;
  // 8. Shows the form modally: its modal result; 2 without a form.
  virtual Variant ShowModal() = 0;
  // 9. Frees the form unless it is already being destroyed.
  virtual void FreeForm() = 0;
  // 10. [user, company, program id, program name] into info; 0, or -1
  //     without a form (info unchanged).
  virtual std::int32_t GetInfo(Variant& info) = 0;
  // 11. True when no form exists.
  virtual bool IsFormFreed() = 0;
  // 12. Sends 256.
  virtual void FormCreated() { FireEvent(kEventFormCreated); }
  // 13.-15. The form's show, hide and destroy events pass through here; a
  // controller that keeps no form handlers of its own only passes the news
  // on.
  virtual void DoFormShow(TObject*) { FireEvent(kEventFormShow); }
  virtual void DoFormHide(TObject*) { FireEvent(kEventFormHide); }
  virtual void DoFormDestroy(TObject*) { FireEvent(kEventFormDestroy); }
  // 16. Sends 320.
  virtual void RaiseEvent320() { FireEvent(kEvent320); }
  // 17. Calls OnEvent with (code, this) when a handler is installed.
  virtual void FireEvent(std::int32_t code) {
    if (OnEvent.Assigned()) OnEvent(code, this);
  }
  // 18. Does nothing.
  virtual void ReservedOperation() {}
  // Defined here, like every body of this class, so that a shell needs
  // nothing of the module but this header.
  virtual ~TDLLBaseController() = default;

  Variant Manager;
  std::int32_t ResultCode = 0;
  Variant ResultValue;
  TControllerEvent OnEvent;
};

// The export's type, for a shell that looks it up by name.
using TGetControllerFunc = TDLLBaseController* (*)();
inline constexpr const char* kGetControllerExport = "GetController";

}  // namespace vx
