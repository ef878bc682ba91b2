#include "suite/appserver/notify.h"

#include "platform/rtl/text.h"
#include "platform/xml/xml_document.h"

namespace vx::appserver {

std::vector<TNotification> BuildNotifications(const TJob& job, const std::string& status,
                                              const std::string& status_text) {
  std::vector<TNotification> list;
  std::string receivers = Trim(job.Receivers);
  if (receivers.empty() || receivers == "N" || receivers.size() > (1u << 20)) return list;
  std::string body = Format("工作 %s (%s) %s", job.JobID, job.ProgramID,
                            status == kDone ? "处理完毕" : "处理失败");
  if (!status_text.empty()) body += ": " + status_text;
  auto add = [&](const char* channel, const std::string& id, const std::string& name,
                 const std::string& address) {
    list.push_back({job.JobID, channel, id, name, address, body});
  };
  if (receivers.size() == 1 && receivers[0] >= '1' && receivers[0] <= '4') {
    int choice = receivers[0] - '0';
    if (choice == 2 || choice == 4) add("MSG", job.UserID, "", "");
    if (choice == 3 || choice == 4) add("BBCALL", job.UserID, "", "");
    return list;
  }
  XmlDocument doc;
  if (!doc.LoadXml(receivers) || !doc.DocumentElement()) return list;
  int count = 0;
  for (XmlNode r = doc.DocumentElement().FirstChild(); r && count < kMaxReceivers;
       r = r.NextSibling()) {
    if (r.NodeType() != XmlNodeType::Element || !StartsText("R", r.NodeName())) continue;
    ++count;
    std::string id = r.GetAttribute("ID"), name = r.GetAttribute("Name");
    std::string msg = r.GetAttribute("Msg") + "NNN";
    if (id.empty()) continue;
    if (msg[0] == 'Y') add("MSG", id, name, "");
    if (msg[1] == 'Y' && !r.GetAttribute("Mob").empty())
      add("SMS", id, name, r.GetAttribute("Mob"));
    if (msg[2] == 'Y' && !r.GetAttribute("Mail").empty())
      add("MAIL", id, name, r.GetAttribute("Mail"));
  }
  return list;
}

}  // namespace vx::appserver
