// optimer PROBLEM: solves the network problem file and leaves the answer file
// of the same stem with ".out" beside it. The answer is emptied first, so a
// problem that is refused or cannot be solved leaves it empty.
// Exit codes: 0 solved, 1 bad command line, 2 problem file not readable,
// 5 invalid problem, 6 no solution, 7 answer file not writable.
#include <cstdio>
#include <filesystem>
#include <string>

#include "standins/optimer/answer.h"
#include "standins/optimer/network_solver.h"
#include "standins/optimer/problem.h"
#include "text/codepage.h"
#include "text/linefile.h"

namespace fs = std::filesystem;
using namespace dorv;
using namespace dorv::optimer;

namespace {

int say(const std::wstring& text, int code) {
  std::fputs(to_utf8(text).c_str(), stdout);
  std::fflush(stdout);
  return code;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2 || fs::path(argv[1]).extension() == ".out")
    return say(L"\n\nНеправильные параметры программы optimer! Должно быть:\n    optimer файл_задачи\n"
               L"(ответ пишется в файл с тем же именем и расширением .out).\n",
               1);
  const fs::path problem_path = argv[1];
  fs::path answer_path = problem_path;
  answer_path.replace_extension(".out");
  const std::wstring name = from_utf8(problem_path.string());
  const std::wstring answer_name = from_utf8(answer_path.string());
  try {
    write_bytes(answer_path, "");
  } catch (const FileError&) {
    return say(L"\n\n\nНе удается создать файл ответа  " + answer_name + L" !\n\n", 7);
  }
  const auto bytes = try_read_bytes(problem_path);
  if (!bytes) return say(L"\n\n\nНе найден файл  " + name + L" !\n\n", 2);
  Problem problem;
  try {
    problem = parse_problem(*bytes);
  } catch (const ProblemError& e) {
    return say(L"\n\n\nОшибка в файле задачи  " + name +
                   (e.line() > 0 ? L" (строка " + std::to_wstring(e.line()) + L")" : std::wstring()) +
                   L":\n" + e.text() + L"\n\n",
               5);
  }
  Solution solution;
  try {
    solution = solve_problem(problem);
  } catch (const ProblemError& e) {
    return say(L"\n\n\nЗадача  " + name + L"  не решена:\n" + e.text() + L"\n\n", 6);
  }
  try {
    write_bytes_atomic(answer_path, format_answer(problem, solution));
  } catch (const FileError&) {
    return say(L"\n\n\nНе удается записать файл ответа  " + answer_name + L" !\n\n", 7);
  }
  return 0;
}
