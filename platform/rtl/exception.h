#pragma once
// The exception hierarchy the framework reports through: every exception has a
// class name (written to alert logs and shown by the application's default
// handler) and a message.
#include <cstdint>
#include <exception>
#include <string>
#include <utility>
#include <vector>

namespace vx {

class Exception : public std::exception {
 public:
  explicit Exception(std::string message) : message_(std::move(message)) {}
  const std::string& Message() const noexcept { return message_; }
  const char* what() const noexcept override { return message_.c_str(); }
  virtual std::string ClassName() const { return "Exception"; }

 private:
  std::string message_;
};

// Declares an exception class with its own class name.
#define VX_DECLARE_EXCEPTION(Name, Base)                     \
  class Name : public Base {                                 \
   public:                                                   \
    using Base::Base;                                        \
    std::string ClassName() const override { return #Name; } \
  }

VX_DECLARE_EXCEPTION(EConvertError, Exception);
// A file could not be opened.
VX_DECLARE_EXCEPTION(EFOpenError, Exception);

// A failed operating-system call, with the system's error code.
class EOSError : public Exception {
 public:
  EOSError(std::string message, std::uint32_t error_code)
      : Exception(std::move(message)), error_code_(error_code) {}
  std::uint32_t ErrorCode() const noexcept { return error_code_; }
  std::string ClassName() const override { return "EOSError"; }

 private:
  std::uint32_t error_code_;
};

// A failed file input/output operation, with its error code.
class EInOutError : public Exception {
 public:
  EInOutError(std::string message, int error_code)
      : Exception(std::move(message)), error_code_(error_code) {}
  int ErrorCode() const noexcept { return error_code_; }
  std::string ClassName() const override { return "EInOutError"; }

 private:
  int error_code_;
};

// One entry of a database engine error.
struct TDBError {
  std::uint16_t ErrorCode = 0;
  std::string Message;
};

// A database engine error: the engine reports a list of entries, the first
// the most specific. The exception's message is that of the first entry
// unless given.
class EDBEngineError : public Exception {
 public:
  explicit EDBEngineError(std::vector<TDBError> errors, std::string message = {})
      : Exception(message.empty() && !errors.empty() ? errors.front().Message : std::move(message)),
        errors_(std::move(errors)) {}
  int ErrorCount() const noexcept { return static_cast<int>(errors_.size()); }
  const TDBError& Errors(int index) const { return errors_.at(static_cast<std::size_t>(index)); }
  std::string ClassName() const override { return "EDBEngineError"; }

 private:
  std::vector<TDBError> errors_;
};

// Text of any exception, for places that must log or show whatever was thrown.
std::string ExceptionText(const std::exception& e);

}  // namespace vx
