#pragma once
// Serves automation objects over TCP, as the application server's daemon
// does. A client first asks for an object by class identifier (created
// through the ClassRegistry; only identifiers on the allowlist), then calls
// it by name. Each connection holds its own object, like a remote data
// module, and its calls run one after the other; connections are served side
// by side by a pool of worker threads.
//
// A malformed or oversized frame is answered with an error (when the socket
// still takes it) and that connection is closed; the others go on.
#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "platform/remote/variant_codec.h"

namespace vx {

struct TRemoteServerOptions {
  // Loopback unless the daemon is told to serve other computers.
  std::string BindAddress = "127.0.0.1";
  int Port = 0;  // 0: any free port (see TRemoteServer::Port)
  // Class identifiers clients may create, compared without regard to case.
  std::vector<std::string> AllowedClasses;
  std::size_t MaxFrameSize = kDefaultMaxFrameSize;
  int WorkerThreads = 4;
  int MaxConnections = 64;
  // A connection without a complete request for this long is closed.
  std::chrono::milliseconds IdleTimeout{std::chrono::minutes(10)};
  // A call running longer is answered with an error and its connection
  // closed; the object finishes the call in the background.
  std::chrono::milliseconds CallTimeout{std::chrono::minutes(30)};
};

class TRemoteServer {
 public:
  explicit TRemoteServer(TRemoteServerOptions options);
  ~TRemoteServer();  // Stop()
  TRemoteServer(const TRemoteServer&) = delete;
  TRemoteServer& operator=(const TRemoteServer&) = delete;

  // Binds and starts serving; raises ERemoteError when the address cannot be
  // bound.
  void Start();
  // Closes the listener and every connection, and waits for calls already
  // running to return. Start may be called again afterwards.
  void Stop();
  bool Running() const;
  // The bound port (the chosen one when Port was 0); 0 when not running.
  int Port() const;
  int ConnectionCount() const;

  struct Impl;  // the listener, its threads and its connections

 private:
  std::unique_ptr<Impl> impl_;
};

}  // namespace vx
