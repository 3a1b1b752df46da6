// What both English reports do before they write a line: ask for the unit
// system, take the English object name, and tell the print command how the
// report ended.
#pragma once
#include <filesystem>
#include <optional>
#include <string>

#include "reportkit/report_units.h"

namespace dorv::report {

// How an English report ended.
enum class EnglishReportEnd {
  Written,    // rezangl.txt is complete
  Cancelled,  // the unit question was cancelled: the command ends silently
  Failed,     // the user has been told why; nothing is to be printed
};
struct EnglishReportResult {
  EnglishReportEnd end = EnglishReportEnd::Failed;
  ReportUnits units = ReportUnits::US;
};

// The unit question "Выбор версии печати": Yes US units, No West-European
// units, Cancel nothing.
std::optional<ReportUnits> ask_report_units();

// The first line of nazangl.txt in the folder, or the empty text when the
// file is absent or empty.
std::wstring english_object_name_in(const std::filesystem::path& folder);

// The start of an English report: the unit question and, when it is
// answered, the English object name taken anew from the folder. The result
// is Cancelled, or Failed with the chosen units until the report is written.
EnglishReportResult start_english_report(const std::filesystem::path& folder, std::wstring& english_object_name);

// The valve type of a valve text "0.0019 (УУСЗ-65)": the text between the
// first "(" and the ")" after it (to the end when it is never closed);
// nothing when the text has no "(".
std::optional<std::wstring> valve_type_in(const std::wstring& valve);

}  // namespace dorv::report
