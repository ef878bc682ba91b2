#pragma once
// Stand-in until the socket transport lands: the in-process path only.
#include <string>
#include <string_view>

#include "platform/automation/dispatch.h"
#include "platform/ui/classes.h"

namespace vx {

VX_DECLARE_EXCEPTION(ERemoteError, EOleError);

class TSocketConnection : public TComponent {
  VX_CLASS(TSocketConnection, TComponent)
  explicit TSocketConnection(TComponent* owner) : TComponent(owner) {}
  const std::string& Address() const { return address_; }
  void SetAddress(std::string_view a) { address_ = std::string(a); }
  int Port() const { return port_; }
  void SetPort(int p) { port_ = p; }
  const std::string& ServerName() const { return server_name_; }
  void SetServerName(std::string_view n) { server_name_ = std::string(n); }
  TComponent* ObjectBroker() const { return broker_; }
  void SetObjectBroker(TComponent* b) { broker_ = b; }
  bool SupportCallbacks() const { return false; }
  void SetSupportCallbacks(bool) {}
  bool Connected() const { return connected_; }
  void SetConnected(bool v) { v ? Open() : Close(); }
  void Open() {
    if (!connected_) throw ERemoteError("Socket connection to " + address_ + " not available");
  }
  void Close() {
    server_ = Variant();
    connected_ = false;
  }
  Variant AppServer() const { return server_; }
  void SetAppServer(const Variant& server) {
    server_ = server;
    connected_ = true;
  }

 private:
  std::string address_, server_name_;
  int port_ = 211;
  TComponent* broker_ = nullptr;
  bool connected_ = false;
  Variant server_;
};

inline const TClassInfo& TSocketConnection::StaticClassInfo() {
  static const TClassInfo& info = DefineClass<TSocketConnection>("TSocketConnection", [](auto&) {});
  return info;
}

}  // namespace vx
