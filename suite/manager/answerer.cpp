#include "suite/manager/answerer.h"

#include <cstdlib>
#include <fstream>

#include "platform/rtl/text.h"

namespace vx::manager {
namespace {

// A settings file of answers is a handful of lines; anything larger is not
// one.
constexpr std::size_t kMaxAnswerFileSize = 64 * 1024;
constexpr std::size_t kMaxQueuedAnswers = 1000;

std::string LookupKey(const std::string& table, const std::string& query) {
  return UpperCase(Trim(table)) + ";" + Trim(query);
}

}  // namespace

TScriptedAnswerer::TScriptedAnswerer() {
  if (const char* file = std::getenv("VX_F2_ANSWERS_FILE"); file && *file) {
    std::ifstream in(file, std::ios::binary);
    std::string text(kMaxAnswerFileSize + 1, '\0');
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<std::size_t>(in.gcount()));
    if (text.size() <= kMaxAnswerFileSize) AddStanding(text, '\n');
  }
  if (const char* entries = std::getenv("VX_F2_ANSWERS"); entries && *entries)
    AddStanding(std::string(entries).substr(0, kMaxAnswerFileSize), '|');
}

void TScriptedAnswerer::AddStanding(const std::string& entries, char separator) {
  std::size_t start = 0;
  while (start <= entries.size()) {
    std::size_t end = entries.find(separator, start);
    if (end == std::string::npos) end = entries.size();
    std::string entry = Trim(std::string_view(entries).substr(start, end - start));
    start = end + 1;
    const std::size_t eq = entry.find('=');
    if (entry.empty() || entry[0] == '#' || eq == std::string::npos || eq == 0) continue;
    standing_[UpperCase(Trim(entry.substr(0, eq)))] = Trim(entry.substr(eq + 1));
  }
}

void TScriptedAnswerer::Push(const std::string& key, const std::string& value) {
  auto& queue = queued_[UpperCase(Trim(key))];
  if (queue.size() < kMaxQueuedAnswers) queue.push_back(value);
}

std::optional<std::string> TScriptedAnswerer::Answer(const std::string& key) {
  const std::string k = UpperCase(key);
  if (auto q = queued_.find(k); q != queued_.end() && !q->second.empty()) {
    std::string value = std::move(q->second.front());
    q->second.pop_front();
    return value;
  }
  if (auto s = standing_.find(k); s != standing_.end()) return s->second;
  return std::nullopt;
}

std::optional<std::size_t> TScriptedAnswerer::ChooseRow(const TLookupChoice& choice) {
  if (!choice.Rows || choice.Rows->empty()) return std::nullopt;
  const std::optional<std::string> answer = Answer(LookupKey(choice.Table, choice.Query));
  if (!answer) return 0;
  if (answer->empty()) return std::nullopt;
  for (std::size_t r = 0; r < choice.Rows->size(); ++r) {
    const auto& row = (*choice.Rows)[r];
    if (!row.empty() && Trim(VarToStr(row[0])) == *answer) return r;
  }
  return std::nullopt;
}

std::string TScriptedAnswerer::ChooseDate(bool, const std::string& start) {
  return Answer("DATE").value_or(start);
}

std::string TScriptedAnswerer::ChoosePhrase(const std::string&) {
  return Answer("PHRASE").value_or(std::string());
}

}  // namespace vx::manager
