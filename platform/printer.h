// The platform's printers as the program sees them: the installed printers by
// device name, the current printer and its number of copies. The drawing and
// paging calls of a print job are added to this interface by the report
// printing; callers of what is here do not change for it.
#pragma once
#include <string>
#include <vector>

namespace dorv::ui {

class Printers {
 public:
  virtual ~Printers() = default;
  // The installed printers' device names, in the platform's order.
  virtual std::vector<std::wstring> device_names() const = 0;
  // Index into device_names() of the current printer, -1 when there is none.
  virtual int current() const = 0;
  virtual void set_current(int index) = 0;
  virtual int copies() const = 0;
  // False when the printer refuses the value; the number stays as it was.
  virtual bool set_copies(int copies) = 0;

  std::wstring current_device_name() const;
};

// A printer list held in memory: the headless host's, and the base of the
// front end's (which fills it from the system's printers).
class ListedPrinters : public Printers {
 public:
  explicit ListedPrinters(std::vector<std::wstring> names = {}, int current = -1);
  std::vector<std::wstring> device_names() const override { return names_; }
  int current() const override { return current_; }
  void set_current(int index) override;
  int copies() const override { return copies_; }
  bool set_copies(int copies) override;
  void set_names(std::vector<std::wstring> names, int current);

 private:
  std::vector<std::wstring> names_;
  int current_ = -1;
  int copies_ = 1;
};

}  // namespace dorv::ui
