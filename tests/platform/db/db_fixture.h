#pragma once
// A temporary folder with database files made for a test.
#include <string>
#include <string_view>

#include "platform/db/engine.h"
#include "tests/support/temp_folder.h"

namespace vx::test {

class DbFolder : public TempFolder {
 public:
  // Creates the database file `name` and runs the script in it.
  std::string MakeDatabase(std::string_view name, std::string_view script) const {
    std::string file = Path(name);
    auto session = db::OpenSession("Data Source=\"" + file + "\";Create=True");
    if (!script.empty()) session->ExecuteScript(script);
    return file;
  }
};

}  // namespace vx::test
