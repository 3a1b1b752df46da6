#include "register/form1.h"

#include <algorithm>
#include <climits>
#include <filesystem>
#include <set>

#include "platform/files.h"
#include "platform/host.h"
#include "register/fileops.h"
#include "register/form5.h"
#include "register/modul1.h"
#include "register/registerlock.h"
#include "text/codepage.h"
#include "text/itemreader.h"
#include "text/linefile.h"
#include "text/number.h"
#include "text/numtext.h"
#include "text/strings.h"

namespace dorv::reg {
namespace fs = std::filesystem;
using ui::MsgButtons;
using ui::MsgIcon;
using ui::MsgResult;

namespace {

Form1* g_form1 = nullptr;

// The number at the start of a stored file's name ("12in.prr" -> 12).
std::optional<long long> leading_number(std::wstring_view name) {
  std::size_t i = 0;
  while (i < name.size() && name[i] >= L'0' && name[i] <= L'9') ++i;
  if (i == 0 || i > kLargestCalcNumberDigits) return std::nullopt;
  return std::stoll(std::wstring(name.substr(0, i)));
}

// The contract of a stored grid report: the text after "Договор: " of its
// contract line, without the blanks the form's contract field puts before
// it, so that the rebuilt catalog holds the contract as the forms store it;
// empty when the report has no such line (or is empty).
std::wstring report_contract(const std::wstring& report) {
  const auto lines = try_read_lines(sys::resolve(report));
  if (!lines) return {};
  for (const auto& line : *lines) {
    if (!contains(line, L"Договор:")) continue;
    const auto colon = line.find(L':');
    return colon + 2 <= line.size() ? ltrim(line.substr(colon + 2)) : std::wstring();
  }
  return {};
}

// The files of a stored calculation after its number.
constexpr const wchar_t* kStoredSuffixes[] = {L"in.prr", L"res.prr", L".kms", L".dwg", L"angl.txt"};

// A packed file's name must name a file of the target folder itself.
bool plain_file_name(std::wstring_view name) {
  return !name.empty() && name != L"." && name != L".." && name.find_first_of(L"\\/:") == std::wstring_view::npos;
}

}  // namespace

Form1& form1() {
  if (!g_form1) throw std::logic_error("the register window does not exist");
  return *g_form1;
}

bool has_form1() { return g_form1 != nullptr; }

Form1::Form1() : Form(L"Form1"), form5_(std::make_unique<Form5>()) {
  g_form1 = this;
  // A register window starts the program's run: nothing is selected yet.
  Modul1::Register = {};
  Modul1::Register.store_calculation = [this](const CatalogRecord& record, const Modul1::StoreOptions& options) {
    return store_calculation(record, options);
  };
  Modul1::Register.calculation_closed = [this] { calculation_closed(); };
  move({0, 0, 11235, 6780});
  set_caption(L"ВИРН-Дорв " + Modul1::Register.ProgramVersion + L" - Перечень выполненных расчетов");
  Command1.set_caption(L"   Редактир.    расчета");
  Command2.set_caption(L"Новый  расчет");
  Command3.set_caption(L" Выход");
  Command4.set_caption(L"Поиск");
  Command5.set_caption(L"Удаление");
  Command6.set_caption(L" Исполнитель  ");
  Command1.on_click = [this] { Command1_Click(); };
  Command2.on_click = [this] { Command2_Click(); };
  Command3.on_click = [this] { Command3_Click(); };
  Command4.on_click = [this] { Command4_Click(); };
  Command5.on_click = [this] { Command5_Click(); };
  Command6.on_click = [this] { Command6_Click(); };
  ListView1.on_item_click = [this](int) { ListView1_ItemClick(); };
  ListView1.on_dbl_click = [this] { ListView1_DblClick(); };
}

Form1::~Form1() {
  if (g_form1 != this) return;
  g_form1 = nullptr;
  Modul1::Register.store_calculation = nullptr;
  Modul1::Register.calculation_closed = nullptr;
}

// ---------------------------------------------------------------- start-up

void Form1::form_load() {
  // The program folder is the current folder from here on; every file name
  // below is relative to it. A folder that cannot be entered or written to
  // ends the program.
  bool writable = true;
  try {
    sys::set_current_folder(Modul1::program_folder());
  } catch (const std::exception&) {
    writable = false;
  }
  if (writable) Modul1::ClearWorkingFiles();
  Modul1::Register.ProgramVersion = L"5.4.0";
  set_caption(L"ВИРН-Дорв " + Modul1::Register.ProgramVersion + L" - Перечень выполненных расчетов");
  if (writable) {
    try {
      sys::create_empty(L"test");
      sys::delete_file(L"test");
    } catch (const std::exception&) {
      writable = false;
    }
  }
  if (!writable) {
    ui::msg_box(L"У Вас недостаточно прав на работу в каталоге программы!\r\nРабота невозможна.", MsgButtons::OK,
                MsgIcon::Critical, L"Предупреждение");
    ui::end_program(75);
  }

  // The executor.
  if (!sys::file_exists(L"sign.txt")) {
    ExecutorName =
        ui::input_box(L"Укажите инициалы и фамилию исполнителя расчетов на Вашем компьютере", L"Исполнитель");
    // A name that cannot be kept is still used for this run; the start goes on.
    try {
      write_lines_atomic(sys::resolve(L"sign.txt"), {ExecutorName});
    } catch (const FileError& e) {
      ui::show_file_error(e);
    }
  } else {
    ExecutorName = nonempty_file(L"sign.txt") ? first_line(L"sign.txt") : std::wstring();
  }

  Modul1::Register.StorageFolder =
      sys::file_exists(L"nozapas.txt") ? std::wstring() : sys::all_users_folder() + L"\\VIRN-Dorv\\Perform";
  // A save that a crash cut short is finished or undone before anything
  // reads or copies the stored calculations.
  Modul1::recover_storage_at_start(sys::file_exists(L"ined1") ? first_line(L"ined1") : std::wstring());

  // A first start unpacks the example pack and goes through the mirror and
  // the rebuild once more; a second pass never unpacks again.
  std::optional<FileError> rebuild_failed;
  for (int pass = 0;; ++pass) {
    mirror_storage();
    rebuild_failed = rebuild_catalog();
    delete_quietly(L"karman1");
    if (sys::file_exists(L"ined1")) RegisterPrefix = first_line(L"ined1");
    for (const wchar_t* folder : {L"perform", L"versii"}) {
      try {
        if (!sys::folder_exists(folder)) sys::make_folder(folder);
      } catch (const FileError&) {
        // The program folder was found writable above; a folder that still
        // cannot be made is named by the first save or drawing copy that
        // needs it.
      }
    }
    if (ListView1.columns().empty()) {
      ListView1.add_column(L"Номер", 800);
      ListView1.add_column(L"Дог.", 800);
      ListView1.add_column(L"Объект", 30000);
    }
    repair_catalog();
    if (sys::file_exists(catalog())) copy_quietly(catalog(), RegisterPrefix + L"prr2.kat");
    if (sys::file_exists(L"prr.kat") || pass > 0) break;
    UnpackExamplePack(RegisterPrefix + L"perform\\");
  }
  // Something standing at the catalog's name is told by the list load.
  // Without it the register would list nothing although calculations are
  // stored, and say nothing: the user must know why. The next start tries
  // again.
  if (rebuild_failed && !sys::file_exists(L"prr.kat") && !sys::folder_exists(L"prr.kat"))
    ui::show_file_error(*rebuild_failed);
  ReloadRegister();
}

void Form1::mirror_storage() {
  const std::wstring folder = Modul1::Register.StorageFolder;
  if (folder.empty()) return;
  // Every file of one folder is copied into the other under its own name; a
  // name that is no single file name (a shared folder may hold "..\prom3.bat")
  // is not copied, and the user is told.
  const auto copy_files = [](const std::wstring& from, const std::wstring& to) {
    const sys::Listing files = sys::list_files(from + L"\\*.*");
    for (const auto& name : files.names) copy_quietly(from + L"\\" + name, to + L"\\" + name);
    if (files.refused.empty()) return;
    std::wstring text = L"Файлы с недопустимыми именами не скопированы из папки " + from + L" в папку " + to + L":";
    for (const auto& name : files.refused) text += L"\r\n" + name;
    ui::msg_box(text, MsgButtons::OK, MsgIcon::Exclamation, L"Сообщение");
  };
  try {
    if (sys::folder_exists(L"Perform") && !sys::folder_exists(folder)) {
      fs::create_directories(sys::resolve(folder));
      sys::delete_if_exists(L"prr.kat");
      copy_files(L"perform", folder);
    } else if (!sys::folder_exists(L"perform") && sys::folder_exists(folder)) {
      sys::delete_if_exists(L"prr.kat");
      sys::make_folder(L"Perform");
      copy_files(folder, L"perform");
    }
  } catch (const std::exception&) {
    // Without a usable mirror folder the run goes on with the mirror off.
    if (!sys::folder_exists(folder)) Modul1::Register.StorageFolder.clear();
  }
}

namespace {

// The records of the calculations stored in `folder` (ending in its
// separator), by number: one per stored input file that is not empty.
std::vector<CatalogRecord> stored_records(const std::wstring& folder) {
  std::vector<std::pair<long long, std::wstring>> stored;
  for (const auto& name : sys::dir(folder + L"*in.prr"))
    if (auto n = leading_number(name)) stored.emplace_back(*n, name);
  std::stable_sort(stored.begin(), stored.end(), [](const auto& a, const auto& b) { return a.first < b.first; });

  std::vector<CatalogRecord> records;
  for (const auto& [number, name] : stored) {
    const auto lines = try_read_lines(sys::resolve(folder + name));
    if (!lines || !nonempty_file(folder + name)) continue;
    const std::wstring n = whole_text(number);
    const std::wstring line1 = lines->size() > 0 ? (*lines)[0] : std::wstring();
    const std::wstring line2 = lines->size() > 1 ? (*lines)[1] : std::wstring();
    if (is_grid_record(*lines))
      records.push_back({line1, report_contract(folder + n + L"res.prr"), line2});
    else
      records.push_back({n + L"-T", line1, line2});
  }
  return records;
}

// What is wrong with a catalog beside the calculations stored in `folder`:
// empty when nothing is.
std::wstring catalog_fault(const std::string& bytes, const std::wstring& folder) {
  const auto lines = split_lines(from_cp1251(bytes));
  // Blank lines where a record begins are allowed; a record must be whole,
  // and a file cut inside its last line lacks that line's end.
  std::size_t i = 0;
  while (i < lines.size()) {
    if (trim(lines[i]).empty()) {
      ++i;
      continue;
    }
    if (i + 3 > lines.size()) return L"файл оборван внутри записи";
    i += 3;
  }
  if (!bytes.empty() && bytes.back() != '\n' && bytes.back() != '\r') return L"файл оборван внутри записи";
  std::set<long long> listed;
  for (const auto& r : parse_catalog(lines)) listed.insert(calc_number(r.id));
  std::wstring missing;
  for (const auto& name : sys::dir(folder + L"*in.prr")) {
    const auto n = leading_number(name);
    if (!n || listed.contains(*n) || !nonempty_file(folder + name)) continue;
    missing += (missing.empty() ? L"" : L", ") + whole_text(*n);
  }
  if (!missing.empty()) return L"в нем нет сохраненных расчетов с номерами " + missing;
  return {};
}

}  // namespace

std::optional<FileError> Form1::rebuild_catalog() {
  if (!sys::folder_exists(L"Perform") || nonempty_file(L"prr.kat")) return std::nullopt;
  try {
    write_catalog(L"prr.kat", stored_records(L"perform\\"));
  } catch (const FileError& e) {
    return e;  // the start tells it once it has done what it can
  }
  return std::nullopt;
}

void Form1::repair_catalog() {
  const std::wstring cat = catalog();
  const std::wstring folder = RegisterPrefix + L"perform\\";
  if (!sys::folder_exists(RegisterPrefix + L"perform")) return;
  try {
    const auto bytes = read_catalog_bytes(cat);
    if (!bytes || bytes->empty() || catalog_fault(*bytes, folder).empty()) return;
    // Looked at again under the lock: another workstation may be storing a
    // calculation at this moment.
    RegisterLock lock(RegisterPrefix);
    const auto now = read_catalog_bytes(cat);
    if (!now || now->empty()) return;
    const std::wstring fault = catalog_fault(*now, folder);
    if (fault.empty()) return;
    std::wstring kept;
    for (int k = 1; kept.empty(); ++k) {
      const std::wstring name = RegisterPrefix + L"prr-damaged" + (k == 1 ? L"" : L"-" + std::to_wstring(k)) + L".kat";
      if (sys::create_new(name, *now)) kept = name;
    }
    write_catalog(cat, stored_records(folder));
    ui::msg_box(L"Перечень расчетов " + cat + L" поврежден (" + fault +
                    L") и составлен заново по сохраненным расчетам. Поврежденный перечень сохранен в файле " + kept +
                    L".",
                MsgButtons::OK, MsgIcon::Exclamation, L"Сообщение");
  } catch (const RegisterBusy&) {
    // The user was told and gave up waiting; the catalog is looked at again
    // at the next list load.
  } catch (const FileError& e) {
    // A catalog that cannot be read is told by the list load; one that
    // cannot be kept or written stays as it is.
    if (e.step() != FileError::Step::Read) ui::show_file_error(e);
  }
}

void Form1::UnpackExamplePack(const std::wstring& prefix) {
  const auto index = try_read_bytes(sys::resolve(L"demo.ini"));
  const auto pack = try_read_bytes(sys::resolve(L"demo"));
  if (!index || !pack) return;
  ItemReader reader(from_cp1251(*index));
  std::size_t pos = 0;
  while (auto name = reader.next()) {
    const auto length = reader.next();
    if (!length || !length->is_number() || length->number() < 0) break;
    const auto count = static_cast<std::size_t>(length->number());
    if (count > pack->size() - pos) break;  // a pack cut short: no partial file
    const std::string bytes = pack->substr(pos, count);
    pos += count;
    if (!plain_file_name(name->text)) continue;
    const std::wstring target = equal_ignore_case(name->text, L"prr.kat") ? name->text : prefix + name->text;
    try {
      if (sys::file_exists(target) || sys::folder_exists(target)) continue;
      write_bytes_atomic(sys::resolve(target), bytes);
    } catch (const FileError&) {
      // An example that cannot be written is simply not unpacked; the
      // catalog rebuilt from what is stored lists the rest.
    }
  }
}

// ---------------------------------------------------------------- the list

void Form1::ReloadRegister() {
  ListView1.clear_items();
  repair_catalog();
  try {
    fill_list();
  } catch (const FileError& e) {
    // A catalog that cannot be read is said so and left as it is: an empty
    // list here would look like a register without calculations.
    ListView1.clear_items();
    ui::show_file_error(e);
  }
}

void Form1::fill_list() {
  const std::wstring cat = catalog();
  // Blank lines where a record's first line is expected are dropped from the
  // catalog, under the lock and from the catalog as it then stands.
  const auto compacted = [](const std::string& bytes) {
    return to_cp1251(join_lines(catalog_lines(parse_catalog(split_lines(from_cp1251(bytes))))));
  };
  if (const auto bytes = read_catalog_bytes(cat); bytes && compacted(*bytes) != *bytes) {
    try {
      RegisterLock lock(RegisterPrefix);
      if (const auto now = read_catalog_bytes(cat); now && compacted(*now) != *now)
        write_bytes_atomic(sys::resolve(cat), compacted(*now));
    } catch (const RegisterBusy&) {
      // Told to the user; the list below reads past the blank lines anyway.
    } catch (const FileError&) {
      // The catalog stays as it was and the list below reads past its blank
      // lines; the next load tries the compaction again.
    }
  }

  std::wstring source;
  if (sys::file_exists(L"karman1"))
    source = L"karman1";
  else if (nonempty_file(cat))
    source = cat;
  else
    return;
  std::vector<CatalogRecord> records = read_catalog(source);
  for (auto& r : records) {
    const std::wstring id = ltrim(r.id);
    r.id = std::wstring(id.size() < 7 ? 7 - id.size() : 0, L' ') + id;
  }
  try {
    sys::copy_file(source, L"prk.kat");
    write_catalog(L"prk1.kat", records);
  } catch (const FileError&) {
    // Copies of the list kept for the user; the program never reads them.
  }
  for (const auto& r : records) {
    const long long n = calc_number(r.id);
    if (n > Modul1::Register.HighestCalcNumber) Modul1::Register.HighestCalcNumber = static_cast<int>(std::min<long long>(n, INT_MAX));
    ListView1.add_item({r.id, {r.contract, r.object}});
  }
  if (records.empty()) return;
  const int last = ListView1.find_item(records.back().id);
  ListView1.ensure_visible(last);
  ListView1.select(last);
}

void Form1::ListView1_ItemClick() {
  const ui::ListItem* item = ListView1.selected_item();
  if (!item) return;
  const std::wstring object = item->sub_item(3);
  ListView1.set_tool_tip(object.size() >= 71 ? object : std::wstring());
}

void Form1::ListView1_DblClick() { Command1_Click(); }

// ---------------------------------------------------------------- search

void Form1::update_search_caption() { Command4.set_caption(SearchResultShown == 1 ? L"Перечень" : L"Поиск"); }

void Form1::leave_search_result() {
  delete_quietly(L"karman1");
  SearchResultShown = 0;
  update_search_caption();
}

void Form1::show_search_result(const std::vector<CatalogRecord>& hits) {
  SearchResultShown = 1;
  update_search_caption();
  write_catalog(L"karman1", hits);
  ReloadRegister();
}

void Form1::Command4_Click() {
  if (SearchResultShown == 1) {
    leave_search_result();
    ReloadRegister();
    return;
  }
  const std::wstring cat = catalog();
  if (!nonempty_file(cat)) return;
  const auto records = read_catalog(cat);
  std::vector<CatalogRecord> hits;

  LastNumberQuery = ui::input_box(
      L"Введите номер расчета или нажмите кнопку Cancel, если хотите найти расчет по номеру договора",
      L"Поиск по номеру расчета", LastNumberQuery);
  if (const double number = num_value(LastNumberQuery); number != 0) {
    SearchResultShown = 1;
    ListView1.clear_items();
    update_search_caption();
    for (const auto& r : records)
      if (num_value(r.id) == number && contains(r.id, LastNumberQuery)) {
        hits.push_back(r);
        break;
      }
    write_catalog(L"karman1", hits);
    if (!hits.empty()) ListView1.select(ListView1.add_item({hits[0].id, {hits[0].contract, hits[0].object}}));
    return;
  }

  LastContractQuery = ui::input_box(
      L"Введите номер договора или нажмите кнопку Cancel, если хотите найти расчет по фрагменту наименования объекта",
      L"Поиск по номеру договора", LastContractQuery);
  if (const double contract = num_value(LastContractQuery); contract != 0) {
    for (const auto& r : records)
      if (num_value(r.contract) == contract) hits.push_back(r);
    show_search_result(hits);
    return;
  }

  LastFragmentQuery = ui::input_box(
      L"Введите фрагмент названия объекта или нажмите кнопку Cancel, если хотите отказаться от поиска",
      L"Поиск по фрагменту названия объекта", LastFragmentQuery);
  if (!LastFragmentQuery.empty()) {
    for (const auto& r : records)
      if (contains_ignore_case(r.object, LastFragmentQuery)) hits.push_back(r);
    show_search_result(hits);
    return;
  }
  delete_quietly(L"karman1");
  ReloadRegister();
}

// ---------------------------------------------------------------- delete

void Form1::Command5_Click() {
  if (const ui::ListItem* item = ListView1.selected_item()) {
    const std::wstring id = trim(item->text);
    const auto answer = ui::msg_box(L"Вы действительно хотите удалить из списка расчет N " + id + L" со всеми его данными?",
                                    MsgButtons::YesNo, MsgIcon::Question, L"Удаление расчета");
    if (answer == MsgResult::Yes) {
      std::vector<std::wstring> failed;
      bool listed_removed = true;
      std::optional<FileError> unfinished;
      try {
        {
          RegisterLock lock(RegisterPrefix);
          // A save of it that a crash cut short would bring it back later.
          // One that cannot be finished now would be finished later, over
          // this deletion: then nothing is deleted, and the user is told
          // (once the lock is free again).
          try {
            Modul1::recover_storage(RegisterPrefix);
          } catch (const FileError& e) {
            unfinished = e;
          }
          if (!unfinished) remove_record(catalog(), id);
        }
        // A search result in force loses the record too.
        if (!unfinished) remove_record(L"karman1", id);
      } catch (const RegisterBusy&) {
        listed_removed = false;
      } catch (const FileError&) {
        listed_removed = false;
        failed.push_back(catalog());
      }
      if (unfinished) {
        listed_removed = false;
        ui::msg_box(L"Расчет " + id + L" не удален: сохранение, прерванное сбоем, не удалось завершить. " +
                        unfinished->message(),
                    MsgButtons::OK, MsgIcon::Exclamation, L"Удаление расчета");
      }
      if (listed_removed) {
        const std::wstring n = calc_number_text(id);
        for (const auto& folder : stored_folders())
          for (const wchar_t* suffix : {L"res.prr", L"in.prr", L".dwg", L".kms", L"angl.txt"}) {
            try {
              sys::delete_if_exists(folder + n + suffix);
            } catch (const FileError&) {
              failed.push_back(folder + n + suffix);
            }
          }
      }
      update_search_caption();
      if (!failed.empty()) {
        std::wstring text = L"Не удалось удалить:";
        for (const auto& f : failed) text += L"\r\n" + f;
        ui::msg_box(text, MsgButtons::OK, MsgIcon::Exclamation, L"Удаление расчета");
      }
    }
  }
  ReloadRegister();
}

// ---------------------------------------------------------------- edit and new

std::vector<std::wstring> Form1::stored_folders() const {
  std::vector<std::wstring> folders = {RegisterPrefix + L"perform\\"};
  if (!Modul1::Register.StorageFolder.empty()) folders.push_back(Modul1::Register.StorageFolder + L"\\");
  return folders;
}

void Form1::Command1_Click() {
  OpenedFromRegister = true;
  const ui::ListItem* item = ListView1.selected_item();
  if (!item) return;
  SelectedCalcNumber = item->text;
  Modul1::Register.CurrentCalcId = item->text;
  SelectedContract = item->sub_item(2);
  SelectedObject = item->sub_item(3);

  Modul1::set_storage_paths(calc_number(SelectedCalcNumber));
  if (!sys::file_exists(Modul1::Register.StoredInputPath) || !sys::file_exists(Modul1::Register.StoredReportPath)) {
    ui::msg_box(L"Исходный файл не найден.", MsgButtons::OK, MsgIcon::None, L"Сообщение");
    return;
  }
  try {
    Modul1::PrepareWorkingFiles();
  } catch (const FileError& e) {
    Modul1::ClearWorkingFiles();
    ui::msg_box(L"Расчет " + trim(SelectedCalcNumber) + L" не открыт. " + e.message(), MsgButtons::OK,
                MsgIcon::Exclamation, L"Сообщение");
    return;
  }
  CalcNumberBase = 0;

  // The graphics link is checked before any form is shown, so that a failed
  // check never clears the working files under an open form.
  if (sys::file_exists(Modul1::Register.StoredDrawingPath)) {
    if (!Modul1::graphics_link_check()) {
      Modul1::graphics_link_failed();
      return;
    }
    Modul1::OpenDrawingVersion(Modul1::Register.StoredDrawingPath);
  }

  const std::wstring id = rtrim(SelectedCalcNumber);
  const wchar_t kind = id.empty() ? L' ' : id.back();
  const int closings = closings_;
  bool shown = false;
  if (kind == L'R') shown = Modul1::show_calc_form(Modul1::CalcKind::Grid);
  if (kind == L'T') shown = Modul1::show_calc_form(Modul1::CalcKind::Arbitrary);
  if (!shown) {
    calc_form_missing(kind);
    return;
  }
  if (closings_ == closings) hide();
}

bool Form1::number_stored(long long n) const {
  // The catalog may have lost a record (or could not be read) while the
  // calculation's files are still stored: a new calculation never takes a
  // number that would overwrite them.
  for (const auto& folder : stored_folders())
    for (const wchar_t* suffix : kStoredSuffixes)
      if (sys::file_exists(folder + whole_text(n) + suffix)) return true;
  return false;
}

bool Form1::take_new_number() {
  Modul1::release_claimed_number();
  const bool shared = !RegisterPrefix.empty() && sys::folder_exists(RegisterPrefix + L"perform");
  const std::wstring counter = RegisterPrefix + L"ined";
  struct NoNumberLeft {};
  try {
    RegisterLock lock(RegisterPrefix);
    // The shared counter advances at every new calculation, so that a
    // number once given is not given again; without it (or without a shared
    // register) the numbers follow the highest one listed.
    long long base = Modul1::Register.HighestCalcNumber;
    if (shared) {
      delete_quietly(L"ined");  // an earlier version's copy of the counter, left by an interrupted run
      if (sys::file_exists(counter)) {
        // A counter too long for a whole number has passed every number;
        // one below zero gives no negative numbers.
        bool fits = true;
        base = 0;
        scan_whole(ltrim(first_line(counter)), base, &fits);
        base = fits ? std::max(base, 0LL) : kLargestCalcNumber;
      }
    }
    // The number is held by creating its stored input file, which only one
    // workstation can do; a number whose files are stored is passed over.
    // Compared before anything is added: a counter at the limit of whole
    // numbers must not wrap round to negative numbers.
    if (base >= kLargestCalcNumber) throw NoNumberLeft{};
    long long n = base + 1;
    std::wstring claim;
    for (;; ++n) {
      if (n > kLargestCalcNumber) throw NoNumberLeft{};
      if (number_stored(n)) continue;
      claim = RegisterPrefix + L"perform\\" + whole_text(n) + L"in.prr";
      if (sys::create_new(claim)) break;
    }
    Modul1::Register.ClaimedInputPath = claim;
    CalcNumberBase = n - 1;
    if (shared) {
      try {
        write_lines_atomic(sys::resolve(counter), {L" " + whole_text(n)});
      } catch (const FileError& e) {
        throw sys::FsError(sys::FsError::PathFileAccess, counter, e.step(), e.error_number());
      }
    }
    return true;
  } catch (const RegisterBusy&) {
    // The user was told and gave up waiting: no number, no calculation.
  } catch (const NoNumberLeft&) {
    ui::msg_box(L"Не удалось получить номер нового расчета: номера расчетов исчерпаны, наибольший номер расчета " +
                    whole_text(kLargestCalcNumber) + L"." +
                    (shared ? L" Счетчик номеров расчетов: " + counter + L"." : std::wstring()),
                MsgButtons::OK, MsgIcon::Exclamation, L"Сообщение");
  } catch (const FileError& e) {
    Modul1::release_claimed_number();
    ui::msg_box(L"Не удалось получить номер нового расчета. " + e.message(), MsgButtons::OK, MsgIcon::Exclamation,
                L"Сообщение");
  } catch (const std::exception&) {
    Modul1::release_claimed_number();
    ui::msg_box(L"Не удалось получить номер нового расчета.", MsgButtons::OK, MsgIcon::Exclamation, L"Сообщение");
  }
  return false;
}

void Form1::Command2_Click() {
  OpenedFromRegister = false;
  if (!take_new_number()) return;
  set_enabled(false);
  form5().show();
  hide();
}

void Form1::calc_form_missing(wchar_t kind) {
  std::wstring what = L"Расчет этого вида";
  if (kind == L'R') what = L"Расчет решетчатой системы";
  if (kind == L'T') what = L"Расчет системы произвольной конфигурации";
  ui::msg_box(what + L" пока не может быть открыт в этой версии программы.", MsgButtons::OK, MsgIcon::Information,
              L"Сообщение");
  calculation_closed();
}

void Form1::save_catalog_record(const CatalogRecord& record) {
  if (!OpenedFromRegister && sys::file_exists(L"karman1")) leave_search_result();
  {
    RegisterLock lock(RegisterPrefix);
    replace_record(catalog(), record);
  }
  if (sys::file_exists(L"karman1")) replace_record(L"karman1", record);
}

bool Form1::store_calculation(const CatalogRecord& record, const Modul1::StoreOptions& options) {
  const std::wstring id = trim(record.id);
  // The files keep windows-1251: what it lacks would be stored as "?".
  std::wstring lost;
  for (const auto& [field, text] : {std::pair{L"Договор №", &record.contract}, std::pair{L"Объект", &record.object}})
    if (const std::wstring missing = characters_not_in(*text, CodePage::Cp1251); !missing.empty())
      lost += std::wstring(lost.empty() ? L"" : L"\r\n") + L"поле «" + field + L"»: " + missing;
  if (!lost.empty())
    ui::msg_box(L"Эти знаки не могут быть сохранены в файлах расчета " + id + L" и сохраняются как «?»:\r\n" + lost,
                MsgButtons::OK, MsgIcon::Exclamation, L"Сообщение");
  try {
    RegisterLock lock(RegisterPrefix);
    bool files_stored = false;
    const Modul1::CatalogEntry entry{record, [&] {
                                       files_stored = true;
                                       save_catalog_record(record);
                                     }};
    try {
      Modul1::store_working_files(options, &entry);
    } catch (const Modul1::StoreUnfinished& e) {
      ui::msg_box(L"Расчет " + id + L" сохранен не полностью. " + e.message() +
                      L" Сохранение будет завершено при следующем сохранении расчета или запуске программы.",
                  MsgButtons::OK, MsgIcon::Critical, L"Сообщение");
      return false;
    } catch (const FileError& e) {
      if (files_stored)
        ui::msg_box(
            L"Файлы расчета " + id + L" сохранены, но его запись в перечне расчетов не изменена. " + e.message(),
            MsgButtons::OK, MsgIcon::Critical, L"Сообщение");
      else
        ui::msg_box(L"Не удалось сохранить расчет " + id + L". " + e.message() +
                        L" Сохраненные ранее файлы расчета и перечень расчетов не изменены.",
                    MsgButtons::OK, MsgIcon::Critical, L"Сообщение");
      return false;
    }
    return true;
  } catch (const RegisterBusy&) {
    ui::msg_box(L"Расчет " + id + L" не сохранен: перечень расчетов занят другим рабочим местом.", MsgButtons::OK,
                MsgIcon::Critical, L"Сообщение");
  } catch (const FileError& e) {
    ui::msg_box(L"Не удалось сохранить расчет " + id + L". " + e.message(), MsgButtons::OK, MsgIcon::Critical,
                L"Сообщение");
  }
  return false;
}

void Form1::calculation_closed() {
  ++closings_;
  // A new calculation that was not stored gives its number back.
  Modul1::release_claimed_number();
  Modul1::ClearWorkingFiles();
  ReloadRegister();
  OpenedFromRegister = false;
  set_enabled(true);
  show();
}

// ---------------------------------------------------------------- executor and exit

void Form1::Command6_Click() {
  const std::wstring name = trim(nonempty_file(L"sign.txt") ? first_line(L"sign.txt") : std::wstring());
  ExecutorName = ui::input_box(L"Исполнитель расчетов на данном компьютере \r\n" + name +
                                   L".\r\nПри необходимости изменить исполнителя расчетов укажите его инициалы и "
                                   L"фамилию и нажмите кнопку OK",
                               L"Исполнитель", name);
  if (!ExecutorName.empty()) write_lines_atomic(sys::resolve(L"sign.txt"), {ExecutorName});
}

void Form1::Command3_Click() { unload(); }

void Form1::query_unload(bool& cancel, ui::UnloadMode) {
  if (!RegisterPrefix.empty() && sys::folder_exists(RegisterPrefix + L"perform"))
    copy_quietly(L"prr.kat", RegisterPrefix + L"prr1.kat");
  try {
    if (!sys::dir(L"versii\\*.dwg").empty()) sys::delete_files(L"versii\\*.dwg");
    if (!sys::dir(L"versii\\*.bak").empty()) sys::delete_files(L"versii\\*.bak");
  } catch (const std::exception&) {
    ui::msg_box(L"Для дальнейшей нормальной работы программы необходимо закрыть открытые в программе Autocad файлы "
                L"расчетных схем",
                MsgButtons::OK, MsgIcon::Critical, L"Сообщение");
    cancel = true;
  }
}

void Form1::form_unload() {
  for (const wchar_t* name : {L"karman1", L"prom", L"prom.in", L"prrm1", L"spr.in", L"spr1.in", L"spr.out", L"test",
                              L"test.txt", L"a", L"b", L"prr2.kat", L"prk.kat", L"prk1.kat"})
    delete_quietly(name);
}

}  // namespace dorv::reg
