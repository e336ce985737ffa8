// TForm1: the main window: panes, status bar and the command registry.
#include "ui/TForm1.h"

#include "app/CommandPlaces.h"
#include "app/PaneLayout.h"
#include "app/ProgramTitle.h"
#include "app/TipOfTheDay.h"
#include "platform/RandomSource.h"
#include "ui/PlainTextEditWindow.h"
#include "ui/Rooms.h"
#include "ui/TFormBanner.h"
#include "ui/TFormTip.h"
#include "ui/shell/ActionRegistry.h"
#include "ui/shell/EditorInput.h"
#include "ui/shell/Shell.h"
#include "ui/widgets/ElidedLabel.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QCursor>
#include <QDir>
#include <QFontDatabase>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {
constexpr int EditProblemMaxLength = 2147482623;
constexpr int TagTabsHeight = 64;
} // namespace

TForm1::TForm1(QString programDirectory, Prompter& prompter, FileChooser& chooser,
               Clipboard& clipboard, Options options, QWidget* parent)
    : QMainWindow(parent) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(programTitle());

    if (options.showBanner) {
        TFormBanner banner(TFormBanner::Mode::StartUp);
        banner.exec();
    }

    // The editor exists before the logic that drives it.
    m_editor = new QPlainTextEdit;
    m_editor->setObjectName(QStringLiteral("EditWindow"));
    m_editWindow = std::make_unique<PlainTextEditWindow>(m_editor);
    m_editWindow->setClipboard(&clipboard);
    m_state =
        std::make_unique<AppState>(std::move(programDirectory), QDir::homePath() + QLatin1Char('/'),
                                   *m_editWindow, prompter, chooser, clipboard);
    if (!options.random)
        m_systemRandom = std::make_unique<SystemRandom>();
    m_tips =
        std::make_unique<TipOfTheDay>(m_state->settings(), m_state->store(),
                                      options.random ? *options.random : *m_systemRandom, *this);

    buildStatusBar();
    buildPanes();
    HtmlDocument& doc = m_state->document();
    connect(&doc, &HtmlDocument::statusTextChanged, m_status[2], &QLabel::setText);

    // The menus, the tool bar, the tag tabs and the pop-ups: every room's commands.
    auto* tools = addToolBar(QStringLiteral("Tools"));
    tools->setObjectName(ToolBarId::Main);
    tools->setMovable(false);
    m_registry = new ActionRegistry(this);
    m_editorInput = new EditorInput(*m_editor, *m_registry, m_state->document(), this);
    m_shell = std::make_unique<Shell>(Shell{*m_state,
                                            *m_editWindow,
                                            *this,
                                            *m_tips,
                                            prompter,
                                            chooser,
                                            clipboard,
                                            *m_registry,
                                            *this,
                                            *m_editWindow,
                                            *m_editor,
                                            *m_editorInput,
                                            *m_editingPane,
                                            *m_color,
                                            *m_wrap,
                                            *m_leftTabs,
                                            *m_outline->parentWidget(),
                                            *m_outline,
                                            *m_pageButtons,
                                            *m_filesArea->parentWidget(),
                                            *m_filesArea,
                                            *m_tagTabs,
                                            *m_status[0],
                                            *m_status[1],
                                            *m_status[2]});
    m_rooms = std::make_unique<RoomList>(options.rooms ? options.rooms() : windowRooms());
    m_rooms->install(*m_shell);
    m_registry->build(menuBar(), tools, m_tagTabs);
    m_rooms->allInstalled(*m_shell);
    for (const QString& problem : m_registry->problems())
        qWarning("command tables: %s", qPrintable(problem));
    for (const QString& problem : m_state->parts().problems)
        qWarning("shell parts: %s", qPrintable(problem));

    m_state->startUp();

    const Settings& s = m_state->settings();
    m_wrap->setChecked(s.wrap);
    m_editWindow->setWordWrap(s.wrap);
    m_color->setChecked(s.colored);
    m_leftTabs->setCurrentIndex(0);
    m_tagTabs->setCurrentIndex(0);
}

TForm1::~TForm1() {
    // The rooms reach the state, the editor window and the tips (the outline watches the tree):
    // they hear that the window goes, the state lets go of the parts they filled, and they go,
    // the last one first, while all of those still stand, before the members below and before
    // Qt deletes the window's other children. The editor's input routing reaches the document
    // and the registry, so it goes before the registry and long before the state.
    m_rooms->aboutToShutdown();
    m_state->parts() = ShellParts{};
    m_rooms.reset();
    delete m_editorInput;
    m_editorInput = nullptr;
    delete m_registry;
    m_registry = nullptr;
}

QMenu* TForm1::fileMenu() const {
    return m_registry->menu(MenuId::File);
}
QMenu* TForm1::editorPopup() const {
    return m_registry->menu(PopupId::Editor);
}
QAction* TForm1::recentAction(int slot) const {
    return m_registry->action(QStringLiteral("Recent%1").arg(slot));
}

void TForm1::buildStatusBar() {
    const std::array<std::pair<const char*, int>, 3> fields = {std::pair{"File Size:", 95},
                                                               std::pair{"Page Location:", 275},
                                                               std::pair{"Open HTML File:", 270}};
    for (size_t i = 0; i < fields.size(); ++i) {
        auto* label = new ElidedLabel;
        label->setText(QLatin1String(fields[i].first));
        label->setObjectName(QStringLiteral("StatusField%1").arg(i));
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        label->setPreferredWidth(fields[i].second);
        // The file size is short and always shown whole; the two paths share the rest of the
        // bar and are cut in the middle when they are longer than their field.
        label->setSizedToText(i == 0);
        statusBar()->addWidget(label, i == 0 ? 0 : 1);
        m_status[i] = label;
    }
}

void TForm1::buildPanes() {
    m_central = new QWidget(this);
    m_central->setObjectName(QStringLiteral("MainArea"));
    setCentralWidget(m_central);
    m_central->installEventFilter(this);

    // Left pane: the outline and the Files tab.
    m_leftPane = new QWidget(m_central);
    m_leftPane->setObjectName(QStringLiteral("LeftPane"));
    m_leftTabs = new QTabWidget(m_leftPane);
    m_leftTabs->setObjectName(QStringLiteral("LeftTabs"));
    auto* site = new QWidget;
    site->setObjectName(QStringLiteral("WebSiteTab"));
    m_outline = new QTreeWidget(site);
    m_outline->setObjectName(QStringLiteral("SiteOutline"));
    m_outline->setHeaderHidden(true);
    m_pageButtons = new QGroupBox(QStringLiteral("Add/Move Web Pages"), site);
    m_pageButtons->setObjectName(PopupId::PageButtons);
    m_pageButtons->setFixedHeight(56);
    m_pageButtons->setEnabled(false); // until the project room places its buttons
    site->installEventFilter(this);
    m_leftTabs->addTab(site, QStringLiteral("Web Site"));
    auto* files = new QWidget;
    files->setObjectName(QStringLiteral("FilesTab"));
    // The project room fills this area with the Files tab's drive box and lists.
    m_filesArea = new QWidget(files);
    m_filesArea->setObjectName(QStringLiteral("FilesArea"));
    new QVBoxLayout(m_filesArea);
    m_filesArea->layout()->setContentsMargins(0, 0, 0, 0);
    files->installEventFilter(this);
    m_leftTabs->addTab(files, QStringLiteral("Files"));
    auto* leftLayout = new QVBoxLayout(m_leftPane);
    leftLayout->setContentsMargins(0, 0, 0, 0);
    leftLayout->addWidget(m_leftTabs);

    // The splitter: dragged by a timer that follows the pointer.
    m_splitter = new QWidget(m_central);
    m_splitter->setObjectName(QStringLiteral("Splitter1"));
    m_splitter->setCursor(Qt::SplitHCursor);
    m_splitter->installEventFilter(this);
    m_dragTimer = new QTimer(this);
    m_dragTimer->setInterval(PaneLayout::DragTimerMs);
    connect(m_dragTimer, &QTimer::timeout, this,
            [this] { splitterDragTick(mapFromGlobal(QCursor::pos()).x()); });

    // Right: the tag tool box above the editing pane.
    m_rightPane = new QWidget(m_central);
    m_rightPane->setObjectName(QStringLiteral("RightPane"));
    auto* rightLayout = new QVBoxLayout(m_rightPane);
    rightLayout->setContentsMargins(0, 0, 0, 0);
    rightLayout->setSpacing(0);
    m_tagTabs = new QTabWidget(m_rightPane);
    m_tagTabs->setObjectName(QStringLiteral("TagTabs"));
    m_tagTabs->setFixedHeight(TagTabsHeight);
    rightLayout->addWidget(m_tagTabs);

    m_editingPane = new QWidget(m_rightPane);
    m_editingPane->setObjectName(QStringLiteral("EditingPane"));
    m_editingPane->installEventFilter(this);
    rightLayout->addWidget(m_editingPane, 1);
    m_color = new QCheckBox(QStringLiteral("Color"), m_editingPane);
    m_color->setObjectName(QStringLiteral("ColorBox"));
    m_color->setToolTip(QStringLiteral("Turn Colored Tags On/Off"));
    m_color->move(8, 4);
    m_wrap = new QCheckBox(QStringLiteral("Wrap"), m_editingPane);
    m_wrap->setObjectName(QStringLiteral("WrapBox"));
    m_wrap->move(80, 4);
    m_editor->setParent(m_editingPane);
    m_editor->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_editor->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_editor, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { editorPopup()->exec(m_editor->mapToGlobal(pos)); });

    connect(m_wrap, &QCheckBox::toggled, this,
            [this](bool on) { m_state->document().setWrap(on); });
    connect(m_color, &QCheckBox::toggled, this,
            [this](bool on) { m_state->document().setColored(on); });

    m_leftWidth = PaneLayout::InitialLeftPaneWidth;
}

void TForm1::layoutPanes() {
    if (!m_central)
        return;
    const int h = m_central->height();
    const int w = m_central->width();
    m_leftPane->setGeometry(0, 0, m_leftWidth, h);
    m_splitter->setGeometry(m_leftWidth, 0, PaneLayout::SplitterWidth, h);
    const int right = m_leftWidth + PaneLayout::SplitterWidth;
    m_rightPane->setGeometry(right, 0, qMax(0, w - right), h);
}

void TForm1::layoutEditingPane() {
    m_editor->setGeometry(
        PaneLayout::editorGeometry(m_editingPane->width(), m_editingPane->height()));
}

void TForm1::layoutLeftPane() {
    for (QWidget* page : {m_outline->parentWidget(), m_filesArea->parentWidget()}) {
        const PaneLayout::LeftPaneGeometry g = PaneLayout::leftPaneGeometry(
            page->width(), page->height(), height(), m_pageButtons->height());
        if (page == m_outline->parentWidget()) {
            const int bottom = g.outlineBottom.value_or(page->height() - 4);
            m_outline->setGeometry(4, 4, g.outlineWidth, qMax(0, bottom - 4));
            if (g.buttonGroupTop)
                m_pageButtons->setGeometry(4, *g.buttonGroupTop, g.outlineWidth,
                                           m_pageButtons->height());
            m_pageButtons->setVisible(g.buttonGroupTop.has_value());
        } else {
            const int bottom = g.filesListBottom.value_or(page->height() - 4);
            m_filesArea->setGeometry(4, 4, g.outlineWidth, qMax(0, bottom - 4));
        }
    }
}

void TForm1::setLeftPaneWidth(int width) {
    m_leftWidth = qMax(0, width);
    layoutPanes();
}

void TForm1::splitterDragTick(int pointerX) {
    if (const std::optional<int> w = PaneLayout::dragWidth(pointerX))
        setLeftPaneWidth(*w);
}

void TForm1::splitterDragEnd() {
    m_dragTimer->stop();
    setLeftPaneWidth(PaneLayout::clampLeftPane(m_leftWidth, width()));
}

void TForm1::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    if (PaneLayout::mainResizeClamps(m_leftWidth))
        m_leftWidth = PaneLayout::clampLeftPane(m_leftWidth, width());
    layoutPanes();
}

void TForm1::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow() &&
        m_state->settings().editProblem)
        m_editWindow->setMaxLength(EditProblemMaxLength);
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (watched == m_central && type == QEvent::Resize) {
        layoutPanes();
    } else if (watched == m_editingPane && type == QEvent::Resize) {
        layoutEditingPane();
        if (PaneLayout::editingPaneResizeClamps(m_editingPane->width())) {
            const int clamped = PaneLayout::clampLeftPane(m_leftWidth, width());
            if (clamped != m_leftWidth)
                setLeftPaneWidth(clamped);
        }
    } else if (type == QEvent::Resize &&
               (watched == m_outline->parentWidget() || watched == m_filesArea->parentWidget())) {
        layoutLeftPane();
    } else if (watched == m_splitter) {
        if (type == QEvent::MouseButtonPress) {
            m_dragTimer->start();
            return true;
        }
        if (type == QEvent::MouseButtonRelease) {
            splitterDragEnd();
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void TForm1::closeMainWindow() {
    close();
}

void TForm1::showAboutBox() {
    TFormBanner about(TFormBanner::Mode::About, this);
    about.exec();
}

bool TForm1::showTipWindow(const QStringList& tips, const std::function<int()>& drawTip,
                           bool showAtStartUp) {
    TFormTip tip(tips, drawTip, showAtStartUp, this);
    tip.exec();
    return tip.showAtStartUp();
}

void TForm1::closeEvent(QCloseEvent* event) {
    if (m_state->closeQuery())
        event->accept();
    else
        event->ignore();
}
