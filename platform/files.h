// File-system helpers with the meaning the forms give them. Names are the
// program's own: "\" or "/" separates folders, a relative name is relative to
// the current folder, and every part of a name is matched without regard to
// case against what exists ("Perform" and "perform" are one folder).
#pragma once
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "text/fileerror.h"

namespace dorv::sys {

// A file operation that failed, with the classic error number the forms know
// and the Russian sentence of its FileError, which names the file as the
// program names it.
class FsError : public FileError {
 public:
  enum Code { FileNotFound = 53, FileExists = 58, PermissionDenied = 70, PathFileAccess = 75, PathNotFound = 76 };
  FsError(Code code, const std::wstring& name, Step step, int error_number);
  Code code() const { return code_; }
  const std::wstring& name() const { return name_; }

 private:
  Code code_;
  std::wstring name_;
};

// The path on this machine that a program name stands for.
std::filesystem::path resolve(std::wstring_view name);
// The program's text for a path of this machine.
std::wstring name_of(const std::filesystem::path& path);

bool file_exists(std::wstring_view name);    // a regular file
bool folder_exists(std::wstring_view name);  // a folder

// Directory look-up with the wildcards "*" and "?" in the last part of the
// pattern: the names (without folder) of the matching regular files, sorted.
// A name is one part of a path only: a name that holds "\" (which the
// program reads as a folder separator, so that a file named "..\x" would be
// taken for x in the folder above) or that is not valid text (its bytes do
// not decode to characters that encode back to them) is left out and kept
// apart, so that the caller can tell the user of it.
struct Listing {
  std::vector<std::wstring> names;
  std::vector<std::wstring> refused;  // as far as they can be shown
};
Listing list_files(std::wstring_view pattern);
// The names alone.
std::vector<std::wstring> dir(std::wstring_view pattern);

// Length in bytes; FsError FileNotFound when the file does not exist.
std::int64_t file_len(std::wstring_view name);
// Copies a file, replacing the target through the safe save: the target is
// either the old or the complete new file.
void copy_file(std::wstring_view from, std::wstring_view to);
// Renames (moves) a file; works across file systems. The target must not exist.
void rename_file(std::wstring_view from, std::wstring_view to);
// Moves a file over an existing target in one step, also across file systems
// (the data is first copied beside the target).
void replace_file(std::wstring_view from, std::wstring_view to);
// Deletes a file; FsError FileNotFound when it does not exist.
void delete_file(std::wstring_view name);
// Deletes a file when it exists; false when there was none.
bool delete_if_exists(std::wstring_view name);
// Deletes every file matching a wildcard pattern; FsError FileNotFound when
// none matches. Stops at the first file that cannot be deleted.
void delete_files(std::wstring_view pattern);
// Creates one folder; FsError PathFileAccess when it exists or cannot be made.
void make_folder(std::wstring_view name);
// Creates an empty file (or empties an existing one).
void create_empty(std::wstring_view name);
// Creates a file holding `bytes` only when nothing of that name exists, in one
// step that no other process (on this machine or through a shared folder) can
// come between: false when the name was taken already; FsError when the file
// cannot be created or written (a half-written file is removed again).
bool create_new(std::wstring_view name, std::string_view bytes = {});

std::filesystem::path current_folder();
void set_current_folder(const std::filesystem::path& folder);
// The folder of the running executable.
std::filesystem::path executable_folder();
// The all-users folder: ALLUSERSPROFILE when set, else XDG_DATA_HOME, else
// ~/.local/share.
std::wstring all_users_folder();
// An environment variable's value, empty when unset.
std::wstring environment(std::string_view variable);

}  // namespace dorv::sys
