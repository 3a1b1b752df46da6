// rezult1.txt after a completed run: the 15 head lines from the input
// fields (a given inlet head recorded after the pipe standard, the loaded
// intensity after the main sprinklers' intensity) and the five result lines
// after "#####4". The file is replaced whole, so that it is at every moment
// either the old record or the new one.
#include "arbcalc/arbrun.h"
#include "arbmodel/form4_files.h"
#include "arbmodel/head_lines.h"
#include "arbmodel/network_file.h"
#include "platform/files.h"
#include "text/linefile.h"
#include "text/strings.h"

namespace dorv::arb {

StageEnd update_network_record(ArbRun& run) {
  NetworkFormTexts& f = run.f;
  Form4State& s = run.s;
  const std::wstring name = s.imported.NetworkFileName;
  // A record that cannot be read has no marker either: refused below.
  const auto lines = read_file_lines(name).value_or(std::vector<std::wstring>{});
  std::size_t marker = kHeadLines;
  while (marker < lines.size() && !contains(lines[marker], L"#####4")) ++marker;
  if (lines.size() < kHeadLines || marker >= lines.size())
    return refuse(L"Файл исходных данных расчета " + name +
                      L" поврежден (нет строки #####4): результаты расчета в него не записаны. Загрузите данные "
                      L"заново.",
                  L"Остановка расчета из-за ошибки");

  std::vector<std::wstring> out = head_lines_of(f, s.imported);
  out.insert(out.end(), lines.begin() + kHeadLines, lines.begin() + static_cast<std::ptrdiff_t>(marker) + 1);
  for (int i = 0; i < 3; ++i) out.push_back(f.Text5[i]);
  out.push_back(s.imported.ControlUnitSectionStart);
  out.push_back(s.imported.ControlUnitSectionEnd);
  try {
    write_lines_atomic(sys::resolve(name), out);
  } catch (const FileError&) {
    return refuse(L"Не удается записать файл исходных данных расчета " + name + L".",
                  L"Остановка расчета из-за ошибки");
  }
  return StageEnd::Continue;
}

}  // namespace dorv::arb
