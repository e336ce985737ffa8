// The tag room's parts of the main window beyond its command table: the Custom tab with its
// list of custom tags and the custom tags dialog, custom.dat read at start-up, New HTML File's
// skeleton through the block insertion, and the Files tab's "Insert Link/Image" button and file
// list pop-up.
#pragma once

#include "app/Commands.h"
#include "app/ShellParts.h"
#include "tags/CustomTagCommands.h"
#include "tags/CustomTags.h"
#include "tags/FileListCommands.h"
#include "tags/TagInsertion.h"

#include <QObject>
#include <QPointer>

class ActionRegistry;
class QComboBox;
class QListWidget;
class QToolButton;
class QWidget;
struct Shell;

class TagRoomParts : public QObject,
                     public CustomTagList,
                     public BlockInsertion,
                     public CustomTagDialogs {
    Q_OBJECT
public:
    // Lives as long as the registry (its parent) and the window.
    TagRoomParts(ActionRegistry& registry, Shell& context);

    static TagRoomParts* of(const ActionRegistry& registry);

    CustomTags& customTags() { return m_customTags; }
    // The Custom tab's list; null until the registry has laid out the tabs.
    QComboBox* customList() const { return m_customList; }
    // The Files tab's button; null until the registry has laid out the window.
    QToolButton* insertLinkImageButton() const { return m_insertButton; }

    // Shows the custom entries as they are now, with the list's first entry showing.
    void showCustomList();
    // A pick in the Custom tab's list: the entry at index wraps the selection in its tags.
    void pickCustomTag(int index);

    // CustomTagList: custom.dat at start-up.
    void loadCustomTags() override;
    // BlockInsertion
    void insertBlock(const QString& tagName) override;
    // CustomTagDialogs: TFormCustom, modal.
    std::optional<NewCustomTag> askNewCustomTag() override;
    std::optional<QStringList> askCustomTagsToKeep(const QStringList& entries) override;

    // The file chosen in the Files tab's list and its folder.
    FileListChoice fileListChoice() const;
    FileListChoiceSignal& fileListChoiceSignal() { return m_choiceSignal; }

private:
    void placeInWindow();
    void placeOnFileList();
    void layoutInsertButton();
    bool eventFilter(QObject* watched, QEvent* event) override;
    QListWidget* fileList() const;

    ActionRegistry& m_registry;
    Prompter& m_prompter;
    QWidget* m_window;
    Shell& m_shell;
    CustomTags m_customTags;
    TagInserter m_inserter;
    FileListChoiceSignal m_choiceSignal;
    QComboBox* m_customList = nullptr;
    QToolButton* m_insertButton = nullptr;
    QWidget* m_filesPage = nullptr;
    QPointer<QListWidget> m_fileList; // the Files tab's list, once the tab has been shown
};

// The composition root's line for these parts: makes them, hooks them into the shell parts, and
// returns the Custom tab's and the Files tab's commands.
CommandTable installTagRoomParts(ActionRegistry& registry, Shell& context);
