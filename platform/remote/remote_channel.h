#pragma once
// The client end of one connection to a TRemoteServer, and the proxy object
// that stands for the server's object: an IDispatch whose calls travel over
// the connection. Every wait is bounded by a time-out; a transport failure
// closes the channel and raises ERemoteError, so nothing ever hangs.
#include <chrono>
#include <memory>
#include <mutex>
#include <string>

#include "platform/remote/call_message.h"

namespace vx {

struct TChannelOptions {
  std::chrono::milliseconds ConnectTimeout{10000};
  std::chrono::milliseconds CallTimeout{600000};
  std::size_t MaxFrameSize = kDefaultMaxFrameSize;
};

class TRemoteChannel : public std::enable_shared_from_this<TRemoteChannel> {
 public:
  // Raises ERemoteError when no connection is made within ConnectTimeout.
  static std::shared_ptr<TRemoteChannel> Connect(const std::string& host, int port,
                                                 TChannelOptions options = {});
  ~TRemoteChannel();
  TRemoteChannel(const TRemoteChannel&) = delete;
  TRemoteChannel& operator=(const TRemoteChannel&) = delete;

  // Creates the connection's object on the server; a proxy for it. A refusal
  // of the server raises EOleException with the server's message.
  DispatchPtr CreateObject(const std::string& class_id);
  // One request and its reply. A transport failure (or a reply telling that
  // the server drops the connection) closes the channel and raises
  // ERemoteError; a value that cannot be sent raises ERemoteMarshalError and
  // leaves the channel open.
  TCallReply Call(const TCallRequest& request);
  bool Connected() const;
  void Close();

 private:
  struct Impl;
  explicit TRemoteChannel(TChannelOptions options);
  std::unique_ptr<Impl> impl_;
  mutable std::mutex mutex_;
};

}  // namespace vx
