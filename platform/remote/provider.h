#pragma once
// The provider side of the client data set: a table of records that a
// server object hands out and takes changes back to. The protocol, on the
// server object, with variant arrays of lower bound 0:
//
//   AS_GetRecords(ProviderName)
//     -> [ [[name, type letter], ...], [[value, ...], ...] ]
//        the field descriptors, then the records in field order
//   AS_ApplyUpdates(ProviderName, changes)
//     changes: [ ["U", original values, new values], ... ]
//     -> empty text when every change was applied, else the reason of the
//        first one refused (the changes before it stay applied); a change
//        whose new values the table already holds counts as applied
//
// Type letters: "S" text, "W" wide text, "M" memo, "H" small integer,
// "I" integer, "L" large integer, "B" boolean, "F" float, "D" date-time.
#include <functional>
#include <map>
#include <span>
#include <string>
#include <vector>

#include "platform/automation/dispatch.h"
#include "platform/ui/dataset.h"

namespace vx {

inline constexpr const char* kGetRecordsMethod = "AS_GetRecords";
inline constexpr const char* kApplyUpdatesMethod = "AS_ApplyUpdates";

// A record as the protocol carries it: an array from 0.
Variant RecordToArray(const TRecordValues& values);
std::string FieldTypeLetter(TFieldType type);
// Raises EDatabaseError for an unknown letter.
TFieldType FieldTypeOfLetter(std::string_view letter);

struct TProviderColumn {
  std::string Name;
  TFieldType Type = ftString;
};

class TTableProvider {
 public:
  // key_fields locate the record a change is meant for; without them every
  // original value must still match.
  explicit TTableProvider(std::vector<TProviderColumn> columns,
                          std::vector<std::string> key_fields = {});

  const std::vector<TProviderColumn>& Columns() const { return columns_; }
  // Raises EDatabaseError when a record has the wrong number of values.
  void SetRecords(std::vector<TRecordValues> records);
  const std::vector<TRecordValues>& Records() const { return records_; }

  // The answer of AS_GetRecords.
  Variant GetRecords() const;
  // The answer of AS_ApplyUpdates. A malformed change list is refused as a
  // whole before anything is applied.
  std::string ApplyUpdates(const Variant& changes);

  // Runs before each change is applied (where a server stores it in its own
  // table); a non-empty answer refuses the change with that reason.
  std::function<std::string(const TRecordValues& original, const TRecordValues& changed)> OnUpdate;

 private:
  int Locate(const TRecordValues& original) const;
  std::vector<TProviderColumn> columns_;
  std::vector<std::size_t> key_columns_;
  std::vector<TRecordValues> records_;
};

// The providers of one server object by name ("pvdConSave").
class TProviders {
 public:
  TTableProvider& Add(std::string_view name, TTableProvider provider);
  // nullptr when none; names compare without regard to case.
  TTableProvider* Find(std::string_view name);
  // Whether method is one of the provider calls.
  static bool Handles(std::string_view method);
  // Answers a provider call; raises EOleError for an unknown provider or
  // wrong arguments.
  Variant Invoke(std::string_view method, std::span<Arg> args);

 private:
  std::map<std::string, TTableProvider> providers_;  // keyed by upper-cased name
};

}  // namespace vx
