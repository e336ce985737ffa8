// The project's dialogs.
#include "ui/project/ProjectDialogs.h"

#include "app/AppState.h"
#include "platform/Prompter.h"
#include "ui/widgets/DialogParts.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QVBoxLayout>

TFormPage::TFormPage(AppState& app, Prompter& prompter, FileChooser& chooser, QWidget* parent)
    : QDialog(parent), m_app(app), m_model(prompter, chooser) {
    setObjectName(QStringLiteral("TFormPage"));
    setWindowTitle(PageDialogModel::windowTitle());
    // No close box: the dialog ends through OK or Cancel.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setModal(true);
    auto* v = new QVBoxLayout(this);
    v->addWidget(wrapped(PageDialogModel::intro1Text(), this));
    v->addWidget(wrapped(PageDialogModel::intro2Text(), this));
    v->addWidget(wrapped(PageDialogModel::intro3Text(), this));
    auto* titleGroup = new QGroupBox(PageDialogModel::titleGroupText(), this);
    auto* tv = new QVBoxLayout(titleGroup);
    m_title = new QLineEdit(titleGroup);
    m_title->setObjectName(QStringLiteral("TitleField"));
    tv->addWidget(m_title);
    tv->addWidget(wrapped(PageDialogModel::titleHintText(), titleGroup));
    v->addWidget(titleGroup);
    auto* pathGroup = new QGroupBox(PageDialogModel::pathGroupText(), this);
    auto* pv = new QVBoxLayout(pathGroup);
    m_path = new QLineEdit(pathGroup);
    m_path->setObjectName(QStringLiteral("PathField"));
    pv->addWidget(m_path);
    auto* ph = new QHBoxLayout;
    ph->addWidget(wrapped(PageDialogModel::pathHintText(), pathGroup), 1);
    QPushButton* select = button(PageDialogModel::selectFileText(), "SelectFile", pathGroup);
    ph->addWidget(select);
    pv->addLayout(ph);
    v->addWidget(pathGroup);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    QPushButton* ok = button(QStringLiteral("&OK"), "OKButton", this);
    QPushButton* cancel = button(QStringLiteral("&Cancel"), "CancelButton", this);
    // Return in the title or path field accepts the page, as in any entry dialog.
    ok->setDefault(true);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    v->addLayout(buttons);

    connect(select, &QPushButton::clicked, this, [this] {
        pullFields();
        m_model.selectFile();
        pushFields();
    });
    connect(ok, &QPushButton::clicked, this, [this] {
        pullFields();
        if (m_model.ok())
            accept();
        else
            focusField();
    });
    connect(cancel, &QPushButton::clicked, this, [this] { reject(); });
}

void TFormPage::pullFields() {
    m_model.title = m_title->text();
    m_model.path = m_path->text();
}

void TFormPage::pushFields() {
    m_title->setText(m_model.title);
    m_path->setText(m_model.path);
}

void TFormPage::focusField() {
    QLineEdit* f = m_model.focus() == PageDialogModel::Field::Path ? m_path : m_title;
    f->setFocus();
    if (m_model.selectAllInFocus())
        f->selectAll();
}

void TFormPage::reject() {
    m_model.cancel();
    QDialog::reject();
}

PageDialogResult TFormPage::run(const PageDialogRequest& request) {
    m_model.show(request, m_app.pageDialogFilter(), m_app.settings().lastHtmlDirectory);
    pushFields();
    focusField();
    exec();
    return m_model.result();
}

TFormConfirmDelete::TFormConfirmDelete(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TFormConfirmDelete"));
    setWindowTitle(QStringLiteral("Confirm Delete"));
    setModal(true);
    auto* v = new QVBoxLayout(this);
    auto* group = new QGroupBox(QStringLiteral("Confirm Delete:"), this);
    group->setObjectName(QStringLiteral("ConfirmGroup"));
    // The red border area around the question, its caption set into the top edge of the frame
    // as every group caption is, not floating above it.
    group->setStyleSheet(
        QStringLiteral("QGroupBox#ConfirmGroup { border: 3px solid red; margin-top: 0.7em; "
                       "padding-top: 0.6em; }"
                       "QGroupBox#ConfirmGroup::title { subcontrol-origin: margin; "
                       "subcontrol-position: top left; left: 8px; padding: 0 3px; }"));
    auto* gv = new QVBoxLayout(group);
    gv->addWidget(wrapped(PageDialogModel::confirmDeleteText(), group));
    m_which = wrapped(QString(), group);
    m_which->setObjectName(QStringLiteral("RemovedPages"));
    gv->addWidget(m_which);
    v->addWidget(group);
    auto* h = new QHBoxLayout;
    QPushButton* yes = button(QStringLiteral("&Yes"), "YesButton", this);
    QPushButton* cancel = button(QStringLiteral("&Cancel"), "CancelButton", this);
    cancel->setDefault(true);
    h->addStretch();
    h->addWidget(yes);
    h->addWidget(cancel);
    v->addLayout(h);
    m_doNotShow = new QCheckBox(PageDialogModel::doNotShowAgainText(), this);
    v->addWidget(m_doNotShow);
    connect(yes, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

ConfirmDeleteWindow::Answer TFormConfirmDelete::ask(const QString& which) {
    m_which->setText(which);
    m_doNotShow->setChecked(false);
    const bool confirmed = exec() == QDialog::Accepted;
    return {confirmed, m_doNotShow->isChecked()};
}

bool TFormMove::run(int selectedLine) {
    MovePages list = MovePages::fromScratchFiles(m_programDirectory);
    list.select(selectedLine >= 0 && selectedLine < list.count() ? selectedLine : -1);
    TFormMoveWindow window(std::move(list), m_prompter, m_parent);
    if (window.exec() != QDialog::Accepted)
        return false;
    const MovePages::Written w = window.list().writeScratchFiles(m_programDirectory);
    if (!w.ok) {
        m_prompter.error(w.message);
        return false;
    }
    return true;
}

TFormMoveWindow::TFormMoveWindow(MovePages list, Prompter& prompter, QWidget* parent)
    : QDialog(parent), m_list(std::move(list)), m_prompter(prompter) {
    setObjectName(QStringLiteral("TFormMove"));
    setWindowTitle(QStringLiteral("Move Pages within Site"));
    setModal(true);
    resize(560, 420);
    auto* v = new QVBoxLayout(this);
    v->addWidget(wrapped(MovePages::introText(), this));
    v->addWidget(new QLabel(QStringLiteral("Move Pages:"), this));
    auto* h = new QHBoxLayout;
    m_view = new QListWidget(this);
    m_view->setObjectName(QStringLiteral("MoveList"));
    m_view->setContextMenuPolicy(Qt::CustomContextMenu);
    h->addWidget(m_view, 1);
    auto* side = new QVBoxLayout;
    QPushButton* up = button(QStringLiteral("Move Up"), "MoveUp", this);
    QPushButton* down = button(QStringLiteral("Move Down"), "MoveDown", this);
    QPushButton* in = button(QStringLiteral("Move In"), "MoveIn", this);
    QPushButton* outButton = button(QStringLiteral("Move Out"), "MoveOut", this);
    for (QPushButton* b : {up, down, in, outButton})
        side->addWidget(b);
    side->addStretch();
    h->addLayout(side);
    v->addLayout(h);
    v->addWidget(wrapped(MovePages::noteText(), this));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    QPushButton* ok = button(QStringLiteral("OK"), "OKButton", this);
    QPushButton* cancel = button(QStringLiteral("Cancel"), "CancelButton", this);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    v->addLayout(buttons);

    connect(up, &QPushButton::clicked, this, [this] { act(&TFormMoveWindow::up); });
    connect(down, &QPushButton::clicked, this, [this] { act(&TFormMoveWindow::down); });
    connect(in, &QPushButton::clicked, this, [this] { act(&TFormMoveWindow::in); });
    connect(outButton, &QPushButton::clicked, this, [this] { act(&TFormMoveWindow::out); });
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_view, &QListWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        QMenu menu(this);
        menu.addAction(QStringLiteral("Move Up"), this, [this] { act(&TFormMoveWindow::up); });
        menu.addAction(QStringLiteral("Move Down"), this, [this] { act(&TFormMoveWindow::down); });
        menu.addSeparator();
        menu.addAction(QStringLiteral("Indent 1 Level"), this,
                       [this] { act(&TFormMoveWindow::in); });
        menu.addAction(QStringLiteral("Un-Indent 1 Level"), this,
                       [this] { act(&TFormMoveWindow::out); });
        menu.exec(m_view->viewport()->mapToGlobal(at));
    });
    refill();
}

void TFormMoveWindow::act(void (TFormMoveWindow::*step)()) {
    m_list.select(m_view->currentRow());
    (this->*step)();
    refill();
}

void TFormMoveWindow::refill() {
    m_view->clear();
    m_view->addItems(m_list.displayTexts());
    m_view->setCurrentRow(m_list.selection());
}
