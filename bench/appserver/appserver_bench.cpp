// Durable job submissions per second: several clients, each on its own
// connection over 127.0.0.1, send Request with the stocktaking job's
// parameter array to the application server; every answer comes after the
// job was committed to the database.
//   appserver_bench [seconds per round, default 3] [--single]
// --single: each connection's object commits its own jobs (as objects in
// client processes do) instead of the daemon's group commit.
#include <atomic>
#include <cstdio>
#include <filesystem>
#include <thread>
#include <vector>

#include "platform/automation/class_registry.h"
#include "platform/remote/remote_channel.h"
#include "platform/remote/remote_server.h"
#include "platform/rtl/text.h"
#include "suite/appserver/job_committer.h"
#include "suite/appserver/report_counter.h"

namespace {

using namespace vx;
using namespace vx::appserver;

Variant Row(std::initializer_list<Variant> items) {
  Variant row = VarArrayCreate(1, static_cast<int>(items.size()));
  int i = 1;
  for (const Variant& v : items)
    row[i++] = v;
  return row;
}

Variant JobParams() {
  return VarArrayOf(
      {Row({u"STKB17", std::int32_t{12}, std::int32_t{4}, u"C01", u"U01", u"VXSYS",
            Variant(TDateTime(46108.5)), u"STKB17S.Class1", u"B", std::int32_t{0},
            Variant(TDateTime(46108.5)), u""}),
       Row({VarArrayOf({u"盘点单号", u"ed01"}), VarArrayOf({u"盘点日期", u"me02"}),
            VarArrayOf({u"生成Log文档", u"chkLog"}), VarArrayOf({u"作业日期", u"edPrintDate"})}),
       Row({u"PD20260301001", u"20260301", u"N", u"20260327"})});
}

}  // namespace

int main(int argc, char** argv) {
  int seconds = argc > 1 ? StrToIntDef(argv[1], 3) : 3;
  std::string folder = (std::filesystem::temp_directory_path() / "vx_appserver_bench").string();
  std::filesystem::remove_all(folder);
  TAppServerConfig config;
  config.DatabaseFile = folder + "/AppServer.db";
  config.Zone = "UTC";
  config.InstallFolder = folder + "/";
  bool grouped = !(argc > 2 && std::string(argv[2]) == "--single");
  if (grouped) config.Committer = std::make_shared<TJobCommitter>(config);
  ScopedClassRegistration reg(kServerClassID,
                              [config] { return std::make_shared<TReportCounter>(config); });
  TRemoteServerOptions options;
  options.AllowedClasses = {kServerClassID};
  options.WorkerThreads = 8;
  TRemoteServer server(options);
  server.Start();
  Variant params = JobParams();
  std::printf("durable submissions (Request, SQLite WAL, synchronous=FULL, %s) over 127.0.0.1\n",
              grouped ? "group commit" : "one commit per job");
  for (int clients : {1, 2, 4, 8}) {
    std::atomic<long> done{0}, refused{0};
    std::atomic<bool> stop{false};
    std::vector<std::thread> threads;
    for (int c = 0; c < clients; ++c)
      threads.emplace_back([&] {
        auto channel = TRemoteChannel::Connect("127.0.0.1", server.Port());
        Variant object(channel->CreateObject(kServerClassID));
        while (!stop) {
          if (VarToStr(Call(object, "Request", {params})) == "ERROR")
            ++refused;
          else
            ++done;
        }
      });
    auto start = std::chrono::steady_clock::now();
    std::this_thread::sleep_for(std::chrono::seconds(seconds));
    stop = true;
    for (auto& t : threads)
      t.join();
    double elapsed =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("%d client(s): %8.0f jobs/s  (%ld jobs, %ld refused, %.1f s)\n", clients,
                static_cast<double>(done) / elapsed, done.load(), refused.load(), elapsed);
  }
  server.Stop();
  std::filesystem::remove_all(folder);
  return 0;
}
