// GB/Big5 conversion through the text-conversion library (OpenCC, the
// code-page check and the C boundary) against plain OpenCC on the same texts.
// Prints, after the table, the time ratio library / plain OpenCC per case.
#include <benchmark/benchmark.h>
#include <opencc/SimpleConverter.hpp>

#include <cstdio>
#include <map>
#include <string>

#include "lang/translator.h"

namespace {

// A form caption, and a page of a recount report.
const std::string kShort = "盘点帐面量重计";
std::string LongText() {
  std::string s;
  while (s.size() < 16 * 1024)
    s += "盘点日期:2024年03月15日 星期五 仓库编号:W01 料号:A-1002 品名:螺丝 单位:个 "
         "帐面数量:1200 盘点数量:1188 差异数量:-12 备注:后台处理完毕,已通知被通知人。\n";
  return s;
}
const std::string& Text(int which) {
  static const std::string long_text = LongText();
  return which == 0 ? kShort : long_text;
}

const vx::TTranslator& Translator() {
  static vx::TTranslator t;
  return t;
}
const opencc::SimpleConverter& Plain(const char* config) {
  static opencc::SimpleConverter s2tw("s2tw.json");
  static opencc::SimpleConverter tw2s("tw2s.json");
  return std::string(config) == "s2tw.json" ? s2tw : tw2s;
}

void SetBytes(benchmark::State& state, const std::string& text) {
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}

void BM_Library_GBToBig5(benchmark::State& state) {
  const std::string& text = Text(static_cast<int>(state.range(0)));
  for (auto _ : state)
    benchmark::DoNotOptimize(Translator().GBToBig5(text));
  SetBytes(state, text);
}
void BM_OpenCC_s2tw(benchmark::State& state) {
  const std::string& text = Text(static_cast<int>(state.range(0)));
  for (auto _ : state)
    benchmark::DoNotOptimize(Plain("s2tw.json").Convert(text));
  SetBytes(state, text);
}
void BM_Library_Big5ToGB(benchmark::State& state) {
  const std::string big5 = Translator().GBToBig5(Text(static_cast<int>(state.range(0))));
  for (auto _ : state)
    benchmark::DoNotOptimize(Translator().Big5ToGB(big5));
  SetBytes(state, big5);
}
void BM_OpenCC_tw2s(benchmark::State& state) {
  const std::string big5 = Translator().GBToBig5(Text(static_cast<int>(state.range(0))));
  for (auto _ : state)
    benchmark::DoNotOptimize(Plain("tw2s.json").Convert(big5));
  SetBytes(state, big5);
}

// range 0: the short caption, 1: the long page.
BENCHMARK(BM_Library_GBToBig5)->Arg(0)->Arg(1);
BENCHMARK(BM_OpenCC_s2tw)->Arg(0)->Arg(1);
BENCHMARK(BM_Library_Big5ToGB)->Arg(0)->Arg(1);
BENCHMARK(BM_OpenCC_tw2s)->Arg(0)->Arg(1);

// Keeps each run's time per iteration for the ratios.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& r : runs)
      if (r.run_type == Run::RT_Iteration) times_[r.benchmark_name()] = r.GetAdjustedRealTime();
    ConsoleReporter::ReportRuns(runs);
  }
  void PrintRatios() const {
    const char* pairs[][2] = {{"BM_Library_GBToBig5", "BM_OpenCC_s2tw"},
                              {"BM_Library_Big5ToGB", "BM_OpenCC_tw2s"}};
    std::printf("\nRatio of time, library / plain OpenCC (1.00 = no overhead):\n");
    for (const auto& p : pairs)
      for (const char* arg : {"/0", "/1"}) {
        auto lib = times_.find(std::string(p[0]) + arg);
        auto plain = times_.find(std::string(p[1]) + arg);
        if (lib == times_.end() || plain == times_.end() || plain->second <= 0) continue;
        std::printf("  %-22s %-6s %.2f\n", p[0], arg[1] == '0' ? "short" : "long",
                    lib->second / plain->second);
      }
  }

 private:
  std::map<std::string, double> times_;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintRatios();
  benchmark::Shutdown();
  return 0;
}
