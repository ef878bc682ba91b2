#pragma once
// The statements the batch run's alert messages are written with, built the
// way the batch form builds them (spacing included), so that they are tested
// exactly as they run.
#include <string>
#include <string_view>

#include "platform/rtl/text.h"

namespace vx::test {

// "$$" stands for the system database followed by "..".
inline std::string AlertConfigStatement(std::string_view system_db) {
  std::string sql =
      " SELECT MD001, MD002, MD003, MD006, ISNULL(MD007, '') MD007  FROM $$TMCMD  LEFT JOIN "
      "$$TMCMC ON MC001 = MD001 AND MC002 = MD002  WHERE UPPER(MC005) = :MC005  AND MD004 = "
      ":MD004 ";
  std::string prefix = std::string(system_db) + "..";
  for (std::size_t p = sql.find("$$"); p != std::string::npos; p = sql.find("$$", p))
    sql.replace(p, 2, prefix);
  return Trim(sql);
}

inline constexpr std::string_view kCurrentTimeStatement = " SELECT GETDATE() DATEX ";

inline std::string NumberingStatement(std::string_view day) {
  std::string d(day);
  return std::string(" SELECT (SELECT CASE WHEN MAX(TC001) IS NULL THEN '") + d + "000001" + "' " +
         " ELSE CONVERT(CHAR(14), CAST(MAX(TC001) AS BIGINT) + 1) END " + " FROM " +
         " (SELECT MAX(TC001) TC001 FROM ADMTC WHERE TC004 LIKE '" + d + "%' " + " UNION " +
         " SELECT MAX(TD001) TD001 FROM ADMTD WHERE TD004 LIKE '" + d + "%') B) SEQX ";
}

inline constexpr std::string_view kInsertAlertStatement =
    " INSERT INTO ADMTC (TC001, TC002, TC003, TC004, TC005, TC006, TC007, TC008, TC009,  "
    "COMPANY, CREATOR, CREATE_DATE, FLAG)  VALUES (:TC001, :TC002, :TC003, :TC004, :TC005, "
    ":TC006, :TC007, :TC008, :TC009,:COMPANY, :CREATOR, :CREATE_DATE, :FLAG) ";

}  // namespace vx::test
