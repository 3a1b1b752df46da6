// netexport: our own stand-in for the graphics application's export. Reads a
// plain-text description of a network (UTF-8) and writes the network data
// file NAME.ko2 and the scheme file NAME.kms (windows-1251, CR LF) that the
// desktop program imports. See the README for the description's format.
//
//   netexport [-t trub.inf] [-o folder] [-n name] [-w] description.txt
//
// -t the pipe standard file (default trub.inf in the current folder), -o the
// folder to write into (default the current one), -n the files' name
// (default rezult), -w also an empty drawing NAME.dwg, the third file that
// the register's import of a network prepared elsewhere looks for.
// Exit codes: 0 written, 1 bad command line, 2 a file not readable or not
// writable, 3 a mistake in the description.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "standins/netexport/description.h"
#include "standins/netexport/export.h"
#include "tables/pipe_standard.h"
#include "text/codepage.h"
#include "text/linefile.h"

namespace fs = std::filesystem;
using namespace dorv;

namespace {

int say(const std::wstring& text, int code) {
  std::fputs(to_utf8(text + L"\n").c_str(), stderr);
  return code;
}

std::wstring name_of(const fs::path& p) { return from_utf8(p.string()); }

}  // namespace

int main(int argc, char** argv) {
  fs::path pipes = "trub.inf", folder = ".", input;
  std::string name = "rezult";
  bool drawing = false;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if ((a == "-t" || a == "-o" || a == "-n") && i + 1 < argc) {
      const std::string v = argv[++i];
      if (a == "-t") pipes = v;
      if (a == "-o") folder = v;
      if (a == "-n") name = v;
    } else if (a == "-w") {
      drawing = true;
    } else if (input.empty() && !a.empty() && a[0] != '-') {
      input = a;
    } else {
      input.clear();
      break;
    }
  }
  if (input.empty() || name.empty())
    return say(L"Вызов: netexport [-t trub.inf] [-o папка] [-n имя] [-w] описание_сети.txt", 1);

  const auto bytes = try_read_bytes(input);
  if (!bytes) return say(L"Не удается прочитать описание сети " + name_of(input), 2);
  netexport::Description d;
  try {
    d = netexport::parse_description(split_lines(from_utf8(*bytes)));
  } catch (const netexport::DescriptionError& e) {
    return say(name_of(input) + (e.line() > 0 ? L", строка " + std::to_wstring(e.line()) : std::wstring()) + L": " +
                   e.text(),
               3);
  }
  // The standards are found as the arbitrary form finds them.
  constexpr auto kStandardName = tables::StandardName::PartOfHeader;
  constexpr auto kRowNumbers = tables::RowNumbers::PerLine;
  const auto pipe_lines = try_read_lines(pipes);
  if (!pipe_lines) return say(L"Не удается прочитать файл сортаментов труб " + name_of(pipes), 2);
  const auto main_table = tables::load_pipe_table(*pipe_lines, d.standard, kStandardName, kRowNumbers);
  if (!main_table) return say(L"Сортамента «" + d.standard + L"» нет в файле " + name_of(pipes), 3);
  tables::PipeTable second_table;
  if (!d.second_standard.empty()) {
    const auto t = tables::load_pipe_table(*pipe_lines, d.second_standard, kStandardName, kRowNumbers);
    if (!t) return say(L"Сортамента «" + d.second_standard + L"» нет в файле " + name_of(pipes), 3);
    second_table = *t;
  }
  netexport::Export e;
  try {
    e = netexport::build_export(d, *main_table, second_table);
  } catch (const netexport::DescriptionError& err) {
    return say(name_of(input) + L": " + err.text(), 3);
  }
  const fs::path stem = folder / name;
  try {
    write_lines(fs::path(stem).concat(".ko2"), e.network);
    write_lines(fs::path(stem).concat(".kms"), e.scheme);
    if (drawing) write_bytes(fs::path(stem).concat(".dwg"), "");
  } catch (const FileError& err) {
    return say(L"Не удается записать " + name_of(err.path()), 2);
  }
  return 0;
}
