#include "platform/remote/remote_server.h"

#include <asio.hpp>
#include <atomic>
#include <future>
#include <map>
#include <mutex>
#include <thread>

#include "platform/automation/class_registry.h"
#include "platform/remote/call_message.h"
#include "platform/rtl/text.h"

namespace vx {

using asio::ip::tcp;

namespace {
class Session;
}

struct TRemoteServer::Impl {
  explicit Impl(TRemoteServerOptions o) : options(std::move(o)) {
    limits.MaxBytes = options.MaxFrameSize;
  }
  bool Allowed(std::string_view class_id) const {
    for (const std::string& a : options.AllowedClasses)
      if (SameText(a, class_id)) return true;
    return false;
  }
  void Accept();
  void Forget(Session* s) {
    std::lock_guard lock(mutex);
    sessions.erase(s);
  }

  TRemoteServerOptions options;
  TDecodeLimits limits;
  std::unique_ptr<asio::io_context> io;
  std::unique_ptr<asio::executor_work_guard<asio::io_context::executor_type>> work;
  std::unique_ptr<tcp::acceptor> acceptor;
  std::unique_ptr<asio::thread_pool> pool;
  std::thread io_thread;
  std::atomic<int> port{0};
  std::atomic<std::int64_t> next_object_id{1};
  mutable std::mutex mutex;
  std::map<Session*, std::weak_ptr<Session>> sessions;
};

namespace {

// One client connection. Its socket and timers are used on the I/O thread
// only; its object only by the one call running at a time on a worker.
class Session : public std::enable_shared_from_this<Session> {
 public:
  Session(TRemoteServer::Impl& server, tcp::socket socket)
      : server_(server),
        socket_(std::move(socket)),
        idle_timer_(*server.io),
        call_timer_(*server.io) {}

  void Start() { ReadHeader(); }

  // Answers with an error and closes (too many connections).
  void Refuse(const std::string& message) {
    Send(EncodeReply(TCallReply::Error("ERemoteError", message, true), server_.limits), true);
  }

  void Close() {
    if (closed_) return;
    closed_ = true;
    ++idle_generation_;
    ++call_generation_;
    idle_timer_.cancel();
    call_timer_.cancel();
    std::error_code ignored;
    socket_.shutdown(tcp::socket::shutdown_both, ignored);
    socket_.close(ignored);
    server_.Forget(this);
  }

 private:
  void ArmIdleTimer() {
    std::uint64_t generation = ++idle_generation_;
    idle_timer_.expires_after(server_.options.IdleTimeout);
    idle_timer_.async_wait([self = shared_from_this(), generation](std::error_code ec) {
      if (!ec && generation == self->idle_generation_) self->Close();
    });
  }

  void ReadHeader() {
    if (closed_) return;
    ArmIdleTimer();
    asio::async_read(socket_, asio::buffer(header_),
                     [self = shared_from_this()](std::error_code ec, std::size_t) {
                       if (ec) return self->Close();
                       self->ReadBody();
                     });
  }

  void ReadBody() {
    std::size_t size = 0;
    try {
      size = FrameBodySize(header_, server_.options.MaxFrameSize);
    } catch (const ERemoteFrameError& e) {
      return Send(EncodeReply(TCallReply::Error(e.ClassName(), e.Message(), true)), true);
    }
    body_.assign(size, '\0');
    asio::async_read(socket_, asio::buffer(body_),
                     [self = shared_from_this()](std::error_code ec, std::size_t) {
                       if (ec) return self->Close();
                       self->RunCall();
                     });
  }

  void RunCall() {
    ++idle_generation_;
    idle_timer_.cancel();
    std::uint64_t generation = ++call_generation_;
    call_timer_.expires_after(server_.options.CallTimeout);
    call_timer_.async_wait([self = shared_from_this(), generation](std::error_code ec) {
      if (ec || generation != self->call_generation_ || self->closed_) return;
      ++self->call_generation_;  // the late answer is dropped
      self->Send(
          EncodeReply(TCallReply::Error("ERemoteError", "The call did not return in time", true)),
          true);
    });
    asio::post(
        *server_.pool, [self = shared_from_this(), generation, body = std::move(body_)]() mutable {
          bool closing = false;
          std::string reply = self->Execute(body, closing);
          asio::post(*self->server_.io, [self, generation, reply = std::move(reply), closing]() {
            if (self->closed_ || generation != self->call_generation_) return;
            ++self->call_generation_;
            self->call_timer_.cancel();
            self->Send(reply, closing);
          });
        });
  }

  void Send(std::string body, bool close_after) {
    if (closed_) return;
    try {
      out_ = MakeFrame(body, server_.options.MaxFrameSize);
    } catch (const ERemoteMarshalError& e) {
      out_ = MakeFrame(EncodeReply(TCallReply::Error(e.ClassName(), e.Message())));
    }
    asio::async_write(socket_, asio::buffer(out_),
                      [self = shared_from_this(), close_after](std::error_code ec, std::size_t) {
                        if (ec || close_after) return self->Close();
                        self->ReadHeader();
                      });
  }

  // On a worker: decodes and runs one request; the encoded reply.
  std::string Execute(const std::string& body, bool& closing) {
    TCallRequest request;
    try {
      request = DecodeRequest(body, server_.limits);
    } catch (const ERemoteFrameError& e) {
      closing = true;
      return EncodeReply(TCallReply::Error(e.ClassName(), e.Message(), true));
    }
    try {
      return EncodeReply(
          request.Op == TCallRequest::TOp::Create ? CreateObject(request.ClassId) : Invoke(request),
          server_.limits);
    } catch (const Exception& e) {
      return EncodeReply(TCallReply::Error(e.ClassName(), e.Message()));
    } catch (const std::exception& e) {
      return EncodeReply(TCallReply::Error("Exception", e.what()));
    } catch (...) {
      return EncodeReply(TCallReply::Error("Exception", "Unknown error"));
    }
  }

  TCallReply CreateObject(const std::string& class_id) {
    if (object_) throw EOleError("The connection already holds its server object");
    if (!server_.Allowed(class_id))
      throw EOleSysError(Format("Class %s may not be created remotely", class_id),
                         CO_E_CLASSSTRING);
    object_ = ClassRegistry::Instance().Create(class_id);
    object_id_ = server_.next_object_id++;
    TCallReply reply;
    reply.Result = Variant(object_id_);
    return reply;
  }

  TCallReply Invoke(TCallRequest& request) {
    if (!object_ || request.ObjectId != object_id_)
      throw EOleError("No such server object on this connection");
    Args args;
    args.reserve(request.Args.size());
    for (std::size_t i = 0; i < request.Args.size(); ++i)
      args.push_back(request.ByRef[i] ? Arg::ByRef(request.Args[i])
                                      : Arg(std::move(request.Args[i])));
    TCallReply reply;
    reply.Result = object_->Invoke(request.Name, request.Kind, args);
    for (std::size_t i = 0; i < request.Args.size(); ++i)
      if (request.ByRef[i]) reply.ByRefValues.push_back(std::move(request.Args[i]));
    return reply;
  }

  TRemoteServer::Impl& server_;
  tcp::socket socket_;
  asio::steady_timer idle_timer_;
  asio::steady_timer call_timer_;
  unsigned char header_[kFrameHeaderSize] = {};
  std::string body_;
  std::string out_;
  bool closed_ = false;
  std::uint64_t idle_generation_ = 0;
  std::uint64_t call_generation_ = 0;
  DispatchPtr object_;
  std::int64_t object_id_ = 0;
};

}  // namespace

void TRemoteServer::Impl::Accept() {
  acceptor->async_accept([this](std::error_code ec, tcp::socket socket) {
    if (!acceptor->is_open()) return;
    if (!ec) {
      auto session = std::make_shared<Session>(*this, std::move(socket));
      bool full = false;
      {
        std::lock_guard lock(mutex);
        full = static_cast<int>(sessions.size()) >= options.MaxConnections;
        sessions[session.get()] = session;
      }
      if (full)
        session->Refuse("The server serves no more connections");
      else
        session->Start();
    }
    Accept();
  });
}

TRemoteServer::TRemoteServer(TRemoteServerOptions options)
    : impl_(std::make_unique<Impl>(std::move(options))) {}

TRemoteServer::~TRemoteServer() {
  Stop();
}

void TRemoteServer::Start() {
  if (Running()) return;
  Impl& s = *impl_;
  s.io = std::make_unique<asio::io_context>(1);
  try {
    if (s.options.Port < 0 || s.options.Port > 65535)
      throw std::invalid_argument("port out of range");
    tcp::endpoint endpoint(asio::ip::make_address(s.options.BindAddress),
                           static_cast<unsigned short>(s.options.Port));
    s.acceptor = std::make_unique<tcp::acceptor>(*s.io, endpoint, true);
  } catch (const std::exception& e) {
    s.acceptor.reset();
    s.io.reset();
    throw ERemoteError(Format("Cannot listen on %s:%d: %s", s.options.BindAddress, s.options.Port,
                              std::string(e.what())));
  }
  s.port = s.acceptor->local_endpoint().port();
  s.pool = std::make_unique<asio::thread_pool>(std::max(1, s.options.WorkerThreads));
  s.work = std::make_unique<asio::executor_work_guard<asio::io_context::executor_type>>(
      s.io->get_executor());
  s.Accept();
  s.io_thread = std::thread([io = s.io.get()] { io->run(); });
}

void TRemoteServer::Stop() {
  if (!Running()) return;
  Impl& s = *impl_;
  std::promise<void> closed;
  asio::post(*s.io, [&s, &closed] {
    std::error_code ignored;
    s.acceptor->close(ignored);
    std::vector<std::shared_ptr<Session>> open;
    {
      std::lock_guard lock(s.mutex);
      for (auto& [key, weak] : s.sessions)
        if (auto p = weak.lock()) open.push_back(p);
    }
    for (auto& p : open)
      p->Close();
    closed.set_value();
  });
  closed.get_future().wait();
  s.pool->join();  // calls already running return first
  s.work.reset();
  s.io->stop();
  s.io_thread.join();
  s.pool.reset();
  s.acceptor.reset();
  {
    std::lock_guard lock(s.mutex);
    s.sessions.clear();
  }
  s.io.reset();
  s.port = 0;
}

bool TRemoteServer::Running() const {
  return impl_->io != nullptr;
}

int TRemoteServer::Port() const {
  return impl_->port;
}

int TRemoteServer::ConnectionCount() const {
  std::lock_guard lock(impl_->mutex);
  return static_cast<int>(impl_->sessions.size());
}

}  // namespace vx
