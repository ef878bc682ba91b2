#pragma once
// The exception hierarchy the framework reports through: every exception has a
// class name (written to alert logs and shown by the application's default
// handler) and a message.
#include <exception>
#include <string>

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

// Text of any exception, for places that must log or show whatever was thrown.
std::string ExceptionText(const std::exception& e);

}  // namespace vx
