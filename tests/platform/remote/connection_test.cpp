#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <condition_variable>
#include <filesystem>
#include <future>
#include <thread>

#include "platform/automation/class_registry.h"
#include "platform/automation/scripted_object.h"
#include "platform/remote/call_message.h"
#include "platform/remote/remote_server.h"
#include "platform/remote/socket_connection.h"

extern char** environ;

namespace vx {
namespace {

using namespace std::chrono_literals;

// Lets one connection's call wait until another connection releases it, so
// that serving connections side by side shows without any timing.
struct Gate {
  std::mutex mutex;
  std::condition_variable changed;
  bool open = false;
};
Gate gate;

DispatchPtr NewTestObject() {
  auto object = std::make_shared<ScriptedObject>();
  auto count = std::make_shared<int>(0);
  object->On("Echo", [](std::span<Arg> args) { return args[0].get(); })
      .On("Text",
          [](std::span<Arg> args) { return Variant(std::string(args[0].get().ToInt(), 'x')); })
      .On("Swap",
          [](std::span<Arg> args) {
            std::swap(args[0].get(), args[1].get());
            return Variant("swapped");
          })
      .Throws("Fail", "Scheme table locked")
      .On("Count", [count](std::span<Arg>) { return Variant(++*count); })
      .On("Sleep",
          [](std::span<Arg> args) {
            std::this_thread::sleep_for(std::chrono::milliseconds(args[0].get().ToInt()));
            return Variant(true);
          })
      .On("WaitForRelease",
          [](std::span<Arg>) {
            std::unique_lock lock(gate.mutex);
            return Variant(gate.changed.wait_for(lock, 20s, [] { return gate.open; }));
          })
      .On("Release",
          [](std::span<Arg>) {
            std::lock_guard lock(gate.mutex);
            gate.open = true;
            gate.changed.notify_all();
            return Variant();
          })
      .Property("Caption", "start");
  return object;
}

class RemoteTest : public ::testing::Test {
 protected:
  void StartServer(TRemoteServerOptions options = {}) {
    options.AllowedClasses = {"Remote.Test"};
    server = std::make_unique<TRemoteServer>(options);
    server->Start();
  }
  std::unique_ptr<TSocketConnection> Connection(int port = 0) {
    auto c = std::make_unique<TSocketConnection>(nullptr);
    c->SetAddress("127.0.0.1");
    c->SetPort(port ? port : server->Port());
    c->SetServerName("Remote.Test");
    c->SetConnectTimeoutMs(5000);
    c->SetCallTimeoutMs(30000);
    return c;
  }

  ScopedClassRegistration test_class{"Remote.Test", NewTestObject};
  ScopedClassRegistration hidden_class{"Remote.Hidden", NewTestObject};
  std::unique_ptr<TRemoteServer> server;
};

TEST_F(RemoteTest, CallsTravelWithTheirByReferenceArguments) {
  StartServer();
  ASSERT_NE(server->Port(), 0);
  auto c = Connection();
  EXPECT_EQ(c->Port(), server->Port());
  c->Open();
  ASSERT_TRUE(c->Connected());
  Variant app = c->AppServer();
  ASSERT_TRUE(app.IsDispatch());

  Variant big = VarArrayCreate(1, 1000);
  for (int i = 1; i <= 1000; ++i)
    big[i] = i % 2 ? Variant(i) : Variant(u"宽字符");
  EXPECT_TRUE(Call(app, "Echo", {big}) == big);

  Variant a = "job 0001", b = VarArrayOf({1, Variant::Null()}), untouched = "keep";
  EXPECT_EQ(Call(app, "swap", {Ref(a), Ref(b)}).ToText(), "swapped");
  EXPECT_TRUE(a == VarArrayOf({1, Variant::Null()}));
  EXPECT_EQ(b.ToText(), "job 0001");
  Call(app, "Swap", {untouched, Ref(a)});  // by value stays the caller's
  EXPECT_EQ(untouched.ToText(), "keep");

  Put(app, "Caption", "方案");
  EXPECT_EQ(Get(app, "Caption").ToText(), "方案");
}

TEST_F(RemoteTest, ErrorsOfTheObjectComeBackAndTheConnectionStays) {
  StartServer();
  auto c = Connection();
  c->Open();
  Variant app = c->AppServer();
  try {
    Call(app, "Fail");
    FAIL() << "no exception";
  } catch (const EOleException& e) {
    EXPECT_EQ(e.Message(), "Scheme table locked");
    EXPECT_EQ(e.Source(), "EOleException");
  }
  EXPECT_THROW(Call(app, "NoSuchMethod"), EOleException);
  // An object cannot be sent; nothing was sent and the connection is fine.
  EXPECT_THROW(Call(app, "Echo", {Variant(NewTestObject())}), ERemoteMarshalError);
  EXPECT_TRUE(c->Connected());
  EXPECT_EQ(Call(app, "Echo", {5}).ToInt(), 5);
}

TEST_F(RemoteTest, OnlyAllowedClassesAreCreated) {
  StartServer();
  for (const char* name : {"Remote.Hidden", "No.Such.Class"}) {
    SCOPED_TRACE(name);
    auto c = Connection();
    c->SetServerName(name);
    EXPECT_THROW(c->Open(), EOleException);
    EXPECT_FALSE(c->Connected());
    EXPECT_TRUE(c->AppServer().IsEmpty());
  }
  auto c = Connection();
  c->SetServerName("");
  EXPECT_THROW(c->Open(), ERemoteError);
}

TEST_F(RemoteTest, EachConnectionHasItsOwnObjectAndIsServedAlongsideTheOthers) {
  StartServer();
  auto first = Connection(), second = Connection();
  first->Open();
  second->Open();
  EXPECT_EQ(server->ConnectionCount(), 2);
  Call(first->AppServer(), "Count");
  EXPECT_EQ(Call(first->AppServer(), "Count").ToInt(), 2);
  EXPECT_EQ(Call(second->AppServer(), "Count").ToInt(), 1);

  gate.open = false;
  auto waiting = std::async(std::launch::async,
                            [&] { return Call(first->AppServer(), "WaitForRelease").ToBool(); });
  Call(second->AppServer(), "Release");
  EXPECT_TRUE(waiting.get());  // released while its own call was still running
}

// A client that writes raw bytes and reads the answer.
class RawClient {
 public:
  explicit RawClient(int port) {
    fd_ = socket(AF_INET, SOCK_STREAM, 0);
    timeval timeout{5, 0};
    setsockopt(fd_, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<std::uint16_t>(port));
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    connected_ = connect(fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
  }
  ~RawClient() { close(fd_); }
  bool Connected() const { return connected_; }
  void Send(const std::string& bytes) {
    ASSERT_EQ(send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL),
              static_cast<ssize_t>(bytes.size()));
  }
  // Everything until the server closes (or 5 s pass).
  std::string ReadToEnd() {
    std::string all;
    char buffer[4096];
    ssize_t n;
    while ((n = recv(fd_, buffer, sizeof buffer, 0)) > 0)
      all.append(buffer, static_cast<std::size_t>(n));
    closed_ = n == 0;
    return all;
  }
  bool ClosedByServer() const { return closed_; }

 private:
  int fd_ = -1;
  bool connected_ = false;
  bool closed_ = false;
};

TEST_F(RemoteTest, AMalformedOrOversizedFrameClosesOnlyItsConnection) {
  TRemoteServerOptions options;
  options.MaxFrameSize = 1 << 16;
  StartServer(options);
  auto good = Connection();
  good->SetMaxFrameSize(1 << 16);
  good->Open();
  struct Case {
    const char* name;
    std::string bytes;
  };
  const Case cases[] = {
      {"garbage body", MakeFrame("\xc1\xc1\xc1")},
      {"no request", MakeFrame(EncodeVariant(VarArrayOf({1, 2, 3})))},
      {"oversized length", std::string("\x7f\xff\xff\xff", 4)},
      {"empty frame", std::string("\0\0\0\0", 4)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RawClient raw(server->Port());
    ASSERT_TRUE(raw.Connected());
    raw.Send(c.bytes);
    std::string answer = raw.ReadToEnd();
    EXPECT_TRUE(raw.ClosedByServer());
    ASSERT_GT(answer.size(), kFrameHeaderSize);
    TCallReply reply = DecodeReply(std::string_view(answer).substr(kFrameHeaderSize));
    EXPECT_FALSE(reply.Ok);
    EXPECT_TRUE(reply.Closing);
    EXPECT_EQ(reply.ErrorClass, "ERemoteFrameError");
    // The well-behaved client goes on being served.
    EXPECT_EQ(Call(good->AppServer(), "Echo", {c.name}).ToText(), c.name);
  }
  // A request above the server's limit, from a client allowing more.
  good->Close();
  good->SetMaxFrameSize(1 << 20);
  good->Open();
  EXPECT_THROW(Call(good->AppServer(), "Echo", {std::string(1 << 17, 'x')}), ERemoteError);
  EXPECT_FALSE(good->Connected());
  // The client's own limit: a request too large is not sent at all, an
  // answer too large is refused.
  good->SetMaxFrameSize(1 << 10);
  good->Open();
  EXPECT_THROW(Call(good->AppServer(), "Echo", {std::string(1 << 11, 'x')}), ERemoteMarshalError);
  EXPECT_TRUE(good->Connected());
  EXPECT_THROW(Call(good->AppServer(), "Text", {1 << 11}), ERemoteFrameError);
  EXPECT_FALSE(good->Connected());
}

TEST_F(RemoteTest, TimeOutsEndTheConnectionInsteadOfHanging) {
  TRemoteServerOptions options;
  options.CallTimeout = 200ms;
  options.IdleTimeout = 300ms;
  StartServer(options);
  {
    // The server gives up on a call that does not return.
    auto c = Connection();
    c->Open();
    EXPECT_THROW(Call(c->AppServer(), "Sleep", {3000}), ERemoteError);
    EXPECT_FALSE(c->Connected());
    EXPECT_TRUE(c->AppServer().IsEmpty());
  }
  {
    // The client gives up waiting.
    auto c = Connection();
    c->SetCallTimeoutMs(100);
    c->Open();
    EXPECT_THROW(Call(c->AppServer(), "Sleep", {1500}), ERemoteError);
    EXPECT_FALSE(c->Connected());
  }
  {
    // A connection left idle is dropped by the server.
    auto c = Connection();
    c->Open();
    std::this_thread::sleep_for(900ms);
    EXPECT_THROW(Call(c->AppServer(), "Echo", {1}), ERemoteError);
    EXPECT_FALSE(c->Connected());
  }
}

TEST_F(RemoteTest, ConnectingFailsCleanly) {
  StartServer();
  int port = server->Port();
  server->Stop();
  auto c = Connection(port);
  EXPECT_THROW(c->Open(), ERemoteError);
  EXPECT_FALSE(c->Connected());
  c->SetPort(0);
  EXPECT_THROW(c->Open(), ERemoteError);
}

TEST_F(RemoteTest, StoppingTheServerOrItsConnectionLimitRaisesTransportErrors) {
  TRemoteServerOptions options;
  options.MaxConnections = 1;
  StartServer(options);
  auto first = Connection(), second = Connection();
  first->Open();
  EXPECT_THROW(second->Open(), ERemoteError);
  server->Stop();
  EXPECT_THROW(Call(first->AppServer(), "Echo", {1}), ERemoteError);
  EXPECT_FALSE(first->Connected());
  server->Start();  // a stopped server starts again
  auto third = Connection();
  third->Open();
  EXPECT_EQ(Call(third->AppServer(), "Echo", {3}).ToInt(), 3);
}

TEST_F(RemoteTest, InProcessTheConnectionHoldsTheCallersObject) {
  auto object = std::make_shared<ScriptedObject>();
  object->Returns("SQLType", 1);
  auto c = Connection(1);  // nothing listens there: no socket is opened
  c->SetAppServer(Variant(DispatchPtr(object)));
  EXPECT_TRUE(c->Connected());
  EXPECT_TRUE(c->InProcess());
  c->Open();  // connected already: nothing happens
  EXPECT_EQ(Call(c->AppServer(), "SQLType").ToInt(), 1);
  EXPECT_EQ(object->CallCount("SQLType"), 1);
  c->Close();
  EXPECT_FALSE(c->Connected());
  EXPECT_TRUE(c->AppServer().IsEmpty());
}

TEST_F(RemoteTest, PublishedPropertiesAndDefaults) {
  TSocketConnection c(nullptr);
  EXPECT_EQ(c.Port(), 211);
  EXPECT_EQ(c.CallTimeoutMs(), 600000);
  EXPECT_FALSE(c.SupportCallbacks());
  SetPropValue(c, *GetPropInfo(&c, "Address"), "10.0.0.5");
  SetPropValue(c, *GetPropInfo(&c, "port"), 8211);
  SetPropValue(c, *GetPropInfo(&c, "ServerName"), "ReportCounterS.dmReportCounter");
  EXPECT_EQ(c.Address(), "10.0.0.5");
  EXPECT_EQ(c.Port(), 8211);
  EXPECT_EQ(c.ServerName(), "ReportCounterS.dmReportCounter");
  // The broker is forgotten when it goes away.
  auto* broker = new TComponent(nullptr);
  c.SetObjectBroker(broker);
  broker->Free();
  EXPECT_EQ(c.ObjectBroker(), nullptr);
}

// The server in a process of its own, killed while a call waits for it.
TEST(RemoteProcess, AServerKilledMidCallGivesATransportErrorAtOnce) {
  auto exe = std::filesystem::read_symlink("/proc/self/exe").parent_path() / "remote_test_server";
  int to_child[2], from_child[2];
  ASSERT_EQ(pipe(to_child), 0);
  ASSERT_EQ(pipe(from_child), 0);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, to_child[0], 0);
  posix_spawn_file_actions_adddup2(&actions, from_child[1], 1);
  posix_spawn_file_actions_addclose(&actions, to_child[1]);
  posix_spawn_file_actions_addclose(&actions, from_child[0]);
  std::string path = exe.string();
  char* argv[] = {path.data(), nullptr};
  pid_t pid = 0;
  ASSERT_EQ(posix_spawn(&pid, path.c_str(), &actions, nullptr, argv, environ), 0);
  posix_spawn_file_actions_destroy(&actions);
  close(to_child[0]);
  close(from_child[1]);
  std::string port_text;
  char ch;
  while (read(from_child[0], &ch, 1) == 1 && ch != '\n')
    port_text.push_back(ch);
  ASSERT_FALSE(port_text.empty());

  TSocketConnection c(nullptr);
  c.SetAddress("127.0.0.1");
  c.SetPort(std::stoi(port_text));
  c.SetServerName("Remote.Sleeper");
  c.SetCallTimeoutMs(120000);  // only the kill can end the call early
  c.Open();
  auto killer = std::async(std::launch::async, [pid] {
    std::this_thread::sleep_for(300ms);
    kill(pid, SIGKILL);
  });
  try {
    Call(c.AppServer(), "Sleep", {60000});
    ADD_FAILURE() << "the call returned";
  } catch (const ERemoteError& e) {
    EXPECT_NE(e.Message().find("lost"), std::string::npos) << e.Message();
  }
  killer.get();
  EXPECT_FALSE(c.Connected());
  EXPECT_THROW(Call(c.AppServer(), "Sleep", {1}), EOleError);  // Unassigned now
  int status = 0;
  waitpid(pid, &status, 0);
  close(to_child[1]);
  close(from_child[0]);
}

}  // namespace
}  // namespace vx
