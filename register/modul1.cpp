#include "register/modul1.h"

#include <map>
#include <optional>

#include "platform/files.h"
#include "platform/host.h"
#include "register/fileops.h"
#include "register/registerlock.h"
#include "text/codepage.h"
#include "text/linefile.h"
#include "text/numtext.h"
#include "text/strings.h"

namespace dorv::reg::Modul1 {
namespace fs = std::filesystem;

namespace {

std::map<CalcKind, CalcFormOpener>& openers() {
  static std::map<CalcKind, CalcFormOpener> m;
  return m;
}

// An arbitrary-configuration input file of the oldest layout has seven head
// lines before "#####1"; five empty lines bring it to the layout with twelve.
void upgrade_oldest_layout(const std::wstring& stored_input) {
  auto lines = try_read_lines(sys::resolve(stored_input));
  if (!lines) return;
  for (std::size_t i = 0; i < lines->size(); ++i) {
    if (trim((*lines)[i]) != L"#####1") continue;
    if (i != 7) return;
    lines->insert(lines->begin() + 7, 5, std::wstring());
    write_lines_atomic(sys::resolve(stored_input), *lines);
    return;
  }
}

}  // namespace

fs::path program_folder() { return ProgramFolder.empty() ? sys::executable_folder() : ProgramFolder; }

void reset() {
  Register = {};
  ProgramFolder.clear();
  openers().clear();
}

void set_storage_paths(long long n) {
  const std::wstring base = Register.RegisterPrefix + L"perform\\" + whole_text(n);
  Register.StoredInputPath = base + L"in.prr";
  Register.StoredReportPath = base + L"res.prr";
  Register.StoredSchemePath = base + L".kms";
  Register.StoredDrawingPath = base + L".dwg";
  Register.StoredNamePath = base + L"angl.txt";
}

void PrepareWorkingFiles() {
  const RegisterState& f = Register;
  for (const wchar_t* name : {L"rezult1.txt", L"rezult.bak", L"rezres.txt", L"rezres.bak", L"nazangl.txt", L"nazangl.bak"})
    create_quietly(name);
  if (Register.CurrentCalcId.empty()) Register.CurrentCalcId = right(f.SelectedCalcNumber, 1);
  // A new grid calculation is the only case that leaves scheme and drawing alone.
  if (Register.CurrentCalcId != L"R")
    for (const wchar_t* name : {L"rezult.kms", L"rezkms.bak", L"rezult.dwg", L"rezdwg.bak"}) create_quietly(name);

  if (!f.OpenedFromRegister) {
    set_storage_paths(f.CalcNumberBase + 1);
    return;
  }
  set_storage_paths(calc_number(f.SelectedCalcNumber));
  if (contains(f.SelectedCalcNumber, L"T")) {
    try {
      upgrade_oldest_layout(Register.StoredInputPath);
    } catch (const FileError&) {
      // The stored file stays as it was; the form opens what is there.
    }
  }
  // A copy that fails (a full disk) is told by the caller: a form opened on
  // half the files would store them over the whole calculation.
  std::optional<sys::FsError> failed;
  const auto copy = [&failed](const std::wstring& from, const wchar_t* to) {
    try {
      sys::copy_file(from, to);
    } catch (const sys::FsError& e) {
      if (!failed) failed = e;
    }
  };
  copy(Register.StoredInputPath, L"rezult1.txt");
  copy(Register.StoredInputPath, L"rezult.bak");
  copy(Register.StoredReportPath, L"rezres.txt");
  copy(Register.StoredReportPath, L"rezres.bak");
  const std::pair<const std::wstring*, std::pair<const wchar_t*, const wchar_t*>> optional[] = {
      {&Register.StoredSchemePath, {L"rezult.kms", L"rezkms.bak"}},
      {&Register.StoredDrawingPath, {L"rezult.dwg", L"rezdwg.bak"}},
      {&Register.StoredNamePath, {L"nazangl.txt", L"nazangl.bak"}},
  };
  for (const auto& [stored, working] : optional) {
    if (!sys::file_exists(*stored)) continue;
    copy(*stored, working.first);
    copy(*stored, working.second);
  }
  if (failed) throw *failed;
}

void ClearWorkingFiles() {
  for (const wchar_t* name : {L"nazangl.txt", L"rezangl.txt", L"rezult.ko2", L"rezres.txt", L"rezult.kms", L"rezult.dwg",
                              L"rezult1.txt", L"rezult.bak", L"rezres.bak", L"rezkms.bak", L"rezdwg.bak", L"nazangl.bak",
                              L"rezult2.txt", L"spr.in", L"spr.out", L"spr1.in"})
    delete_quietly(name);
}

namespace {

// The folders where calculations are stored: the register's, the program's
// own and the mirror.
std::vector<fs::path> storage_folders(const std::wstring& prefix) {
  std::vector<fs::path> folders = {sys::resolve(prefix + L"perform"), sys::resolve(L"perform")};
  if (!Register.StorageFolder.empty()) folders.push_back(sys::resolve(Register.StorageFolder));
  return folders;
}

// A save's record as its journal keeps it: the catalog's three lines.
std::string record_note(const CatalogRecord& record) { return to_cp1251(join_lines(catalog_lines({record}))); }

// Finishes the saves in `folders` that a crash cut short, entering their
// records in the catalog of the register with `prefix`.
void recover(const std::vector<fs::path>& folders, const std::wstring& prefix) {
  recover_saves(folders, [&prefix](std::string_view note) {
    const auto records = parse_catalog(split_lines(from_cp1251(note)));
    if (!records.empty()) replace_record(prefix + L"prr.kat", records.front());
  });
}

}  // namespace

void recover_storage(const std::wstring& prefix) { recover(storage_folders(prefix), prefix); }

void recover_storage_at_start(const std::wstring& prefix) {
  // Before anything else saves: the temporary files of the catalog, the
  // counter and the working files that a crash left are removed too.
  std::vector<fs::path> folders = storage_folders(prefix);
  folders.push_back(sys::current_folder());
  if (!prefix.empty()) folders.push_back(sys::resolve(prefix));
  try {
    if (!unfinished_saves(folders)) return;
    RegisterLock lock(prefix);
    recover(folders, prefix);
  } catch (const RegisterBusy&) {
    // Tried again before the next save.
  } catch (const FileError& e) {
    ui::show_file_error(e);
  }
}

void store_working_files(const StoreOptions& options, const CatalogEntry* entry) {
  recover_storage(Register.RegisterPrefix);
  struct Target {
    const wchar_t* working;
    const std::wstring* stored;
    const wchar_t* suffix;
    bool always;
  };
  std::vector<Target> targets = {{options.input_file.c_str(), &Register.StoredInputPath, L"in.prr", true},
                                 {L"rezres.txt", &Register.StoredReportPath, L"res.prr", true}};
  if (options.scheme_and_drawing) {
    targets.push_back({L"rezult.kms", &Register.StoredSchemePath, L".kms", false});
    targets.push_back({L"rezult.dwg", &Register.StoredDrawingPath, L".dwg", false});
  }
  // The English name was removed in the print set-up: the stored one goes too.
  const bool english_name = sys::file_exists(L"nazangl.txt");
  if (english_name) targets.push_back({L"nazangl.txt", &Register.StoredNamePath, L"angl.txt", true});
  const std::wstring n = calc_number_text(Register.StoredInputPath.substr(Register.StoredInputPath.find_last_of(L"\\/") + 1));
  const bool mirror = options.mirror && !Register.StorageFolder.empty();

  SaveSet copies;
  const auto stage = [&copies](const std::wstring& name, const std::string& bytes) {
    try {
      copies.stage(sys::resolve(name), bytes);
    } catch (const FileError& e) {
      throw sys::FsError(sys::FsError::PathFileAccess, name, e.step(), e.error_number());
    }
  };
  for (const auto& t : targets) {
    if (!t.always && !sys::file_exists(t.working)) continue;
    std::string bytes;
    try {
      bytes = read_bytes(sys::resolve(t.working));
    } catch (const FileError& e) {
      throw sys::FsError(sys::FsError::FileNotFound, t.working, e.step(), e.error_number());
    }
    stage(*t.stored, bytes);
    if (mirror) stage(Register.StorageFolder + L"\\" + n + t.suffix, bytes);
  }
  if (!english_name) {
    copies.stage_removal(sys::resolve(Register.StoredNamePath));
    if (mirror) copies.stage_removal(sys::resolve(Register.StorageFolder + L"\\" + n + L"angl.txt"));
  }
  // Once the files are in place the number is no longer only claimed.
  const auto stored = [] {
    if (trim(Register.StoredInputPath) == trim(Register.ClaimedInputPath)) Register.ClaimedInputPath.clear();
  };
  bool in_place = false;
  try {
    copies.commit(entry ? record_note(entry->record) : std::string(), [&] {
      in_place = true;
      stored();
      if (entry && entry->enter) entry->enter();
    });
  } catch (const FileError& e) {
    if (in_place) throw;
    const std::wstring name = sys::name_of(e.path());
    if (!copies.pending()) throw sys::FsError(sys::FsError::PathFileAccess, name, e.step(), e.error_number());
    stored();
    throw StoreUnfinished(sys::FsError::PathFileAccess, name, e.step(), e.error_number());
  }
}

void release_claimed_number() {
  if (Register.ClaimedInputPath.empty()) return;
  if (sys::file_exists(Register.ClaimedInputPath) && !nonempty_file(Register.ClaimedInputPath)) delete_quietly(Register.ClaimedInputPath);
  Register.ClaimedInputPath.clear();
}

bool graphics_link_check() {
  try {
    return sys::file_exists(L"dorv54.lsp") && sys::file_len(L"dorv54.lsp") > 0;
  } catch (const std::exception&) {
    return false;
  }
}

void graphics_link_failed() {
  ui::msg_box(L"На компьютере не установлено или не настроено надлежащим образом графическое приложение ВИРН-Дорв Графика 5.4",
              ui::MsgButtons::OK, ui::MsgIcon::Critical, L"Невозможно работать с графикой");
  ClearWorkingFiles();
}

void OpenDrawingVersion(const std::wstring& stored_drawing_path) {
  ++Register.DrawingCounter;
  const RegisterState& f = Register;
  std::wstring source;
  if (f.OpenedFromRegister)
    source = stored_drawing_path;
  else if (Register.ChosenImportFile.empty())
    source = L"format22.dwg";
  else
    source = L"rezult.dwg";

  // N: the text between the perform folder and ".dwg".
  std::wstring n = stored_drawing_path;
  const std::wstring head = f.RegisterPrefix + L"perform\\";
  if (starts_with(n, head)) n = n.substr(head.size());
  if (ends_with(n, L".dwg")) n.resize(n.size() - 4);
  const std::wstring copy = L"versii\\" + n + L"-" + whole_text(Register.DrawingCounter) + L".dwg";
  copy_quietly(source, copy);

  const fs::path here = sys::current_folder();
  ui::host().shell_open(here / sys::resolve(copy), sys::name_of(here / sys::resolve(L"versii")));
}

bool OpenWithAssociatedApp(const std::wstring& name) {
  const fs::path here = sys::current_folder();
  return ui::host().shell_open(here / sys::resolve(name), sys::name_of(here));
}

bool open_results_view(EmptyReport empty) {
  try {
    const auto lines = try_read_lines(sys::resolve(L"rezres.txt"));
    if (!lines) return false;
    std::vector<std::wstring> view;
    view.reserve(lines->size());
    for (const auto& line : *lines) view.push_back(line.size() > 6 ? line.substr(6) : std::wstring());
    write_lines_atomic(sys::resolve(L"flrez.txt"), view);
    Register.ResultsViewFile = L"flrez.txt";
    if (view.empty() && empty == EmptyReport::Skip) return false;
  } catch (const std::exception&) {
    return false;
  }
  OpenWithAssociatedApp(L"flrez.txt");
  return true;
}

double LookupKltr(const Item& key, int selector) {
  auto bytes = try_read_bytes(sys::resolve(L"kltr.inf"));
  if (!bytes) return 0;
  ItemReader reader(from_cp1251(*bytes));
  Item record[4];
  bool any = false;
  while (!reader.eof()) {
    for (auto& item : record) item = reader.next().value_or(Item{});
    any = true;
    if (same_value(record[0], key)) break;
  }
  if (!any) return 0;
  if (selector == 1) return record[3].number();
  return record[1].number() - 2 * record[2].number();
}

double LookupKltr(double key, int selector) { return LookupKltr(Item{num_text_trim(key), false}, selector); }

double LookupKltr(const std::wstring& key, int selector) { return LookupKltr(Item{key, false}, selector); }

void set_calc_form(CalcKind kind, CalcFormOpener opener) { openers()[kind] = std::move(opener); }

bool has_calc_form(CalcKind kind) {
  const auto it = openers().find(kind);
  return it != openers().end() && it->second;
}

bool show_calc_form(CalcKind kind) {
  if (!has_calc_form(kind)) return false;
  openers()[kind]();
  return true;
}

}  // namespace dorv::reg::Modul1
