// What a printed PDF holds, as the PDF tools of the system see it: its text
// in reading order, the words with their places, its fonts and its page
// sizes; and pictures of its pages for the tests' artifacts.
#pragma once
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "text/codepage.h"
#include "text/number.h"

namespace dorv::test {

// The standard output of a shell command.
inline std::string command_output(const std::string& command) {
  std::string out;
  if (FILE* pipe = ::popen(command.c_str(), "r")) {
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
    ::pclose(pipe);
  }
  return out;
}

inline std::string quoted(const std::filesystem::path& p) { return "'" + p.string() + "'"; }

// The text of the whole document, UTF-8, line by line from the top of each
// page as it stands on it, pages separated by form feeds.
inline std::string pdf_text(const std::filesystem::path& pdf) {
  return command_output("pdftotext -layout -enc UTF-8 " + quoted(pdf) + " - 2>/dev/null");
}

// The words of a text, one blank between them: the PDF's layout text puts
// its own spacing between columns.
inline std::string pdf_words_of(const std::string& text) {
  std::istringstream in(text);
  std::string out;
  for (std::string w; in >> w;) out += (out.empty() ? "" : " ") + w;
  return out;
}

// The number of the first line of a report file (counted from 1, its class
// marker dropped, the first line never printed) that the PDF's text does not
// hold after the lines before it; 0 when it holds them all in order.
inline std::size_t report_line_missing_in_pdf(const std::vector<std::wstring>& report, const std::string& pdf_text) {
  const std::string text = pdf_words_of(pdf_text);
  std::size_t at = 0;
  for (std::size_t i = 1; i < report.size(); ++i) {
    const std::string line = pdf_words_of(dorv::to_utf8(report[i].empty() ? L"" : report[i].substr(1)));
    if (line.empty()) continue;
    const std::size_t found = text.find(line, at);
    if (found == std::string::npos) return i + 1;
    at = found + line.size();
  }
  return 0;
}

struct PdfWord {
  std::string text;
  double x = 0, y = 0;  // top-left corner, points from the top-left of the page
  int page = 0;         // from 1
};

// Every word with its place, in the order of the page's text.
inline std::vector<PdfWord> pdf_words(const std::filesystem::path& pdf) {
  std::vector<PdfWord> words;
  const std::string html = command_output("pdftotext -bbox -enc UTF-8 " + quoted(pdf) + " - 2>/dev/null");
  int page = 0;
  const auto attribute = [](const std::string& tag, const std::string& name) {
    const std::size_t at = tag.find(name + "=\"");
    double v = 0;
    if (at != std::string::npos) dorv::scan_decimal(std::string_view(tag).substr(at + name.size() + 2), v);
    return v;
  };
  for (std::size_t at = 0; (at = html.find('<', at)) != std::string::npos;) {
    const std::size_t close = html.find('>', at);
    if (close == std::string::npos) break;
    const std::string tag = html.substr(at, close - at + 1);
    if (tag.rfind("<page", 0) == 0) ++page;
    if (tag.rfind("<word", 0) == 0) {
      const std::size_t end = html.find("</word>", close);
      PdfWord w;
      w.text = html.substr(close + 1, end - close - 1);
      w.x = attribute(tag, "xMin");
      w.y = attribute(tag, "yMin");
      w.page = page;
      words.push_back(w);
    }
    at = close + 1;
  }
  return words;
}

struct PdfFont {
  std::string name;
  bool embedded = false;
};

inline std::vector<PdfFont> pdf_fonts(const std::filesystem::path& pdf) {
  std::vector<PdfFont> fonts;
  std::istringstream lines(command_output("pdffonts " + quoted(pdf) + " 2>/dev/null"));
  std::string line;
  std::getline(lines, line);  // heading
  std::getline(lines, line);  // rule
  while (std::getline(lines, line)) {
    std::istringstream fields(line);
    std::vector<std::string> f;
    for (std::string s; fields >> s;) f.push_back(s);
    // name type... encoding emb sub uni object ID
    if (f.size() >= 7) fonts.push_back({f[0], f[f.size() - 5] == "yes"});
  }
  return fonts;
}

struct PdfPageSize {
  double width = 0, height = 0;  // points, as the page is shown (its rotation applied)
};

inline std::vector<PdfPageSize> pdf_page_sizes(const std::filesystem::path& pdf) {
  std::vector<PdfPageSize> sizes;
  std::istringstream lines(command_output("pdfinfo -f 1 -l 9999 " + quoted(pdf) + " 2>/dev/null"));
  std::vector<int> rotations;
  for (std::string line; std::getline(lines, line);) {
    if (line.rfind("Page", 0) != 0) continue;
    if (const std::size_t at = line.find(" size: "); at != std::string::npos) {
      // "595.276 x 841.89 pts (A4)"
      std::string_view v = std::string_view(line).substr(at + 7);
      v.remove_prefix(std::min(v.size(), v.find_first_not_of(' ')));
      PdfPageSize s;
      const std::size_t n = dorv::scan_decimal(v, s.width);
      const std::size_t x = v.find("x ", n);
      if (x != std::string_view::npos) dorv::scan_decimal(v.substr(x + 2), s.height);
      sizes.push_back(s);
    } else if (const std::size_t r = line.find(" rot: "); r != std::string::npos) {
      long long degrees = 0;
      const std::string_view v = std::string_view(line).substr(r + 6);
      dorv::scan_whole(v.substr(v.find_first_not_of(' ')), degrees);
      rotations.push_back(static_cast<int>(degrees));
    }
  }
  for (std::size_t i = 0; i < sizes.size() && i < rotations.size(); ++i)
    if (rotations[i] % 180 != 0) std::swap(sizes[i].width, sizes[i].height);
  return sizes;
}

// Writes PREFIX-1.png, PREFIX-2.png ... of the pages into a folder.
inline void save_page_images(const std::filesystem::path& pdf, const std::filesystem::path& folder,
                             const std::string& prefix) {
  std::filesystem::create_directories(folder);
  command_output("pdftoppm -r 60 -png " + quoted(pdf) + " " + quoted(folder / prefix) + " 2>/dev/null");
}

}  // namespace dorv::test
