// The preview room in the main window.
#include "ui/preview/PreviewUi.h"

#include "app/AppState.h"
#include "platform/ProcessLauncher.h"
#include "preview/PreviewCommands.h"
#include "ui/PlainTextEditWindow.h"
#include "ui/preview/EmbeddedViewCheck.h"
#include "ui/preview/TFormHelpOnTop.h"
#include "ui/preview/TFormOptions.h"
#include "ui/shell/ActionRegistry.h"
#include "ui/shell/EditorInput.h"
#include "ui/shell/Shell.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextEdit>
#include <QUrl>
#include <QVBoxLayout>
#include <QWebEngineHistory>
#include <QWebEnginePage>
#include <QWebEngineView>

namespace {

constexpr int TabWidth = 28;
constexpr int TabHeight = 20;
constexpr int PanelHeight = 30;

QString tabStyle(bool active) {
    return active ? QStringLiteral("background-color: rgb(0, 255, 0); border: 1px solid gray;")
                  : QStringLiteral("background-color: rgb(128, 128, 128); border: 1px solid gray;");
}

} // namespace

PreviewUi::PreviewUi(ActionRegistry& registry, Shell& c, ProcessLauncher* launcher)
    : QObject(&registry), m_state(c.state), m_editWindow(c.editor), m_prompter(c.prompter),
      m_chooser(c.chooser), m_registry(registry) {
    setObjectName(QStringLiteral("PreviewUi"));
    viewCheckProgram = QCoreApplication::applicationFilePath();
    if (!launcher) {
        m_systemLauncher = std::make_unique<SystemProcessLauncher>();
        launcher = m_systemLauncher.get();
    }
    m_preview = std::make_unique<Preview>(c.state, c.editor, c.prompter, *launcher);
    m_preview->setView(this);
    // The project room is installed first: the help is a project of its own.
    m_help = std::make_unique<Help>(c.state, c.projectPanes->project(), c.prompter, *this);

    // Start-up checks the engine, and the commands open the settings dialog through here.
    ShellParts& parts = c.state.parts();
    parts.provide(&ShellParts::browser, this, "browser");
    parts.provide(&ShellParts::settingsDialog, this, "settingsDialog");

    m_editor = &c.editorWidget;
    m_pane = &c.editingPane;
    m_wrapBox = &c.wrapBox;
    m_projectPanes = c.projectPanes;

    m_modeLabel = new QLabel(m_pane);
    m_modeLabel->setObjectName(QStringLiteral("LabelBrowserMode"));
    m_modeLabel->setStyleSheet(QStringLiteral("color: blue; font-weight: bold;"));
    m_modeLabel->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    m_modeLabel->setToolTip(QStringLiteral("Preview mode: double-click to change"));
    m_modeLabel->installEventFilter(this);
    connect(&c.state, &AppState::previewModeChanged, m_modeLabel, &QLabel::setText);

    m_tabE = new QLabel(QStringLiteral("E"), m_pane);
    m_tabE->setObjectName(QStringLiteral("PanelE"));
    m_tabE->setToolTip(QStringLiteral("Show Edit Window"));
    m_tabIE = new QLabel(QStringLiteral("IE"), m_pane);
    m_tabIE->setObjectName(QStringLiteral("PanelIE"));
    for (QLabel* tab : {m_tabE, m_tabIE}) {
        tab->setAlignment(Qt::AlignCenter);
        tab->setFixedSize(TabWidth, TabHeight);
        tab->installEventFilter(this);
    }
    paintTabs(false);
    connect(m_preview.get(), &Preview::browserActiveChanged, this, &PreviewUi::paintTabs);

    m_panel = new QWidget(m_pane);
    m_panel->setObjectName(QStringLiteral("PanelMSIE"));
    m_panel->setToolTip(QStringLiteral("MSIE Controls"));
    m_panel->setAutoFillBackground(true);
    auto* row = new QHBoxLayout(m_panel);
    row->setContentsMargins(2, 2, 2, 2);
    const auto button = [this, row](const char* name, const char* caption) {
        auto* b = new QPushButton(QLatin1String(caption), m_panel);
        b->setObjectName(QLatin1String(name));
        row->addWidget(b);
        return b;
    };
    connect(button("ButtonBack", "Back"), &QPushButton::clicked, this,
            [this] { m_preview->back(); });
    connect(button("ButtonNext", "Next"), &QPushButton::clicked, this,
            [this] { m_preview->next(); });
    connect(button("ButtonStop", "Stop"), &QPushButton::clicked, this,
            [this] { m_preview->stop(); });
    m_address = new QLineEdit(Preview::initialAddressText(), m_panel);
    m_address->setObjectName(QStringLiteral("Edit1"));
    row->addWidget(m_address, 1);
    connect(button("ButtonGo", "GO!"), &QPushButton::clicked, this,
            [this] { m_preview->go(m_address->text()); });
    connect(m_address, &QLineEdit::returnPressed, this,
            [this] { m_preview->go(m_address->text()); });
    auto* close = button("ButtonX", "X");
    close->setFixedWidth(24);
    connect(close, &QPushButton::clicked, this, [this] { m_preview->hideControlPanel(); });
    m_panel->hide();

    // The view follows the pages opened while it is shown.
    connect(&c.state.document(), &HtmlDocument::fileNameChanged, this,
            [this](const QString& path) { m_preview->documentOpened(path); });

    m_pane->installEventFilter(this);
    connect(&c.editorInput, &EditorInput::geometryChanged, this, &PreviewUi::placeWidgets);
    placeWidgets();
}

PreviewUi::~PreviewUi() = default;

PreviewUi* PreviewUi::of(const ActionRegistry& registry) {
    return registry.findChild<PreviewUi*>(QString(), Qt::FindDirectChildrenOnly);
}

void PreviewUi::paintTabs(bool browserActive) {
    if (!m_tabE)
        return;
    m_tabE->setStyleSheet(tabStyle(!browserActive));
    m_tabIE->setStyleSheet(tabStyle(browserActive));
}

void PreviewUi::placeWidgets() {
    if (!m_pane || !m_editor)
        return;
    const QRect e = m_editor->geometry();
    // The letter sits in the margin left of the editor, the tabs at the strip's right end.
    m_modeLabel->setGeometry(0, e.top() + 2, qMax(8, e.left()), 16);
    m_modeLabel->setText(m_state.settings().previewModeLabel);
    m_tabIE->move(m_pane->width() - TabWidth - 8, 3);
    m_tabE->move(m_pane->width() - 2 * TabWidth - 10, 3);
    m_panel->setGeometry(e.left(), e.top(), e.width(), PanelHeight);
    // The panel sits above the page rather than over its top lines.
    if (m_view)
        m_view->setGeometry(!m_panel->isHidden() ? e.adjusted(0, PanelHeight, 0, 0) : e);
}

bool PreviewUi::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (watched == m_pane && (type == QEvent::Resize || type == QEvent::Move)) {
        placeWidgets();
    } else if (watched == m_modeLabel && type == QEvent::MouseButtonDblClick) {
        m_preview->cycleMode();
        return true;
    } else if (watched == m_tabIE &&
               (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick)) {
        m_preview->previewEmbedded();
        return true;
    } else if (watched == m_tabE && type == QEvent::MouseButtonPress) {
        m_preview->showEditWindow();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

bool PreviewUi::create() {
    // The engine runs its pages in a program of its own and needs its resource files; without
    // them a view would come up blank, so the program says so at start and runs without it.
    QString process = qEnvironmentVariable("QTWEBENGINEPROCESS_PATH");
    if (process.isEmpty())
        process = QLibraryInfo::path(QLibraryInfo::LibraryExecutablesPath) +
                  QStringLiteral("/QtWebEngineProcess");
    const QString resources = QLibraryInfo::path(QLibraryInfo::DataPath) +
                              QStringLiteral("/resources/qtwebengine_resources.pak");
    return QFileInfo(process).isExecutable() && QFileInfo(resources).isFile();
}

bool PreviewUi::ensureView() {
    if (m_view)
        return true;
    if (m_viewFailed || !m_pane)
        return false;
    // Made once the program knows one can be: a render process that cannot start would end
    // this process along with the view. A copy of the program tries first.
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool works = embeddedViewWorks(viewCheckProgram);
    QApplication::restoreOverrideCursor();
    if (!works) {
        m_viewFailed = true;
        return false;
    }
    m_view = new QWebEngineView(m_pane);
    m_view->setObjectName(QStringLiteral("WebBrowser1"));
    m_view->hide();
    connect(m_view, &QWebEngineView::loadFinished, this, [this](bool ok) {
        if (ok)
            m_viewShowedPage = true;
    });
    // A render process that ends before the view ever showed a page: no view here after all.
    connect(m_view->page(), &QWebEnginePage::renderProcessTerminated, this,
            [this](QWebEnginePage::RenderProcessTerminationStatus status) {
                if (status == QWebEnginePage::NormalTerminationStatus || m_viewShowedPage ||
                    m_viewFailed)
                    return;
                m_viewFailed = true;
                m_preview->viewLost();
            });
    placeWidgets();
    return true;
}

bool PreviewUi::showView() {
    if (!ensureView())
        return false;
    placeWidgets();
    m_view->show();
    m_view->raise();
    m_panel->raise();
    return true;
}

void PreviewUi::hideView() {
    if (m_view) {
        m_view->hide();
        m_view->clearFocus();
    }
}

bool PreviewUi::navigate(const QString& url) {
    if (!ensureView())
        return false;
    const QUrl u(url);
    if (!u.isValid())
        return false;
    m_view->setUrl(u);
    return true;
}

bool PreviewUi::canGoBack() const {
    return m_view && m_view->history()->canGoBack();
}
bool PreviewUi::canGoForward() const {
    return m_view && m_view->history()->canGoForward();
}
void PreviewUi::goBack() {
    if (m_view)
        m_view->back();
}
void PreviewUi::goForward() {
    if (m_view)
        m_view->forward();
}
void PreviewUi::stop() {
    if (m_view)
        m_view->stop();
}

void PreviewUi::showControlPanel(bool on) {
    if (!m_panel)
        return;
    m_panel->setVisible(on);
    if (on)
        m_panel->raise();
    placeWidgets();
}

void PreviewUi::openSettingsDialogOn(SettingsPage page) {
    if (settingsOpener) {
        settingsOpener(page);
        return;
    }
    TFormOptions dialog(m_state, m_projectPanes ? &m_projectPanes->project() : nullptr, m_prompter,
                        m_chooser, page, m_pane ? m_pane->window() : nullptr);
    dialog.exec();
}

void PreviewUi::tickWrap() {
    if (m_wrapBox)
        m_wrapBox->setChecked(true);
    m_editWindow.setWordWrap(true);
}

void PreviewUi::showEditWindow() {
    m_preview->showEditWindow();
}

void PreviewUi::showHelpOnTop() {
    if (m_helpOnTop)
        return;
    QAction* entry = m_registry.action(QStringLiteral("ShowHelpOnTop1"));
    m_helpOnTop = new TFormHelpOnTop(m_state, m_prompter, m_pane ? m_pane->window() : nullptr);
    if (!m_helpOnTop->loadPages()) {
        delete m_helpOnTop;
        return;
    }
    if (entry)
        entry->setEnabled(false);
    connect(m_helpOnTop, &QObject::destroyed, this, [entry] {
        if (entry)
            entry->setEnabled(true);
    });
    m_helpOnTop->show();
}

TFormHelpOnTop* PreviewUi::helpOnTop() const {
    return m_helpOnTop.data();
}

bool PreviewUi::helpOnTopShown() const {
    return !m_helpOnTop.isNull();
}

void PreviewUi::showFaq() {
    QDialog faq(m_pane ? m_pane->window() : nullptr);
    faq.setObjectName(QStringLiteral("FormFAQ"));
    faq.setWindowTitle(QStringLiteral("FAQ"));
    auto* v = new QVBoxLayout(&faq);
    auto* text = new QTextEdit(&faq);
    text->setObjectName(QStringLiteral("MemoFAQ"));
    text->setReadOnly(true);
    text->setPlainText(Help::faqText());
    v->addWidget(text);
    auto* buttons = new QDialogButtonBox(&faq);
    buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    connect(buttons, &QDialogButtonBox::accepted, &faq, &QDialog::accept);
    v->addWidget(buttons);
    faq.resize(560, 420);
    faq.exec();
}

CommandTable installPreview(ActionRegistry& registry, Shell& context) {
    auto* ui = new PreviewUi(registry, context);
    return previewCommands(context.state, ui->preview(), ui->help(), *ui);
}
