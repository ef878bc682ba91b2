#pragma once
// How the lookup window, the date picker and the phrase list answer. Headless
// they answer by rule or script; the desktop puts real windows behind the
// same interface.
#include <deque>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/automation/variant.h"
#include "suite/manager/config.h"

namespace vx::manager {

struct TLookupChoice {
  std::string Table;
  std::string Query;
  std::string StartText;
  // The rows of the list, already filtered by the starting text.
  const std::vector<std::vector<Variant>>* Rows = nullptr;
};

class VX_MANAGER_API IF2Answerer {
 public:
  virtual ~IF2Answerer() = default;
  // The chosen row, or nothing when the user chose nothing.
  virtual std::optional<std::size_t> ChooseRow(const TLookupChoice& choice) = 0;
  // The chosen date "YYYYMMDD"; empty when the user cancelled. start is the
  // date offered ("YYYYMMDD" or empty).
  virtual std::string ChooseDate(bool roc_calendar, const std::string& start) = 0;
  virtual std::string ChoosePhrase(const std::string& user_id) = 0;
};

// The headless rule: a scripted answer when there is one, else the first
// row / the offered date / no phrase.
//
// Answers are keyed "<TABLE>;<QUERY>" (lookups, e.g. "INVTE;01=W24001": the
// row whose first column is W24001; an empty value chooses nothing), "DATE"
// and "PHRASE". Queued answers (Push) are used once each, in order, before
// the standing ones, which come from the environment variable VX_F2_ANSWERS
// (entries separated by "|") and the file it names in VX_F2_ANSWERS_FILE (one
// entry a line, "#" starts a comment).
class VX_MANAGER_API TScriptedAnswerer : public IF2Answerer {
 public:
  TScriptedAnswerer();
  // Adds standing answers from text in the format above; malformed entries
  // are skipped.
  void AddStanding(const std::string& entries, char separator);
  void Push(const std::string& key, const std::string& value);

  std::optional<std::size_t> ChooseRow(const TLookupChoice& choice) override;
  std::string ChooseDate(bool roc_calendar, const std::string& start) override;
  std::string ChoosePhrase(const std::string& user_id) override;

 private:
  std::optional<std::string> Answer(const std::string& key);

  std::map<std::string, std::deque<std::string>> queued_;  // by upper-case key
  std::map<std::string, std::string> standing_;
};

}  // namespace vx::manager
