// The shared module of the desktop program: the one state that the register
// shares with the calculation forms for the whole run, and the procedures
// that they share (working files, storage, graphics link, look-ups).
//
// File names are the program's own: relative to the program folder (the
// current folder once the register has started), "\" separating folders.
#pragma once
#include <filesystem>
#include <functional>
#include <string>

#include "platform/files.h"
#include "register/catalog.h"
#include "text/itemreader.h"

namespace dorv::reg::Modul1 {

// ---- the shared state ----
// What a calculation form stores when the user keeps the calculation.
struct StoreOptions {
  std::wstring input_file = L"rezult1.txt";  // the grid form stores rezult2.txt
  bool scheme_and_drawing = true;            // rezult.kms and rezult.dwg, when they exist
  bool mirror = true;                        // also into StorageFolder, when it is set
};

// The one state that the register shares with the calculation forms and
// the printing: what the register window knows of the calculation being
// opened or made, and what a form or the printing leaves for the others.
// The forms read it through Modul1::Register and never keep a copy.
struct RegisterState {
  std::wstring ExecutorName;
  std::wstring RegisterPrefix;  // folder (ending in its separator) of a shared register, or empty
  std::wstring ProgramVersion = L"5.4.0";
  // The record chosen in the list: its identifier as the list shows it, its
  // contract and object.
  std::wstring SelectedCalcNumber;
  std::wstring SelectedContract;
  std::wstring SelectedObject;
  bool OpenedFromRegister = false;  // the open calculation came from the list, not "new"
  long long CalcNumberBase = 0;     // the highest number taken; a new calculation gets the next
  int SearchResultShown = 0;        // the list shows the search result karman1
  // The highest calculation number a list load has met; it never decreases.
  int HighestCalcNumber = 0;
  // The open calculation's identifier as the list shows it, or the kind code
  // "R", "TN", "TI" while a new calculation is being created.
  std::wstring CurrentCalcId;
  // The calculation being created: " 42-R" (a blank, the number, the kind),
  // its contract and object (empty), and the ".ko2" file chosen for "TI".
  std::wstring NewCalcId;
  std::wstring NewCalcContract;
  std::wstring NewCalcObject;
  std::wstring ChosenImportFile;
  // The stored files of the open (or new) calculation: RegisterPrefix +
  // "perform\" + N + "in.prr", "res.prr", ".kms", ".dwg", "angl.txt".
  std::wstring StoredInputPath;
  std::wstring StoredReportPath;
  std::wstring StoredSchemePath;
  std::wstring StoredDrawingPath;
  std::wstring StoredNamePath;
  // The empty stored input file by which the new calculation holds its number
  // (created exclusively, so that no other workstation takes the number);
  // empty when no number is held.
  std::wstring ClaimedInputPath;
  // The all-users mirror of the perform folder; empty when switched off.
  std::wstring StorageFolder;
  // "1" Russian report, "2" English report, empty: the print set-up was cancelled.
  std::wstring PrintLanguage;
  // The English object name as the printing procedures last read it.
  std::wstring EnglishObjectName;
  // The results view file that the calculation forms open ("flrez.txt").
  std::wstring ResultsViewFile;
  // Numbered drawing copies made in this run.
  int DrawingCounter = 0;
  // What the register window does for a calculation form, installed by the
  // window while it exists: keeps the form's calculation (false when it could
  // not be stored), and takes the program back when the form has closed.
  std::function<bool(const CatalogRecord&, const StoreOptions&)> store_calculation;
  std::function<void()> calculation_closed;
};
inline RegisterState Register;

// The program folder that the register makes current at start-up; empty
// means the folder of the executable.
inline std::filesystem::path ProgramFolder;
std::filesystem::path program_folder();

// Every variable back to its value at program start (tests start anew).
void reset();

// ---- working files and storage ----
// The five StoragePaths of calculation number n.
void set_storage_paths(long long n);
// Creates the working files of the open or new calculation and, for one
// opened from the register, copies its stored files into them and into
// their ".bak" twins. Throws sys::FsError (after every copy was tried) when
// a stored file could not be copied.
void PrepareWorkingFiles();
// Deletes the working files that exist; never fails.
void ClearWorkingFiles();

// The catalog's part of a save: the calculation's record, and how the
// register enters it (with its search list) once every file is in place.
struct CatalogEntry {
  CatalogRecord record;
  std::function<void()> enter;
};
// Copies the working files to the StoragePaths (and the mirror) as one: every
// copy is written beside its stored file first, and only when all are written
// do they replace the stored files, so that a failed copy (a full disk)
// leaves every stored file as it was; a crash at any moment leaves the
// calculation wholly as it was or, once recover_storage has run, wholly
// new with its record in the catalog. The English name file follows the
// working one: when nazangl.txt no longer exists the stored name file is
// deleted with the others. What an earlier save cut short is finished
// first. The caller holds the register's lock. Throws sys::FsError naming
// the file whose copy failed, StoreUnfinished when the files could not all
// be put in place, and what entry->enter throws.
void store_working_files(const StoreOptions& options = {}, const CatalogEntry* entry = nullptr);
// A save that failed after it had begun to replace the stored files: those
// not yet in place wait beside them, and the next save or start puts them
// in place.
class StoreUnfinished : public sys::FsError {
 public:
  using sys::FsError::FsError;
};
// Finishes or undoes the saves that a crash cut short in the stored-
// calculation folder of the register with `prefix`, in the program's own
// perform folder and in the mirror, enters the catalog records of those
// finished, and removes the temporary files of unfinished saves. The
// caller holds the register's lock. Throws FileError when a save cannot be
// finished; it is tried again the next time.
void recover_storage(const std::wstring& prefix);
// The same at start-up, when a crash has left something behind, under the
// register's lock; the temporary files that a crash left beside the
// register's other files and the program's own go too. A failure is told
// and the start goes on.
void recover_storage_at_start(const std::wstring& prefix);
// Gives the number held by ClaimedInputPath back when nothing was stored
// under it: the empty file is deleted.
void release_claimed_number();

// ---- graphics application and viewer ----
// The graphics application's link file dorv54.lsp exists and is not empty.
bool graphics_link_check();
// The message of a failed link check, then ClearWorkingFiles.
void graphics_link_failed();
// Copies the drawing (the stored one, the template or the imported one) to
// "versii\N-k.dwg" and asks the shell to open the copy.
void OpenDrawingVersion(const std::wstring& stored_drawing_path);
// Asks the shell to open a file of the program folder with its application.
bool OpenWithAssociatedApp(const std::wstring& name);
// Writes the report rezres.txt into the results view flrez.txt, every line
// without its six leading characters (the line's marker and the indent) so
// that the viewer shows the report as printed, and asks the shell to open
// the view. False, with nothing opened, when the report cannot be read or
// the view cannot be written. A report without a line gives an empty view,
// which the grid form opens and the network form does not.
enum class EmptyReport { Open, Skip };
bool open_results_view(EmptyReport empty);

// ---- pipe look-up table kltr.inf ----
// selector 1: the specific characteristic; any other: outer diameter less
// twice the wall. A key that no record holds takes the last record; a
// missing or empty table gives 0, a record cut short counts its missing
// items as 0.
double LookupKltr(const Item& key, int selector);
double LookupKltr(double key, int selector);
double LookupKltr(const std::wstring& key, int selector);

// ---- the calculation forms ----
// The grid form and the arbitrary-configuration form are shown through these
// hooks, which the desktop program fills. Each shows its form modeless; the
// form, when it closes, stores or not and returns to the register
// (Form1::calculation_closed).
enum class CalcKind { Grid, Arbitrary };
using CalcFormOpener = std::function<void()>;
void set_calc_form(CalcKind kind, CalcFormOpener opener);
bool has_calc_form(CalcKind kind);
// Shows the form of the kind; false when none is registered.
bool show_calc_form(CalcKind kind);

}  // namespace dorv::reg::Modul1
