// A job server library for the application server's tests. The first value
// of the job's value row tells it what to do: "ok", "sleep:<ms>", "raise"
// or "crash". Each run appends "start <job> <sub id> <values...>" and, when
// it finishes, "end <job> <sub id>" to the file named by VX_FAKE_JOB_LOG.
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <thread>

#include "framework/svrctrl.h"
#include "platform/rtl/text.h"

namespace {

void Log(const std::string& line) {
  if (const char* file = std::getenv("VX_FAKE_JOB_LOG"))
    std::ofstream(file, std::ios::app) << line << std::endl;
}

class FakeJob : public vx::TSvrController {
 public:
  void GetMessages(std::u16string& text) override { text = vx::Utf8ToUtf16(message_); }
  void Run(const vx::Variant& args) override {
    const vx::Variant& values = args[3];
    std::string id = vx::VarToStr(args[0]) + " " + vx::VarToStr(args[5]);
    std::string line = "start " + id;
    for (int i = values.LowBound(); i <= values.HighBound(); ++i)
      line += " " + vx::VarToStr(values[i]);
    Log(line);
    std::string what = vx::VarToStr(values[values.LowBound()]);
    if (what.rfind("sleep:", 0) == 0)
      std::this_thread::sleep_for(std::chrono::milliseconds(std::atoi(what.c_str() + 6)));
    if (what == "raise") throw std::runtime_error("库存资料有误");
    if (what == "crash") std::abort();
    Log("end " + id);
    message_ = "已重计 " + vx::VarToStr(values[values.LowBound() + 1]);
  }

 private:
  std::string message_;
};

}  // namespace

extern "C" __attribute__((visibility("default"))) vx::TSvrController* GetSvrController() {
  return new FakeJob();
}
