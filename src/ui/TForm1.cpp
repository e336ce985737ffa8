// TForm1: the main window.
#include "ui/TForm1.h"

#include "app/PaneLayout.h"
#include "app/Tips.h"
#include "platform/Prompter.h"
#include "ui/PlainTextEditWindow.h"
#include "ui/TFormBanner.h"
#include "ui/TFormTip.h"

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
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRandomGenerator>
#include <QStatusBar>
#include <QStyle>
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
    : QMainWindow(parent), m_prompter(prompter) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Ostra Quillon Pro"));

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
    // Custom tags, snippets, the project's save and the backup window plug in here as they
    // come; until then the start-up and close sequences skip those steps.
    m_state->setHooks(AppState::Hooks{});
    m_state->document().setHooks(HtmlDocument::Hooks{
        [this](const QString& text) { m_status[2]->setText(text); },
        [this](bool on) { setSaveCommandsEnabled(on); },
        {},
        {},
    });

    buildMenus();
    buildToolBar();
    buildStatusBar();
    buildPanes();

    m_state->startUp();

    // The embedded browser view is created here once the preview is built.
    const Settings& s = m_state->settings();
    m_wrap->setChecked(s.wrap);
    m_editWindow->setWordWrap(s.wrap);
    m_color->setChecked(s.colored);
    m_leftTabs->setCurrentIndex(0);
    m_tagTabs->setCurrentIndex(0);
    renewRecentCaptions({1, 2, 3, 4});
    setSaveCommandsEnabled(true);
}

TForm1::~TForm1() = default;

void TForm1::buildMenus() {
    m_fileMenu = menuBar()->addMenu(QStringLiteral("&File"));
    m_fileMenu->setObjectName(QStringLiteral("File1"));
    const auto add = [this](const char* name, const QString& caption, const QKeySequence& keys,
                            void (TForm1::*slot)() = nullptr) {
        QAction* a = m_fileMenu->addAction(caption);
        a->setObjectName(QLatin1String(name));
        if (!keys.isEmpty())
            a->setShortcut(keys);
        if (slot)
            connect(a, &QAction::triggered, this, slot);
        else
            a->setEnabled(false); // the project commands arrive with the project model
        return a;
    };
    add("ProjectBuilder1", QStringLiteral("Project Builder"), {});
    add("NewProject1", QStringLiteral("&New Project"), QKeySequence(QStringLiteral("Ctrl+N")));
    add("NewHTMLFile1", QStringLiteral("New HTML File"), QKeySequence(QStringLiteral("Alt+N")),
        &TForm1::NewHTMLFile1Click);
    m_fileMenu->addSeparator();
    add("OpenProject1", QStringLiteral("&Open Project"), QKeySequence(QStringLiteral("Ctrl+O")));
    add("OpenHTMLFile1", QStringLiteral("Open HTML File"), QKeySequence(QStringLiteral("Alt+O")),
        &TForm1::OpenHTMLFile1Click);
    add("OpenHTMLTemplate1", QStringLiteral("Open HTML Template"), {},
        &TForm1::OpenHTMLTemplate1Click);
    m_fileMenu->addSeparator();
    add("SaveProject1", QStringLiteral("&Save Project"), QKeySequence(QStringLiteral("Ctrl+S")));
    add("SaveProjectAs1", QStringLiteral("Save Project &As"), {});
    m_fileMenu->addSeparator();
    m_saveHtml = add("SaveHTMLFile1", QStringLiteral("Save &HTML File"),
                     QKeySequence(QStringLiteral("Alt+S")), &TForm1::SaveHTMLFile1Click);
    m_saveHtmlAs = add("SaveHTMLFileAs1", QStringLiteral("Save HT&ML File As"), {},
                       &TForm1::SaveHTMLFileAs1Click);
    m_fileMenu->addSeparator();
    add("CloseHTMLFile1", QStringLiteral("Close HTML File"), {}, &TForm1::CloseHTMLFile1Click);
    m_fileMenu->addSeparator();
    add("PrintProjectHTML1", QStringLiteral("&Print Project/HTML"),
        QKeySequence(QStringLiteral("Ctrl+P")));
    m_fileMenu->addSeparator();
    add("Exit1", QStringLiteral("E&xit"), QKeySequence(QStringLiteral("Alt+X")),
        &TForm1::Exit1Click);
    m_fileMenu->addSeparator();
    for (int n = 1; n <= RecentProjects::SlotCount; ++n) {
        QAction* a = m_fileMenu->addAction(QStringLiteral("%1: ").arg(n));
        a->setObjectName(QStringLiteral("Recent%1").arg(n));
        // Opening a recent project needs the project model; the entries show the list until
        // then.
        a->setEnabled(false);
        m_recent[n - 1] = a;
    }

    QMenu* edit = menuBar()->addMenu(QStringLiteral("&Edit"));
    edit->setObjectName(QStringLiteral("Edit1"));
    const auto editAction = [this, edit](const char* name, const QString& caption,
                                         QKeySequence::StandardKey key, auto fn) {
        QAction* a = edit->addAction(caption);
        a->setObjectName(QLatin1String(name));
        a->setShortcut(key);
        // The editor keeps its own handling of these keys; the menu's shortcut only acts when
        // the focus is elsewhere in the window.
        a->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        connect(a, &QAction::triggered, this, fn);
    };
    editAction("Cut1", QStringLiteral("Cu&t"), QKeySequence::Cut, &TForm1::Cut1Click);
    editAction("Copy1", QStringLiteral("&Copy"), QKeySequence::Copy, &TForm1::Copy1Click);
    editAction("Paste1", QStringLiteral("&Paste"), QKeySequence::Paste, &TForm1::Paste1Click);
    editAction("Undo1", QStringLiteral("&Undo"), QKeySequence::Undo, [this] {
        m_editWindow->undo();
        m_state->document().setHtmlModified(true);
    });
    editAction("SelectAll1", QStringLiteral("Select &All"), QKeySequence::SelectAll,
               [this] { m_editWindow->selectAll(); });

    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("Help1"));
    QAction* tip = help->addAction(QStringLiteral("Show Tip of the &Day"));
    tip->setObjectName(QStringLiteral("ShowTipOfTheDay1"));
    connect(tip, &QAction::triggered, this, &TForm1::ShowTipOfTheDay1Click);
    QAction* about = help->addAction(QStringLiteral("&About"));
    about->setObjectName(QStringLiteral("About1"));
    connect(about, &QAction::triggered, this, &TForm1::About1Click);
}

void TForm1::buildToolBar() {
    QToolBar* bar = addToolBar(QStringLiteral("Tools"));
    bar->setObjectName(QStringLiteral("ToolBar1"));
    bar->setMovable(false);
    const auto add = [this, bar](const char* name, const QString& hint, QStyle::StandardPixmap icon,
                                 void (TForm1::*slot)()) {
        QAction* a = bar->addAction(style()->standardIcon(icon), hint);
        a->setObjectName(QLatin1String(name));
        a->setToolTip(hint);
        connect(a, &QAction::triggered, this, slot);
        return a;
    };
    add("ToolNewHTML", QStringLiteral("New HTML file"), QStyle::SP_FileIcon,
        &TForm1::NewHTMLFile1Click);
    add("ToolOpenHTML", QStringLiteral("Open HTML file"), QStyle::SP_DialogOpenButton,
        &TForm1::OpenHTMLFile1Click);
    add("ToolTemplate", QStringLiteral("Load HTML Template"), QStyle::SP_FileDialogDetailedView,
        &TForm1::OpenHTMLTemplate1Click);
    m_toolSaveHtml = add("ToolSaveHTML", QStringLiteral("Save HTML File"),
                         QStyle::SP_DialogSaveButton, &TForm1::SaveHTMLFile1Click);
}

void TForm1::buildStatusBar() {
    const std::array<std::pair<const char*, int>, 3> fields = {std::pair{"File Size:", 95},
                                                               std::pair{"Page Location:", 275},
                                                               std::pair{"Open HTML File:", 270}};
    for (size_t i = 0; i < fields.size(); ++i) {
        auto* label = new QLabel(QLatin1String(fields[i].first));
        label->setObjectName(QStringLiteral("StatusField%1").arg(i));
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        // The last field takes the rest of the bar, as a status panel of a set width would
        // when the window is wide; the first two keep their widths.
        if (i + 1 < fields.size())
            label->setFixedWidth(fields[i].second);
        else
            label->setMinimumWidth(fields[i].second);
        statusBar()->addWidget(label, i + 1 < fields.size() ? 0 : 1);
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
    m_pageButtons->setObjectName(QStringLiteral("PageButtons"));
    m_pageButtons->setFixedHeight(56);
    m_pageButtons->setEnabled(false); // the page commands arrive with the project model
    site->installEventFilter(this);
    m_leftTabs->addTab(site, QStringLiteral("Web Site"));
    auto* files = new QWidget;
    files->setObjectName(QStringLiteral("FilesTab"));
    m_filesList = new QListWidget(files);
    m_filesList->setObjectName(QStringLiteral("FilesList"));
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
    m_tagTabs->addTab(new QWidget, QStringLiteral("Common"));
    rightLayout->addWidget(m_tagTabs);

    m_editingPane = new QWidget(m_rightPane);
    m_editingPane->setObjectName(QStringLiteral("EditingPane"));
    m_editingPane->installEventFilter(this);
    rightLayout->addWidget(m_editingPane, 1);
    m_color = new QCheckBox(QStringLiteral("Color"), m_editingPane);
    m_color->setObjectName(QStringLiteral("ColorBox"));
    m_color->move(8, 4);
    m_wrap = new QCheckBox(QStringLiteral("Wrap"), m_editingPane);
    m_wrap->setObjectName(QStringLiteral("WrapBox"));
    m_wrap->move(80, 4);
    m_editor->setParent(m_editingPane);
    m_editor->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_editor->setContextMenuPolicy(Qt::CustomContextMenu);
    m_editor->installEventFilter(this);
    m_editor->viewport()->installEventFilter(this);
    connect(m_editor, &QWidget::customContextMenuRequested, this, &TForm1::showEditorMenu);

    connect(m_wrap, &QCheckBox::toggled, this, [this](bool on) {
        if (on != m_state->settings().wrap)
            m_state->document().setWrap(on);
    });
    connect(m_color, &QCheckBox::toggled, this, [this](bool on) {
        // The colouring pass itself comes with tag colouring; the switch and its setting are
        // kept already.
        if (on == m_state->settings().colored)
            return;
        m_state->settings().colored = on;
        m_state->defaultIni().writeBool(QStringLiteral("Tags"), QStringLiteral("Colored"), on);
    });

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
    for (QWidget* page : {m_outline->parentWidget(), m_filesList->parentWidget()}) {
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
            m_filesList->setGeometry(4, 4, g.outlineWidth, qMax(0, bottom - 4));
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
               (watched == m_outline->parentWidget() || watched == m_filesList->parentWidget())) {
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
    } else if (watched == m_editor || watched == m_editor->viewport()) {
        // Any key or mouse press in the editor counts as a change of the document, but not a
        // modifier key pressed on its own (the Alt of Alt+S) nor a key that runs a menu command.
        if ((type == QEvent::KeyPress && countsAsEditorKey(static_cast<QKeyEvent*>(event))) ||
            type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick)
            m_state->document().setHtmlModified(true);
    }
    return QMainWindow::eventFilter(watched, event);
}

bool TForm1::countsAsEditorKey(const QKeyEvent* event) const {
    switch (event->key()) {
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
    case Qt::Key_Meta:
    case Qt::Key_Super_L:
    case Qt::Key_Super_R:
    case Qt::Key_Hyper_L:
    case Qt::Key_Hyper_R:
    case Qt::Key_CapsLock:
    case Qt::Key_NumLock:
    case Qt::Key_ScrollLock:
        return false;
    default:
        break;
    }
    // A combination that runs a command of the window usually never reaches the editor; when it
    // does (the editor asked for it first, as with Ctrl+X), it is the editor's own key.
    const QKeySequence keys(event->keyCombination());
    const QList<QAction*> commands = findChildren<QAction*>();
    for (const QAction* a : commands) {
        if (a->isEnabled() && a->shortcut() == keys &&
            a->shortcutContext() != Qt::WidgetWithChildrenShortcut)
            return false;
    }
    return true;
}

void TForm1::showEditorMenu(const QPoint& pos) {
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("EditorPopup"));
    menu.addAction(QStringLiteral("New"), this, &TForm1::NewHTMLFile1Click);
    menu.addAction(QStringLiteral("Open"), this, &TForm1::OpenHTMLFile1Click);
    QAction* save = menu.addAction(QStringLiteral("Save"), this, &TForm1::SaveHTMLFile1Click);
    QAction* saveAs =
        menu.addAction(QStringLiteral("Save As.."), this, &TForm1::SaveHTMLFileAs1Click);
    const bool canSave = !m_state->document().helpPageMode();
    save->setEnabled(canSave);
    saveAs->setEnabled(canSave);
    menu.addSeparator();
    menu.addAction(QStringLiteral("Cu&t"), this, &TForm1::Cut1Click);
    menu.addAction(QStringLiteral("&Copy"), this, &TForm1::Copy1Click);
    menu.addAction(QStringLiteral("&Paste"), this, &TForm1::Paste1Click);
    menu.exec(m_editor->mapToGlobal(pos));
}

void TForm1::setSaveCommandsEnabled(bool on) {
    for (QAction* a : {m_saveHtml, m_saveHtmlAs, m_toolSaveHtml})
        if (a)
            a->setEnabled(on);
}

void TForm1::renewRecentCaptions(const QList<int>& slotNumbers) {
    for (int n : slotNumbers)
        m_recent[n - 1]->setText(m_state->recentProjects().caption(n));
}

void TForm1::NewHTMLFile1Click() {
    m_state->document().newHtmlFile();
}
void TForm1::OpenHTMLFile1Click() {
    m_state->document().openHtmlFile();
}
void TForm1::OpenHTMLTemplate1Click() {
    m_state->document().openHtmlTemplate();
}
void TForm1::SaveHTMLFile1Click() {
    m_state->document().saveHtmlFile();
}
void TForm1::SaveHTMLFileAs1Click() {
    m_state->document().saveHtmlFileAs();
}
void TForm1::CloseHTMLFile1Click() {
    m_state->document().closeHtmlFile();
}
// Cut and paste change the text like a key press would.
void TForm1::Cut1Click() {
    m_editWindow->cut();
    m_state->document().setHtmlModified(true);
}
void TForm1::Copy1Click() {
    m_editWindow->copy();
}
void TForm1::Paste1Click() {
    m_editWindow->paste();
    m_state->document().setHtmlModified(true);
}
void TForm1::Exit1Click() {
    close();
}

void TForm1::About1Click() {
    TFormBanner about(TFormBanner::Mode::About, this);
    about.exec();
}

void TForm1::ShowTipOfTheDay1Click() {
    // Posted, so the menu has closed before the window opens.
    QMetaObject::invokeMethod(this, &TForm1::ShowTipWindow, Qt::QueuedConnection);
}

void TForm1::ShowTipWindow() {
    const QStringList tips = tipTexts();
    const int first = static_cast<int>(QRandomGenerator::global()->bounded(tips.size()));
    TFormTip tip(tips, first, m_state->settings().showTips, this);
    tip.exec();
    // Only a changed choice is written: closing the window leaves the settings file alone.
    if (tip.showAtStartUp() == m_state->settings().showTips)
        return;
    m_state->settings().showTips = tip.showAtStartUp();
    m_state->optionsIni().writeBool(QStringLiteral("Help"), QStringLiteral("ShowTips"),
                                    tip.showAtStartUp());
}

void TForm1::closeEvent(QCloseEvent* event) {
    if (m_state->closeQuery())
        event->accept();
    else
        event->ignore();
}
