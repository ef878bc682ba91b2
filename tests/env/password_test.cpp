#include "env/password.h"

#include <gtest/gtest.h>

#include <sstream>
#include <stdexcept>

#include "env_fixture.h"
#include "platform/os/codepage.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/exception.h"
#include "platform/rtl/text.h"

namespace vx {
namespace {

class PasswordTest : public test::EnvFixture {
 protected:
  void SetUp() override {
    Registry("\"ClientPath\"=\"" + RegPath(Install()) + "\"\r\n");
    tmpdir_.emplace("TMPDIR", tmp_.Path("temp"));
  }
  std::string LogFile() const {
    return "inst/Log/Alert_PlexoGenerator_" + FormatDateTime("yyyymmdd", Now()) + ".log";
  }
  // The log's entries without their time stamps.
  std::vector<std::string> Entries() const {
    std::vector<std::string> out;
    std::istringstream in(tmp_.Read(LogFile()));
    for (std::string line; std::getline(in, line);) {
      if (line.rfind("[", 0) == 0) {
        std::size_t close = line.find("] ");
        EXPECT_NE(close, std::string::npos) << line;
        out.push_back(line.substr(close + 2));
      } else {
        out.back() += "\n" + line;  // an entry that holds a line break
      }
    }
    return out;
  }
  std::optional<test::ScopedEnv> tmpdir_;
};

TEST_F(PasswordTest, KnownScrambledForms) {
  struct Case {
    const char* plain;
    const char* scrambled;
  } cases[] = {
      {"a", "b0"},
      {"aaaaaaaaa", "b0582c160b85c261b0"},  // position 8 not rotated, 9 by one bit
      {"中", "6b34"},                       // the code page 936 bytes D6 D0
      {"\uE000€", "556810"},                // user-defined AA A1, and 80
  };
  for (const Case& c : cases) {
    EXPECT_EQ(EncodePassword(c.plain), c.scrambled) << c.plain;
    EXPECT_EQ(DecodePassword(c.scrambled), c.plain) << c.plain;
  }
  // Upper-case digits are hexadecimal too, up to "F".
  for (const Case& c : {Case{"中", "6B34"}, Case{"Fox", "23DB0F"}})
    EXPECT_EQ(DecodePassword(c.scrambled), c.plain) << c.scrambled;
}

TEST_F(PasswordTest, EmptyPasswordsAndShortTexts) {
  std::string empty = EncodePassword("");
  EXPECT_EQ(empty.size(), 72u);
  EXPECT_EQ(DecodePassword(empty), "");
  EXPECT_EQ(DecodePassword(""), "");
  EXPECT_EQ(DecodePassword("4"), "");
  EXPECT_EQ(DecodePassword("b0c"), "a");  // a trailing single digit is ignored
  EXPECT_FALSE(tmp_.Read(LogFile()).size());
}

TEST_F(PasswordTest, EveryByteValueAtEveryRotationRoundTrips) {
  for (int lead = 0; lead < 8; ++lead) {
    for (int b = 0; b < 256; ++b) {
      std::string bytes(static_cast<std::size_t>(lead), 'x');
      bytes += static_cast<char>(b);
      std::string back;
      ASSERT_TRUE(UnscramblePasswordBytes(ScramblePasswordBytes(bytes), back));
      ASSERT_EQ(back, bytes) << "byte " << b << " at position " << lead + 1;
    }
  }
  // Through the text functions: every character of code page 936, so every
  // byte value that can occur in a stored password.
  std::string plain;
  int chars = 0;
  for (int b = 1; b < 0x80; ++b)
    plain += static_cast<char>(b);
  for (int lead = 0x80; lead <= 0xFF; ++lead) {
    for (int trail = 0x00; trail <= 0xFF; ++trail) {
      std::string bytes{static_cast<char>(lead), static_cast<char>(trail)};
      std::string text;
      if (lead == 0x80) {
        if (trail != 0) continue;
        bytes.resize(1);  // the euro sign, a single byte
      }
      if (!TryCodePageToUtf8(bytes, 936, text) || Utf8Length(text) != 1) continue;
      plain += text;
      if (++chars % 40 == 0) {
        ASSERT_EQ(DecodePassword(EncodePassword(plain)), plain) << plain;
        plain.clear();
      }
    }
  }
  EXPECT_EQ(DecodePassword(EncodePassword(plain)), plain);
  EXPECT_GT(chars, 20000);
  EXPECT_FALSE(tmp_.Read(LogFile()).size());
}

TEST_F(PasswordTest, TextsCode936CannotHoldAreRefused) {
  EXPECT_THROW(EncodePassword("pass😀"), EConvertError);
}

TEST_F(PasswordTest, CorruptScrambledTextGivesTheMarkerAndALogBlock) {
  EXPECT_EQ(DecodePassword("b0zz61"), kPasswordErrorMarker);
  const std::string dashes(34, '-');
  std::vector<std::string> expected = {
      dashes + " on " + EncodePassword("DecodeSQLSa") + " " + dashes,
      "讯息信息:",
      "Exception is EConvertError\r\nMessage 01: '$zz' is not a valid integer value",
      "ErrorMessage Count: 1",
      "Programer Message: 解析 Sa 时发生错误!",
  };
  EXPECT_EQ(Entries(), expected);
  // Bytes that are no code page 936 text: the same marker, another block.
  EXPECT_EQ(DecodePassword(ScramblePasswordBytes("ok\xFF")), kPasswordErrorMarker);
  EXPECT_EQ(Entries().size(), 10u);
}

TEST_F(PasswordTest, LogExceptionByKind) {
  const std::string dashes(34, '-');
  struct Case {
    std::exception_ptr error;
    const char* context;
    const char* programmer;
    std::vector<std::string> entries;
  };
  Case cases[] = {
      {std::make_exception_ptr(EDBEngineError({{65535, "key violation"}, {3, "table busy"}})),
       "Post",
       "  ",
       {dashes + " on Post " + dashes,
        "讯息信息:", "EDBEngineError Error 01: Code: 65535, Message: key violation",
        "EDBEngineError Error 02: Code: 3, Message: table busy", "ErrorMessage Count: 2"}},
      {std::make_exception_ptr(EDBEngineError({}, "no entries")),
       "",
       "",
       {dashes + dashes, "讯息信息:", "ErrorMessage Count: 0"}},
      {std::make_exception_ptr(EOSError("Access is denied", 5)),
       " ",
       " keep  ",
       {dashes + dashes, "讯息信息:", "EWin32Error Error 01: Code: 5, Message: Access is denied",
        "ErrorMessage Count: 1", "Programer Message:  keep  "}},
      {std::make_exception_ptr(EInOutError("Disk full", 112)),
       "Save",
       "",
       {dashes + " on Save " + dashes, "讯息信息:",
        "EInOutError Error 01: Code: 112, Message: Disk full", "ErrorMessage Count: 1"}},
      {std::make_exception_ptr(std::runtime_error("boom %s")),
       "",
       "",
       {dashes + dashes, "讯息信息:", "Exception is std::runtime_error\r\nMessage 01: boom %s",
        "ErrorMessage Count: 1"}},
  };
  for (const Case& c : cases) {
    std::filesystem::remove(tmp_.Path(LogFile()));
    try {
      std::rethrow_exception(c.error);
    } catch (const std::exception& e) {
      LogException(&e, c.context, c.programmer);
    }
    EXPECT_EQ(Entries(), c.entries) << c.entries[2];
  }
  std::filesystem::remove(tmp_.Path(LogFile()));
  LogException(nullptr, "Only", "note");
  EXPECT_EQ(Entries(),
            (std::vector<std::string>{dashes + " on Only " + dashes, "Programer Message: note"}));
}

TEST_F(PasswordTest, GeneratorLineUsesShortDateAndLongTime) {
  ASSERT_TRUE(WriteGeneratorAlert("hello"));
  std::string text = tmp_.Read(LogFile());
  TFormatSettings fs = FormatSettings();
  ASSERT_GT(text.size(), 2u);
  // "[" + date + " " + time + "] hello\n": the date has the short date's length.
  std::string date = FormatDateTime(fs.ShortDateFormat, Now());
  EXPECT_EQ(text.substr(1, date.size()), date);
  EXPECT_EQ(text.substr(text.size() - 8), "] hello\n");
}

TEST_F(PasswordTest, LogBaseFolderFallsBackToTheTemporaryFolder) {
  EXPECT_EQ(GetLogBaseFolder(), Install());
  Registry("\"ProfileType\"=\"0\"\r\n");
  EXPECT_EQ(GetLogBaseFolder(), tmp_.Path("temp") + "/");
  ASSERT_TRUE(WriteGeneratorAlert("to temp"));
  EXPECT_NE(tmp_.Read("temp/Log/Alert_PlexoGenerator_" + FormatDateTime("yyyymmdd", Now()) + ".log")
                .find("] to temp"),
            std::string::npos);
  test::ScopedEnv no_tmpdir("TMPDIR", std::nullopt);
  EXPECT_EQ(GetLogBaseFolder(), "/tmp/");
}

TEST_F(PasswordTest, UnwritableLogFolderNeverRaises) {
  tmp_.Write("inst/Log", "a file in place of the folder");
  EXPECT_FALSE(WriteGeneratorAlert("lost"));
  EXPECT_NO_THROW(LogException(nullptr, "ctx", "msg"));
  EXPECT_EQ(DecodePassword("zz"), kPasswordErrorMarker);
}

}  // namespace
}  // namespace vx
