// SPDX-License-Identifier: MIT
// Samples without a twin, checked by what they state about themselves (task names that say
// whether the task is a milestone or manually scheduled) and by the facts the format note
// gives (non-ASCII names, notes in RTF, the two title sources).
#include <gtest/gtest.h>

#include <map>

#include "mpp/mpp_reader.h"
#include "mpp_test_support.h"

namespace nerin {
namespace {

using Element = std::map<std::string, std::string>;

// The text children of every element `name` inside the section `section`.
std::vector<Element> Elements(std::string_view file, std::string_view section, std::string_view name) {
  XmlDocument document;
  MessageLog log;
  MessageLog notes;
  EXPECT_TRUE(ReadMppDocument(mpp_test::Sample(file), file, document, log, notes)) << MessageListText(log);
  std::vector<Element> out;
  std::string scratch;
  const XmlNode root = document.Root();
  if (section.empty()) {
    Element element;
    for (XmlNode c = document.FirstChild(root); c != XML_NONE; c = document.NextSibling(c)) {
      element[std::string(document.Name(c))] = std::string(document.Text(c, scratch));
    }
    return {element};
  }
  for (XmlNode s = document.FirstChild(root); s != XML_NONE; s = document.NextSibling(s)) {
    if (document.Name(s) != section) continue;
    for (XmlNode e = document.FirstChild(s); e != XML_NONE; e = document.NextSibling(e)) {
      if (document.Name(e) != name) continue;
      Element element;
      for (XmlNode c = document.FirstChild(e); c != XML_NONE; c = document.NextSibling(c)) {
        element[std::string(document.Name(c))] = std::string(document.Text(c, scratch));
      }
      out.push_back(std::move(element));
    }
  }
  return out;
}

TEST(SampleFacts, TaskNamesStateTheirFlagsInBothLayouts) {
  NERIN_SKIP_WITHOUT_SAMPLES();
  for (const char* file : {"taskFlags-mpp14Project2010.mpp", "taskFlags-mpp14Project2013.mpp"}) {
    SCOPED_TRACE(file);
    int milestones = 0;
    int modes = 0;
    for (const Element& task : Elements(file, "Tasks", "Task")) {
      const std::string name = task.count("Name") != 0 ? task.at("Name") : "";
      if (name.starts_with("Milestone: ")) {
        ++milestones;
        EXPECT_EQ(task.at("Milestone"), name == "Milestone: Yes" ? "1" : "0") << name;
      }
      if (name.starts_with("Mode: ")) {
        ++modes;
        EXPECT_EQ(task.at("Manual"), name == "Mode: Manual" ? "1" : "0") << name;
      }
    }
    EXPECT_EQ(milestones, 4);
    EXPECT_EQ(modes, 4);
  }
}

TEST(SampleFacts, NamesKeepEveryCharacterAndNotesAreText) {
  NERIN_SKIP_WITHOUT_SAMPLES();
  bool mechanic = false;
  for (const Element& resource : Elements("sf259.mpp", "Resources", "Resource")) {
    if (resource.count("Name") != 0 && resource.at("Name") == "AJUDANTE DE MEC\xC3\x82NICO") mechanic = true;
  }
  EXPECT_TRUE(mechanic);
  std::string note;
  for (const Element& task : Elements("sf259.mpp", "Tasks", "Task")) {
    if (task.count("Notes") != 0) note = task.at("Notes");
  }
  EXPECT_TRUE(note.starts_with("T097 - Substituir todas as chicanas")) << note;
  EXPECT_NE(note.find("fun      \xC3\xA7\xC3\xA3o de n\xC3\xA3o existir"), std::string::npos) << note;
  EXPECT_TRUE(note.ends_with("I-DE-3010.64-1223-562-DPI-029")) << note;
  EXPECT_EQ(note.find('{'), std::string::npos);
}

TEST(SampleFacts, TitleFromTheSummaryInformationAndNotesOfTheSummaryRow) {
  NERIN_SKIP_WITHOUT_SAMPLES();
  const Element project = Elements("headertest9.mpp", "", "").front();
  EXPECT_EQ(project.at("Title"), "Project Title Text");  // not the plan's own "headertest"
  EXPECT_EQ(project.at("Author"), "Author Text");
  EXPECT_EQ(project.at("Name"), "headertest9.mpp");
  const std::vector<Element> tasks = Elements("headertest9.mpp", "Tasks", "Task");
  ASSERT_EQ(tasks.size(), 1u);
  EXPECT_EQ(tasks[0].at("UID"), "0");
  EXPECT_EQ(tasks[0].at("Notes"), "Comments Text");
}

TEST(SampleFacts, HeaderValuesOfThePlan) {
  NERIN_SKIP_WITHOUT_SAMPLES();
  const Element project = Elements("mpp12nulltasks.mpp", "", "").front();
  EXPECT_EQ(project.at("MinutesPerDay"), "450");
  const Element other = Elements("task-links-project2016-mpp14.mpp", "", "").front();
  EXPECT_EQ(other.at("StartDate"), "2016-02-08T08:00:00");
  EXPECT_EQ(other.at("CurrencySymbol"), "\xC2\xA3");
  EXPECT_EQ(other.at("DefaultStartTime"), "08:00:00");
}

}  // namespace
}  // namespace nerin
