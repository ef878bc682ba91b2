#pragma once
// Where the manager finds the suite's data: the installation folder, its
// databases and the release store, and the few values it answers with.
#include <string>

#define VX_MANAGER_API __attribute__((visibility("default")))

namespace vx::manager {

struct TManagerConfig {
  // Installation folder, ending in a separator; the alert log goes below it.
  std::string InstallFolder;
  // Folder of the database files: "<system database>.db" and the company
  // files that the system database's company table names.
  std::string DataFolder;
  // The download package's release store, and the address clients reach it
  // by (the folder itself when empty).
  std::string ReleaseFolder;
  std::string ReleaseAddress;
  // The system database used where a caller does not name one.
  std::string SystemDB = "VXSYS";
  // The company the shell is signed in to; the validator reads its data.
  std::string CompanyID;
  // Interface code page of the client configuration: "936", "950" or "437".
  std::string UICodePage = "936";
  int ProductID = 2;
  int VersionType = 1;
};

// Folder defaults below an installation folder: Data/ and Release/.
VX_MANAGER_API TManagerConfig ConfigForInstallation(const std::string& install_folder);

// The configuration as the rest of the suite finds it: the installation
// folder from the registry key "Software\VRX\Sorvenda" ("ClientPath", else
// "ServerPath"), the interface code page from the client configuration, and
// optional values of the key "Software\VRX\Sorvenda\Manager": "DataPath",
// "ReleasePath", "ReleaseAddress", "SystemDB", "CompanyID", "ProductID",
// "VersionType". Paths that are not complete are taken below the
// installation folder.
VX_MANAGER_API TManagerConfig LoadManagerConfig();

}  // namespace vx::manager
