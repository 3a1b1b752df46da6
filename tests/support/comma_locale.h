// A comma-decimal locale for the length of a test, for tests that show that
// numbers in files do not follow the user's locale.
#pragma once
#include <clocale>

namespace dorv::testing {

// Sets a comma-decimal locale and restores the C locale after; active() is
// false when none is installed here.
class CommaLocale {
 public:
  CommaLocale() {
    for (const char* name : {"ru_RU.UTF-8", "ru_RU.utf8", "de_DE.UTF-8", "de_DE.utf8"})
      if (std::setlocale(LC_ALL, name)) {
        active_ = true;
        break;
      }
  }
  ~CommaLocale() { std::setlocale(LC_ALL, "C"); }
  CommaLocale(const CommaLocale&) = delete;
  CommaLocale& operator=(const CommaLocale&) = delete;
  bool active() const { return active_; }

 private:
  bool active_ = false;
};

}  // namespace dorv::testing
