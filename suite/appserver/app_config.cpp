#include "suite/appserver/app_config.h"

#include <cstdlib>

#include "env/sorvenda_ini.h"
#include "lib/alert_log.h"
#include "platform/rtl/text.h"
#include "suite/appserver/job_runner.h"

namespace vx::appserver {

TInstant SystemNow() {
  return std::chrono::duration_cast<std::chrono::seconds>(
             std::chrono::system_clock::now().time_since_epoch())
      .count();
}

TAppServerConfig DefaultConfig() {
  TAppServerConfig c;
  TSorvendaIniS ini;
  c.InstallFolder = ini.BasePath;
  if (ini.ErrorCode.empty()) {
    c.LibraryFolders = ini.WorkDLLPaths;
    if (ini.DBSettings.IsArray()) c.Port = StrToIntDef(VarToStr(ini.DBSettings.At({2, 1})), 211);
  }
  if (!ini.BasePath.empty()) c.DatabaseFile = ini.BasePath + "Data/AppServer.db";
  if (const char* db = std::getenv("VX_APPSERVER_DB"); db && *db) c.DatabaseFile = db;
  if (const char* zone = std::getenv("VX_APPSERVER_ZONE"); zone && IsKnownZone(zone))
    c.Zone = zone;
  else
    c.Zone = DefaultZone();
  if (const char* limit = std::getenv("VX_APPSERVER_RUN_LIMIT"))
    if (auto s = TryStrToInt(limit); s && *s > 0) c.RunLimit = std::chrono::seconds(*s);
  c.JobHost = DefaultJobHost();
  return c;
}

void LogServer(const TAppServerConfig& config, const std::string& text) {
  if (config.InstallFolder.empty())
    WriteAlertLog("AppServer", text);
  else
    WriteAlertLogIn(config.InstallFolder, "AppServer", text);
}

}  // namespace vx::appserver
