// rezult1.txt after a completed run: the 15 head lines from the input
// fields (a given inlet head recorded after the pipe standard, the loaded
// intensity after the main sprinklers' intensity) and the five result lines
// after "#####4". The file is replaced whole, so that it is at every moment
// either the old record or the new one.
#include "arbcalc/arbrun.h"
#include "arbmodel/form4_files.h"
#include "arbmodel/network_file.h"
#include "platform/files.h"
#include "text/linefile.h"
#include "text/numtext.h"
#include "text/strings.h"

namespace dorv::arb {

std::vector<std::wstring> head_lines_of(const NetworkFormTexts& f, const ImportedValues& imported) {
  // The contract without the blank the field shows in front: the catalog
  // holds it so, and a catalog rebuilt from the stored records must agree.
  std::vector<std::wstring> out = {
      ltrim(f.Text8), f.Text3,  f.Text1[0], f.Text1[1], f.Text1[2],
      f.Text9,        imported.LoadedValveLine.empty() ? trim(f.Text15) : imported.LoadedValveLine,
      f.Text10,       f.Text11, f.Text12,   f.Text13,   f.Text14,
      f.Text16,       f.Text17, f.Text18};
  if (imported.GivenInletHead > 0) {
    out[2] += L"," + zero_before_point(num_text_trim(round_half_even(imported.LoadedMainIntensity, 3)));
    out[5] += L"," + num_text_trim(imported.GivenInletHead);
  }
  return out;
}

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
