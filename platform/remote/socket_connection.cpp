#include "platform/remote/socket_connection.h"

namespace vx {

const TClassInfo& TSocketConnection::StaticClassInfo() {
  static const TClassInfo& info = DefineClass<TSocketConnection>("TSocketConnection", [](auto& r) {
    r.template Str<&TSocketConnection::Address, &TSocketConnection::SetAddress>("Address");
    r.template Ord<&TSocketConnection::Port, &TSocketConnection::SetPort>("Port", "Integer");
    r.template Str<&TSocketConnection::ServerName, &TSocketConnection::SetServerName>("ServerName");
    r.template Bool<&TSocketConnection::Connected, &TSocketConnection::SetConnected>("Connected");
  });
  return info;
}

TSocketConnection::TSocketConnection(TComponent* owner) : TComponent(owner) {}

TSocketConnection::~TSocketConnection() {
  Close();
}

void TSocketConnection::Retarget() {
  if (channel_) Close();
}

void TSocketConnection::SetAddress(std::string_view address) {
  if (address == address_) return;
  Retarget();
  address_ = std::string(address);
}

void TSocketConnection::SetPort(int port) {
  if (port == port_) return;
  Retarget();
  port_ = port;
}

void TSocketConnection::SetServerName(std::string_view name) {
  if (name == server_name_) return;
  Retarget();
  server_name_ = std::string(name);
}

void TSocketConnection::SetObjectBroker(TComponent* broker) {
  if (broker_) broker_->RemoveFreeNotification(this);
  broker_ = broker;
  if (broker_) broker_->FreeNotification(this);
}

void TSocketConnection::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == opRemove && component == broker_) broker_ = nullptr;
}

bool TSocketConnection::Connected() const {
  if (in_process_) return true;
  return channel_ && channel_->Connected();
}

void TSocketConnection::SetConnected(bool v) {
  v ? Open() : Close();
}

void TSocketConnection::Open() {
  if (Connected()) return;
  Close();
  if (server_name_.empty()) throw ERemoteError("Missing server name");
  if (address_.empty()) throw ERemoteError("Missing server address");
  TChannelOptions options;
  options.ConnectTimeout = std::chrono::milliseconds(connect_timeout_ms_);
  options.CallTimeout = std::chrono::milliseconds(call_timeout_ms_);
  options.MaxFrameSize = max_frame_size_;
  auto channel = TRemoteChannel::Connect(address_, port_, options);
  try {
    server_ = Variant(channel->CreateObject(server_name_));
  } catch (...) {
    channel->Close();
    throw;
  }
  channel_ = std::move(channel);
}

void TSocketConnection::Close() {
  if (channel_) channel_->Close();
  channel_.reset();
  server_ = Unassigned;
  in_process_ = false;
}

Variant TSocketConnection::AppServer() const {
  return Connected() ? server_ : Unassigned;
}

void TSocketConnection::SetAppServer(const Variant& server) {
  Close();
  if (server.IsEmpty()) return;
  DispatchPtr object = server.ToDispatch();
  if (!object) throw EOleError("The application server object is missing");
  server_ = Variant(std::move(object));
  in_process_ = true;
}

}  // namespace vx
