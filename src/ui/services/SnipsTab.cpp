// The "Snips" tab.
#include "ui/services/SnipsTab.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

// Clicking the entry field clears the list's selection and empties the field.
class FieldClick : public QObject {
public:
    FieldClick(QObject* parent, std::function<void()> onClick)
        : QObject(parent), m_onClick(std::move(onClick)) {}
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::MouseButtonPress)
            m_onClick();
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> m_onClick;
};

} // namespace

SnipsTab::SnipsTab(Snips& snips, EditWindow& editor, Clipboard& clipboard, HtmlDocument& document,
                   QWidget* parent)
    : QWidget(parent), m_snips(snips), m_editor(editor), m_clipboard(clipboard),
      m_document(document) {
    setObjectName(QStringLiteral("SnipsTab"));
    auto* layout = new QVBoxLayout(this);
    auto* intro = new QLabel(
        QStringLiteral("Store your commonly used URLs and other \"snips\" of text here. Just "
                       "double-click to paste into the editing window, right-click to edit."),
        this);
    intro->setWordWrap(true);
    layout->addWidget(intro);
    auto* tabs = new QTabWidget(this);
    tabs->addTab(buildPane(m_urls, snips.urls(), QStringLiteral("URL")),
                 QStringLiteral("URL Manager"));
    tabs->addTab(buildPane(m_misc, snips.misc(), QStringLiteral("Misc")),
                 QStringLiteral("Misc Text"));
    layout->addWidget(tabs, 1);

    auto* option = new QGroupBox(QStringLiteral("Paste Option"), this);
    auto* optionLayout = new QVBoxLayout(option);
    m_paste = new QRadioButton(QStringLiteral("Paste into HTML Editor"), option);
    m_paste->setObjectName(QStringLiteral("RadioPaste"));
    auto* clip = new QRadioButton(QStringLiteral("Copy to Clipboard Only"), option);
    clip->setObjectName(QStringLiteral("RadioClip"));
    m_paste->setChecked(true);
    connect(m_paste, &QRadioButton::toggled, this,
            [this](bool on) { m_snips.pasteIntoEditor = on; });
    optionLayout->addWidget(m_paste);
    optionLayout->addWidget(clip);
    layout->addWidget(option);
}

QWidget* SnipsTab::buildPane(Pane& pane, SnipList& model, const QString& name) {
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    pane.model = &model;
    pane.list = new QListWidget(page);
    pane.list->setObjectName(QStringLiteral("ListBox") + name);
    pane.list->setContextMenuPolicy(Qt::CustomContextMenu);
    pane.field = new QLineEdit(QStringLiteral("Type or paste a new entry here..."), page);
    pane.field->setObjectName(QStringLiteral("Edit") + name);
    auto* add = new QPushButton(QStringLiteral("&Add"), page);
    add->setToolTip(QStringLiteral("Add URL to list"));
    add->setObjectName(name + QStringLiteral("Add"));
    auto* del = new QPushButton(QStringLiteral("&Delete"), page);
    del->setToolTip(QStringLiteral("Delete selected URL from list"));
    del->setObjectName(name + QStringLiteral("Delete"));
    auto* edit = new QPushButton(QStringLiteral("Edit"), page);
    edit->setObjectName(name + QStringLiteral("Edit"));
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(add);
    buttons->addWidget(del);
    buttons->addWidget(edit);
    layout->addWidget(pane.list, 1);
    layout->addWidget(pane.field);
    layout->addLayout(buttons);

    Pane* p = &pane;
    pane.field->installEventFilter(new FieldClick(pane.field, [this, p] {
        p->model->select(-1);
        p->field->clear();
        show(*p);
    }));
    connect(add, &QPushButton::clicked, this, [this, p] {
        if (p->model->add(p->field->text())) {
            p->field->clear();
            p->field->setFocus();
        }
        show(*p);
    });
    connect(del, &QPushButton::clicked, this, [this, p] {
        p->model->deleteSelected();
        show(*p);
    });
    connect(edit, &QPushButton::clicked, this, [this, p] {
        m_snips.editSnip(*p->model, *this);
        show(*p);
    });
    // Every press selects the entry under the mouse, or none below the last one.
    connect(pane.list, &QListWidget::itemPressed, this,
            [p](QListWidgetItem* item) { p->model->select(p->list->row(item)); });
    pane.list->viewport()->installEventFilter(new FieldClick(pane.list, [this, p] {
        const QPoint at = p->list->viewport()->mapFromGlobal(QCursor::pos());
        if (!p->list->itemAt(at))
            p->model->select(-1);
    }));
    connect(pane.list, &QListWidget::itemDoubleClicked, this, [this, p](QListWidgetItem* item) {
        m_snips.pasteSnip(item->text(), m_editor, m_clipboard, m_document);
    });
    connect(pane.list, &QListWidget::customContextMenuRequested, this, [this, p](const QPoint& at) {
        QListWidgetItem* item = p->list->itemAt(at);
        p->model->select(item ? p->list->row(item) : -1);
        show(*p);
        if (!item)
            return;
        m_snips.rightPressed(*p->model);
        QMenu menu;
        QAction* editSnip = menu.addAction(QStringLiteral("Edit Snip"));
        if (menu.exec(p->list->viewport()->mapToGlobal(at)) == editSnip) {
            m_snips.editSnip(*p->model, *this);
            show(*p);
        }
    });
    return page;
}

void SnipsTab::show(const Pane& pane) {
    pane.list->clear();
    pane.list->addItems(pane.model->entries());
    if (pane.model->selected() >= 0)
        pane.list->setCurrentRow(pane.model->selected());
    else
        pane.list->clearSelection();
}

void SnipsTab::refresh() {
    show(m_urls);
    show(m_misc);
}

QListWidget* SnipsTab::list(SnipList& of) const {
    return &of == m_urls.model ? m_urls.list : m_misc.list;
}

QString SnipsTab::editEntry(const QString& text) {
    QDialog dialog(window());
    dialog.setWindowTitle(QStringLiteral("Edit Entry"));
    auto* layout = new QVBoxLayout(&dialog);
    auto* field = new QLineEdit(text, &dialog);
    field->setObjectName(QStringLiteral("EntryText"));
    layout->addWidget(field);
    auto* buttons = new QDialogButtonBox(&dialog);
    QPushButton* ok = buttons->addButton(QStringLiteral("&OK"), QDialogButtonBox::AcceptRole);
    ok->setDefault(true);
    buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);
    return dialog.exec() == QDialog::Accepted ? field->text() : SnipList::cancelMarker();
}
