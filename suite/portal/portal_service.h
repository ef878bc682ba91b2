#pragma once
// The demo's company portal: a web service that answers "PORTAL.getAllUser"
// with the portal users of the system database (VRXMA, MA005 = 'Y').
//
// The call arrives as CallWebService.so posts it: the request XML as the body
// of an HTTP POST, the method name in the SOAPAction header. The answer:
//
//   <?xml version="1.0" encoding="UTF-8"?>
//   <Response><Status code="0" Description=""/><Data>
//     <Record><Field name="Id" value="DS"/><Field name="Name" value="..."/></Record>
//     ...
//   </Data></Response>
//
// (without white space between elements). A request the portal refuses has
// no Data and a Status whose code is not "0" and whose Description says why.
#include <memory>
#include <string>
#include <string_view>
#include <thread>

namespace httplib {
class Server;
}

namespace vx::portal {

inline constexpr const char* kGetAllUser = "PORTAL.getAllUser";
// The largest request body the portal reads.
inline constexpr std::size_t kMaxRequestBytes = 1 << 20;

// The answer to one call: method as named by SOAPAction (quotes removed),
// request the body. Reads the users from the system database file.
std::string Answer(const std::string& system_db_file, std::string_view method,
                   std::string_view request);

// The service over HTTP on an address of this machine; every path answers.
class TPortalServer {
 public:
  explicit TPortalServer(std::string system_db_file);
  ~TPortalServer();
  TPortalServer(const TPortalServer&) = delete;
  TPortalServer& operator=(const TPortalServer&) = delete;

  // Binds host:port (0: a free port) and serves in a thread of its own;
  // returns the port. Raises vx::Exception when the address cannot be bound.
  int Start(const std::string& host = "127.0.0.1", int port = 0);
  // Serves in the calling thread until Stop (from another thread or a signal).
  void Run(const std::string& host, int port);
  void Stop();
  std::string Url() const;

 private:
  void Configure();
  std::string system_db_file_;
  std::unique_ptr<httplib::Server> server_;
  std::thread thread_;
  std::string host_;
  int port_ = 0;
};

}  // namespace vx::portal
