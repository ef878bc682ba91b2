#pragma once
// The release store of the download package: files are published into it
// and described the way the manager's file list answers for them.
#include <string>

#define VX_VAZUVIRURE_API __attribute__((visibility("default")))

namespace vx::release {

// "YYYYMMDDHHNNSS" of the file's modification time in local time; empty when
// the file is missing.
VX_VAZUVIRURE_API std::string FileStamp(const std::string& file);

// Puts file into store_folder as "<lower-case file name>.zip" with one entry
// named as the file and carrying its modification time; an archive already
// there is replaced whole. False, with the reason, when it cannot.
VX_VAZUVIRURE_API bool PutRelease(const std::string& file, const std::string& store_folder,
                                  std::string& error);

// "<Modify>stamp</Modify><Path>address + name</Path>" for the release of name
// in store_folder, the stamp being the entry's time as unpacking restores
// it. address is where clients reach the store (a folder or an http(s)
// address; store_folder when empty). Empty when the store has no release of
// that name.
VX_VAZUVIRURE_API std::string DescribeRelease(const std::string& store_folder,
                                              const std::string& name,
                                              const std::string& address = {});

}  // namespace vx::release
