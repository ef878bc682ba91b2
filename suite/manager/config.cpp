#include "suite/manager/config.h"

#include "env/sorvenda_ini.h"
#include "lib/alert_log.h"
#include "platform/os/paths.h"
#include "platform/os/registry.h"
#include "platform/rtl/text.h"

namespace vx::manager {
namespace {

constexpr const char* kManagerKey = "Software\\VRX\\Sorvenda\\Manager";

}  // namespace

TManagerConfig ConfigForInstallation(const std::string& install_folder) {
  TManagerConfig config;
  config.InstallFolder = IncludeTrailingPathDelimiter(NormalizePath(install_folder));
  config.DataFolder = IncludeTrailingPathDelimiter(JoinPath(config.InstallFolder, "Data"));
  config.ReleaseFolder = IncludeTrailingPathDelimiter(JoinPath(config.InstallFolder, "Release"));
  return config;
}

TManagerConfig LoadManagerConfig() {
  TManagerConfig config = ConfigForInstallation(GetInstallFolder());
  // Without an installation there is no client configuration to read.
  if (!config.InstallFolder.empty()) {
    TSorvendaIniC client;
    if (!client.UICodePage.empty()) config.UICodePage = client.UICodePage;
  }

  TRegistry reg;
  if (!reg.OpenKeyReadOnly(kManagerKey)) return config;
  auto folder = [&](const char* name, std::string& target) {
    std::string value = Trim(reg.ReadString(name));
    if (!value.empty())
      target = IncludeTrailingPathDelimiter(ExpandWorkPath(value, config.InstallFolder));
  };
  auto text = [&](const char* name, std::string& target) {
    std::string value = Trim(reg.ReadString(name));
    if (!value.empty()) target = value;
  };
  auto number = [&](const char* name, int& target) {
    if (auto v = TryStrToInt(Trim(reg.ReadString(name)))) target = *v;
  };
  folder("DataPath", config.DataFolder);
  folder("ReleasePath", config.ReleaseFolder);
  text("ReleaseAddress", config.ReleaseAddress);
  text("SystemDB", config.SystemDB);
  text("CompanyID", config.CompanyID);
  number("ProductID", config.ProductID);
  number("VersionType", config.VersionType);
  return config;
}

}  // namespace vx::manager
