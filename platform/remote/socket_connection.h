#pragma once
// The form's connection to the application server: address, port and the
// server object's class identifier ("ReportCounterS.dmReportCounter").
// Opened, it holds a proxy of the object the server created for this
// connection; in process (the caller created the object itself and handed
// it over with SetAppServer) no socket is opened at all.
#include <memory>
#include <string>
#include <string_view>

#include "platform/remote/remote_channel.h"
#include "platform/ui/classes.h"

namespace vx {

class TSocketConnection : public TComponent {
  VX_CLASS(TSocketConnection, TComponent)
 public:
  explicit TSocketConnection(TComponent* owner);
  ~TSocketConnection() override;  // closes

  // Changing where the connection leads closes a remote connection.
  const std::string& Address() const { return address_; }
  void SetAddress(std::string_view address);
  int Port() const { return port_; }  // 211 unless set
  void SetPort(int port);
  const std::string& ServerName() const { return server_name_; }
  void SetServerName(std::string_view name);
  // Stored only: objects are not brokered between several servers.
  TComponent* ObjectBroker() const { return broker_; }
  void SetObjectBroker(TComponent* broker);
  // Stored only: the server does not call back.
  bool SupportCallbacks() const { return support_callbacks_; }
  void SetSupportCallbacks(bool v) { support_callbacks_ = v; }
  int ConnectTimeoutMs() const { return connect_timeout_ms_; }
  void SetConnectTimeoutMs(int ms) { connect_timeout_ms_ = ms; }
  // A direct job run may take minutes.
  int CallTimeoutMs() const { return call_timeout_ms_; }
  void SetCallTimeoutMs(int ms) { call_timeout_ms_ = ms; }
  // Largest frame sent or accepted.
  std::size_t MaxFrameSize() const { return max_frame_size_; }
  void SetMaxFrameSize(std::size_t bytes) { max_frame_size_ = bytes; }

  // False as well after a transport failure of the remote object.
  bool Connected() const;
  void SetConnected(bool v);
  // Remote: connects to Address:Port and has the server create ServerName;
  // raises ERemoteError, or EOleException with the server's refusal. Does
  // nothing when connected.
  void Open();
  // Drops the connection or the in-process object.
  void Close();
  // The proxy after Open, the in-process object after SetAppServer;
  // Unassigned when not connected.
  Variant AppServer() const;
  // In process (address "127.0.0.1"): holds the caller's object; Connected()
  // becomes true and no socket is opened. Unassigned just closes.
  void SetAppServer(const Variant& server);
  // Whether the server object lives in this process.
  bool InProcess() const { return in_process_; }

 protected:
  void Notification(TComponent* component, TOperation operation) override;

 private:
  void Retarget();
  std::string address_;
  int port_ = 211;
  std::string server_name_;
  TComponent* broker_ = nullptr;
  bool support_callbacks_ = false;
  int connect_timeout_ms_ = 10000;
  int call_timeout_ms_ = 600000;
  std::size_t max_frame_size_ = kDefaultMaxFrameSize;
  std::shared_ptr<TRemoteChannel> channel_;
  Variant server_;
  bool in_process_ = false;
};

}  // namespace vx
