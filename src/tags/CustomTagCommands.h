// The Custom tab's commands: adding a custom tag through the dialog in its add mode, and deleting
// custom tags through it in its delete mode. The tab's list itself is drawn by the window.
#pragma once

#include "app/Commands.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class CustomTags;

// The name, start tag and end tag the add dialog closed with.
struct NewCustomTag {
    QString name;
    QString start;
    QString end;
};

// What the commands need from the window: TFormCustom in its two modes.
class CustomTagDialogs {
public:
    virtual ~CustomTagDialogs() = default;
    // Add mode; nullopt when cancelled.
    virtual std::optional<NewCustomTag> askNewCustomTag() = 0;
    // Delete mode over the user's entries; the entries kept on OK, nullopt on Cancel.
    virtual std::optional<QStringList> askCustomTagsToKeep(const QStringList& entries) = 0;
};

namespace CustomTagCommandOrder {
constexpr int CustomTab = 115; // the last tag tab, after Frames
} // namespace CustomTagCommandOrder

// listShown: run after each add or delete, whatever the answer, so that the list shows the
// entries as they are now, with its first entry.
CommandTable customTagCommands(CustomTags& tags, CustomTagDialogs& dialogs,
                               std::function<void()> listShown);
