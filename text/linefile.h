// Line-oriented text files: every file of the program is read and written as
// lines in one code page (windows-1251 for the desktop program, 866 for what
// the console solvers write). Lines are written with CR LF; readers accept
// CR LF, LF alone and CR alone, and a missing line end after the last line.
#pragma once
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "text/codepage.h"
#include "text/fileerror.h"

namespace dorv {

std::string read_bytes(const std::filesystem::path& path);  // throws FileError
// Nothing when the file is missing or cannot be read.
std::optional<std::string> try_read_bytes(const std::filesystem::path& path);

// A whole file read in one call of its size into a buffer that is not
// cleared first: for a large file, clearing the fresh memory costs about as
// much as the read itself.
struct FileBytes {
  std::unique_ptr<char[]> data;
  std::size_t size = 0;
  std::string_view view() const { return {data.get(), size}; }
};
std::optional<FileBytes> try_read_file(const std::filesystem::path& path);
// Nothing when the file is missing; FileError when it exists but cannot be read.
std::optional<std::string> read_bytes_if_exists(const std::filesystem::path& path);
// Writes in place, truncating: for working files that only live during a run.
void write_bytes(const std::filesystem::path& path, std::string_view bytes);  // throws FileError

// The safe save of every file the programs keep: a temporary file in the
// target's folder, written and flushed to the disk, renamed over the target,
// the folder flushed. The target is at every moment either the old or the
// complete new file and keeps its permissions; a failed save removes its
// temporary file and throws FileError naming the target. A target that is a
// symbolic link stays one: the file it names is replaced.
void write_bytes_atomic(const std::filesystem::path& path, std::string_view bytes);
// The same replacement without the flushes to the disk, for the working
// files one program hands the next during a run: a reader sees the old or the
// whole new file, but the file need not outlive a power cut, and a flush
// would cost a wait for the disk on every run.
void replace_bytes(const std::filesystem::path& path, std::string_view bytes);
// The same with the contents handed over part by part: produce gives each
// part in turn to put, so that a large file is never held whole.
using ByteSink = std::function<void(std::string_view part)>;
void replace_bytes_in_parts(const std::filesystem::path& path, const std::function<void(const ByteSink& put)>& produce);
// A copy made with the safe save.
void copy_file_atomic(const std::filesystem::path& from, const std::filesystem::path& to);

// Several files saved as one, all or none also across a crash. Each new
// content is written and flushed beside its target first (stage). commit
// then writes a journal naming the set's files into every folder the set
// touches, renames each file over its target (or deletes it), and removes
// the journals. The journal in the folder of the first file staged decides:
// once it is written the set is complete, and recover_saves finishes a set
// that a crash cut short; before it, the set never happened and
// recover_saves drops what it left. A journal of another folder waits for
// the deciding one: its files are renamed only when that journal exists.
// A write that fails (a full disk) leaves every target as it was; what was
// staged and not committed is removed when the set goes.
class SaveSet {
 public:
  SaveSet() = default;
  ~SaveSet();
  SaveSet(const SaveSet&) = delete;
  SaveSet& operator=(const SaveSet&) = delete;
  // Throws FileError naming the target.
  void stage(const std::filesystem::path& path, std::string_view bytes);
  // The file is deleted with the set (nothing when it does not exist).
  void stage_removal(const std::filesystem::path& path);
  // Puts the set in place. `then` runs once every file is in place and
  // before the journals go, and the deciding journal keeps `note`: when a
  // crash stops the set before its journals are gone, recover_saves hands
  // the note back so that its caller does again what `then` does. A failure
  // of `then` is thrown on after the journals are dropped (the files are
  // whole). Throws FileError naming the file whose step failed; when that
  // came after the deciding journal was written the set is pending: its
  // files stay for recover_saves to finish it.
  void commit(std::string_view note = {}, const std::function<void()>& then = {});
  bool pending() const { return pending_; }

  // Called after every step of a save that a crash could stop it at: each
  // file staged, each journal written, each file renamed or deleted, each
  // journal removed. Tests stop the program there.
  static inline std::function<void()> after_step;

 private:
  struct Staged {
    std::filesystem::path path, target, temporary;  // no temporary: the target is deleted
  };
  std::vector<Staged> staged_;
  bool pending_ = false;
};

// A text as one line: each line break inside it (CR LF, CR or LF) becomes
// one blank. One-line fields take their text through it, and the writers
// below put every line through it, so that no item, whatever it came from,
// adds a line to a file that is read line by line.
std::wstring one_line_text(std::wstring_view text);

// What recover_saves found and did.
struct SaveRecovery {
  int finished = 0;     // sets (in one folder each) completed
  int dropped = 0;      // sets whose deciding journal was never written
  int temporaries = 0;  // temporary files of unfinished saves removed
};
// Finishes the sets that a crash cut short in `folders` after their
// deciding journal was written, drops the others, and removes every
// temporary file of an unfinished save that no set still needs. `finish`
// gets the note of every deciding journal whose set was completed. Nothing
// else may save into these folders meanwhile. Throws FileError when a set
// cannot be finished; its journal stays for the next time.
SaveRecovery recover_saves(const std::vector<std::filesystem::path>& folders,
                           const std::function<void(std::string_view note)>& finish = {});
// A journal or a temporary file of an unfinished save lies in one of the
// folders: recover_saves has work to do.
bool unfinished_saves(const std::vector<std::filesystem::path>& folders);

// Splits decoded text at CR LF, LF or CR. A final line end does not start a
// further (empty) line; an empty text has no lines.
std::vector<std::wstring> split_lines(std::wstring_view text);
// Joins lines, each as one line (above) followed by CR LF.
std::wstring join_lines(const std::vector<std::wstring>& lines);

std::vector<std::wstring> read_lines(const std::filesystem::path& path, CodePage cp = CodePage::Cp1251);
std::optional<std::vector<std::wstring>> try_read_lines(const std::filesystem::path& path,
                                                        CodePage cp = CodePage::Cp1251);
void write_lines(const std::filesystem::path& path, const std::vector<std::wstring>& lines,
                 CodePage cp = CodePage::Cp1251);
void write_lines_atomic(const std::filesystem::path& path, const std::vector<std::wstring>& lines,
                        CodePage cp = CodePage::Cp1251);

// Sequential reading, one line at a time, for files read line by line.
class LineReader {
 public:
  explicit LineReader(const std::filesystem::path& path, CodePage cp = CodePage::Cp1251);  // throws FileError
  bool eof() const { return next_ >= lines_.size(); }
  // Reads the next line; at the end of the file returns false and leaves line empty.
  bool read(std::wstring& line);
  // The next line, or empty text at the end of the file.
  std::wstring next();
  std::size_t line_number() const { return next_; }  // lines read so far

 private:
  std::vector<std::wstring> lines_;
  std::size_t next_ = 0;
};

// Sequential writing. The file is created (or truncated, or appended to) when
// the writer is made and is complete on close() or destruction.
class LineWriter {
 public:
  enum class Mode { Truncate, Append };
  explicit LineWriter(const std::filesystem::path& path, CodePage cp = CodePage::Cp1251,
                      Mode mode = Mode::Truncate);  // throws FileError
  ~LineWriter();
  LineWriter(const LineWriter&) = delete;
  LineWriter& operator=(const LineWriter&) = delete;

  void write_line(std::wstring_view line);  // text followed by CR LF
  void write(std::wstring_view text);       // text alone, as one line
  void close();                             // throws FileError when the data could not be written

 private:
  std::filesystem::path path_;
  CodePage cp_;
  std::string pending_;
  bool open_ = true;
};

}  // namespace dorv
