// The composition root: the one file that names every room of the main window.
#include "ui/Rooms.h"

#include "app/AppCommands.h"
#include "ui/analysis/AnalysisUi.h"
#include "ui/checks/ChecksUi.h"
#include "ui/preview/PreviewUi.h"
#include "ui/project/PrintUi.h"
#include "ui/project/ProjectToolsUi.h"
#include "ui/project/ProjectUi.h"
#include "ui/publish/PublishUi.h"
#include "ui/services/BigReplaceUi.h"
#include "ui/services/ServicesUi.h"
#include "ui/shell/ActionRegistry.h"
#include "ui/shell/Shell.h"
#include "ui/spell/SpellCommands.h"
#include "ui/tags/TagRoomParts.h"
#include "ui/tags/TagWindows.h"

#include <QPointer>
#include <functional>

namespace {

// A room whose installer makes its objects as children of the registry and returns its command
// table. The room owns what its installer made: it destroys those objects, the last made first,
// when the list destroys the room.
class InstalledRoom : public Room {
public:
    using Installer = std::function<CommandTable(Shell&)>;
    using Placer = std::function<void(Shell&, const CommandTable&)>;
    explicit InstalledRoom(Installer installer, Placer placer = {})
        : m_installer(std::move(installer)), m_placer(std::move(placer)) {}
    ~InstalledRoom() override {
        for (auto it = m_made.rbegin(); it != m_made.rend(); ++it)
            delete it->data();
    }

    void install(Shell& shell) override {
        const QObjectList before = shell.registry.children();
        const CommandTable table = m_installer(shell);
        for (QObject* made : shell.registry.children())
            if (!before.contains(made))
                m_made << made;
        shell.registry.add(table);
        if (m_placer)
            m_placer(shell, table);
    }

private:
    Installer m_installer;
    Placer m_placer;
    QList<QPointer<QObject>> m_made;
};

template <class Install> std::unique_ptr<Room> room(Install install) {
    return std::make_unique<InstalledRoom>(
        [install](Shell& shell) { return install(shell.registry, shell); });
}

} // namespace

std::vector<std::unique_ptr<Room>> windowRooms() {
    std::vector<std::unique_ptr<Room>> rooms;
    rooms.push_back(std::make_unique<InstalledRoom>(
        [](Shell& s) { return appCommands(s.state, s.editor, s.window, s.tips); }));
    rooms.push_back(
        std::make_unique<InstalledRoom>([](Shell& s) { return tagCommandsForWindow(s); }));
    rooms.push_back(room(installTagRoomParts));
    rooms.push_back(room(installServices));
    rooms.push_back(std::make_unique<InstalledRoom>(
        [](Shell& s) { return installProject(s.registry, s); }, placePageButtons));
    rooms.push_back(room(installBigReplace));
    rooms.push_back(room(installProjectTools));
    rooms.push_back(room(installPreview));
    rooms.push_back(room(installPrinting));
    rooms.push_back(room(installAnalysis));
    rooms.push_back(room(installChecks));
    rooms.push_back(room(installSpelling));
    rooms.push_back(room(installPublish));
    return rooms;
}
