// The places a command can be shown in: the menus of the menu bar, the main tool bar, the tabs of
// the tag tool box and the pop-up menus, and the groups inside the shared ones. A room adds its
// entries to a place by these names, and into a group of it rather than after another room's
// entry, so the rooms can be installed in any order that keeps a group's own entries in line.
//
// The ids are the object names the menus have always had (File1, ToolBar1, EditorPopup); a
// group is no widget, only a mark in the layout that declares the place.
#pragma once

#include <QLatin1String>

namespace MenuId {
inline constexpr QLatin1String File{"File1"};
inline constexpr QLatin1String Edit{"Edit1"};
inline constexpr QLatin1String Search{"Search1"};
inline constexpr QLatin1String Tags{"Tags1"};
inline constexpr QLatin1String Ftp{"FTP1"};
inline constexpr QLatin1String Tools{"Tools1"};
inline constexpr QLatin1String HelperApps{"HelperApps1"};
inline constexpr QLatin1String Help{"Help1"};
// The outline pop-up's sub-menus.
inline constexpr QLatin1String Expand{"Expand1"};
inline constexpr QLatin1String Collapse{"Collapse1"};
} // namespace MenuId

namespace ToolBarId {
inline constexpr QLatin1String Main{"ToolBar1"};
} // namespace ToolBarId

namespace TagTabId {
inline constexpr QLatin1String Common{"CommonTab"};
inline constexpr QLatin1String Font{"FontTab"};
inline constexpr QLatin1String List{"ListTab"};
inline constexpr QLatin1String Table{"TableTab"};
inline constexpr QLatin1String Frames{"FramesTab"};
inline constexpr QLatin1String Custom{"CustomTab"};
} // namespace TagTabId

namespace PopupId {
// The editor's right-click menu.
inline constexpr QLatin1String Editor{"EditorPopup"};
// The site outline's right-click menu.
inline constexpr QLatin1String Outline{"OutlinePopup"};
// The menu of the Files tab's file list.
inline constexpr QLatin1String FileList{"FileListPopup"};
// The outline's "Add/Move Web Pages" buttons, laid out as a pop-up of their own.
inline constexpr QLatin1String PageButtons{"PageButtons"};
} // namespace PopupId

// The groups of the shared places, in the order their declaring layout lists them. A group runs
// from its mark to the next one: the declaring layout's own entries after a mark are that
// group's first entries, and an addition goes after the group's last entry.
namespace Group {
// Edit menu: after Cut ... Select All.
inline constexpr QLatin1String EditReplace{"EditReplaceGroup"};
inline constexpr QLatin1String EditPage{"EditPageGroup"};
inline constexpr QLatin1String EditSpelling{"EditSpellingGroup"};
// Tools menu.
inline constexpr QLatin1String ToolsColour{"ToolsColourGroup"};
inline constexpr QLatin1String ToolsProject{"ToolsProjectGroup"};
inline constexpr QLatin1String ToolsOptions{"ToolsOptionsGroup"};
inline constexpr QLatin1String ToolsAnalysis{"ToolsAnalysisGroup"};
inline constexpr QLatin1String ToolsPublish{"ToolsPublishGroup"};
// Main tool bar: the project's buttons follow the file buttons; the rooms' buttons follow the
// edit buttons.
inline constexpr QLatin1String BarProject{"BarProjectGroup"};
inline constexpr QLatin1String BarEdit{"BarEditGroup"};
inline constexpr QLatin1String BarTags{"BarTagsGroup"};
inline constexpr QLatin1String BarSearch{"BarSearchGroup"};
inline constexpr QLatin1String BarPage{"BarPageGroup"};
inline constexpr QLatin1String BarTools{"BarToolsGroup"};
// Editor pop-up: after the file and edit entries.
inline constexpr QLatin1String PopupTags{"PopupTagsGroup"};
inline constexpr QLatin1String PopupSearch{"PopupSearchGroup"};
inline constexpr QLatin1String PopupOptions{"PopupOptionsGroup"};
inline constexpr QLatin1String PopupPrint{"PopupPrintGroup"};
inline constexpr QLatin1String PopupSpelling{"PopupSpellingGroup"};
} // namespace Group
