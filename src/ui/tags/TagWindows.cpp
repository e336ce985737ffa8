// The tag room's windows.
#include "ui/tags/TagWindows.h"

#include "app/AppState.h"
#include "app/ShellWindow.h"
#include "editor/EditWindow.h"
#include "tags/LinkImageInsert.h"
#include "tags/TagCommands.h"
#include "tags/TagInsertion.h"
#include "tags/TagPanelLists.h"
#include "ui/shell/ActionRegistry.h"
#include "ui/shell/Shell.h"
#include "ui/tags/PowerDialogs.h"

#include <QColorDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>

TFormEmail::TFormEmail(const QString& address, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FormEmail"));
    setWindowTitle(QStringLiteral("MailTo: Tag"));
    auto* group = new QGroupBox(QStringLiteral("Enter E-Mail Address  "), this);
    m_address = new QLineEdit(address, group);
    m_address->setObjectName(QStringLiteral("EmailAddress"));
    // The address shows whole: room for it and more, never less than a long address needs.
    const QFontMetrics metrics(m_address->font());
    m_address->setMinimumWidth(std::max(metrics.horizontalAdvance(QLatin1Char('x')) * 40,
                                        metrics.horizontalAdvance(address) +
                                            metrics.horizontalAdvance(QLatin1Char('x')) * 4));
    auto* groupLayout = new QVBoxLayout(group);
    groupLayout->addWidget(m_address);
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(QStringLiteral("&OK"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("&Cancel"), QDialogButtonBox::RejectRole);
    ok->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addWidget(buttons);
}

QString TFormEmail::address() const {
    return m_address->text();
}

TFormSpeedBar::TFormSpeedBar(TagInserter& inserter, QWidget* parent)
    // A tool window of the main window: above it and the program's other windows, not above
    // every other program on the desktop.
    : QWidget(parent, Qt::Tool) {
    setObjectName(QStringLiteral("FormSpeedBar"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Tag Panel"));
    auto* tabs = new QTabWidget(this);
    auto* tags = new QListWidget;
    tags->setObjectName(QStringLiteral("TagList"));
    tags->addItems(tagPanelTags());
    tags->setToolTip(QStringLiteral("Double click an item to post into the editor"));
    auto* attributes = new QListWidget;
    attributes->setObjectName(QStringLiteral("AttributeList"));
    attributes->addItems(tagPanelAttributes());
    tabs->addTab(tags, QStringLiteral("Tags"));
    tabs->addTab(attributes, QStringLiteral("Attributes"));
    connect(tags, &QListWidget::itemDoubleClicked, this,
            [&inserter](QListWidgetItem* item) { inserter.insertPanelTag(item->text()); });
    connect(attributes, &QListWidget::itemDoubleClicked, this,
            [&inserter](QListWidgetItem* item) { inserter.insertPanelAttribute(item->text()); });
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(tabs);
    resize(220, 320);
}

namespace {

// Lives as a child of the main window, so the commands' references hold as long as it does.
class QtTagDialogs : public QObject, public TagDialogs {
public:
    explicit QtTagDialogs(Shell& shell)
        : QObject(&shell.registry), m_window(&shell.messageParent), m_editor(shell.editor),
          m_state(shell.state), m_prompter(shell.prompter), m_chooser(shell.chooser),
          m_inserter(shell.editor, *shell.editor.clipboard(),
                     [&state = shell.state] { state.document().setHtmlModified(true); }),
          m_shell(shell) {}

    std::optional<QString> askMailToAddress(const QString& initial) override {
        TFormEmail dialog(initial, m_window);
        if (dialog.exec() != QDialog::Accepted)
            return std::nullopt;
        return dialog.address();
    }
    void showTagPanel(TagInserter& inserter) override {
        auto* panel = new TFormSpeedBar(inserter, m_window);
        // The first panel opens centred on the screen; each further one a step below and to
        // the right of the last one still open, so that none hides another.
        m_panels.removeAll(nullptr);
        QScreen* screen = m_window ? m_window->screen() : nullptr;
        QRect frame = panel->frameGeometry();
        if (!m_panels.isEmpty()) {
            const QPoint step(28, 28);
            frame.moveTopLeft(m_panels.last()->pos() + step);
            if (screen && !screen->availableGeometry().contains(frame))
                frame.moveTopLeft(screen->availableGeometry().topLeft() + step);
        } else if (screen) {
            frame.moveCenter(screen->availableGeometry().center());
        }
        panel->move(frame.topLeft());
        m_panels << panel;
        panel->show();
    }
    PowerDialogOutcome openPowerDialog(PowerDialog which) override {
        const Settings& s = m_state.settings();
        PowerDialogEnv env{*m_editor.clipboard(), m_prompter, m_chooser, m_state.optionsIni()};
        env.programDirectory = m_state.programDirectory();
        env.lastHtmlDirectory = s.lastHtmlDirectory;
        env.htmlFilePattern = m_state.htmlFilePattern();
        env.pageFolder = linkingFolder(m_state.document());
        env.relImage = s.relImage;
        env.imageFolder = s.imageFolder;
        env.lowerCase = s.lowerCaseTags;
        env.useAnchor = s.useAnchor;
        env.anchorPath = s.anchorPath;
        env.selectedText = m_editor.selText();
        if (which == PowerDialog::Image)
            env.filesTabImage = filesTabFile();
        env.chooseColor = [this](const QColor& initial) -> std::optional<QColor> {
            const QColor c = QColorDialog::getColor(initial, m_window);
            return c.isValid() ? std::optional<QColor>(c) : std::nullopt;
        };
        return showPowerDialog(which, env, m_window);
    }
    TagInserter& inserter() { return m_inserter; }

private:
    // The file selected on the Files tab, if any: the image dialog opens on it (and says so
    // when it is no picture).
    QString filesTabFile() const {
        const ProjectPanes* project = m_shell.projectPanes;
        const QListWidget* list = project ? project->filesTabList() : nullptr;
        const QListWidgetItem* item = list ? list->currentItem() : nullptr;
        if (!item || !item->isSelected())
            return {};
        return QDir(project->filesTabFolder()).filePath(item->text());
    }

    QWidget* m_window;
    EditWindow& m_editor;
    AppState& m_state;
    Prompter& m_prompter;
    FileChooser& m_chooser;
    TagInserter m_inserter;
    QList<QPointer<QWidget>> m_panels;
    Shell& m_shell;
};

} // namespace

CommandTable tagCommandsForWindow(Shell& c) {
    auto* dialogs = new QtTagDialogs(c);
    return tagCommands(c.state, dialogs->inserter(), *dialogs,
                       [] { return QDateTime::currentDateTime(); });
}
