// The register window: the program's main window with the list of completed
// calculations. Loading it prepares the program folder; unloading it ends the
// program (the front end ends its run when Form1 is no longer loaded).
#pragma once
#include <memory>
#include <optional>
#include <string>

#include "platform/form.h"
#include "register/catalog.h"
#include "register/modul1.h"

namespace dorv::reg {

class Form5;

class Form1 : public ui::Form {
 public:
  Form1();
  ~Form1() override;

  // ---- public variables: the shared register state, kept by Modul1 ----
  std::wstring& ExecutorName = Modul1::Register.ExecutorName;
  std::wstring& RegisterPrefix = Modul1::Register.RegisterPrefix;
  std::wstring& SelectedCalcNumber = Modul1::Register.SelectedCalcNumber;
  std::wstring& SelectedContract = Modul1::Register.SelectedContract;
  std::wstring& SelectedObject = Modul1::Register.SelectedObject;
  bool& OpenedFromRegister = Modul1::Register.OpenedFromRegister;
  long long& CalcNumberBase = Modul1::Register.CalcNumberBase;
  // The list shows the search result karman1 (button caption "Перечень").
  int& SearchResultShown = Modul1::Register.SearchResultShown;
  std::wstring LastNumberQuery;
  std::wstring LastContractQuery;
  std::wstring LastFragmentQuery;

  // ---- controls ----
  ui::ListView& ListView1 = add<ui::ListView>(L"ListView1", {120, 120, 8760, 6120});
  ui::CommandButton& Command1 = add<ui::CommandButton>(L"Command1", {9060, 120, 1935, 735});
  ui::CommandButton& Command2 = add<ui::CommandButton>(L"Command2", {9060, 975, 1935, 735});
  ui::CommandButton& Command4 = add<ui::CommandButton>(L"Command4", {9060, 1830, 1935, 735});
  ui::CommandButton& Command5 = add<ui::CommandButton>(L"Command5", {9060, 2685, 1935, 735});
  ui::CommandButton& Command6 = add<ui::CommandButton>(L"Command6", {9060, 3540, 1935, 735});
  ui::CommandButton& Command3 = add<ui::CommandButton>(L"Command3", {9060, 5505, 1935, 735});

  // The kind dialog of a new calculation.
  Form5& form5() { return *form5_; }

  // ---- procedures ----
  // Compacts the catalog, fills the list from karman1 or the catalog, updates
  // HighestCalcNumber and selects the last item.
  void ReloadRegister();
  // Writes the example pack demo.ini + demo; prr.kat goes to the program
  // folder, every other file behind the prefix. A file that exists is never
  // replaced; a missing pack is an empty one.
  void UnpackExamplePack(const std::wstring& prefix);
  // Back to the full list: deletes karman1, search flag 0, caption "Поиск".
  void leave_search_result();
  // A calculation form stores its record: a new calculation first leaves the
  // search result; the record then replaces its old one in karman1 (when it
  // exists) and in the catalog, which is changed under the register's lock.
  void save_catalog_record(const CatalogRecord& record);
  // A calculation form keeps its calculation: the working files replace the
  // stored files first, all or none also across a crash, and only then does
  // the catalog take the record. Every failure is told in one box; false
  // when the calculation could not be stored (what was stored before stays as
  // it was). Characters that the files cannot hold are told by field before
  // storing.
  bool store_calculation(const CatalogRecord& record, const Modul1::StoreOptions& options = {});
  // A calculation form has closed (or could not be shown): working files
  // cleared, list reloaded, OpenedFromRegister false, the window shown.
  void calculation_closed();
  // No form of this kind ('R' grid, 'T' arbitrary) is installed yet: tells
  // the user so, then returns as from a closed calculation form.
  void calc_form_missing(wchar_t kind);

  // ---- event procedures ----
  void Command1_Click();  // edit the selected calculation
  void Command2_Click();  // new calculation
  void Command3_Click();  // exit
  void Command4_Click();  // search / back to the full list
  void Command5_Click();  // delete
  void Command6_Click();  // executor
  void ListView1_ItemClick();
  void ListView1_DblClick();

 protected:
  void form_load() override;
  void query_unload(bool& cancel, ui::UnloadMode mode) override;
  void form_unload() override;

 private:
  std::wstring catalog() const { return RegisterPrefix + L"prr.kat"; }
  void mirror_storage();
  // Makes the program's catalog anew from its stored calculations when it is
  // missing or empty; the file error when it could not be written.
  std::optional<FileError> rebuild_catalog();
  // A catalog cut inside a record, or one without calculations that are
  // stored, is kept beside under another name and made anew from the stored
  // calculations; the user is told.
  void repair_catalog();
  void update_search_caption();
  void show_search_result(const std::vector<CatalogRecord>& hits);
  // Chooses the new calculation's number under the register's lock and
  // holds it by creating its stored input file; false (told) when none can
  // be had.
  bool take_new_number();
  void fill_list();
  // The stored-calculation folder and, when the mirror is on, its mirror.
  std::vector<std::wstring> stored_folders() const;
  // Some file of calculation n is stored, here or in the mirror.
  bool number_stored(long long n) const;
  std::unique_ptr<Form5> form5_;
  int closings_ = 0;  // calculation forms closed so far
};

// The register window of the running program, as the other forms reach it; there
// is one while a Form1 object exists.
Form1& form1();
bool has_form1();

}  // namespace dorv::reg
