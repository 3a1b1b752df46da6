#include "standins/optimer/run.h"

#include "standins/optimer/answer.h"
#include "standins/optimer/network_solver.h"
#include "standins/optimer/problem.h"
#include "text/codepage.h"
#include "text/linefile.h"

namespace dorv::optimer {

int run_optimer(const std::filesystem::path& problem_path, std::wstring& message) {
  std::filesystem::path answer_path = problem_path;
  answer_path.replace_extension(".out");
  const std::wstring name = from_utf8(problem_path.string());
  const std::wstring answer_name = from_utf8(answer_path.string());
  auto say = [&](const std::wstring& text, int code) {
    message = text;
    return code;
  };
  message.clear();
  try {
    write_bytes(answer_path, "");
  } catch (const FileError&) {
    return say(L"\n\n\nНе удается создать файл ответа  " + answer_name + L" !\n\n", 7);
  }
  Problem problem;
  try {
    // The text goes as soon as it is parsed, leaving its room to the solve.
    const auto bytes = try_read_file(problem_path);
    if (!bytes) return say(L"\n\n\nНе найден файл  " + name + L" !\n\n", 2);
    problem = parse_problem(bytes->view());
  } catch (const ProblemError& e) {
    return say(L"\n\n\nОшибка в файле задачи  " + name +
                   (e.line() > 0 ? L" (строка " + std::to_wstring(e.line()) + L")" : std::wstring()) + L":\n" +
                   e.text() + L"\n\n",
               5);
  }
  Solution solution;
  try {
    solution = solve_problem(problem);
  } catch (const ProblemError& e) {
    return say(L"\n\n\nЗадача  " + name + L"  не решена:\n" + e.text() + L"\n\n", 6);
  }
  try {
    replace_bytes_in_parts(answer_path, [&](const ByteSink& put) { write_answer(problem, solution, put); });
  } catch (const FileError&) {
    return say(L"\n\n\nНе удается записать файл ответа  " + answer_name + L" !\n\n", 7);
  }
  return 0;
}

}  // namespace dorv::optimer
