#include "register/form5.h"

#include "platform/files.h"
#include "platform/host.h"
#include "register/fileops.h"
#include "register/form1.h"
#include "register/modul1.h"
#include "text/linefile.h"
#include "text/strings.h"

namespace dorv::reg {
using ui::MsgButtons;
using ui::MsgIcon;

Form5::Form5() : Form(L"Form5") {
  move({0, 0, 6135, 3150});
  set_caption(L"Характер расчета");
  Option3.set_caption(L"Расчет решетчатой системы");
  Option1.set_caption(L"Расчет системы произвольной конфигурации   с созданием стандартного файла");
  Option2.set_caption(L"Расчет системы произвольной конфигурации      с подготовкой данных на другом компьютере");
  Command1.set_caption(L"OK");
  Command2.set_caption(L"Cancel");
  set_default_button(&Command1);
  set_cancel_button(&Command2);
  Command1.on_click = [this] { Command1_Click(); };
  Command2.on_click = [this] { Command2_Click(); };
}

void Form5::form_load() {
  ChoicePending = true;
  Option3.set_value(true);
}

void Form5::Command1_Click() {
  const std::wstring kind = Option1.value() ? L"TN" : Option2.value() ? L"TI" : L"R";
  if (kind != L"R" && !Modul1::graphics_link_check()) {
    Modul1::graphics_link_failed();
    return;
  }
  const int result = CreateCalculation(kind);
  ChoicePending = result == -1;
  if (result == 0) unload();
}

void Form5::Command2_Click() { unload(); }

void Form5::form_unload() {
  if (!ChoicePending) return;
  Modul1::ClearWorkingFiles();
  Modul1::release_claimed_number();
  form1().set_enabled(true);
  form1().show();
}

namespace {

// The "TI" import: the chosen ".ko2" file and its "kms" and "dwg" twins
// become rezult.ko2, rezult.kms and rezult.dwg. False when nothing was
// imported (the dialog cancelled, a twin missing, a copy failing).
bool import_network(const std::filesystem::path& folder) {
  std::optional<std::filesystem::path> chosen;
  try {
    chosen = ui::host().open_file_dialog({L"Открытие файла", L"*.ko2|*.ko2", folder});
  } catch (const std::exception&) {
    chosen.reset();
  }
  sys::set_current_folder(folder);
  if (!chosen) return false;
  Modul1::Register.ChosenImportFile = sys::name_of(*chosen);
  // The dialog names the file as this machine does: its path is used as it
  // stands, never read as a name of the program, in which a "\" inside a
  // file name would separate folders and name another file.
  const std::string file = chosen->string();
  const std::string stem = file.substr(0, file.size() >= 3 ? file.size() - 3 : 0);
  const std::filesystem::path kms = stem + "kms";
  const std::filesystem::path dwg = stem + "dwg";
  auto not_found = [](const std::filesystem::path& twin) {
    ui::msg_box(L"Не найден файл  " + sys::name_of(twin), MsgButtons::OK, MsgIcon::Critical);
    return false;
  };
  std::error_code ec;
  if (!std::filesystem::is_regular_file(kms, ec)) return not_found(kms);
  if (!std::filesystem::is_regular_file(dwg, ec)) return not_found(dwg);
  // A copy that fails (a full disk) is told; nothing half-imported stays.
  try {
    sys::create_empty(L"rezult.kms");
    sys::create_empty(L"rezult.dwg");
    copy_file_atomic(*chosen, sys::resolve(L"rezult.ko2"));
    copy_file_atomic(kms, sys::resolve(L"rezult.kms"));
    copy_file_atomic(dwg, sys::resolve(L"rezult.dwg"));
  } catch (const FileError& e) {
    delete_quietly(L"rezult.ko2");
    create_quietly(L"rezult.kms");
    create_quietly(L"rezult.dwg");
    ui::msg_box(L"Данные не загружены. " + e.message(), MsgButtons::OK, MsgIcon::Critical, L"Сообщение");
    return false;
  }
  return true;
}

}  // namespace

int CreateCalculation(const std::wstring& kind) {
  Form1& register_window = form1();
  const std::filesystem::path folder = sys::current_folder();
  Modul1::Register.CurrentCalcId = kind;
  Modul1::PrepareWorkingFiles();
  Modul1::Register.NewCalcId.clear();
  Modul1::Register.NewCalcContract.clear();
  Modul1::Register.NewCalcObject.clear();
  Modul1::Register.ChosenImportFile.clear();

  if (kind == L"TI") {
    if (!import_network(folder)) {
      sys::set_current_folder(folder);
      return -1;
    }
    Modul1::OpenDrawingVersion(Modul1::Register.StoredDrawingPath);
  } else if (kind == L"TN") {
    Modul1::OpenDrawingVersion(Modul1::Register.StoredDrawingPath);
  }
  const bool grid = kind == L"R";
  Modul1::Register.NewCalcId = L" " + whole_text(Modul1::Register.CalcNumberBase + 1) + (grid ? L"-R" : L"-T");
  if (!Modul1::show_calc_form(grid ? Modul1::CalcKind::Grid : Modul1::CalcKind::Arbitrary)) {
    register_window.calc_form_missing(grid ? L'R' : L'T');
    return 0;
  }
  register_window.set_enabled(true);
  return 0;
}

}  // namespace dorv::reg
