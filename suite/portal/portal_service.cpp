#include "suite/portal/portal_service.h"

#include <httplib.h>

#include <exception>
#include <vector>

#include "platform/db/engine.h"
#include "platform/rtl/exception.h"
#include "platform/xml/xml_document.h"

namespace vx::portal {

namespace {

constexpr const char* kProlog = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>";

std::string Quoted(const std::string& path) {
  std::string q = "\"";
  for (char c : path)
    q += c == '"' ? std::string("\"\"") : std::string(1, c);
  return q + "\"";
}

// An answer of its status alone, or with the users' records.
std::string Response(const std::string& code, const std::string& description,
                     const std::vector<std::pair<std::string, std::string>>* users = nullptr) {
  XmlDocument doc;
  XmlNode root = doc.AppendChild(doc.CreateElement("Response"));
  XmlNode status = root.AppendChild(doc.CreateElement("Status"));
  status.SetAttribute("code", code);
  status.SetAttribute("Description", description);
  if (users) {
    XmlNode data = root.AppendChild(doc.CreateElement("Data"));
    for (const auto& [id, name] : *users) {
      XmlNode record = data.AppendChild(doc.CreateElement("Record"));
      XmlNode f1 = record.AppendChild(doc.CreateElement("Field"));
      f1.SetAttribute("name", "Id");
      f1.SetAttribute("value", id);
      XmlNode f2 = record.AppendChild(doc.CreateElement("Field"));
      f2.SetAttribute("name", "Name");
      f2.SetAttribute("value", name);
    }
  }
  return kProlog + root.Xml();
}

}  // namespace

std::string Answer(const std::string& system_db_file, std::string_view method,
                   std::string_view request) {
  if (method != kGetAllUser) return Response("1", "unknown method: " + std::string(method));
  XmlDocument doc;
  if (!doc.LoadXml(request)) return Response("2", "the request is not XML");
  std::string user = doc.SelectSingleNode("/Request/Access/Authentication").GetAttribute("user");
  std::string company = doc.SelectSingleNode("/Request/Access/Organization").GetAttribute("name");
  if (user.empty()) return Response("3", "the request names no user");
  try {
    auto session = db::OpenSession("Provider=SQLite;Data Source=" + Quoted(system_db_file) +
                                   ";Read Only=True");
    auto known = session->Prepare("SELECT MA001 FROM DSCMA WHERE MA001 = :ORG");
    known->Bind("ORG", Variant(company));
    if (!known->Step()) return Response("4", "unknown organization: " + company);
    auto query =
        session->Prepare("SELECT MA001, MA002 FROM VRXMA WHERE MA005 = 'Y' ORDER BY MA001");
    std::vector<std::pair<std::string, std::string>> users;
    while (query->Step())
      users.emplace_back(std::string(query->ColumnText(0)), std::string(query->ColumnText(1)));
    return Response("0", "", &users);
  } catch (const std::exception& e) {
    return Response("5", std::string("the portal cannot read its users: ") + e.what());
  }
}

TPortalServer::TPortalServer(std::string system_db_file)
    : system_db_file_(std::move(system_db_file)), server_(std::make_unique<httplib::Server>()) {
  Configure();
}

TPortalServer::~TPortalServer() {
  Stop();
}

void TPortalServer::Configure() {
  server_->set_payload_max_length(kMaxRequestBytes);
  server_->set_read_timeout(10, 0);
  server_->set_write_timeout(10, 0);
  server_->Post(".*", [this](const httplib::Request& req, httplib::Response& res) {
    std::string method = req.get_header_value("SOAPAction");
    if (method.size() >= 2 && method.front() == '"' && method.back() == '"')
      method = method.substr(1, method.size() - 2);
    res.set_content(Answer(system_db_file_, method, req.body), "text/xml; charset=utf-8");
  });
}

int TPortalServer::Start(const std::string& host, int port) {
  host_ = host;
  port_ =
      port == 0 ? server_->bind_to_any_port(host) : (server_->bind_to_port(host, port) ? port : -1);
  if (port_ <= 0)
    throw Exception("the portal cannot listen on " + host + ":" + std::to_string(port));
  thread_ = std::thread([this] { server_->listen_after_bind(); });
  return port_;
}

void TPortalServer::Run(const std::string& host, int port) {
  host_ = host;
  port_ = port;
  if (!server_->listen(host, port))
    throw Exception("the portal cannot listen on " + host + ":" + std::to_string(port));
}

void TPortalServer::Stop() {
  server_->stop();
  if (thread_.joinable()) thread_.join();
}

std::string TPortalServer::Url() const {
  return "http://" + host_ + ":" + std::to_string(port_) + "/portal";
}

}  // namespace vx::portal
