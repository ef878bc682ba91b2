#include "platform/remote/remote_channel.h"

#include <asio.hpp>
#include <functional>

#include "platform/rtl/text.h"

namespace vx {

using asio::ip::tcp;

struct TRemoteChannel::Impl {
  explicit Impl(TChannelOptions o) : options(o) { limits.MaxBytes = options.MaxFrameSize; }

  // Runs the started operations until they finish or the time is up; on a
  // time-out the socket is closed (and on_timeout cancels anything else) so
  // that every handler has run when this returns.
  bool RunFor(std::chrono::milliseconds timeout, const std::function<void()>& on_timeout = {}) {
    io.restart();
    io.run_for(timeout);
    if (io.stopped()) return true;
    if (on_timeout) on_timeout();
    std::error_code ignored;
    socket.close(ignored);
    io.restart();
    io.run();
    return false;
  }

  void Close() {
    std::error_code ignored;
    socket.shutdown(tcp::socket::shutdown_both, ignored);
    socket.close(ignored);
  }

  TChannelOptions options;
  TDecodeLimits limits;
  asio::io_context io{1};
  tcp::socket socket{io};
  std::string where;  // host:port, for messages
};

namespace {

// The server's object as seen by the client.
class TRemoteObject : public IDispatch {
 public:
  TRemoteObject(std::shared_ptr<TRemoteChannel> channel, std::int64_t id)
      : channel_(std::move(channel)), id_(id) {}

  Variant Invoke(std::string_view name, DispatchKind kind, std::span<Arg> args) override {
    TCallRequest request;
    request.Op = TCallRequest::TOp::Invoke;
    request.ObjectId = id_;
    request.Name = std::string(name);
    request.Kind = kind;
    std::size_t by_ref = 0;
    for (const Arg& a : args) {
      request.Args.push_back(a.get());
      request.ByRef.push_back(a.IsByRef());
      by_ref += a.IsByRef() ? 1 : 0;
    }
    TCallReply reply = channel_->Call(request);
    if (!reply.Ok) throw EOleException(reply.ErrorMessage, reply.ErrorClass);
    if (reply.ByRefValues.size() != by_ref) {
      channel_->Close();
      throw ERemoteFrameError("Malformed message: by-reference values do not match the call");
    }
    std::size_t next = 0;
    for (Arg& a : args)
      if (a.IsByRef()) a.get() = std::move(reply.ByRefValues[next++]);
    return std::move(reply.Result);
  }

 private:
  std::shared_ptr<TRemoteChannel> channel_;
  std::int64_t id_;
};

}  // namespace

TRemoteChannel::TRemoteChannel(TChannelOptions options) : impl_(std::make_unique<Impl>(options)) {}

TRemoteChannel::~TRemoteChannel() = default;

std::shared_ptr<TRemoteChannel> TRemoteChannel::Connect(const std::string& host, int port,
                                                        TChannelOptions options) {
  std::shared_ptr<TRemoteChannel> channel(new TRemoteChannel(options));
  Impl& c = *channel->impl_;
  c.where = Format("%s:%d", host, port);
  if (port <= 0 || port > 65535)
    throw ERemoteError(Format("Cannot connect to %s: port out of range", c.where));
  std::error_code result = asio::error::would_block;
  tcp::resolver resolver(c.io);
  resolver.async_resolve(host, std::to_string(port),
                         [&](std::error_code ec, const tcp::resolver::results_type& endpoints) {
                           if (ec) {
                             result = ec;
                             return;
                           }
                           asio::async_connect(
                               c.socket, endpoints,
                               [&](std::error_code e, const tcp::endpoint&) { result = e; });
                         });
  if (!c.RunFor(options.ConnectTimeout, [&] { resolver.cancel(); }))
    throw ERemoteError(Format("Cannot connect to %s: no answer within %d ms", c.where,
                              static_cast<int>(options.ConnectTimeout.count())));
  if (result) {
    c.Close();
    throw ERemoteError(Format("Cannot connect to %s: %s", c.where, result.message()));
  }
  std::error_code ignored;
  c.socket.set_option(tcp::no_delay(true), ignored);
  return channel;
}

DispatchPtr TRemoteChannel::CreateObject(const std::string& class_id) {
  TCallRequest request;
  request.Op = TCallRequest::TOp::Create;
  request.ClassId = class_id;
  TCallReply reply = Call(request);
  if (!reply.Ok) throw EOleException(reply.ErrorMessage, reply.ErrorClass);
  if (reply.Result.VarType() != varInt64) {
    Close();
    throw ERemoteFrameError("Malformed message: the server gave no object id");
  }
  return std::make_shared<TRemoteObject>(shared_from_this(), reply.Result.ToInt64());
}

TCallReply TRemoteChannel::Call(const TCallRequest& request) {
  std::lock_guard lock(mutex_);
  Impl& c = *impl_;
  if (!c.socket.is_open()) throw ERemoteError("Not connected to the application server");
  // Encoded before anything is sent: a value that cannot travel leaves the
  // connection as it was.
  std::string frame = MakeFrame(EncodeRequest(request, c.limits), c.options.MaxFrameSize);
  std::error_code result = asio::error::would_block;
  std::exception_ptr bad_frame;
  unsigned char header[kFrameHeaderSize];
  std::string body;
  asio::async_write(c.socket, asio::buffer(frame), [&](std::error_code ec, std::size_t) {
    if (ec) {
      result = ec;
      return;
    }
    asio::async_read(c.socket, asio::buffer(header), [&](std::error_code ec2, std::size_t) {
      if (ec2) {
        result = ec2;
        return;
      }
      try {
        body.assign(FrameBodySize(header, c.options.MaxFrameSize), '\0');
      } catch (const ERemoteFrameError&) {
        bad_frame = std::current_exception();
        return;
      }
      asio::async_read(c.socket, asio::buffer(body),
                       [&](std::error_code ec3, std::size_t) { result = ec3; });
    });
  });
  if (!c.RunFor(c.options.CallTimeout))
    throw ERemoteError(Format("The application server at %s did not answer within %d ms", c.where,
                              static_cast<int>(c.options.CallTimeout.count())));
  if (bad_frame) {
    c.Close();
    std::rethrow_exception(bad_frame);
  }
  if (result) {
    c.Close();
    throw ERemoteError(
        Format("Connection to the application server at %s lost: %s", c.where, result.message()));
  }
  TCallReply reply;
  try {
    reply = DecodeReply(body, c.limits);
  } catch (const ERemoteFrameError&) {
    c.Close();
    throw;
  }
  if (!reply.Ok && reply.Closing) {
    c.Close();
    throw ERemoteError(reply.ErrorMessage);
  }
  return reply;
}

bool TRemoteChannel::Connected() const {
  std::lock_guard lock(mutex_);
  return impl_->socket.is_open();
}

void TRemoteChannel::Close() {
  std::lock_guard lock(mutex_);
  impl_->Close();
}

}  // namespace vx
