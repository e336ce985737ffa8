// The tag room's commands: the Tags menu, the tag tabs and the editor pop-up's tag entries, built
// from one row per simple tag command, the quick tables, the Power entries, Mail To, Comment,
// Last Modified and the tag panel.
#pragma once

#include "app/Commands.h"
#include "tags/PowerCommands.h"

#include <QDateTime>
#include <QString>
#include <functional>
#include <optional>

class AppState;
class TagInserter;

// How a simple command inserts: round the selection, at a point, or as a block of lines.
enum class TagMode { Wrap, Point, Block };

// One simple tag command, as the Tags menu, the tag tabs and the pop-up show it. Paths run
// through sub-menus joined by " › "; an empty path or tab: not shown there.
struct SimpleTagRow {
    const char* id;
    const char* menuPath;  // e.g. "Font... › Bold"
    const char* tab;       // "Common", "Font", "List", "Table", "Frames", or ""
    const char* tabText;   // the button's caption; "" where it shows only a picture
    const char* hint;      // the button's hint
    const char* popupPath; // e.g. "Font... › Bold"
    const char* shortcut;  // as QKeySequence reads it; "" for none
    TagMode mode;
    const char* start; // the start text, the point text or the block's tag name
    const char* end;
};
const QList<SimpleTagRow>& simpleTagRows();

// What the commands need from the windows: the dialogs of this room.
class TagDialogs {
public:
    virtual ~TagDialogs() = default;
    // TFormEmail: the address, or nullopt when cancelled.
    virtual std::optional<QString> askMailToAddress(const QString& initial) = 0;
    // A further tag panel, not modal.
    virtual void showTagPanel(TagInserter& inserter) = 0;
    // A Power dialog, shown modally; what it left when it closed.
    virtual PowerDialogOutcome openPowerDialog(PowerDialog) { return {}; }
};

namespace TagCommandOrder {
constexpr int TagsMenu = 400; // after Search, before Tools
} // namespace TagCommandOrder

// now: the clock of Insert Last Modified Date/Time. The inserter writes its tags in the case
// the settings say from then on.
CommandTable tagCommands(AppState& state, TagInserter& inserter, TagDialogs& dialogs,
                         std::function<QDateTime()> now);
