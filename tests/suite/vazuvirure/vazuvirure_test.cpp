#include "suite/vazuvirure/vazuvirure.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include "suite/vazuvirure/release_store.h"
#include "tests/support/loopback_http_server.h"
#include "tests/support/temp_folder.h"
#include "tests/support/zip_writer.h"

namespace vx {
namespace {

namespace fs = std::filesystem;
using test::ZipEntry;

constexpr std::time_t kT1 = 1'700'000'000;  // even seconds: zip times keep two
constexpr std::time_t kT2 = 1'710'000'000;

std::size_t U16(const std::string& bytes, std::size_t at) {
  return static_cast<unsigned char>(bytes[at]) | static_cast<unsigned char>(bytes[at + 1]) << 8;
}
std::time_t MTime(const std::string& file) {
  struct stat st;
  return ::stat(file.c_str(), &st) == 0 ? st.st_mtime : 0;
}
void SetMTime(const std::string& file, std::time_t t) {
  struct timespec times[2] = {{t, 0}, {t, 0}};
  ASSERT_EQ(::utimensat(AT_FDCWD, file.c_str(), times, 0), 0);
}
// Every path below folder, relative, sorted.
std::vector<std::string> Tree(const std::string& folder) {
  std::vector<std::string> out;
  for (const auto& e : fs::recursive_directory_iterator(folder))
    out.push_back(e.path().lexically_relative(folder).string());
  std::sort(out.begin(), out.end());
  return out;
}

class Package : public ::testing::Test {
 protected:
  void SetUp() override {
    target_ = tmp_.MakeFolder("target");
    tmp_.Write("target/A.so", "old A");
    tmp_.MakeFolder("outside");
  }
  int Unzip(const std::vector<ZipEntry>& entries, int* count = nullptr) {
    std::string archive = tmp_.Path("a.zip");
    test::WriteZip(archive, entries);
    return UnZipFilesOrDir(archive.c_str(), target_.c_str(), error_, count);
  }
  test::TempFolder tmp_;
  std::string target_;
  char error_[VAZUVIRURE_ERROR_SIZE] = {};
};

TEST_F(Package, CompareByStamp) {
  std::string file = tmp_.Path("target/A.so");
  SetMTime(file, kT1);
  std::string stamp = release::FileStamp(file);
  ASSERT_EQ(stamp.size(), 14u);
  EXPECT_EQ(CompareFileToDown(stamp.c_str(), file.c_str()), 0);
  EXPECT_NE(CompareFileToDown("20000101000000", file.c_str()), 0);
  EXPECT_NE(CompareFileToDown(stamp.c_str(), tmp_.Path("target/missing.so").c_str()), 0);
  // No release known: nothing to replace.
  for (const char* bad : {"", "2024", "2024010100000x", "202401010000001"})
    EXPECT_EQ(CompareFileToDown(bad, file.c_str()), 0) << bad;
  EXPECT_EQ(CompareFileToDown(nullptr, file.c_str()), 0);
  EXPECT_EQ(CompareFileToDown(stamp.c_str(), nullptr), 0);
}

TEST_F(Package, UnpacksKeepingTimesAndReplacingWhole) {
  int count = -1;
  ASSERT_NE(Unzip({{"A.so", "new A", S_IFREG | 0755, kT1},
                   {"sub/", "", S_IFDIR | 0755},
                   {"sub\\B.txt", "B", S_IFREG | 0644, kT2}},
                  &count),
            0)
      << error_;
  EXPECT_STREQ(error_, "");
  EXPECT_EQ(count, 2);
  EXPECT_EQ(tmp_.Read("target/A.so"), "new A");
  EXPECT_EQ(tmp_.Read("target/sub/B.txt"), "B");
  EXPECT_EQ(MTime(tmp_.Path("target/A.so")), kT1);
  EXPECT_EQ(MTime(tmp_.Path("target/sub/B.txt")), kT2);
  EXPECT_EQ(Tree(target_), (std::vector<std::string>{"A.so", "sub", "sub/B.txt"}));
}

TEST_F(Package, RefusedArchivesChangeNothing) {
  fs::create_directory_symlink(tmp_.Path("outside"), tmp_.Path("target/link"));
  std::string good = "new A";
  struct Case {
    std::vector<ZipEntry> entries;
    const char* reason;
  } cases[] = {
      {{{"A.so", good}, {"../x", "x"}}, "would land outside"},
      {{{"A.so", good}, {"sub/../../x", "x"}}, "would land outside"},
      {{{"A.so", good}, {"..\\x", "x"}}, "would land outside"},
      {{{"A.so", good}, {"/tmp/x", "x"}}, "would land outside"},
      {{{"A.so", good}, {"C:/x", "x"}}, "would land outside"},
      {{{"A.so", good}, {"ln", "/etc/passwd", S_IFLNK | 0777}}, "link or device"},
      {{{"A.so", good}, {"link/x", "x"}}, "is not a folder"},
      {{{"A.so", good}, {"sub/A", "1"}, {"sub//A", "2"}}, "twice"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Unzip(c.entries), 0) << c.reason;
    EXPECT_NE(std::strstr(error_, c.reason), nullptr) << error_;
    EXPECT_EQ(tmp_.Read("target/A.so"), "old A") << c.reason;
    EXPECT_EQ(Tree(target_), (std::vector<std::string>{"A.so", "link"})) << c.reason;
    EXPECT_TRUE(fs::is_empty(tmp_.Path("outside"))) << c.reason;
  }
}

TEST_F(Package, DamagedAndOversizedArchives) {
  // A damaged entry is found while unpacking: the files before it stay
  // temporary and are removed.
  std::string archive = tmp_.Path("a.zip");
  test::WriteZip(archive, {{"A.so", std::string(4000, 'a')}, {"Z.so", std::string(4000, 'z')}});
  std::string bytes = tmp_.Read("a.zip");
  std::size_t header = bytes.rfind("PK\x03\x04", bytes.find("Z.so"));
  bytes[header + 30 + U16(bytes, header + 26) + U16(bytes, header + 28) + 2] ^= 0x55;
  tmp_.Write("a.zip", bytes);
  EXPECT_EQ(UnZipFilesOrDir(archive.c_str(), target_.c_str(), error_, nullptr), 0);
  EXPECT_NE(std::strstr(error_, "is damaged at"), nullptr) << error_;
  EXPECT_EQ(tmp_.Read("target/A.so"), "old A");
  EXPECT_EQ(Tree(target_), std::vector<std::string>{"A.so"});

  std::vector<ZipEntry> many(10001, ZipEntry{"", "."});
  for (std::size_t i = 0; i < many.size(); ++i)
    many[i].name = "f" + std::to_string(i);
  EXPECT_EQ(Unzip(many), 0);
  EXPECT_NE(std::strstr(error_, "more than 10000 entries"), nullptr) << error_;

  // Two entries that declare 600 MiB each, in their local and central
  // headers alike.
  test::WriteZip(archive, {{"big1", "x"}, {"big2", "y"}});
  bytes = tmp_.Read("a.zip");
  for (auto [signature, offset] : {std::pair{"PK\x03\x04", 22}, std::pair{"PK\x01\x02", 24}})
    for (std::size_t at = bytes.find(signature); at != std::string::npos;
         at = bytes.find(signature, at + 4))
      for (int i = 0; i < 4; ++i)
        bytes[at + offset + i] = static_cast<char>((600u << 20) >> (8 * i));
  tmp_.Write("a.zip", bytes);
  EXPECT_EQ(UnZipFilesOrDir(archive.c_str(), target_.c_str(), error_, nullptr), 0);
  EXPECT_NE(std::strstr(error_, "more than 1 GiB"), nullptr) << error_;
  EXPECT_EQ(Tree(target_), std::vector<std::string>{"A.so"});

  EXPECT_EQ(UnZipFilesOrDir(tmp_.Path("none.zip").c_str(), target_.c_str(), error_, nullptr), 0);
  EXPECT_NE(std::strstr(error_, "Cannot open the archive"), nullptr) << error_;
  EXPECT_EQ(UnZipFilesOrDir(archive.c_str(), tmp_.Path("nofolder").c_str(), error_, nullptr), 0);
  EXPECT_EQ(UnZipFilesOrDir(nullptr, target_.c_str(), error_, nullptr), 0);
}

TEST_F(Package, FetchFromFolderAtomically) {
  std::string local = tmp_.Path("temp/A.so.zip");
  tmp_.Write("temp/A.so.zip", "previous archive");
  tmp_.Write("store/a.so.zip", "PK archive bytes");
  int status = -1, bytes = -1;
  EXPECT_NE(VAZuviRureFileEx(0, "", "QLMT", "60", tmp_.Path("store/a.so.zip").c_str(),
                             local.c_str(), &status, error_, &bytes, 0),
            0)
      << error_;
  EXPECT_EQ(tmp_.Read("temp/A.so.zip"), "PK archive bytes");
  EXPECT_EQ(status, 0);
  EXPECT_EQ(bytes, 16);
  // A failure leaves the local archive as it was, and no part of a new one.
  EXPECT_EQ(VAZuviRureFileEx(0, "", "QLMT", "60", tmp_.Path("store/missing.zip").c_str(),
                             local.c_str(), nullptr, error_, nullptr, 0),
            0);
  EXPECT_NE(std::strstr(error_, "Cannot open"), nullptr) << error_;
  EXPECT_EQ(tmp_.Read("temp/A.so.zip"), "PK archive bytes");
  EXPECT_EQ(Tree(tmp_.Path("temp")), std::vector<std::string>{"A.so.zip"});
}

TEST_F(Package, FetchOverHttp) {
  std::string local = tmp_.Path("A.so.zip");
  {
    testing::LoopbackHttpServer server(200, std::string("PK\x03\x04\0binary", 11));
    int status = 0;
    EXPECT_NE(VAZuviRureFileEx(0, "", "QLMT", "60", server.Url("/rel/a.so.zip").c_str(),
                               local.c_str(), &status, error_, nullptr, 0),
              0)
        << error_;
    EXPECT_EQ(status, 200);
    EXPECT_EQ(tmp_.Read("A.so.zip"), std::string("PK\x03\x04\0binary", 11));
    ASSERT_EQ(server.Requests().size(), 1u);
    EXPECT_EQ(server.Requests()[0].head.rfind("GET /rel/a.so.zip ", 0), 0u);
  }
  {
    testing::LoopbackHttpServer server(404, "not here");
    int status = 0;
    EXPECT_EQ(VAZuviRureFileEx(0, "", "QLMT", "60", server.Url("/rel/a.so.zip").c_str(),
                               local.c_str(), &status, error_, nullptr, 0),
              0);
    EXPECT_EQ(status, 404);
    EXPECT_NE(std::strstr(error_, "HTTP status 404"), nullptr) << error_;
  }
  {
    // The time-out argument, in seconds, bounds the transfer.
    testing::LoopbackHttpServer server(200, "", testing::LoopbackHttpServer::Mode::Silent);
    EXPECT_EQ(VAZuviRureFileEx(0, "", "QLMT", "1", server.Url("/rel/a.so.zip").c_str(),
                               local.c_str(), nullptr, error_, nullptr, 0),
              0);
    EXPECT_NE(std::strstr(error_, "No answer from"), nullptr) << error_;
  }
  EXPECT_EQ(tmp_.Read("A.so.zip"), std::string("PK\x03\x04\0binary", 11));
}

TEST_F(Package, ErrorTextsFitTheCallersBuffer) {
  // A caller's 256 bytes followed by a guard.
  char buffer[VAZUVIRURE_ERROR_SIZE + 16];
  std::memset(buffer, '#', sizeof buffer);
  std::string remote = tmp_.Path(std::string(200, 'x') + "/" + std::string(200, 'y') + ".zip");
  EXPECT_EQ(VAZuviRureFileEx(0, "", "QLMT", "60", remote.c_str(), tmp_.Path("l.zip").c_str(),
                             nullptr, buffer, nullptr, 0),
            0);
  EXPECT_EQ(std::strlen(buffer), 255u);
  EXPECT_EQ(buffer[VAZUVIRURE_ERROR_SIZE], '#');
  for (auto fn : {CompareFileToDownEx, NeedDownLoad, UnZipFilesList, UnZipFilesXML, GetFileList}) {
    EXPECT_EQ(fn(buffer, VAZUVIRURE_ERROR_SIZE), 0);
    EXPECT_STREQ(buffer, "not supported");
    EXPECT_EQ(fn(nullptr, 0), 0);
  }
}

TEST_F(Package, ReleaseStorePublishesAndDescribes) {
  std::string file = tmp_.Write("build/STKB17S.so", "release");
  SetMTime(file, kT1 + 1);  // odd seconds: the archive keeps two-second steps
  std::string error;
  ASSERT_TRUE(release::PutRelease(file, tmp_.Path("store"), error)) << error;
  EXPECT_EQ(Tree(tmp_.Path("store")), std::vector<std::string>{"stkb17s.so.zip"});
  std::string info = release::DescribeRelease(tmp_.Path("store"), "STKB17S.so");
  std::string stamp = info.substr(8, 14);
  EXPECT_EQ(info,
            "<Modify>" + stamp + "</Modify><Path>" + tmp_.Path("store") + "/STKB17S.so</Path>");
  EXPECT_EQ(release::DescribeRelease(tmp_.Path("store"), "STKB17S.so", "https://h/rel"),
            "<Modify>" + stamp + "</Modify><Path>https://h/rel/STKB17S.so</Path>");
  EXPECT_EQ(release::DescribeRelease(tmp_.Path("store"), "STKB17S.so", "\\\\srv\\rel"),
            "<Modify>" + stamp + "</Modify><Path>\\\\srv\\rel\\STKB17S.so</Path>");
  // Unpacked, the file carries the described stamp, so it compares current.
  std::string archive = tmp_.Path("store/stkb17s.so.zip");
  ASSERT_NE(UnZipFilesOrDir(archive.c_str(), target_.c_str(), error_, nullptr), 0) << error_;
  EXPECT_EQ(release::FileStamp(target_ + "/STKB17S.so"), stamp);
  EXPECT_EQ(CompareFileToDown(stamp.c_str(), (target_ + "/STKB17S.so").c_str()), 0);

  EXPECT_EQ(release::DescribeRelease(tmp_.Path("store"), "OTHER.so"), "");
  EXPECT_FALSE(release::PutRelease(tmp_.Path("build/missing.so"), tmp_.Path("store"), error));
  EXPECT_NE(error, "");
}

}  // namespace
}  // namespace vx
