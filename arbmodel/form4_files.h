// The working files as the network form and its import read and write
// them: a file that cannot be read is no file, a write that fails is false;
// neither throws.
#pragma once
#include <optional>
#include <string>
#include <vector>

#include "platform/files.h"
#include "text/linefile.h"

namespace dorv::arb {

inline std::optional<std::vector<std::wstring>> read_file_lines(const std::wstring& name) {
  try {
    return try_read_lines(sys::resolve(name));
  } catch (const FileError&) {
    return std::nullopt;
  }
}

inline bool write_file_lines(const std::wstring& name, const std::vector<std::wstring>& lines) {
  try {
    write_lines_atomic(sys::resolve(name), lines);
    return true;
  } catch (const FileError&) {
    return false;
  }
}

}  // namespace dorv::arb
