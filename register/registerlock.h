// The register folder may be shared by several workstations (ined1): every
// change of its catalog, its number counter and the choice of a new
// calculation's number is made while holding its lock file, so that no two
// workstations read, change and write them at the same time.
#pragma once
#include <chrono>
#include <stdexcept>
#include <string>

namespace dorv::reg {

// The user gave up waiting for the lock; the box that said so has been shown.
class RegisterBusy : public std::runtime_error {
 public:
  RegisterBusy() : std::runtime_error("the register folder is locked by another workstation") {}
};

// How long the lock is waited for before the user is asked; another
// workstation holds it for the few moments of one save only.
inline std::chrono::milliseconds RegisterLockWait{10000};

// The lock file of the register folder `prefix` (empty: the program folder):
// created exclusively, holding who took it (for the one who waits) and a
// token of its own, and removed when the lock goes only while it still holds
// that token: a lock file that a user deleted as stale and another
// workstation then took belongs to that workstation. Taking it waits up to
// RegisterLockWait, then asks the user to try again or give up (RegisterBusy).
// A lock this program already holds is taken again at once.
class RegisterLock {
 public:
  explicit RegisterLock(const std::wstring& prefix);
  ~RegisterLock();
  RegisterLock(const RegisterLock&) = delete;
  RegisterLock& operator=(const RegisterLock&) = delete;

  // The lock file's name: prefix + "prr.lck".
  static std::wstring file_name(const std::wstring& prefix) { return prefix + L"prr.lck"; }

 private:
  std::wstring name_;
};

}  // namespace dorv::reg
