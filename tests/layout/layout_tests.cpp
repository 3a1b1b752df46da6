// The folders use one another as the README's map of who uses whom says: a
// folder includes only its own headers and those of the folders the map lets
// it use, and no two folders include each other.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Graph = std::map<std::string, std::set<std::string>>;

const fs::path kSource = DORV_SOURCE_DIR;

// A source file's folder: its top folder, or, under standins/, the stand-in's own.
std::string folder_of(const std::string& relative) {
  const auto slash = relative.find('/');
  if (slash == std::string::npos) return {};
  const std::string top = relative.substr(0, slash);
  if (top != "standins") return top;
  const auto second = relative.find('/', slash + 1);
  return second == std::string::npos ? top : relative.substr(0, second);
}

// The map in the README: the indented lines "a/, b/ -> c/, what of d/, ...".
Graph readme_map() {
  std::ifstream in(kSource / "README.md");
  std::stringstream text;
  text << in.rdbuf();
  const std::string all = text.str();
  const auto begin = all.find("Who uses whom");
  EXPECT_NE(begin, std::string::npos) << "README: no map of who uses whom";
  Graph map;
  std::istringstream lines(all.substr(begin));
  std::string line;
  bool seen = false;
  while (std::getline(lines, line)) {
    const auto arrow = line.find(" -> ");
    if (line.rfind("    ", 0) != 0 || arrow == std::string::npos) {
      if (seen) break;
      continue;
    }
    seen = true;
    std::vector<std::string> users, used;
    // Each comma-separated part names one folder, the word with a slash in
    // it: "app/", "standins/optimer", "the grid size limit of solvers/".
    const auto collect = [](const std::string& side, std::vector<std::string>& out) {
      const std::regex folder_word(R"([a-z]+/(?:[a-z]+)?)");
      std::istringstream parts(side);
      std::string part;
      while (std::getline(parts, part, ',')) {
        std::smatch m;
        if (!std::regex_search(part, m, folder_word)) continue;
        std::string found = m.str();
        if (found.back() == '/') found.pop_back();
        out.push_back(found);
      }
    };
    collect(line.substr(0, arrow), users);
    collect(line.substr(arrow + 4), used);
    for (const auto& u : users) map[u].insert(used.begin(), used.end());
  }
  return map;
}

// What a folder may use: those on its line, and what those use.
std::set<std::string> reachable(const Graph& map, const std::string& from) {
  std::set<std::string> seen;
  std::vector<std::string> todo{from};
  while (!todo.empty()) {
    const std::string f = todo.back();
    todo.pop_back();
    const auto it = map.find(f);
    if (it == map.end()) continue;
    for (const auto& to : it->second)
      if (seen.insert(to).second) todo.push_back(to);
  }
  return seen;
}

// Every folder-to-folder #include of the program's own sources (tests and
// benchmarks use whatever they test).
Graph includes() {
  Graph graph;
  const std::regex include(R"(^\s*#\s*include\s+"([^"]+)\")");
  for (auto it = fs::recursive_directory_iterator(kSource); it != fs::recursive_directory_iterator(); ++it) {
    const std::string relative = fs::relative(it->path(), kSource).generic_string();
    const std::string top = relative.substr(0, relative.find('/'));
    if (it->is_directory() && (top.rfind("build", 0) == 0 || top == "tests" || top == "bench" || top[0] == '.' ||
                               top == "program" || top == "data" || top == "docs")) {
      it.disable_recursion_pending();
      continue;
    }
    const std::string ext = it->path().extension().string();
    if (!it->is_regular_file() || (ext != ".cpp" && ext != ".h")) continue;
    const std::string from = folder_of(relative);
    if (from.empty()) continue;
    std::ifstream in(it->path());
    std::string line;
    std::smatch m;
    while (std::getline(in, line))
      if (std::regex_search(line, m, include)) {
        const std::string to = folder_of(m[1].str());
        if (!to.empty() && to != from && fs::exists(kSource / m[1].str())) graph[from].insert(to + " (" + relative + ")");
      }
  }
  return graph;
}

TEST(Layout, EveryFolderIncludesOnlyWhatTheMapLetsItUse) {
  const Graph map = readme_map();
  ASSERT_FALSE(map.empty());
  const Graph graph = includes();
  ASSERT_TRUE(graph.contains("gridform"));  // the scan found the sources
  for (const auto& [from, targets] : graph) {
    const std::set<std::string> allowed = reachable(map, from);
    for (const auto& target : targets) {
      const std::string to = target.substr(0, target.find(' '));
      EXPECT_TRUE(allowed.contains(to)) << from << " includes " << target << ", which the README's map does not show";
    }
  }
}

TEST(Layout, TheMapHasNoFolderThatUsesItselfThroughAnother) {
  const Graph map = readme_map();
  for (const auto& [from, used] : map) EXPECT_FALSE(reachable(map, from).contains(from)) << from;
}

// The layout table has a row for every folder of sources, and the map a line.
TEST(Layout, TheReadmeNamesEveryFolderOfSources) {
  std::ifstream in(kSource / "README.md");
  std::stringstream text;
  text << in.rdbuf();
  const std::string readme = text.str();
  const Graph map = readme_map();
  for (const auto& entry : fs::directory_iterator(kSource)) {
    const std::string name = entry.path().filename().string();
    if (!entry.is_directory() || name[0] == '.' || name.rfind("build", 0) == 0 || name == "program") continue;
    EXPECT_NE(readme.find("| `" + name + "/` |"), std::string::npos) << name << "/ has no row in the layout table";
  }
  for (const auto& [from, targets] : includes())
    EXPECT_TRUE(map.contains(from) || map.contains(from.substr(0, from.find('/')))) << from << " is not in the map";
}

}  // namespace
