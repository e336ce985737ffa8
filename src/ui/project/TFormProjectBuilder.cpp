// TFormProjectBuilder: the "Website Project Builder" wizard.
#include "ui/project/TFormProjectBuilder.h"

#include "app/AppState.h"
#include "platform/Prompter.h"
#include "ui/widgets/DialogParts.h"
#include "ui/widgets/FolderBrowser.h"

#include <QApplication>
#include <QComboBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>

TFormProjectBuilder::TFormProjectBuilder(AppState& state, Prompter& prompter, QWidget* parent)
    : QDialog(parent), m_model(state.programDirectory()), m_prompter(prompter) {
    setObjectName(QStringLiteral("TFormProjectBuilder"));
    setWindowTitle(QStringLiteral("Website Project Builder"));
    setModal(true);
    auto* v = new QVBoxLayout(this);
    m_tabs = named(new QTabWidget(this), "PageControl1");
    v->addWidget(m_tabs, 1);

    // 1. Instructions.
    auto* intro = new QWidget;
    auto* iv = new QVBoxLayout(intro);
    iv->addWidget(wrapped(
        QStringLiteral("This builder makes a new project out of HTML files you already have, "
                       "without adding the pages one by one. Go through the tabs from left to "
                       "right:\n\n"
                       "Select Files: pick the HTML files of the site.\n"
                       "Sort/Order Files: put them in the order the outline should show.\n"
                       "Assign Names: give each page its title, from its file name or from its "
                       "<TITLE>.\n"
                       "Build Hierarchy: indent pages to make them sub-pages of the page above.\n"
                       "Finish: name the project and save it. Open it afterwards with OPEN "
                       "PROJECT under the FILE menu."),
        intro));
    iv->addStretch();
    m_tabs->addTab(intro, QStringLiteral("Instructions:"));

    // 2. Select Files.
    auto* pick = new QWidget;
    auto* pg = new QGridLayout(pick);
    const QString start = state.settings().lastHtmlDirectory.isEmpty()
                              ? state.homeDirectory()
                              : state.settings().lastHtmlDirectory;
    m_browser =
        new FolderBrowser(state.homeDirectory(), "DriveComboBox1", "DirectoryListBox1", pick);
    pg->addWidget(m_browser, 0, 0, 2, 1);
    m_folderFiles = list("ListBox3", true, pick);
    pg->addWidget(m_folderFiles, 0, 1);
    m_filter = named(new QComboBox(pick), "FilterComboBox1");
    const QStringList parts = ProjectBuilder::filterText().split(QLatin1Char('|'));
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        m_filter->addItem(parts[i]);
        m_masks << parts[i + 1];
    }
    pg->addWidget(m_filter, 1, 1);
    auto* pickButtons = new QVBoxLayout;
    QPushButton* add = button(QStringLiteral("Add"), "ButtonAdd", pick);
    QPushButton* addAllButton = button(QStringLiteral("Add All"), "ButtonAddAll", pick);
    QPushButton* remove = button(QStringLiteral("Remove from List"), "ButtonRemove", pick);
    QPushButton* clear = button(QStringLiteral("Clear All"), "ButtonClearAll", pick);
    for (QPushButton* b : {add, addAllButton, remove, clear})
        pickButtons->addWidget(b);
    pickButtons->addStretch();
    pg->addLayout(pickButtons, 0, 2, 2, 1);
    m_selected = list("ListBoxFilesSelected", true, pick);
    pg->addWidget(m_selected, 0, 3, 2, 1);
    pg->setColumnStretch(0, 2);
    pg->setColumnStretch(1, 2);
    pg->setColumnStretch(3, 3);
    m_tabs->addTab(pick, QStringLiteral("Select Files"));

    // 3. Sort/Order Files.
    auto* order = new QWidget;
    auto* og = new QGridLayout(order);
    m_order = list("ListBoxOrder", false, order);
    og->addWidget(m_order, 0, 0, 3, 1);
    QPushButton* up = button(QStringLiteral("Up"), "ButtonUp", order);
    QPushButton* down = button(QStringLiteral("Down"), "ButtonDown", order);
    og->addWidget(up, 0, 1);
    og->addWidget(down, 1, 1);
    og->addWidget(wrapped(QStringLiteral("Put the pages in the order of the outline: a page "
                                         "first, then the pages below it. This order:\n\n"
                                         "Main\nIntro\nOrder\nVISA\nMC\nHelp\n\n"
                                         "becomes, once indented on the Build Hierarchy tab:\n\n"
                                         "Main\n     Intro\n     Order\n          VISA\n"
                                         "          MC\n     Help"),
                          order),
                  0, 2, 3, 1);
    og->setColumnStretch(0, 3);
    og->setColumnStretch(2, 2);
    m_tabs->addTab(order, QStringLiteral("Sort/Order Files"));

    // 4. Assign Names.
    auto* names = new QWidget;
    auto* nv = new QVBoxLayout(names);
    auto* choice = new QGroupBox(QStringLiteral("Initial Name to Assign: "), names);
    auto* cv = new QHBoxLayout(choice);
    m_useTitle = named(new QRadioButton(QStringLiteral("Use <TITLE> Value"), choice), "RadioTitle");
    m_useFileName =
        named(new QRadioButton(QStringLiteral("Use Filename"), choice), "RadioFileName");
    m_useFileName->setChecked(true);
    cv->addWidget(m_useTitle);
    cv->addWidget(m_useFileName);
    nv->addWidget(choice);
    QPushButton* load = button(QStringLiteral("Load Web Page Names:"), "ButtonLoadNames", names);
    nv->addWidget(load);
    nv->addWidget(wrapped(QStringLiteral("One name per line, in the order of the files. You may "
                                         "change the names. Make sure you do not add any "
                                         "additional TABs or carriage returns."),
                          names));
    m_names = named(new QPlainTextEdit(names), "MemoNames");
    m_names->setLineWrapMode(QPlainTextEdit::NoWrap);
    nv->addWidget(m_names, 1);
    m_tabs->addTab(names, QStringLiteral("Assign Names"));

    // 5. Build Hierarchy.
    auto* tree = new QWidget;
    auto* tg = new QGridLayout(tree);
    m_final = list("ListBoxFinal", true, tree);
    m_final->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    tg->addWidget(m_final, 0, 0, 3, 1);
    QPushButton* in = button(QStringLiteral("Indent"), "ButtonIndent", tree);
    QPushButton* out = button(QStringLiteral("Unindent"), "ButtonUnindent", tree);
    tg->addWidget(in, 0, 1);
    tg->addWidget(out, 1, 1);
    tg->addWidget(wrapped(QStringLiteral("Indent a page to make it a sub-page of the page above "
                                         "it. A sub-page can be only one level below its parent."),
                          tree),
                  2, 1);
    m_tabs->addTab(tree, QStringLiteral("Build Hierarchy"));

    // 6. Finish.
    auto* finish = new QWidget;
    auto* fv = new QVBoxLayout(finish);
    fv->addWidget(new QLabel(QStringLiteral("Project name:"), finish));
    m_projectName =
        named(new QLineEdit(ProjectBuilder::initialProjectName(), finish), "EditProjectName");
    fv->addWidget(m_projectName);
    QPushButton* save =
        button(QStringLiteral("Click HERE to Save Project and Exit"), "ButtonSave", finish);
    fv->addWidget(save);
    fv->addStretch();
    m_tabs->addTab(finish, QStringLiteral("Finish"));

    auto* bottom = new QHBoxLayout;
    bottom->addStretch();
    QPushButton* exit = button(QStringLiteral("E&xit without Saving"), "ButtonExit", this);
    bottom->addWidget(exit);
    v->addLayout(bottom);

    connect(m_filter, &QComboBox::currentIndexChanged, this, [this] { listFolder(); });
    connect(m_browser, &FolderBrowser::folderChanged, this, [this] { listFolder(); });
    m_browser->setFolder(start);
    connect(add, &QPushButton::clicked, this, &TFormProjectBuilder::addSelected);
    connect(m_folderFiles, &QListWidget::itemDoubleClicked, this,
            &TFormProjectBuilder::addSelected);
    connect(addAllButton, &QPushButton::clicked, this, &TFormProjectBuilder::addAll);
    connect(remove, &QPushButton::clicked, this, &TFormProjectBuilder::removeSelected);
    connect(clear, &QPushButton::clicked, this, &TFormProjectBuilder::clearAll);
    connect(up, &QPushButton::clicked, this, &TFormProjectBuilder::moveUp);
    connect(down, &QPushButton::clicked, this, &TFormProjectBuilder::moveDown);
    connect(load, &QPushButton::clicked, this, &TFormProjectBuilder::loadNames);
    connect(in, &QPushButton::clicked, this, &TFormProjectBuilder::indent);
    connect(out, &QPushButton::clicked, this, &TFormProjectBuilder::unindent);
    connect(save, &QPushButton::clicked, this, &TFormProjectBuilder::saveAndExit);
    connect(exit, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_tabs, &QTabWidget::currentChanged, this, &TFormProjectBuilder::tabChanged);
    m_tabs->setCurrentIndex(Instructions);
    resize(760, 520);
}

void TFormProjectBuilder::listFolder() {
    m_folderFiles->clear();
    const int type = m_filter->currentIndex();
    if (type < 0 || type >= m_masks.size())
        return;
    m_folderFiles->addItems(ProjectBuilder::listFiles(m_browser->folder(), m_masks[type]));
}

QList<int> TFormProjectBuilder::selectedRows(const QListWidget* l) const {
    QList<int> rows;
    for (int i = 0; i < l->count(); ++i) {
        if (l->item(i)->isSelected())
            rows << i;
    }
    return rows;
}

void TFormProjectBuilder::refillSelected() {
    m_selected->clear();
    m_selected->addItems(m_model.selectedFiles());
    m_order->clear();
    m_order->addItems(m_model.orderedFiles());
}

void TFormProjectBuilder::addSelected() {
    QStringList names;
    for (int row : selectedRows(m_folderFiles))
        names << m_folderFiles->item(row)->text();
    if (names.isEmpty())
        return;
    m_model.addFiles(m_browser->folder(), names);
    refillSelected();
}

void TFormProjectBuilder::addAll() {
    QStringList names;
    for (int i = 0; i < m_folderFiles->count(); ++i)
        names << m_folderFiles->item(i)->text();
    m_model.addFiles(m_browser->folder(), names);
    refillSelected();
}

void TFormProjectBuilder::removeSelected() {
    const QList<int> rows = selectedRows(m_selected);
    if (rows.isEmpty())
        return;
    m_model.removeFiles(rows);
    refillSelected();
}

void TFormProjectBuilder::clearAll() {
    m_model.clearFiles();
    refillSelected();
}

void TFormProjectBuilder::moveUp() {
    const int row =
        m_order->currentItem() && m_order->currentItem()->isSelected() ? m_order->currentRow() : -1;
    if (row < 0)
        return;
    const int now = m_model.moveUp(row);
    refillSelected();
    m_order->setCurrentRow(now);
}

void TFormProjectBuilder::moveDown() {
    const int row =
        m_order->currentItem() && m_order->currentItem()->isSelected() ? m_order->currentRow() : -1;
    if (row < 0)
        return;
    const int now = m_model.moveDown(row);
    refillSelected();
    m_order->setCurrentRow(now);
}

void TFormProjectBuilder::loadNames() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_model.loadNames(m_useTitle->isChecked());
    m_names->setPlainText(m_model.names.join(QLatin1Char('\n')));
    QApplication::restoreOverrideCursor();
}

void TFormProjectBuilder::refillFinal(const QList<int>& selectRows) {
    m_final->clear();
    m_final->addItems(m_model.hierarchy());
    for (int row : selectRows) {
        if (row >= 0 && row < m_final->count())
            m_final->item(row)->setSelected(true);
    }
}

void TFormProjectBuilder::indent() {
    const QList<int> rows = selectedRows(m_final);
    if (rows.isEmpty())
        return;
    m_model.indent(rows);
    refillFinal(rows);
}

void TFormProjectBuilder::unindent() {
    const QList<int> rows = selectedRows(m_final);
    if (rows.isEmpty())
        return;
    m_model.unindent(rows);
    refillFinal(rows);
}

void TFormProjectBuilder::tabChanged(int index) {
    const int previous = m_previousTab;
    m_previousTab = index;
    if (previous == AssignNames) {
        // One name per line; the line break after the last name makes no page.
        QStringList lines = m_names->toPlainText().split(QLatin1Char('\n'));
        while (!lines.isEmpty() && lines.last().isEmpty())
            lines.removeLast();
        m_model.names = lines;
        m_model.rebuildHierarchy();
        refillFinal({});
    }
    if (index == Finish) {
        if (const auto bad = m_model.checkTreeLevels()) {
            refillFinal(bad->first < 0 ? QList<int>{bad->second}
                                       : QList<int>{bad->first, bad->second});
            m_tabs->setCurrentIndex(BuildHierarchy);
            m_prompter.inform(bad->first < 0 ? ProjectBuilder::firstPageIndentedText()
                                             : ProjectBuilder::treeLevelsText());
        }
    }
}

void TFormProjectBuilder::saveAndExit() {
    if (m_model.save(m_projectName->text(), m_prompter))
        accept();
}
