// A job server library for the tests: it writes what it was called with to
// the file named by VX_FAKE_SVR_LOG and answers with a message.
#include <cstdlib>
#include <fstream>

#include "framework/svrctrl.h"
#include "platform/rtl/text.h"

namespace {

class FakeController : public vx::TSvrController {
 public:
  void GetMessages(std::u16string& text) override { text = vx::Utf8ToUtf16(message_); }
  void Run(const vx::Variant& args) override {
    std::string line;
    for (int i = args.LowBound(); i <= args.HighBound(); ++i) {
      const vx::Variant& a = args[i];
      line += a.IsArray() ? "[" + vx::VarToStr(a[1]) + "," + vx::VarToStr(a[2]) + "," +
                                vx::VarToStr(a[3]) + "]"
                          : vx::VarToStr(a);
      line += "|";
    }
    if (const char* file = std::getenv("VX_FAKE_SVR_LOG"))
      std::ofstream(file, std::ios::app) << line << "\n";
    message_ = "已重计 " + vx::VarToStr(args[3][1]);
  }

 private:
  std::string message_;
};

}  // namespace

extern "C" __attribute__((visibility("default"))) vx::TSvrController* GetSvrController() {
  return new FakeController();
}
