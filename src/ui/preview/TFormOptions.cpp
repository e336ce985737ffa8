// The "Settings" dialog.
#include "ui/preview/TFormOptions.h"

#include "app/AppState.h"
#include "app/HtmlExtensions.h"
#include "platform/FileChooser.h"
#include "platform/Prompter.h"
#include "preview/Preview.h"
#include "project/ChangeFilePath.h"
#include "project/Project.h"
#include "services/TagColors.h"
#include "ui/widgets/DialogParts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

QString chosenFolder(const QString& file) {
    return folderWithSeparator(QFileInfo(file).absolutePath());
}

const char* const ColorCaptions[6] = {
    "Default HTML Tag Color",   "Anchors: < A HREF> <A NAME>", "Images: <IMG>",
    "Font: <FONT> <B> <I> <U>", "Tables: <TABLE> <TR> <TD>",   "Lists: <OL> <UL> <LI> <DL>"};

} // namespace

TFormOptions::TFormOptions(AppState& state, Project* project, Prompter& prompter,
                           FileChooser& chooser, SettingsPage page, QWidget* parent)
    : QDialog(parent), m_state(state), m_project(project), m_prompter(prompter), m_chooser(chooser),
      m_initial(currentSettingsValues(state)) {
    setObjectName(QStringLiteral("FormOptions"));
    setWindowTitle(QStringLiteral("Settings"));
    auto* v = new QVBoxLayout(this);
    m_tabs = named(new QTabWidget(this), "PageControl1");
    m_tabs->addTab(buildFiles(), QStringLiteral("Files"));
    m_tabs->addTab(buildTagOptions(), QStringLiteral("Tag Options"));
    m_tabs->addTab(buildBrowsers(), QStringLiteral("Web Browsers"));
    m_tabs->addTab(buildHelpers(), QStringLiteral("Helper Apps"));
    m_tabs->addTab(buildBackup(), QStringLiteral("Back Up"));
    m_tabs->addTab(buildFtp(), QStringLiteral("FTP"));
    m_tabs->addTab(buildChangeFilePath(), QStringLiteral("Change File Path"));
    m_tabs->setCurrentIndex(static_cast<int>(page));
    v->addWidget(m_tabs);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    auto* apply = named(new QPushButton(QStringLiteral("&Apply"), this), "ButtonApply");
    auto* cancel = named(new QPushButton(QStringLiteral("Cance&l"), this), "ButtonCancel");
    apply->setAutoDefault(false);
    cancel->setAutoDefault(false);
    buttons->addWidget(apply);
    buttons->addWidget(cancel);
    v->addLayout(buttons);
    connect(apply, &QPushButton::clicked, this, &TFormOptions::apply);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    // As large as the tabs need: every field and the whole extension list show.
    resize(sizeHint().expandedTo(QSize(620, 520)));
}

QWidget* TFormOptions::buildFiles() {
    auto* page = named(new QWidget, "TabFiles");
    auto* v = new QVBoxLayout(page);
    auto* group = new QGroupBox(QStringLiteral("Extensions: "), page);
    auto* g = new QGridLayout(group);
    g->addWidget(note(QStringLiteral("Show files with these extensions as HTML files in the File "
                                     "List."),
                      group),
                 0, 0, 1, 3);
    m_extensions = named(new QListWidget(group), "ListBoxHTMLExtensions");
    m_extensions->addItems(m_initial.extensions);
    // All 15 extensions the program keeps show at once.
    m_extensions->addItem(QStringLiteral("html"));
    const int row = m_extensions->sizeHintForRow(0);
    delete m_extensions->takeItem(m_extensions->count() - 1);
    m_extensions->setFixedHeight(row * MaxHtmlExtensions + 2 * m_extensions->frameWidth() + 2);
    m_extensions->setFixedWidth(m_extensions->fontMetrics().horizontalAdvance(QLatin1Char('m')) *
                                    12 +
                                m_extensions->verticalScrollBar()->sizeHint().width());
    g->addWidget(m_extensions, 1, 0, 3, 1);
    auto* add = named(new QPushButton(QStringLiteral("&Add"), group), "ButtonAddExt");
    auto* del = named(new QPushButton(QStringLiteral("&Delete"), group), "ButtonDeleteExt");
    m_newExt = named(new QLineEdit(group), "EditNewExt");
    g->addWidget(add, 1, 1, Qt::AlignTop);
    g->addWidget(m_newExt, 1, 2, Qt::AlignTop);
    g->addWidget(del, 2, 1, Qt::AlignTop);
    g->setRowStretch(3, 1);
    g->setColumnStretch(2, 1);
    connect(add, &QPushButton::clicked, this, &TFormOptions::addExtensionClicked);
    connect(del, &QPushButton::clicked, this, [this] { delete m_extensions->currentItem(); });
    v->addWidget(group);

    // Each caption stands above its field, so the fields take the dialog's whole width: a
    // path of 60 characters shows whole.
    auto* form = new QGridLayout;
    const int pathWidth =
        page->fontMetrics().horizontalAdvance(QStringLiteral("/home/someone/websites/acme-widgets/"
                                                             "images/catalogue/2024/x/")) +
        16;
    int r = 0;
    form->addWidget(new QLabel(QStringLiteral("Default extension for new HTML files"), page), r, 0);
    m_defaultExt = named(new QLineEdit(m_initial.defaultExt, page), "EditDefaultExt");
    m_defaultExt->setMaximumWidth(page->fontMetrics().horizontalAdvance(QLatin1Char('m')) * 8);
    form->addWidget(m_defaultExt, r++, 1, Qt::AlignLeft);
    form->addWidget(new QLabel(QStringLiteral("File to use as HTML Template:"), page), r++, 0, 1,
                    3);
    m_template = named(new QLineEdit(m_initial.htmlTemplate, page), "EditTemplate");
    m_template->setMinimumWidth(pathWidth);
    form->addWidget(m_template, r, 0, 1, 2);
    auto* browseTemplate = named(new QPushButton(QStringLiteral("..."), page), "ButtonTemplate");
    form->addWidget(browseTemplate, r++, 2);
    connect(browseTemplate, &QPushButton::clicked, this, [this] {
        if (const std::optional<QString> file = browse())
            m_template->setText(*file);
    });
    form->addWidget(
        new QLabel(QStringLiteral("Default REAL path to Images used in your HTML files:"), page),
        r++, 0, 1, 3);
    m_imagePath = named(new QLineEdit(m_initial.imagePath, page), "EditImagePath");
    m_imagePath->setMinimumWidth(pathWidth);
    form->addWidget(m_imagePath, r, 0, 1, 2);
    auto* browseImages = named(new QPushButton(QStringLiteral("..."), page), "ButtonImagePath");
    form->addWidget(browseImages, r++, 2);
    connect(browseImages, &QPushButton::clicked, this, [this] {
        m_prompter.inform(QStringLiteral(
            "In the next dialog box, go to the directory where you store the images used in your "
            "HTML files and select any file in that directory. Then click the OPEN button. That "
            "will return the proper directory location."));
        // The folder keeps its real case: a lower-cased one would not exist here.
        if (const std::optional<QString> file = browse())
            m_imagePath->setText(chosenFolder(*file));
    });
    form->addWidget(note(QStringLiteral("(this will be the default value used on the analysis "
                                        "screen to find your images)"),
                         page),
                    r++, 0, 1, 3);
    m_useDefaultFiles = named(new QCheckBox(QStringLiteral("When switching from WEBSITE to FILES "
                                                           "tab, always default to this location:"),
                                            page),
                              "CheckDefaultFiles");
    m_useDefaultFiles->setChecked(m_initial.useDefaultFiles);
    form->addWidget(m_useDefaultFiles, r++, 0, 1, 3);
    m_defaultFiles = named(new QLineEdit(m_initial.defaultFilesFolder, page), "EditDefaultFiles");
    m_defaultFiles->setReadOnly(true);
    m_defaultFiles->setMinimumWidth(pathWidth);
    form->addWidget(m_defaultFiles, r, 0, 1, 2);
    auto* browseFiles = named(new QPushButton(QStringLiteral("..."), page), "ButtonDefaultFiles");
    form->addWidget(browseFiles, r++, 2);
    connect(browseFiles, &QPushButton::clicked, this, [this] {
        m_prompter.inform(QStringLiteral(
            "In the next dialog box, go to the directory you wish to use as DEFAULT and select "
            "any file in that directory. Then click the OPEN button. That will return the proper "
            "directory location."));
        if (const std::optional<QString> file = browse())
            m_defaultFiles->setText(chosenFolder(*file));
    });
    form->addWidget(note(QStringLiteral("(otherwise, most recently accessed directory will be used "
                                        "as default directory)"),
                         page),
                    r++, 0, 1, 3);
    m_confirm = named(
        new QCheckBox(QStringLiteral("Confirm before removing web pages from project file?"), page),
        "CheckConfirm");
    m_confirm->setChecked(m_initial.confirmRemove);
    form->addWidget(m_confirm, r++, 0, 1, 3);
    m_editProblem =
        named(new QCheckBox(QStringLiteral("Large File Setting"), page), "CheckFileEditSetting");
    m_editProblem->setChecked(m_initial.editProblem);
    form->addWidget(m_editProblem, r, 0);
    form->addWidget(note(QStringLiteral("DO NOT check this box unless you are having problems "
                                        "editing very large files."),
                         page),
                    r++, 1, 1, 2);
    m_lowerCase =
        named(new QCheckBox(QStringLiteral("Write tags in lower case"), page), "CheckLowerCase");
    m_lowerCase->setChecked(m_initial.lowerCaseTags);
    form->addWidget(m_lowerCase, r++, 0, 1, 3);
    form->setColumnStretch(1, 1);
    v->addLayout(form);
    v->addStretch(1);
    return page;
}

void TFormOptions::addExtensionClicked() {
    QStringList list;
    for (int i = 0; i < m_extensions->count(); ++i)
        list << m_extensions->item(i)->text();
    switch (addExtension(list, m_newExt->text())) {
    case AddExtension::ListFull:
        m_prompter.inform(extensionListFullText());
        return;
    case AddExtension::Empty:
        m_prompter.inform(enterExtensionText());
        m_newExt->setFocus();
        return;
    case AddExtension::Added:
        m_extensions->clear();
        m_extensions->addItems(list);
        [[fallthrough]];
    case AddExtension::AlreadyListed:
        m_newExt->clear();
        m_newExt->setFocus();
        return;
    }
}

QWidget* TFormOptions::buildTagOptions() {
    auto* page = named(new QWidget, "TabTagOptions");
    auto* v = new QVBoxLayout(page);
    v->addWidget(note(QStringLiteral("Select the colors you want the HTML tags to be displayed in. "
                                     "Select BLACK or turn off colored tags on the main screen if "
                                     "you don't want colored tags."),
                      page));
    auto* g = new QGridLayout;
    for (int i = 0; i < 6; ++i) {
        auto* list = new QComboBox(page);
        list->setObjectName(QStringLiteral("ComboBox%1").arg(i + 1));
        for (const QString& name : colorNames()) {
            list->addItem(name);
            list->setItemData(list->count() - 1, ColorFromName(name), Qt::ForegroundRole);
        }
        list->setCurrentIndex(
            ColorListIndex(ColorFromName(m_initial.tagColors[static_cast<size_t>(i)])));
        auto* caption = new QLabel(QLatin1String(ColorCaptions[i]), page);
        caption->setObjectName(QStringLiteral("LabelColor%1").arg(i + 1));
        // The captions name tags: "<IMG>" is text here, not markup.
        caption->setTextFormat(Qt::PlainText);
        g->addWidget(list, i, 0);
        g->addWidget(caption, i, 1);
        m_colorLists[static_cast<size_t>(i)] = list;
        m_colorCaptions[static_cast<size_t>(i)] = caption;
        connect(list, &QComboBox::currentIndexChanged, this, &TFormOptions::redrawColorCaptions);
    }
    v->addLayout(g);
    m_strong =
        named(new QCheckBox(QStringLiteral("Use <STRONG> instead of <B>"), page), "CheckStrong");
    m_strong->setChecked(m_initial.strongTag);
    m_em = named(new QCheckBox(QStringLiteral("Use <EM> instead of <I>"), page), "CheckEm");
    m_em->setChecked(m_initial.emTag);
    v->addWidget(m_strong);
    v->addWidget(m_em);
    v->addStretch(1);
    redrawColorCaptions();
    return page;
}

void TFormOptions::redrawColorCaptions() {
    for (size_t i = 0; i < m_colorLists.size(); ++i) {
        const QColor c = ColorFromName(m_colorLists[i]->currentText());
        QPalette p = m_colorCaptions[i]->palette();
        p.setColor(QPalette::WindowText, c);
        m_colorCaptions[i]->setPalette(p);
    }
}

std::optional<QString> TFormOptions::browse() {
    FileDialogRequest r;
    r.title = QStringLiteral("Select any file in the new directory location, then click OPEN");
    r.filter = browseFilter();
    r.filterIndex = 2;
    return m_chooser.openFile(r);
}

void TFormOptions::chooseBrowser(bool first, const QString& path) {
    (first ? m_net : m_msie)->setText(path);
    // Written at once, also when the dialog is then cancelled.
    m_state.store().set(m_state.settings(), first ? &Settings::browser1 : &Settings::browser2,
                        path);
}

QWidget* TFormOptions::buildBrowsers() {
    auto* page = named(new QWidget, "TabBrowsers");
    auto* g = new QGridLayout(page);
    int row = 0;
    g->addWidget(new QLabel(QStringLiteral("Location of Netscape Browser:"), page), row++, 0, 1, 2);
    m_net = named(new QLineEdit(m_initial.browser1, page), "EditNet");
    g->addWidget(m_net, row, 0);
    auto* findNet =
        named(new QPushButton(QStringLiteral("Find Netscape Location"), page), "ButtonFindNet");
    g->addWidget(findNet, row++, 1);
    g->addWidget(new QLabel(QStringLiteral("Location of MS Internet Explorer"), page), row++, 0, 1,
                 2);
    m_msie = named(new QLineEdit(m_initial.browser2, page), "EditMSIE");
    g->addWidget(m_msie, row, 0);
    auto* findMsie =
        named(new QPushButton(QStringLiteral("Find MS Internet Explorer"), page), "ButtonFindMSIE");
    g->addWidget(findMsie, row++, 1);
    connect(findNet, &QPushButton::clicked, this, [this] {
        if (const std::optional<QString> file = browse())
            chooseBrowser(true, *file);
    });
    connect(findMsie, &QPushButton::clicked, this, [this] {
        if (const std::optional<QString> file = browse())
            chooseBrowser(false, *file);
    });
    // The browsers this machine has, offered beside the two locations.
    auto* found = named(new QComboBox(page), "ComboFoundBrowsers");
    found->addItems(Preview::foundBrowsers());
    auto* useNet = named(new QPushButton(QStringLiteral("Use for Netscape"), page), "ButtonUseNet");
    auto* useMsie = named(new QPushButton(QStringLiteral("Use for MS Internet Explorer"), page),
                          "ButtonUseMSIE");
    g->addWidget(new QLabel(QStringLiteral("Browsers found on this machine:"), page), row++, 0, 1,
                 2);
    g->addWidget(found, row++, 0, 1, 2);
    auto* uses = new QHBoxLayout;
    uses->addWidget(useNet);
    uses->addWidget(useMsie);
    g->addLayout(uses, row++, 0, 1, 2);
    for (QPushButton* b : {useNet, useMsie})
        b->setEnabled(found->count() > 0);
    connect(useNet, &QPushButton::clicked, this, [this, found] {
        if (!found->currentText().isEmpty())
            chooseBrowser(true, found->currentText());
    });
    connect(useMsie, &QPushButton::clicked, this, [this, found] {
        if (!found->currentText().isEmpty())
            chooseBrowser(false, found->currentText());
    });

    auto* group = new QGroupBox(QStringLiteral("Browser Preview Options:  "), page);
    auto* gv = new QVBoxLayout(group);
    gv->addWidget(note(QStringLiteral("While editing an HTML file, how would you like to handle "
                                      "switching to the browser preview mode?"),
                       group));
    m_autoSave = named(new QRadioButton(QStringLiteral("Auto-Save open HTML file and view"), group),
                       "RadioAutoSave");
    m_temp = named(new QRadioButton(QStringLiteral("View temporary file (no need to save)"), group),
                   "RadioTemp");
    m_noSave = named(new QRadioButton(QStringLiteral("View most recently saved version"), group),
                     "RadioNoSave");
    gv->addWidget(m_autoSave);
    gv->addWidget(m_temp);
    gv->addWidget(m_noSave);
    gv->addWidget(note(QStringLiteral("(unsaved changes not reflected)"), group));
    gv->addWidget(note(QStringLiteral("You will see a small blue letter in the left margin of the "
                                      "HTML Editor window indicating current mode (S=auto-save,"
                                      "T=temp, or N=no-save)."),
                       group));
    if (m_initial.previewOption == QLatin1String("auto"))
        m_autoSave->setChecked(true);
    else if (m_initial.previewOption == QLatin1String("nosave"))
        m_noSave->setChecked(true);
    else
        m_temp->setChecked(true);
    g->addWidget(group, row++, 0, 1, 2);
    m_hideControl = named(new QCheckBox(QStringLiteral("Do NOT show MSIE control panel"), page),
                          "CheckMSIEControl");
    m_hideControl->setChecked(m_initial.hideMsieControl);
    g->addWidget(m_hideControl, row++, 0, 1, 2);
    g->setRowStretch(row, 1);
    return page;
}

QWidget* TFormOptions::buildHelpers() {
    auto* page = named(new QWidget, "TabHelpers");
    auto* g = new QGridLayout(page);
    g->addWidget(note(QStringLiteral("Select your commonly used applications to use in conjunction "
                                     "with Quillon Pro: "),
                      page),
                 0, 0, 1, 3);
    const auto field = [&](int row, const char* caption, const char* name, const char* button,
                           const QString& value) {
        g->addWidget(new QLabel(QLatin1String(caption), page), row, 0);
        auto* edit = named(new QLineEdit(value, page), name);
        g->addWidget(edit, row, 1);
        auto* b = named(new QPushButton(QStringLiteral("..."), page), button);
        g->addWidget(b, row, 2);
        connect(b, &QPushButton::clicked, this, [this, edit] {
            if (const std::optional<QString> file = browse())
                edit->setText(*file);
        });
        return edit;
    };
    m_image = field(1, "Image/Graphics Editor:", "EditImage", "ButtonImage", m_initial.imageEditor);
    m_map = field(2, "Image Map Editor:", "EditMap", "ButtonMap", m_initial.imagemapEditor);
    g->addWidget(note(QStringLiteral("Once configured, you can launch any of these programs from "
                                     "the Helper App menu."),
                      page),
                 3, 0, 1, 3);
    g->setRowStretch(4, 1);
    return page;
}

QWidget* TFormOptions::buildBackup() {
    auto* page = named(new QWidget, "TabBackup");
    auto* v = new QVBoxLayout(page);
    v->addWidget(
        note(QStringLiteral("Upon closing a project, do the following backup activities:"), page));
    m_noBackup =
        named(new QRadioButton(QStringLiteral("Do NOT perform any backup -- just exit."), page),
              "RadioNoBackup");
    m_promptBackup =
        named(new QRadioButton(QStringLiteral("Prompt to backup project HTML files every:"), page),
              "RadioPromptBack");
    (m_initial.backupType == 0 ? m_noBackup : m_promptBackup)->setChecked(true);
    m_promptFreq = named(new QSpinBox(page), "SpinPromptBack");
    m_promptFreq->setRange(SettingsRules::SpinMinimum, SettingsRules::SpinMaximum);
    m_promptFreq->setValue(clampPromptFreq(m_initial.promptFreq));
    connect(m_promptFreq, &QSpinBox::valueChanged, this, [this](int value) {
        const int kept = clampPromptFreq(value);
        if (kept != value)
            m_promptFreq->setValue(kept);
    });
    // The choice counts at once, also when the dialog is then cancelled.
    connect(m_noBackup, &QRadioButton::clicked, this,
            [this] { m_state.settings().backupType = 0; });
    connect(m_promptBackup, &QRadioButton::clicked, this,
            [this] { m_state.settings().backupType = 1; });
    v->addWidget(m_noBackup);
    auto* row = new QHBoxLayout;
    row->addWidget(m_promptBackup);
    row->addWidget(m_promptFreq);
    row->addWidget(new QLabel(QStringLiteral("sessions"), page));
    row->addStretch(1);
    v->addLayout(row);
    v->addWidget(note(
        QStringLiteral("NOTE: Project HTML files will be automatically backed-up to the \\BACKUP "
                       "sub-directory located within your Quillon Pro location. A sub-directory "
                       "for the project will be created, then another sub-directory with today's "
                       "date."),
        page));
    v->addWidget(note(QStringLiteral("Your project called \"Acme Widgets\", backed-up on Dec. 25, "
                                     "1998, would be saved to:  \\BACKUP\\ACME WIDGETS\\12_25_98\\ "
                                     " within your main Quillon Pro directory on your hard drive."),
                      page));
    v->addStretch(1);
    return page;
}

QWidget* TFormOptions::buildFtp() {
    auto* page = named(new QWidget, "TabFTP");
    auto* v = new QVBoxLayout(page);
    v->addWidget(note(QStringLiteral("Settings for FTP server functions:"), page));
    m_ftpAuto =
        named(new QCheckBox(QStringLiteral("Automatically add all changed HTML files to the "
                                           "Auto-FTP list"),
                            page),
              "CheckFTPAuto");
    m_ftpAuto->setChecked(m_initial.ftpAuto);
    m_flush = named(new QCheckBox(QStringLiteral("Flush FTP List upon exiting FTP Screen"), page),
                    "CheckFlushFTP");
    m_flush->setChecked(m_initial.ftpFlush);
    v->addWidget(m_ftpAuto);
    v->addWidget(m_flush);

    // The page checks: before each upload, and Check Links of the Tools menu.
    auto* checks =
        new QGroupBox(QStringLiteral("Page checks (before upload and Check Links):"), page);
    auto* c = new QGridLayout(checks);
    m_checkBeforeUpload = named(new QCheckBox(QStringLiteral("&Check pages for broken links and "
                                                             "HTML errors before each upload"),
                                              checks),
                                "CheckBeforeUpload");
    m_checkBeforeUpload->setChecked(m_initial.checkBeforeUpload);
    c->addWidget(m_checkBeforeUpload, 0, 0, 1, 2);
    auto* sizeLabel =
        new QLabel(QStringLiteral("Page &size limit with images, KB (0: none):"), checks);
    m_sizeLimit = named(new QSpinBox(checks), "SpinPageSizeLimit");
    m_sizeLimit->setRange(0, SettingsRules::PageSizeLimitMaximum);
    m_sizeLimit->setValue(m_initial.pageSizeLimit);
    sizeLabel->setBuddy(m_sizeLimit);
    c->addWidget(sizeLabel, 1, 0);
    c->addWidget(m_sizeLimit, 1, 1, Qt::AlignLeft);
    m_tidyWarnings =
        named(new QCheckBox(QStringLiteral("Report HTML Tidy's &warnings too, not only its errors"),
                            checks),
              "CheckTidyWarnings");
    m_tidyWarnings->setChecked(m_initial.tidyWarnings);
    c->addWidget(m_tidyWarnings, 2, 0, 1, 2);
    v->addWidget(checks);
    v->addStretch(1);
    return page;
}

QWidget* TFormOptions::buildChangeFilePath() {
    auto* page = named(new QWidget, "TabChangeFilePath");
    auto* v = new QVBoxLayout(page);
    v->addWidget(note(QStringLiteral("If you move your HTML files to a new location or rename a "
                                     "directory, you will no longer be able to open the files for "
                                     "editing since their location has changed. You need to change "
                                     "the file path reference to the new location."),
                      page));
    v->addWidget(new QLabel(QStringLiteral("Select the old path you wish to change:"), page));
    m_paths = named(new QListWidget(page), "ListBoxPaths");
    if (m_project && !m_state.project().projectFileName.isEmpty())
        m_paths->addItems(projectFolders(m_project->outline().pageLinkList()));
    v->addWidget(m_paths, 1);
    v->addWidget(
        new QLabel(QStringLiteral("Then select the new path to the HTML file location:"), page));
    auto* row = new QHBoxLayout;
    m_selectNewPath = named(new QPushButton(QStringLiteral("Select NEW path to file:"), page),
                            "ButtonSelectNewPath");
    m_newPath = named(new QLabel(QStringLiteral("New Path:"), page), "LabelNewPath");
    row->addWidget(m_selectNewPath);
    row->addWidget(m_newPath, 1);
    v->addLayout(row);
    auto* row2 = new QHBoxLayout;
    m_changePath =
        named(new QPushButton(QStringLiteral("Change to NEW path"), page), "ButtonChangePath");
    row2->addWidget(m_changePath);
    row2->addWidget(note(QStringLiteral("To update your project references to this new HTML file "
                                        "path location (no effect on the HTML files themselves), "
                                        "click this button."),
                         page),
                    1);
    v->addLayout(row2);
    m_selectNewPath->setEnabled(false);
    m_changePath->setEnabled(false);
    connect(m_paths, &QListWidget::currentRowChanged, this, [this](int r) {
        m_selectNewPath->setEnabled(r >= 0);
        m_changePath->setEnabled(r >= 0 && !m_newFolder.isEmpty());
    });
    connect(m_selectNewPath, &QPushButton::clicked, this, [this] {
        m_prompter.inform(selectNewPathText());
        FileDialogRequest r;
        r.title = QStringLiteral("Select any file in the new directory location, then click OPEN");
        r.filter = browseFilter();
        r.filterIndex = 2;
        const std::optional<QString> file = m_chooser.openFile(r);
        if (!file)
            return;
        m_newFolder = chosenFolder(*file);
        m_newPath->setText(QStringLiteral("New Path: ") + m_newFolder);
        m_changePath->setEnabled(m_paths->currentRow() >= 0);
    });
    connect(m_changePath, &QPushButton::clicked, this, [this] {
        if (m_project && m_paths->currentItem() && !m_newFolder.isEmpty())
            m_project->changeFilePath(m_paths->currentItem()->text(), m_newFolder);
    });
    return page;
}

SettingsValues TFormOptions::values() const {
    SettingsValues v;
    for (int i = 0; i < m_extensions->count(); ++i)
        v.extensions << m_extensions->item(i)->text();
    v.defaultExt = m_defaultExt->text();
    v.htmlTemplate = m_template->text();
    v.imagePath = m_imagePath->text();
    v.useDefaultFiles = m_useDefaultFiles->isChecked();
    v.defaultFilesFolder = m_defaultFiles->text();
    v.confirmRemove = m_confirm->isChecked();
    v.editProblem = m_editProblem->isChecked();
    v.lowerCaseTags = m_lowerCase->isChecked();
    for (size_t i = 0; i < m_colorLists.size(); ++i)
        v.tagColors[i] = m_colorLists[i]->currentText();
    v.strongTag = m_strong->isChecked();
    v.emTag = m_em->isChecked();
    v.browser1 = m_net->text();
    v.browser2 = m_msie->text();
    v.previewOption = m_autoSave->isChecked() ? QStringLiteral("auto")
                      : m_noSave->isChecked() ? QStringLiteral("nosave")
                                              : QStringLiteral("temp");
    v.hideMsieControl = m_hideControl->isChecked();
    v.imageEditor = m_image->text();
    v.imagemapEditor = m_map->text();
    v.backupType = m_noBackup->isChecked() ? 0 : 1;
    v.promptFreq = m_promptFreq->value();
    v.ftpAuto = m_ftpAuto->isChecked();
    v.ftpFlush = m_flush->isChecked();
    v.checkBeforeUpload = m_checkBeforeUpload->isChecked();
    v.pageSizeLimit = m_sizeLimit->value();
    v.tidyWarnings = m_tidyWarnings->isChecked();
    return v;
}

void TFormOptions::apply() {
    const QStringList failed = ApplySettings(m_state, values());
    if (!failed.isEmpty())
        m_prompter.error(cannotWriteSettingsText(failed));
    accept();
}
