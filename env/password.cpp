#include "env/password.h"

#include <cxxabi.h>

#include <cstdlib>
#include <typeinfo>

#include "lib/alert_log.h"
#include "platform/os/codepage.h"
#include "platform/os/paths.h"
#include "platform/os/system.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/exception.h"
#include "platform/rtl/text.h"

namespace vx {

namespace {

constexpr int kPasswordCodePage = 936;

unsigned char RotateRight(unsigned char b, unsigned n) {
  n %= 8;
  return n == 0 ? b : static_cast<unsigned char>((b >> n) | (b << (8 - n)));
}

unsigned char RotateLeft(unsigned char b, unsigned n) {
  n %= 8;
  return n == 0 ? b : static_cast<unsigned char>((b << n) | (b >> (8 - n)));
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string ClassNameOf(const std::exception& e) {
  if (auto* own = dynamic_cast<const Exception*>(&e)) return own->ClassName();
  const char* mangled = typeid(e).name();
  int status = 0;
  char* demangled = abi::__cxa_demangle(mangled, nullptr, nullptr, &status);
  std::string name = status == 0 && demangled ? demangled : mangled;
  std::free(demangled);
  return name;
}

void LogDecodeFailure(const Exception& e) {
  LogException(&e, EncodePassword("DecodeSQLSa"), "解析 Sa 时发生错误!");
}

}  // namespace

std::string ScramblePasswordBytes(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size() * 2);
  for (std::size_t i = 0; i < bytes.size(); ++i)
    out += Format("%.2x", RotateRight(static_cast<unsigned char>(bytes[i]), (i + 1) % 8));
  return out;
}

bool UnscramblePasswordBytes(std::string_view scrambled, std::string& bytes,
                             std::string* bad_pair) {
  bytes.clear();
  for (std::size_t i = 1; 2 * i <= scrambled.size(); ++i) {
    int hi = HexDigit(scrambled[2 * i - 2]);
    int lo = HexDigit(scrambled[2 * i - 1]);
    if (hi < 0 || lo < 0) {
      if (bad_pair) *bad_pair = std::string(scrambled.substr(2 * i - 2, 2));
      bytes.clear();
      return false;
    }
    bytes += static_cast<char>(RotateLeft(static_cast<unsigned char>(hi * 16 + lo), i % 8));
  }
  return true;
}

std::string EncodePassword(std::string_view plain) {
  if (plain.empty()) return ScramblePasswordBytes(kEmptyPasswordMarker);
  std::string bytes;
  if (!TryUtf8ToCodePage(plain, kPasswordCodePage, bytes))
    throw EConvertError("The password contains characters that code page 936 cannot represent");
  return ScramblePasswordBytes(bytes);
}

std::string DecodePassword(std::string_view scrambled) {
  try {
    std::string bytes, bad_pair;
    if (!UnscramblePasswordBytes(scrambled, bytes, &bad_pair)) {
      LogDecodeFailure(EConvertError(Format("'$%s' is not a valid integer value", bad_pair)));
      return std::string(kPasswordErrorMarker);
    }
    if (bytes.empty() || bytes == kEmptyPasswordMarker) return {};
    std::string plain;
    if (!TryCodePageToUtf8(bytes, kPasswordCodePage, plain)) {
      LogDecodeFailure(
          EConvertError("The scrambled password does not decode to code page 936 text"));
      return std::string(kPasswordErrorMarker);
    }
    return plain;
  } catch (...) {
    return std::string(kPasswordErrorMarker);
  }
}

std::string GetLogBaseFolder() {
  try {
    std::string folder = GetInstallFolder();
    if (folder.empty()) folder = GetTempFolder();
    if (folder.empty()) folder = "/tmp";
    return folder;
  } catch (...) {
    return "/tmp";
  }
}

bool WriteGeneratorAlert(std::string_view text) {
  try {
    TDateTime now = Now();
    const TFormatSettings& fs = FormatSettings();
    std::string line = "[" + FormatDateTime(fs.ShortDateFormat + " " + fs.LongTimeFormat, now) +
                       "] " + std::string(text);
    std::string file = "Alert_PlexoGenerator_" + FormatDateTime("yyyymmdd", now) + ".log";
    return AppendAlertLine(JoinPath(GetLogBaseFolder(), "Log"), file, line);
  } catch (...) {
    return false;
  }
}

void LogException(const std::exception* e, std::string_view context,
                  std::string_view programmer_message) {
  try {
    const std::string dashes(34, '-');
    std::string separator = dashes;
    if (!Trim(context).empty()) separator += " on " + std::string(context) + " ";
    WriteGeneratorAlert(separator + dashes);
    if (e) {
      WriteGeneratorAlert("讯息信息:");
      int count = 0;
      if (auto* db = dynamic_cast<const EDBEngineError*>(e)) {
        for (int i = 0; i < db->ErrorCount(); ++i) {
          const TDBError& entry = db->Errors(i);
          WriteGeneratorAlert(Format("EDBEngineError Error %.2d: Code: %d, Message: %s", ++count,
                                     static_cast<int>(entry.ErrorCode), entry.Message));
        }
      } else if (auto* os = dynamic_cast<const EOSError*>(e)) {
        WriteGeneratorAlert(Format("EWin32Error Error %.2d: Code: %s, Message: %s", ++count,
                                   std::to_string(os->ErrorCode()), os->Message()));
      } else if (auto* io = dynamic_cast<const EInOutError*>(e)) {
        WriteGeneratorAlert(Format("EInOutError Error %.2d: Code: %d, Message: %s", ++count,
                                   io->ErrorCode(), io->Message()));
      } else {
        WriteGeneratorAlert(Format("Exception is %s\r\nMessage %.2d: ", ClassNameOf(*e), ++count) +
                            ExceptionText(*e));
      }
      WriteGeneratorAlert(Format("ErrorMessage Count: %d", count));
    }
    if (!Trim(programmer_message).empty())
      WriteGeneratorAlert("Programer Message: " + std::string(programmer_message));
  } catch (...) {
    // A log writer never raises.
  }
}

}  // namespace vx
