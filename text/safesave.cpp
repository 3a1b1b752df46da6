// The one way the programs save a file they keep. The new contents go to a
// temporary file in the target's own folder (so that the final rename stays
// on one file system), are flushed to the disk, and the temporary file is
// renamed over the target; then the folder itself is flushed so that the
// rename survives a power cut. At every moment the target is either the old
// or the complete new file, and a failed save leaves nothing behind. Several
// files saved as one (SaveSet) add a journal that a crash cannot leave half
// done; see below.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <functional>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "text/linefile.h"
#include "text/strings.h"

namespace dorv {
namespace fs = std::filesystem;

namespace {

// A file reached through a symbolic link (a catalog kept in a shared folder)
// stays a link: the file it names is the one replaced.
fs::path final_target(const fs::path& path) {
  fs::path p = path;
  std::error_code ec;
  for (int hops = 0; hops < 40 && fs::is_symlink(fs::symlink_status(p, ec)); ++hops) {
    const fs::path next = fs::read_symlink(p, ec);
    if (ec) break;
    p = next.is_absolute() ? next : p.parent_path() / next;
  }
  return p;
}

fs::path folder_of(const fs::path& target) { return target.has_parent_path() ? target.parent_path() : fs::path("."); }

// Creates a new temporary file beside the target; its descriptor, or -1 with errno set.
int create_temporary(const fs::path& target, fs::path& temporary) {
  static std::mt19937 gen(std::random_device{}());
  for (int attempt = 0; attempt < 100; ++attempt) {
    temporary = folder_of(target) / ("." + target.filename().string() + ".tmp" + std::to_string(gen() % 1000000));
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

bool write_all(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      if (n == 0) errno = EIO;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

// Flushes a folder's entries. File systems that cannot flush a folder say
// so with EINVAL; that is no failure of the save.
int sync_folder(const fs::path& folder) {
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return errno;
  const int result = ::fsync(fd) == 0 || errno == EINVAL ? 0 : errno;
  ::close(fd);
  return result;
}

// The temporary file of a new content, written, flushed and closed; its
// target is where the rename will put it. write puts the contents into the
// temporary file's descriptor and returns false with errno set when it
// could not.
void write_temporary(const fs::path& path, const std::function<bool(int fd)>& write, bool flush, fs::path& target,
                     fs::path& temporary) {
  target = final_target(path);
  struct stat old {};
  const bool replacing = ::stat(target.c_str(), &old) == 0;
  if (replacing && S_ISDIR(old.st_mode)) throw FileError(path, FileError::Step::Write, EISDIR);

  const int fd = create_temporary(target, temporary);
  if (fd < 0) throw FileError(path, FileError::Step::Write, errno);
  int failure = 0;
  if (replacing) {
    // The saved file keeps the old one's permissions and owner.
    if (::fchmod(fd, old.st_mode & 07777) != 0) failure = errno;
    if (!failure && ::fchown(fd, old.st_uid, old.st_gid) != 0 && errno != EPERM) failure = errno;
  }
  if (!failure) {
    try {
      if (!write(fd)) failure = errno;
    } catch (...) {
      ::close(fd);
      ::unlink(temporary.c_str());
      throw;
    }
  }
  if (!failure && flush && ::fsync(fd) != 0) failure = errno;
  if (::close(fd) != 0 && !failure) failure = errno;
  if (failure) {
    ::unlink(temporary.c_str());
    throw FileError(path, FileError::Step::Write, failure);
  }
}

// The replacement itself; flush says whether the file and the folder are
// flushed to the disk on the way.
void replace_whole(const fs::path& path, const std::function<bool(int fd)>& write, bool flush) {
  fs::path target, temporary;
  write_temporary(path, write, flush, target, temporary);
  if (::rename(temporary.c_str(), target.c_str()) != 0) {
    const int failure = errno;
    ::unlink(temporary.c_str());
    throw FileError(path, FileError::Step::Replace, failure);
  }
  if (!flush) return;
  if (const int err = sync_folder(folder_of(target))) throw FileError(path, FileError::Step::Write, err);
}

}  // namespace

void write_bytes_atomic(const fs::path& path, std::string_view bytes) {
  replace_whole(path, [&](int fd) { return write_all(fd, bytes); }, true);
}

void replace_bytes(const fs::path& path, std::string_view bytes) {
  replace_whole(path, [&](int fd) { return write_all(fd, bytes); }, false);
}

void replace_bytes_in_parts(const fs::path& path, const std::function<void(const ByteSink& put)>& produce) {
  replace_whole(
      path,
      [&](int fd) {
        bool written = true;
        int error = 0;
        produce([&](std::string_view part) {
          if (written && !write_all(fd, part)) {
            written = false;
            error = errno;
          }
        });
        errno = error;
        return written;
      },
      false);
}

void copy_file_atomic(const fs::path& from, const fs::path& to) { write_bytes_atomic(to, read_bytes(from)); }

// ---- sets of files saved as one

namespace {

// A journal: ".dorv-save-" and 16 hexadecimal digits, then ".jrn". Hidden
// like the temporary files, and matched by no pattern of a stored file.
constexpr std::string_view kJournalStart = ".dorv-save-";
constexpr std::string_view kJournalEnd = ".jrn";
constexpr std::string_view kJournalHead = "VIRN-Dorv save journal\n";

void step_done() {
  if (SaveSet::after_step) SaveSet::after_step();
}

// The name create_temporary gives: ".1in.prr.tmp123456".
bool temporary_name(std::string_view name) {
  const std::size_t at = name.rfind(".tmp");
  if (name.size() < 2 || name[0] != '.' || at == std::string_view::npos || at < 2 || at + 4 == name.size())
    return false;
  return name.substr(at + 4).find_first_not_of("0123456789") == std::string_view::npos;
}

bool journal_name(std::string_view name) {
  return name.size() > kJournalStart.size() + kJournalEnd.size() && name.starts_with(kJournalStart) &&
         name.ends_with(kJournalEnd);
}

std::string new_journal_name() { return std::string(kJournalStart) + random_hex(16) + std::string(kJournalEnd); }

// A name of a file in the journal's own folder: a journal read from a shared
// folder never makes the recovery touch a file anywhere else.
bool own_file_name(std::string_view name) {
  return !name.empty() && name != "." && name != ".." &&
         name.find_first_of(std::string_view("/\0", 2)) == std::string_view::npos;
}

// What a journal holds. Its files are named inside the journal's folder.
struct Journal {
  std::optional<fs::path> awaits;  // the folder of the deciding journal; none: this one decides
  std::string note;
  struct Entry {
    std::string temporary, target;  // no temporary: the target is deleted
  };
  std::vector<Entry> entries;
};

// Every text of the journal is its length, a colon and its bytes, so that
// no name can be read as anything else.
std::string field(std::string_view bytes) { return std::to_string(bytes.size()) + ":" + std::string(bytes); }

std::string journal_text(const Journal& j) {
  std::string text(kJournalHead);
  text += j.awaits ? "awaits " + field(j.awaits->string()) + "\n" : std::string("decides\n");
  text += "note " + field(j.note) + "\n";
  for (const auto& e : j.entries)
    text += e.temporary.empty() ? "remove " + field(e.target) + "\n"
                                : "replace " + field(e.temporary) + " " + field(e.target) + "\n";
  return text + "end\n";
}

class JournalReader {
 public:
  explicit JournalReader(std::string_view text) : rest_(text) {}
  bool literal(std::string_view s) {
    if (!rest_.starts_with(s)) return false;
    rest_.remove_prefix(s.size());
    return true;
  }
  std::optional<std::string> field() {
    const std::size_t digits = std::min(rest_.find_first_not_of("0123456789"), rest_.size());
    if (digits == 0 || digits > 9 || digits == rest_.size() || rest_[digits] != ':') return std::nullopt;
    const std::size_t size = std::stoul(std::string(rest_.substr(0, digits)));
    if (rest_.size() - digits - 1 < size) return std::nullopt;
    std::string out(rest_.substr(digits + 1, size));
    rest_.remove_prefix(digits + 1 + size);
    return out;
  }
  bool at_end() const { return rest_.empty(); }

 private:
  std::string_view rest_;
};

// Nothing when the text is not a whole journal.
std::optional<Journal> parse_journal(std::string_view text) {
  JournalReader r(text);
  Journal j;
  if (!r.literal(kJournalHead)) return std::nullopt;
  if (r.literal("awaits ")) {
    auto folder = r.field();
    if (!folder || folder->empty() || !r.literal("\n")) return std::nullopt;
    j.awaits = fs::path(*folder);
  } else if (!r.literal("decides\n")) {
    return std::nullopt;
  }
  if (!r.literal("note ")) return std::nullopt;
  auto note = r.field();
  if (!note || !r.literal("\n")) return std::nullopt;
  j.note = std::move(*note);
  for (;;) {
    if (r.literal("end\n")) return r.at_end() ? std::optional<Journal>(std::move(j)) : std::nullopt;
    Journal::Entry e;
    if (r.literal("replace ")) {
      auto temporary = r.field();
      if (!temporary || !temporary_name(*temporary) || !own_file_name(*temporary) || !r.literal(" "))
        return std::nullopt;
      e.temporary = std::move(*temporary);
    } else if (!r.literal("remove ")) {
      return std::nullopt;
    }
    auto target = r.field();
    if (!target || !own_file_name(*target) || !r.literal("\n")) return std::nullopt;
    e.target = std::move(*target);
    j.entries.push_back(std::move(e));
  }
}

// Removes a journal and flushes its folder; false when it could not be removed.
bool remove_journal(const fs::path& journal) {
  if (::unlink(journal.c_str()) != 0 && errno != ENOENT) return false;
  sync_folder(folder_of(journal));
  return true;
}

// Puts one file of a set in place: its temporary file renamed over the
// target or, with no temporary file, the target deleted (a target that is
// gone already counts as deleted). 0, or the errno of what failed.
int put_file(const fs::path& temporary, const fs::path& target) {
  if (temporary.empty()) return ::unlink(target.c_str()) == 0 || errno == ENOENT ? 0 : errno;
  return ::rename(temporary.c_str(), target.c_str()) == 0 ? 0 : errno;
}

// What a failed put_file of this temporary file failed at.
FileError::Step put_step(const fs::path& temporary) {
  return temporary.empty() ? FileError::Step::Delete : FileError::Step::Replace;
}

// Puts a journal's files in place: a temporary file that is still there is
// renamed over its target (one that is gone was renamed before), and a
// file the set deletes is deleted.
void put_in_place(const fs::path& folder, const Journal& j) {
  for (const auto& e : j.entries) {
    const fs::path target = folder / e.target;
    const fs::path temporary = e.temporary.empty() ? fs::path() : folder / e.temporary;
    if (const int err = put_file(temporary, target); err && err != ENOENT)
      throw FileError(target, put_step(temporary), err);
  }
  if (const int err = sync_folder(folder)) throw FileError(folder, FileError::Step::Write, err);
}

// The folders that exist, each once.
std::vector<fs::path> distinct_folders(const std::vector<fs::path>& folders) {
  std::vector<fs::path> out;
  for (const auto& f : folders) {
    std::error_code ec;
    if (f.empty() || !fs::is_directory(f, ec)) continue;
    const fs::path canonical = fs::weakly_canonical(f, ec);
    const fs::path key = ec ? f : canonical;
    if (std::find(out.begin(), out.end(), key) == out.end()) out.push_back(key);
  }
  return out;
}

// The names of the regular files in a folder.
std::vector<std::string> file_names(const fs::path& folder) {
  std::vector<std::string> names;
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    std::error_code ec2;
    if (it->is_regular_file(ec2)) names.push_back(it->path().filename().string());
  }
  return names;
}

}  // namespace

SaveSet::~SaveSet() {
  // A pending set's files wait for the recovery.
  if (pending_) return;
  for (const auto& s : staged_)
    if (!s.temporary.empty()) ::unlink(s.temporary.c_str());
}

void SaveSet::stage(const fs::path& path, std::string_view bytes) {
  Staged s{path, {}, {}};
  write_temporary(path, [&](int fd) { return write_all(fd, bytes); }, true, s.target, s.temporary);
  staged_.push_back(std::move(s));
  step_done();
}

void SaveSet::stage_removal(const fs::path& path) { staged_.push_back({path, path, {}}); }

void SaveSet::commit(std::string_view note, const std::function<void()>& then) {
  // The set's folders in the order their first files were staged; the
  // first one's journal decides.
  struct FolderShare {
    fs::path folder, journal_path;
    Journal journal;
    std::vector<const Staged*> files;
  };
  std::vector<FolderShare> shares;
  for (const auto& s : staged_) {
    const fs::path folder = folder_of(s.target).lexically_normal();
    auto share = std::find_if(shares.begin(), shares.end(), [&](const FolderShare& p) { return p.folder == folder; });
    if (share == shares.end()) share = shares.insert(shares.end(), FolderShare{folder, {}, {}, {}});
    share->journal.entries.push_back(
        {s.temporary.empty() ? std::string() : s.temporary.filename().string(), s.target.filename().string()});
    share->files.push_back(&s);
  }
  if (shares.empty()) {
    if (then) then();
    return;
  }
  const std::string name = new_journal_name();
  for (auto& p : shares) {
    p.journal_path = p.folder / name;
    if (&p != &shares.front()) p.journal.awaits = fs::absolute(shares.front().folder).lexically_normal();
  }
  shares.front().journal.note = note;
  const fs::path& first = staged_.front().path;

  // The staged files' names reach the disk before a journal names them.
  for (const auto& p : shares)
    if (const int err = sync_folder(p.folder)) throw FileError(p.files.front()->path, FileError::Step::Write, err);

  // The journals that wait first, the deciding one last: once it is
  // written the set is complete.
  const auto drop_journals = [&shares] {
    for (const auto& p : shares) remove_journal(p.journal_path);
  };
  for (std::size_t k = 1; k <= shares.size(); ++k) {
    FolderShare& p = shares[k % shares.size()];
    try {
      write_bytes_atomic(p.journal_path, journal_text(p.journal));
    } catch (const FileError& e) {
      drop_journals();
      throw FileError(first, e.step(), e.error_number());
    }
    if (&p == &shares.front()) pending_ = true;
    step_done();
  }

  // Every file in place, the deciding folder's first.
  bool moved = false;
  for (const auto& p : shares)
    for (const Staged* s : p.files) {
      if (const int err = put_file(s->temporary, s->target)) {
        // Nothing moved yet: the set is undone by removing its deciding
        // journal first. Else the recovery finishes it.
        if (!moved && remove_journal(shares.front().journal_path)) {
          drop_journals();
          pending_ = false;
        }
        throw FileError(s->path, put_step(s->temporary), err);
      }
      moved = true;
      if (const int sync_err = sync_folder(p.folder)) throw FileError(s->path, FileError::Step::Write, sync_err);
      step_done();
    }

  // The journals go in the order they were written, the deciding one last.
  // One that cannot be removed is finished again by the recovery, which
  // finds nothing left to rename.
  const auto done = [&] {
    for (std::size_t k = 1; k <= shares.size(); ++k) {
      remove_journal(shares[k % shares.size()].journal_path);
      step_done();
    }
    pending_ = false;
    staged_.clear();
  };
  if (then) {
    try {
      then();
    } catch (...) {
      done();
      throw;
    }
  }
  done();
}

SaveRecovery recover_saves(const std::vector<fs::path>& folders,
                           const std::function<void(std::string_view note)>& finish) {
  SaveRecovery result;
  std::optional<FileError> failure;
  struct Found {
    fs::path folder, path;
    std::optional<Journal> journal;
  };
  // Each folder is listed once, for its journals and for the temporary
  // files left at the end.
  struct Place {
    fs::path folder;
    std::vector<std::string> names;
  };
  std::vector<Place> places;
  for (const auto& folder : distinct_folders(folders)) places.push_back({folder, file_names(folder)});
  std::vector<Found> found;
  for (const auto& [folder, names] : places)
    for (const auto& name : names)
      if (journal_name(name)) {
        const fs::path path = folder / name;
        const auto text = try_read_bytes(path);
        found.push_back({folder, path, text ? parse_journal(*text) : std::nullopt});
      }

  std::vector<const Found*> kept;  // journals that stay for the next time
  const auto keep = [&](const Found& f, const FileError& e) {
    if (!failure) failure = e;
    kept.push_back(&f);
  };
  const auto drop = [&](const Found& f) {
    if (remove_journal(f.path))
      ++result.dropped;
    else
      keep(f, FileError(f.path, FileError::Step::Delete, errno));
  };
  const auto complete = [&](const Found& f) {
    try {
      put_in_place(f.folder, *f.journal);
      if (!f.journal->awaits && finish) finish(f.journal->note);
      if (!remove_journal(f.path)) throw FileError(f.path, FileError::Step::Delete, errno);
      ++result.finished;
    } catch (const FileError& e) {
      keep(f, e);
    }
  };
  // The journals that wait go first, while the deciding ones are still
  // there to be looked at. Such a set was decided when its deciding journal
  // is there, or when one of its files was renamed already (which happens
  // only after the deciding journal was written; another workstation may
  // have finished that journal's own folder and removed it since).
  for (const auto& f : found) {
    if (!f.journal || !f.journal->awaits) continue;
    std::error_code ec;
    bool decided = fs::exists(*f.journal->awaits / f.path.filename(), ec);
    for (const auto& e : f.journal->entries)
      if (!e.temporary.empty() && !fs::exists(fs::symlink_status(f.folder / e.temporary, ec))) decided = true;
    decided ? complete(f) : drop(f);
  }
  for (const auto& f : found) {
    if (!f.journal)
      drop(f);
    else if (!f.journal->awaits)
      complete(f);
  }

  // What no kept journal names is left by a save that will never finish.
  // A temporary file that a finished journal renamed since the listing is
  // gone: its unlink fails and it is not counted.
  for (const auto& [folder, names] : places) {
    std::vector<std::string> needed;
    for (const Found* f : kept)
      if (f->folder == folder && f->journal)
        for (const auto& e : f->journal->entries) needed.push_back(e.temporary);
    for (const auto& name : names)
      if (temporary_name(name) && std::find(needed.begin(), needed.end(), name) == needed.end() &&
          ::unlink((folder / name).c_str()) == 0)
        ++result.temporaries;
  }
  if (failure) throw *failure;
  return result;
}

bool unfinished_saves(const std::vector<fs::path>& folders) {
  for (const auto& folder : distinct_folders(folders))
    for (const auto& name : file_names(folder))
      if (journal_name(name) || temporary_name(name)) return true;
  return false;
}

}  // namespace dorv
