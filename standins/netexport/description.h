// The plain-text description of a network that netexport turns into an
// export of the graphics application: the head values, the nodes with their
// drawing coordinates and elevations, the pipe sections, the outlets and the
// feed. The format is described in the README.
#pragma once
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace dorv::netexport {

enum class OutletKind { Main, Rack, Deluge, FireCock };

struct Node {
  std::wstring number;  // the drawn node number as written
  double x = 0, y = 0;  // drawing units, y growing downwards
  double elevation = 0; // m
};

struct Pipe {
  int a = 0, b = 0;          // node indexes into Description::nodes
  std::wstring length;       // m, as written
  std::wstring diameter;     // nominal diameter; with "*" after it a pipe of the second standard
};

struct Outlet {
  int node = 0;
  OutletKind kind = OutletKind::Main;
};

struct Description {
  std::wstring contract, object;
  // Head values as written (empty: not given).
  std::wstring main_intensity, main_area, main_k;
  std::wstring rack_intensity, rack_area, rack_k;
  std::wstring deluge_flow, deluge_head;
  std::wstring cock_flow, cock_head;
  std::wstring standard, second_standard, valve, inlet_head;
  std::vector<Node> nodes;
  std::vector<Pipe> pipes;
  std::vector<Outlet> outlets;
  int feed = -1;
  std::optional<std::pair<int, int>> control_unit;  // the section that holds the control unit
};

// A mistake in the description, with the line it was found on (0: the
// description as a whole).
class DescriptionError : public std::runtime_error {
 public:
  DescriptionError(int line, std::wstring text);
  int line() const { return line_; }
  const std::wstring& text() const { return text_; }

 private:
  int line_;
  std::wstring text_;
};

// Reads a description (its lines). Throws DescriptionError.
Description parse_description(const std::vector<std::wstring>& lines);

}  // namespace dorv::netexport
