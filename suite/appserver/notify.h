#pragma once
// Who is told when a job ends. The receivers travel with the job as XML
// (<Root><R1 ID=".." Name=".." Mob=".." Mail=".." Type="1|5" Msg="YNN"/>..)
// whose Msg letters choose a message in the suite, a short message and an
// e-mail; the earlier edition sends a number instead (2 a message to the
// submitting user, 3 a pager call, 4 both). Messages in the suite are rows
// of channel "MSG"; short messages, e-mails and pager calls go to the outbox
// (channels "SMS", "MAIL", "BBCALL") for a gateway to send.
#include <string>
#include <vector>

#include "suite/appserver/job_store.h"

namespace vx::appserver {

// At most this many receivers are read from one job.
inline constexpr int kMaxReceivers = 500;

// The notices for a job that ended with status ("done"/"failed") and text.
std::vector<TNotification> BuildNotifications(const TJob& job, const std::string& status,
                                              const std::string& status_text);

}  // namespace vx::appserver
