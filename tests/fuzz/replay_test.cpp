// Runs one fuzz target over every file of its corpus: the seeds, and any
// input a fuzzing run found and kept there.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

TEST(FuzzCorpus, EveryInputRunsCleanly) {
  namespace fs = std::filesystem;
  int inputs = 0;
  for (const auto& entry : fs::directory_iterator(VX_FUZZ_CORPUS)) {
    if (!entry.is_regular_file()) continue;
    std::ifstream in(entry.path(), std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    SCOPED_TRACE(entry.path().string());
    EXPECT_EQ(
        LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()),
        0);
    ++inputs;
  }
  EXPECT_GT(inputs, 0);
}

}  // namespace
