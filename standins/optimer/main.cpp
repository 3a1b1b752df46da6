// optimer PROBLEM: solves the network problem file and leaves the answer file
// of the same stem with ".out" beside it. The answer is emptied first, so a
// problem that is refused or cannot be solved leaves it empty.
// Exit codes: 0 solved, 1 bad command line, 2 problem file not readable,
// 5 invalid problem, 6 no solution, 7 answer file not writable.
#include <cstdio>
#include <filesystem>
#include <string>

#include "standins/optimer/run.h"
#include "text/codepage.h"

int main(int argc, char** argv) {
  std::wstring message;
  int code = 1;
  if (argc != 2 || std::filesystem::path(argv[1]).extension() == ".out")
    message = L"\n\nНеправильные параметры программы optimer! Должно быть:\n    optimer файл_задачи\n"
              L"(ответ пишется в файл с тем же именем и расширением .out).\n";
  else
    code = dorv::optimer::run_optimer(argv[1], message);
  if (!message.empty()) {
    std::fputs(dorv::to_utf8(message).c_str(), stdout);
    std::fflush(stdout);
  }
  return code;
}
