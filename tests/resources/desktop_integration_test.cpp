// SPDX-License-Identifier: MIT
// The menu entry and the file type the viewer installs, checked with the desktop's own tools
// where they are installed.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <regex>
#include <set>
#include <sstream>
#include <string>

namespace nerin {
namespace {

namespace fs = std::filesystem;

const fs::path kResources = fs::path(NERIN_SOURCE_DIR) / "resources";

bool HaveProgram(const std::string& name) {
  return std::system(("command -v " + name + " >/dev/null 2>&1").c_str()) == 0;
}

std::string Quoted(const fs::path& path) {
  return "'" + path.string() + "'";
}

// What a shell command prints, standard error included.
std::string Output(const std::string& command) {
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen((command + " 2>&1").c_str(), "r"), pclose);
  std::string text;
  char buffer[256];
  while (pipe && std::fgets(buffer, sizeof buffer, pipe.get()) != nullptr) text += buffer;
  return text;
}

std::string FileText(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Every first capture of `pattern` in `text`, split further at `separator` when given.
std::set<std::string> Captures(const std::string& text, const std::string& pattern, char separator = 0) {
  std::set<std::string> found;
  const std::regex re(pattern);
  for (auto it = std::sregex_iterator(text.begin(), text.end(), re); it != std::sregex_iterator(); ++it) {
    std::istringstream parts((*it)[1].str());
    std::string part;
    while (std::getline(parts, part, separator ? separator : '\0')) {
      if (!part.empty()) found.insert(part);
    }
  }
  return found;
}

// The menu entry, the file type and the software centre's metadata name the same plan type and
// the same entry; otherwise the desktop offers the viewer for files it does not know, or a
// software centre shows an entry that does not start it.
TEST(DesktopFiles, AgreeOnThePlanTypeAndTheEntry) {
  const std::string entry = FileText(kResources / "nerin-viewer.desktop");
  const std::string types = FileText(kResources / "nerin-viewer-mime.xml");
  const std::string metainfo = FileText(kResources / "nerin-viewer.metainfo.xml");
  const std::set<std::string> defined = Captures(types, "<mime-type type=\"([^\"]+)\"");
  ASSERT_FALSE(defined.empty());
  EXPECT_EQ(Captures(entry, "\nMimeType=([^\n]*)", ';'), defined);
  EXPECT_EQ(Captures(metainfo, "<mediatype>([^<]+)</mediatype>"), defined);
  EXPECT_EQ(Captures(metainfo, "<launchable type=\"desktop-id\">([^<]+)</launchable>"),
            std::set<std::string>{"nerin-viewer.desktop"});
  EXPECT_EQ(Captures(entry, "\nIcon=([^\n]*)"), std::set<std::string>{"nerin-viewer"})
      << "the program icon is installed under the name nerin-viewer";
}

TEST(DesktopEntry, PassesTheDesktopFileValidator) {
  if (!HaveProgram("desktop-file-validate")) GTEST_SKIP() << "desktop-file-validate is not installed";
  EXPECT_EQ(Output("desktop-file-validate " + Quoted(kResources / "nerin-viewer.desktop")), "");
}

// A plan is known by its content: a Project root in the Project namespace, whatever the file's
// name. Other XML stays XML, even when it is named .xml.
TEST(PlanFileType, IsRecognisedByContentAndClaimsNoOtherXml) {
  if (!HaveProgram("update-mime-database") || !HaveProgram("gio")) {
    GTEST_SKIP() << "update-mime-database or gio is not installed";
  }
  std::string pattern = (fs::temp_directory_path() / "nerin-mime-XXXXXX").string();
  ASSERT_NE(mkdtemp(pattern.data()), nullptr);
  const fs::path temp = pattern;
  const fs::path mime = temp / "data" / "mime";
  fs::create_directories(mime / "packages");
  fs::copy_file(kResources / "nerin-viewer-mime.xml", mime / "packages" / "nerin-viewer.xml");
  ASSERT_EQ(std::system(("update-mime-database " + Quoted(mime) + " >/dev/null 2>&1").c_str()), 0);

  const std::string head = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n";
  const std::string plan = "<Project xmlns=\"http://schemas.microsoft.com/project\">";
  const char* const kPlan = "application/x-ms-project-xml";
  const char* const kXml = "application/xml";
  const std::string kCompound = std::string("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + std::string(1016, '\0');
  struct Row {
    const char* name;
    std::string content;
    const char* type;
  };
  const Row rows[] = {
      {"plan.xml", head + plan + "<Name>Plan</Name></Project>", kPlan},
      {"plan-with-bom.xml", "\xef\xbb\xbf" + head + plan + "</Project>", kPlan},
      {"plan-without-extension", head + plan + "</Project>", kPlan},
      {"plan.XML", head + "<!-- exported -->\r\n" + plan + "</Project>", kPlan},
      {"catalog.xml", head + "<catalog><book id=\"1\"/></catalog>", kXml},
      {"other-project.xml", head + "<Project xmlns=\"urn:example:other\"><a/></Project>", kXml},
      {"namespace-elsewhere.xml", head + "<a href=\"http://schemas.microsoft.com/project\"/>", kXml},
      // The product's binary plans are compound documents, known by their name.
      {"plan.mpp", kCompound, "application/vnd.ms-project"},
      {"PLAN.MPP", kCompound, "application/vnd.ms-project"},
      {"document-without-extension", kCompound, "application/x-ole-storage"},
  };
  for (const Row& row : rows) {
    std::ofstream(temp / row.name, std::ios::binary) << row.content;
    const std::string info = Output("XDG_DATA_HOME=" + Quoted(temp / "data") +
                                    " gio info -a standard::content-type " + Quoted(temp / row.name));
    EXPECT_NE(info.find(std::string("standard::content-type: ") + row.type + "\n"), std::string::npos)
        << row.name << ": " << info;
  }
  std::error_code ignored;
  fs::remove_all(temp, ignored);
}

}  // namespace
}  // namespace nerin
