// The "Snips" tab.
#include "ui/services/SnipsTab.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// A mouse press on a widget: clicking the entry field clears the list's selection and empties
// the field; a press in a list below its last entry clears the selection.
class PressFilter : public QObject {
public:
    PressFilter(QObject* parent, std::function<void(const QMouseEvent&)> onPress)
        : QObject(parent), m_onPress(std::move(onPress)) {}
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::MouseButtonPress)
            m_onPress(*static_cast<QMouseEvent*>(event));
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void(const QMouseEvent&)> m_onPress;
};

// Enter, Return and Delete on a snip list; the handler tells whether it used the key.
class ListKeys : public QObject {
public:
    ListKeys(QObject* parent, std::function<bool(int)> onKey)
        : QObject(parent), m_onKey(std::move(onKey)) {}
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter)
                return m_onKey(Qt::Key_Return);
            if (key == Qt::Key_Delete)
                return m_onKey(Qt::Key_Delete);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<bool(int)> m_onKey;
};

} // namespace

SnipsTab::SnipsTab(Snips& snips, EditWindow& editor, Clipboard& clipboard, HtmlDocument& document,
                   QWidget* parent)
    : QWidget(parent), m_snips(snips), m_editor(editor), m_clipboard(clipboard),
      m_document(document) {
    setObjectName(QStringLiteral("SnipsTab"));
    // Narrow margins: at the left pane's first width the two tab captions and the paste options
    // show whole.
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 4, 2, 2);
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
    optionLayout->setContentsMargins(6, 4, 2, 4);
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
    layout->setContentsMargins(4, 4, 4, 4);
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
    pane.field->installEventFilter(new PressFilter(pane.field, [this, p](const QMouseEvent&) {
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
    // The highlighted entry is the selected one, however it became so: a press, the arrow
    // keys, Home and End, typing its first letters. A press below the last entry clears it.
    connect(pane.list, &QListWidget::itemSelectionChanged, this, [p] {
        const QList<QListWidgetItem*> chosen = p->list->selectedItems();
        p->model->select(chosen.isEmpty() ? -1 : p->list->row(chosen.first()));
    });
    pane.list->viewport()->installEventFilter(new PressFilter(pane.list, [p](const QMouseEvent& e) {
        if (!p->list->itemAt(e.position().toPoint()))
            p->list->clearSelection();
    }));
    connect(pane.list, &QListWidget::itemDoubleClicked, this, [this, p](QListWidgetItem* item) {
        m_snips.pasteSnip(item->text(), m_editor, m_clipboard, m_document);
    });
    // From the keyboard: Enter pastes the highlighted entry as a double-click does, Delete
    // deletes it as the Delete button does.
    pane.list->installEventFilter(new ListKeys(pane.list, [this, p](int key) {
        if (key == Qt::Key_Delete) {
            p->model->deleteSelected();
            show(*p);
            return true;
        }
        if (p->model->selected() < 0)
            return false;
        m_snips.pasteSnip(p->model->selectedText(), m_editor, m_clipboard, m_document);
        return true;
    }));
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
    // Refilling moves the list's own selection about: the model's stays as it is.
    const QSignalBlocker block(pane.list);
    pane.list->clear();
    pane.list->addItems(pane.model->entries());
    if (pane.model->selected() >= 0)
        pane.list->setCurrentRow(pane.model->selected());
    else
        pane.list->clearSelection();
    // The blocked signals skipped the view's own repaint of the new current row.
    pane.list->viewport()->update();
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
    // Wide enough for a web address of the usual length, and for the entry when it is longer
    // (up to most of a screen).
    const int wanted = field->fontMetrics().horizontalAdvance(text) + 24;
    field->setMinimumWidth(std::clamp(wanted, 420, 900));
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
