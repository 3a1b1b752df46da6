// The English report rezangl.txt of an arbitrary network, written by the
// print command when the user chooses English. It is not a translation of
// rezres.txt: it is built anew, in US or West-European units, from Form4's
// fields, the results the last calculation left on the form and the form's
// network tables, as a report file the arbitrary-network pagination prints
// like the Russian one (line 1 empty and never printed, every later line led
// by its class marker).
#pragma once
#include <filesystem>
#include <string>
#include <vector>

#include "arbmodel/form4_state.h"
#include "arbmodel/form_texts.h"
#include "reportkit/english_start.h"
#include "reportkit/report_units.h"

namespace dorv::arbprint {

using report::EnglishReportEnd;
using report::EnglishReportResult;
using report::ReportUnits;
using Lines = std::vector<std::wstring>;

// Asks for the unit system ("Выбор версии печати", Yes US, No West-European,
// Cancel) and writes rezangl.txt in `folder` from the form of a computed
// network. `english_object_name` is the program-wide English object name: it
// is set anew from nazangl.txt in `folder` (empty without it) and printed as
// the project name in place of the form's object name.
//   Written    rezangl.txt is complete; result.units says in which units
//              (the pagination's continuation headers need them).
//   Cancelled  the question was cancelled: nothing written, nothing to print,
//              the command ends silently; the name is left as it was.
//   Failed     rezangl.txt could not be written: the user has been told, the
//              previous rezangl.txt is untouched, nothing is to be printed.
// The caller has checked that the calculation's results are there (rezres.txt
// and spr.out present, the form's results valid); nothing is read from
// spr.out.
EnglishReportResult make_english_arbitrary_report(const arb::NetworkFormTexts& form, const arb::Form4State& s,
                                                  const std::filesystem::path& folder, std::wstring& english_object_name);

// The whole report's lines, the empty first line included.
Lines english_arbitrary_report_lines(const arb::NetworkFormTexts& form, const arb::Form4State& s,
                                     const std::wstring& english_object_name, ReportUnits units);

// ---- the stages of the report, in the order it is written ----
// Title, project (wrapped), contract and the initial data.
void write_english_head(Lines& out, const arb::NetworkFormTexts& form, const arb::Form4State& s,
                        const std::wstring& english_object_name, ReportUnits units);
// The heads and flows at the outlets, in blocks of seven.
void write_english_outlet_table(Lines& out, const arb::Form4State& s, ReportUnits units);
// The heads and flows of the pipe sections, between its two rules.
void write_english_pipe_table(Lines& out, const arb::Form4State& s, ReportUnits units);
// Its column heads, also where a printed page continues the table.
Lines english_pipe_table_heads(ReportUnits units);
// The footnotes, the flows and heads of the result panel and the signature.
void write_english_closing(Lines& out, const arb::NetworkFormTexts& form, const arb::Form4State& s, ReportUnits units);

// ---- number forms of the initial data and the closing block ----
// A value from 0 to below 1 as " 0.74" (0 as " 00"), one blank wider than a
// value of 1 and more ("12.5"); a negative value keeps its sign ("-0.5", "-3").
std::wstring led_fraction_text(double v);
// The same without the blank before a value below 1 ("0.74", "00").
std::wstring fraction_text(double v);

}  // namespace dorv::arbprint
