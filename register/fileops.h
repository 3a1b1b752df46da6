// File steps of the register whose failure must not stop the procedure that
// runs them: what cannot be copied, created or deleted stays as it was.
#pragma once
#include <string>
#include <string_view>

namespace dorv::reg {

void copy_quietly(const std::wstring& from, const std::wstring& to);
void create_quietly(const std::wstring& name);
void delete_quietly(const std::wstring& name);
// The file exists and holds at least one byte.
bool nonempty_file(std::wstring_view name);
// Line 1 of a text file; empty when the file is missing or empty.
std::wstring first_line(std::wstring_view name);

}  // namespace dorv::reg
