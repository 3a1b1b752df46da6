// What every report printed into a PDF through dorv-scenario must hold: its
// title, the report file's lines in their order with the Cyrillic intact,
// embedded fonts, at least two pages of which the first is portrait. Pictures
// of its pages are kept for the test's artifacts.
#pragma once
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/support/pdf_inspect.h"
#include "text/linefile.h"

namespace dorv::scenario_test {

// The PDF's text for checks of the caller's own; empty when there is no PDF.
inline std::string expect_printed_report(const std::filesystem::path& pdf, const std::filesystem::path& report,
                                         const std::string& title, const std::filesystem::path& images) {
  if (!std::filesystem::exists(pdf)) {
    ADD_FAILURE() << "no PDF " << pdf;
    return {};
  }
  const std::string text = dorv::test::pdf_text(pdf);
  EXPECT_NE(text.find(title), std::string::npos);
  // Whole lines: one that ran past the edge of the page would be cut here.
  EXPECT_EQ(dorv::test::report_line_missing_in_pdf(dorv::read_lines(report), text), 0u) << text;
  const auto fonts = dorv::test::pdf_fonts(pdf);
  EXPECT_FALSE(fonts.empty());
  for (const auto& f : fonts) EXPECT_TRUE(f.embedded) << f.name;
  const auto sizes = dorv::test::pdf_page_sizes(pdf);
  EXPECT_GE(sizes.size(), 2u);
  if (!sizes.empty()) {
    EXPECT_LT(sizes[0].width, sizes[0].height);  // portrait
  }
  dorv::test::save_page_images(pdf, images, pdf.stem().string());
  return text;
}

}  // namespace dorv::scenario_test
