// Reading back what a print run produced: the words of a PDF with their
// boxes (poppler's pdftotext -bbox) and a page rendered to an image
// (pdftoppm). Boxes are in points, origin at the page's top-left corner.
#pragma once

#include <QImage>
#include <QString>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <regex>
#include <string>
#include <vector>

namespace tessivo::test {

struct PdfWord {
  std::string text;  // UTF-8
  double xMin = 0, yMin = 0, xMax = 0, yMax = 0;
};

struct PdfPage {
  double width = 0, height = 0;  // points
  std::vector<PdfWord> words;
  const PdfWord* find(const std::string& text) const {
    for (const PdfWord& w : words)
      if (w.text == text) return &w;
    return nullptr;
  }
};

inline std::string runCommand(const std::string& command) {
  std::string out;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    char buffer[4096];
    std::size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
    pclose(pipe);
  }
  return out;
}

// Keeps a copy of a printed PDF, and its pages as PNG (pdftoppm with
// `pngOptions`), in the folder TESSIVO_KEEP_CHARTS names, for a person to
// look at; does nothing when it is not set.
inline void keepForLooking(const std::string& pdf, const std::string& name,
                           const std::string& pngOptions = "-r 60 -png") {
  const char* where = std::getenv("TESSIVO_KEEP_CHARTS");
  if (!where) return;
  std::filesystem::create_directories(where);
  const std::string target = std::string(where) + "/" + name;
  std::filesystem::copy_file(pdf, target + ".pdf",
                             std::filesystem::copy_options::overwrite_existing);
  runCommand("pdftoppm " + pngOptions + " '" + pdf + "' '" + target + "'");
}

inline bool haveTool(const std::string& tool) {
  return !runCommand("command -v " + tool + " 2>/dev/null").empty();
}

// Every page of the PDF; empty when the file cannot be read.
inline std::vector<PdfPage> readPdfWords(const std::string& pdfPath) {
  const std::string html = runCommand("pdftotext -bbox '" + pdfPath + "' - 2>/dev/null");
  static const std::regex pageRe(R"re(<page width="([0-9.]+)" height="([0-9.]+)">)re");
  static const std::regex wordRe(
      R"re(<word xMin="([0-9.-]+)" yMin="([0-9.-]+)" xMax="([0-9.-]+)" yMax="([0-9.-]+)">([^<]*)</word>)re");
  static const std::regex anyRe(R"re(<page [^>]*>|<word [^>]*>[^<]*</word>)re");
  std::vector<PdfPage> pages;
  for (auto it = std::sregex_iterator(html.begin(), html.end(), anyRe); it != std::sregex_iterator();
       ++it) {
    const std::string item = it->str();
    std::smatch m;
    if (std::regex_match(item, m, pageRe)) {
      pages.push_back({std::stod(m[1]), std::stod(m[2]), {}});
    } else if (std::regex_match(item, m, wordRe) && !pages.empty()) {
      pages.back().words.push_back(
          {m[5], std::stod(m[1]), std::stod(m[2]), std::stod(m[3]), std::stod(m[4])});
    }
  }
  return pages;
}

// Page `page` (1-based) at `dotsPerInch`, written to pngPath and loaded.
inline QImage renderPdfPage(const std::string& pdfPath, int page, int dotsPerInch,
                            const std::string& pngPath) {
  std::string stem = pngPath.substr(0, pngPath.size() - 4);  // pdftoppm adds ".png"
  runCommand("pdftoppm -png -singlefile -r " + std::to_string(dotsPerInch) + " -f " +
             std::to_string(page) + " -l " + std::to_string(page) + " '" + pdfPath + "' '" + stem +
             "' 2>/dev/null");
  return QImage(QString::fromStdString(pngPath));
}

}  // namespace tessivo::test
