// The services room in the main window.
#include "ui/services/ServicesUi.h"

#include "app/AppState.h"
#include "platform/UiPump.h"
#include "services/ServicesCommands.h"
#include "ui/PlainTextEditWindow.h"
#include "ui/services/LiveColouringUi.h"
#include "ui/services/SnipsTab.h"
#include "ui/services/TFormFindReplace.h"
#include "ui/shell/ActionRegistry.h"
#include "ui/shell/EditorInput.h"
#include "ui/shell/Shell.h"
#include "ui/widgets/LongStepWindow.h"

#include <QAction>
#include <QCheckBox>
#include <QColorDialog>
#include <QEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QTabWidget>

ServicesUi::ServicesUi(ActionRegistry& registry, Shell& context) : QObject(&registry) {
    setObjectName(QStringLiteral("ServicesUi"));
    m_editor = &context.editorWidget;
    QWidget* window = &context.messageParent;
    m_pump = std::make_unique<EventLoopPump>();
    m_room = std::make_unique<ServicesRoom>(context.state, context.editor, context.state.prompter(),
                                            *m_pump);
    m_findDialog = new TFormFindReplace(TFormFindReplace::Mode::Find, m_room->find(), window);
    m_replaceDialog = new TFormFindReplace(TFormFindReplace::Mode::Replace, m_room->find(), window);
    // The pass after every load while "Color" is on, and the snip files at start-up.
    ShellParts& parts = context.state.parts();
    parts.provide(&ShellParts::colouring, m_room.get(), "colouring");
    parts.provide(&ShellParts::snippets, &m_room->snips(), "snippets");
    // A big page loads with its progress shown, and can be cancelled.
    m_longSteps = std::make_unique<LongStepWindow>(window);
    parts.provide(&ShellParts::longSteps, m_longSteps.get(), "longSteps");
    // The Snips tab joins the left-hand tabs; its lists show what start-up read when it is
    // first looked at (start-up reads the files after the window is built).
    {
        QTabWidget* left = &context.leftTabs;
        m_snipsTab = new SnipsTab(m_room->snips(), context.editor, *context.editor.clipboard(),
                                  context.state.document(), left);
        left->addTab(m_snipsTab, QStringLiteral("Snips"));
        connect(left, &QTabWidget::currentChanged, m_snipsTab, [this, left](int index) {
            if (left->widget(index) == m_snipsTab)
                m_snipsTab->refresh();
        });
    }
    // A press in the editor stops a colouring pass; it acts on the press, which the pass sees
    // when it lets events run between lines.
    connect(&context.editorInput, &EditorInput::mousePressed, this,
            [this] { m_room->pressStop(); });
    m_live = new LiveColouringUi(context.state, context.editWindow, this);
    m_room->setLiveColouring(m_live);
    // The "Color" box above the editor switches it (start-up sets the box from the setting).
    connect(&context.colorBox, &QCheckBox::toggled, m_live, [this](bool on) { m_live->setOn(on); });
    addEditingPaneButtons(registry);
}

void ServicesUi::addEditingPaneButtons(ActionRegistry& registry) {
    // They stand in the strip above the editor, after the "Color" and "Wrap" boxes.
    QWidget* pane = m_editor->parentWidget();
    const auto button = [pane](const char* name, QStyle::StandardPixmap icon, int x,
                               const QString& hint) {
        auto* b = new QPushButton(pane);
        b->setObjectName(QLatin1String(name));
        b->setIcon(pane->style()->standardIcon(icon));
        b->setToolTip(hint);
        b->setFocusPolicy(Qt::NoFocus);
        b->setGeometry(x, 2, 24, 22);
        return b;
    };
    m_colorNow =
        button("BitBtnColorNow", QStyle::SP_MediaPlay, 150, QStringLiteral("Color Tags Now"));
    m_stopColors = button("BitBtnStopColors", QStyle::SP_BrowserStop, 178,
                          QStringLiteral("Stop Colored Tag Processing"));
    // The button is one more place of the command, so it runs what the menu entry runs.
    connect(m_colorNow, &QPushButton::clicked, this, [&registry] {
        if (QAction* a = registry.action(QStringLiteral("ColorTagsNow1")))
            a->trigger();
    });
    // The stop acts on the press, which a running pass sees when it lets events run.
    connect(m_stopColors, &QPushButton::pressed, this, [this] { m_room->pressStop(); });
}

ServicesUi::~ServicesUi() = default;

ServicesUi* ServicesUi::of(const ActionRegistry& registry) {
    return registry.findChild<ServicesUi*>(QString(), Qt::FindDirectChildrenOnly);
}

void ServicesUi::showFindDialog(const QString& findText) {
    m_findDialog->open(findText);
}

void ServicesUi::showReplaceDialog(const QString& findText) {
    m_replaceDialog->open(findText);
}

QString ServicesUi::findDialogText() const {
    return m_findDialog->findText();
}

std::optional<QColor> ServicesUi::chooseColor() {
    const QColor c = QColorDialog::getColor(Qt::white, m_editor ? m_editor->window() : nullptr);
    if (!c.isValid())
        return std::nullopt;
    return c;
}

CommandTable installServices(ActionRegistry& registry, Shell& context) {
    auto* ui = new ServicesUi(registry, context);
    return servicesCommands(ui->room(), context.state, context.editor, *ui);
}
