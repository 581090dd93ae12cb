// SPDX-License-Identifier: MIT
#include "app/help_items.h"

#include "app/status_text.h"
#include "views/chart_colours.h"

namespace nerin {

namespace {

struct ItemRow {
  HelpItemKind kind;
  const char* text;
  const char* text2;
  std::int64_t value;
  // Stands in the table where Help lists the toolbar's buttons (TOOLBAR_TEXTS).
  bool toolbarRows = false;
};

constexpr std::int64_t kNone = -1;
constexpr std::int64_t kGrey = ColourValue(TEXT_GREY);
// The legend shows each link type in the colour the chart draws it with.
constexpr std::int64_t kFinishToFinish = ColourValue(LinkTypeColours[0]);
constexpr std::int64_t kFinishToStart = ColourValue(LinkTypeColours[1]);
constexpr std::int64_t kStartToFinish = ColourValue(LinkTypeColours[2]);
constexpr std::int64_t kStartToStart = ColourValue(LinkTypeColours[3]);
constexpr std::int64_t kDriving = ColourValue(DrivingLinkColour);
constexpr std::int64_t kReferenceBar = ColourValue(ReferenceBarColour);
constexpr std::int64_t kAddedMark = ColourValue(AddedMarkColour);
constexpr std::int64_t kLaterMark = ColourValue(LaterMarkColour);
constexpr std::int64_t kEarlierMark = ColourValue(EarlierMarkColour);
constexpr std::int64_t kOtherMark = ColourValue(OtherChangeMarkColour);

// Toolbar rows carry the number of the toolbar picture they show.
// clang-format off
constexpr ItemRow kHelpRows[] = {
    {HelpItemKind::Heading, "Opening a plan", "", kNone},
    {HelpItemKind::Paragraph, "Click the Open button, press Ctrl+O, or drag a plan onto the window: an MS Project XML file "
                     "or MS Project's own .mpp file.", "", kNone},
    {HelpItemKind::Paragraph, "The file is opened read-only; the viewer never writes to it. The .mpp files of MS Project "
                     "2000 and every later version open (the formats MPP9, MPP12 and MPP14); older ones, "
                     "templates and plans protected by a password do not - save those as XML from MS Project.",
     "", kNone},
    {HelpItemKind::Paragraph, "A plan on a network share opens the same way once the share is mounted: type or paste its "
                     "path, such as /mnt/projects/plan.xml, into the file dialog.", "", kNone},
    {HelpItemKind::Paragraph, "Ctrl+U opens a plan from a web address. Unlike a browser the viewer is not restricted to "
                     "servers that allow it, so any http or https address the network reaches will do.", "", kNone},
    {HelpItemKind::Paragraph, "The arrow beside the Open button lists the ten plans opened last, files and addresses. A plan "
                     "there that no longer opens is reported and leaves the list.", "", kNone},
    {HelpItemKind::Paragraph, "Ctrl+R reads the plan shown again. When its file changes on disk - a new export over the "
                     "old one - the viewer reads it by itself once the file has been quiet for half a second. "
                     "The scale, the scroll position, the folded summaries, the selected task and the lists' "
                     "order stay; a version that does not load is reported and the plan shown stays.", "", kNone},
    {HelpItemKind::Paragraph, "Starting the viewer with a plan opens it at once, where the plan is a path (on a mounted "
                     "share too) or an http or https address. Opening a plan file with the viewer from the file "
                     "manager does the same, because the system hands the viewer the path. The switch /o before "
                     "the plan is accepted as well, and a link elsewhere - in Microsoft Teams, for instance - can "
                     "use it to start the viewer on one particular plan.", "", kNone},
    {HelpItemKind::Heading, "Toolbar", "", kNone},
    {HelpItemKind::Note, "Hovering over a button shows the same wording; Export's says what it saves on the tab shown.",
     "", kNone},
    {HelpItemKind::ToolbarRow, "", "", kNone, true},
    {HelpItemKind::Heading, "Gantt chart", "", kNone},
    {HelpItemKind::Paragraph, "The mouse wheel scrolls vertically; Shift + mouse wheel zooms around the mouse position.", "", kNone},
    {HelpItemKind::Paragraph, "The zoom buttons or the keypad - and + keys zoom the timeline; Fit scales the visible task bars into "
                     "the view.", "", kNone},
    {HelpItemKind::Paragraph, "The scrollbars move the chart. Drag the line between the task columns and the timeline to "
                     "resize the columns.", "", kNone},
    {HelpItemKind::Paragraph, "Hover over a task row for a summary; double-click it for all details. In the details window, "
                     "click a linked task to go to it.", "", kNone},
    {HelpItemKind::Paragraph, "Click the triangle before a summary task to collapse or expand it; Collapse and Expand act on "
                     "all summary tasks.", "", kNone},
    {HelpItemKind::Paragraph, "The Critical filter applies to the chart and to the Tasks list; the other toolbar buttons are "
                     "listed above.", "", kNone},
    {HelpItemKind::Spacer, "", "", kNone},
    {HelpItemKind::LegendRow, "FS", "finish to start", kFinishToStart},
    {HelpItemKind::LegendRow, "FF", "finish to finish", kFinishToFinish},
    {HelpItemKind::LegendRow, "SS", "start to start", kStartToStart},
    {HelpItemKind::LegendRow, "SF", "start to finish", kStartToFinish},
    {HelpItemKind::LegendRow, "red", "driving link on the critical path", kDriving},
    {HelpItemKind::Paragraph, "A thin dark grey bar under a task bar shows its baseline, the dates the plan was approved with. Not "
                     "every export contains baselines.", "", kNone},
    {HelpItemKind::Heading, "Comparing two versions", "", kNone},
    {HelpItemKind::Paragraph, "Compare (Ctrl+K) reads another version of the plan shown - last week's export, say - from a "
                     "file, or with Ctrl+Shift+K from a web address, and shows what changed since it. The plan shown "
                     "stays the newer version; tasks are matched by their UID.", "", kNone},
    {HelpItemKind::Paragraph, "The status line counts the changes. Hover over a marked row to read its change, or "
                     "double-click it for every changed field; the Tasks list gains a Change column.", "", kNone},
    {HelpItemKind::Paragraph, "Click Compare again or press Esc to stop comparing; opening another plan stops it too, while a "
                     "reload keeps it and compares the plan read anew. A "
                     "version that does not load is reported and leaves the plan shown as it was.", "", kNone},
    {HelpItemKind::Spacer, "", "", kNone},
    {HelpItemKind::BarLegendRow, "bar", "thin bar along the top of a row: the earlier version's dates", kReferenceBar},
    {HelpItemKind::MarkLegendRow, "added", "mark at the left of a row: the task is new", kAddedMark},
    {HelpItemKind::MarkLegendRow, "later", "the task finishes later than before, or starts later with the same finish",
     kLaterMark},
    {HelpItemKind::MarkLegendRow, "earlier", "the task finishes earlier than before, or starts earlier with the same "
                                      "finish", kEarlierMark},
    {HelpItemKind::MarkLegendRow, "other", "another change: name, outline, duration, progress, flags, baseline, links, "
                                    "resources, note", kOtherMark},
    {HelpItemKind::Paragraph, "Tasks that were removed have no row; nerin-cli diff lists them with everything else.", "", kNone},
    {HelpItemKind::Heading, "Finding tasks", "", kNone},
    {HelpItemKind::Paragraph, "Type part of a task name or a task ID in the search field, then press Enter, click the Find "
                     "button, or press F3 for the next match.", "", kNone},
    {HelpItemKind::Paragraph, "The text of the notes is searched as well, so a match may have nothing visible in its name. A "
                     "yellow square in the task column marks rows that carry a note.", "", kNone},
    {HelpItemKind::Paragraph, "In the Tasks tab the matching row is selected; in the Resources tab Find looks for the next "
                     "resource by name or ID.", "", kNone},
    {HelpItemKind::Heading, "Task and resource lists", "", kNone},
    {HelpItemKind::Paragraph, "The Tasks and Resources tabs have their own scroll areas. The last column takes the rest of "
                     "the width; double-click the edge of a column header to fit that column to its contents.", "",
     kNone},
    {HelpItemKind::Paragraph, "Click a column header to sort by it: ascending, then descending, then back to plan order. "
                     "The sort stays until another plan is opened.", "", kNone},
    {HelpItemKind::Paragraph, "Ctrl+C copies the selected rows (Shift and Ctrl select several) with a header line, ready to "
                     "paste into a spreadsheet; over the chart it copies the task under the pointer. Right-click a "
                     "list for Copy and Export list..., which saves the list as shown as a CSV file; the Export "
                     "button does the same on these tabs.", "", kNone},
    {HelpItemKind::Heading, "Keyboard", "", kNone},
    {HelpItemKind::KeyRow, "Ctrl+O", "Open a file", kNone},
    {HelpItemKind::KeyRow, "Ctrl+U", "Open from a web address", kNone},
    {HelpItemKind::KeyRow, "Ctrl+R", "Reload the plan shown, keeping the view", kNone},
    {HelpItemKind::KeyRow, "Ctrl+C", "Copy the selected list rows, or the task under the pointer", kNone},
    {HelpItemKind::KeyRow, "Ctrl+K", "Compare with another version, or stop comparing", kNone},
    {HelpItemKind::KeyRow, "Ctrl+Shift+K", "Compare with another version from a web address", kNone},
    {HelpItemKind::KeyRow, "Esc", "Stop opening a plan while it loads, else stop comparing", kNone},
    {HelpItemKind::KeyRow, "F3", "Find the next match", kNone},
    {HelpItemKind::KeyRow, "F5", "Fit the chart to the visible bars, or refresh a list", kNone},
    {HelpItemKind::KeyRow, "Ctrl+P", "Print the whole Gantt chart, page by page", kNone},
    {HelpItemKind::KeyRow, "Ctrl+Shift+P", "Print preview: paper, orientation and scale", kNone},
    {HelpItemKind::KeyRow, "+  /  -", "Zoom the timeline (numeric keypad)", kNone},
    {HelpItemKind::KeyRow, "Arrow keys", "Scroll the chart, or move in a list", kNone},
    {HelpItemKind::KeyRow, "Page Up / Page Down", "Scroll by one page", kNone},
    {HelpItemKind::KeyRow, "Home / End", "Jump to the start or the end", kNone},
};
// clang-format on

// The maker's lines of the About window.
constexpr const char* kTagLine = "for Microsoft Project plans: their XML export and .mpp files";
constexpr const char* kDevelopers = "The Nerin Plan Viewer developers";
constexpr const char* kNotice = "Copyright \u00A9 2026 The Nerin Plan Viewer developers";
constexpr const char* kLicence = "Released under the MIT License.";
// The toolbar icons are the project's own, drawn by its icon generator.
constexpr const char* kIconCredits =
    "Toolbar icons \u00A9 2026 The Nerin Plan Viewer developers (drawn by their icon generator)";

}  // namespace

void AddHelpItem(HelpDocument& document, HelpItemKind kind, const std::string& text, const std::string& text2,
                 std::int64_t value) {
  document.items.push_back(HelpItem{kind, text, text2, value});
}

void FillHelpDocument(HelpDocument& document) {
  document.items.clear();
  document.caption = "Help";
  for (const ItemRow& row : kHelpRows) {
    if (row.toolbarRows) {
      for (const ToolbarText& button : TOOLBAR_TEXTS) {
        AddHelpItem(document, HelpItemKind::ToolbarRow, button.Name, button.Description, button.Picture);
      }
    } else {
      AddHelpItem(document, row.kind, row.text, row.text2, row.value);
    }
  }
}

void FillAboutDocument(HelpDocument& document, const std::string& version, const std::string& contact) {
  document.items.clear();
  document.caption = "About";
  AddHelpItem(document, HelpItemKind::Spacer, "");
  AddHelpItem(document, HelpItemKind::Title, APP_TITLE);
  AddHelpItem(document, HelpItemKind::CentredLine, kTagLine);
  AddHelpItem(document, HelpItemKind::CentredLine, "Version " + version, "", kGrey);
  AddHelpItem(document, HelpItemKind::Spacer, "");
  AddHelpItem(document, HelpItemKind::CentredLine, kDevelopers);
  AddHelpItem(document, HelpItemKind::CentredLine, "Contact: " + contact);
  AddHelpItem(document, HelpItemKind::Spacer, "");
  AddHelpItem(document, HelpItemKind::CentredLine, kNotice, "", kGrey);
  AddHelpItem(document, HelpItemKind::CentredLine, kLicence, "", kGrey);
  AddHelpItem(document, HelpItemKind::Spacer, "");
  AddHelpItem(document, HelpItemKind::SmallNote, kIconCredits);
}

}  // namespace nerin
