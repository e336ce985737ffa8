// TFormCustom: the custom tags' add and delete dialog.
#include "ui/tags/TFormCustom.h"

#include "tags/CustomTags.h"
#include "ui/widgets/DialogParts.h"

#include <QEvent>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// The line edit remembers that the user changed it since the last key release: only a key
// that edited the field completes it, so moving through the fields changes nothing.
constexpr const char* editedProperty = "editedSinceRelease";

} // namespace

QString TFormCustom::addNote() {
    return QStringLiteral("NOTE: If you want the End tag to be blank, highlight the text in the "
                          "data field and hit DEL or BACKSPACE to clear it. (START is required)");
}

QString TFormCustom::deleteNote() {
    return QStringLiteral("Select the tag which you wish to delete. Then click the DELETE button. "
                          "You can also double-click any tag to delete it.");
}

TFormCustom::TFormCustom(Mode mode, Prompter& prompter, const QStringList& entries, QWidget* parent)
    : QDialog(parent), m_prompter(prompter) {
    setObjectName(QStringLiteral("FormCustom"));
    setWindowTitle(QStringLiteral("Custom Tags"));
    auto* layout = new QVBoxLayout(this);

    if (mode == Mode::Add) {
        auto* group = new QGroupBox(QStringLiteral("Add a NEW custom tag: "), this);
        auto* form = new QFormLayout(group);
        m_name = new QLineEdit(group);
        m_name->setObjectName(QStringLiteral("NameField"));
        m_start = new QLineEdit(QStringLiteral("<>"), group);
        m_start->setObjectName(QStringLiteral("StartTagField"));
        m_end = new QLineEdit(QStringLiteral("</>"), group);
        m_end->setObjectName(QStringLiteral("EndTagField"));
        form->addRow(QStringLiteral("Name/Desc."), m_name);
        form->addRow(QStringLiteral("Start Tag"), m_start);
        form->addRow(QStringLiteral("End Tag"), m_end);
        auto* note = new QLabel(addNote(), group);
        note->setObjectName(QStringLiteral("AddNote"));
        note->setWordWrap(true);
        form->addRow(note);
        layout->addWidget(group);
        for (QLineEdit* field : {m_start, m_end}) {
            field->installEventFilter(this);
            connect(field, &QLineEdit::textEdited, this,
                    [field] { field->setProperty(editedProperty, true); });
        }

        auto* row = new QHBoxLayout;
        QPushButton* add = button(QStringLiteral("&Add Tag"), "AddTagButton", this);
        add->setDefault(true);
        QPushButton* cancel = button(QStringLiteral("Cancel"), "CancelButton", this);
        row->addStretch(1);
        row->addWidget(add);
        row->addWidget(cancel);
        layout->addLayout(row);
        connect(add, &QPushButton::clicked, this, &TFormCustom::addTagClick);
        connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
        m_name->setFocus();
        return;
    }

    auto* note = new QLabel(deleteNote(), this);
    note->setObjectName(QStringLiteral("DeleteNote"));
    note->setWordWrap(true);
    layout->addWidget(note);
    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("DeleteList"));
    m_list->setToolTip(QStringLiteral("Double-click the tag you wish to delete"));
    m_list->addItems(entries);
    layout->addWidget(m_list, 1);
    auto* row = new QHBoxLayout;
    QPushButton* remove = button(QStringLiteral("&Delete Tag"), "DeleteTagButton", this,
                                 QStringLiteral("Delete selected tag from list"));
    QPushButton* removeAll = button(QStringLiteral("Delete &All"), "DeleteAllButton", this,
                                    QStringLiteral("Delete all tags in list"));
    QPushButton* ok =
        button(QStringLiteral("&OK"), "OKButton", this, QStringLiteral("Exit and save changes"));
    QPushButton* cancel = button(QStringLiteral("&Cancel"), "CancelButton", this,
                                 QStringLiteral("Exit and do NOT save changes"));
    for (QPushButton* b : {remove, removeAll, ok, cancel})
        row->addWidget(b);
    layout->addLayout(row);
    connect(remove, &QPushButton::clicked, this, &TFormCustom::deleteTagClick);
    connect(m_list, &QListWidget::itemDoubleClicked, this, &TFormCustom::deleteTagClick);
    connect(removeAll, &QPushButton::clicked, m_list, &QListWidget::clear);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    resize(420, 320);
}

QString TFormCustom::name() const {
    return m_name ? m_name->text() : QString();
}
QString TFormCustom::startTag() const {
    return m_start ? m_start->text() : QString();
}
QString TFormCustom::endTag() const {
    return m_end ? m_end->text() : QString();
}

QStringList TFormCustom::entries() const {
    QStringList result;
    if (!m_list)
        return result;
    for (int i = 0; i < m_list->count(); ++i)
        result << m_list->item(i)->text();
    return result;
}

bool TFormCustom::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyRelease && (watched == m_start || watched == m_end)) {
        auto* field = static_cast<QLineEdit*>(watched);
        if (field->property(editedProperty).toBool()) {
            field->setProperty(editedProperty, false);
            if (field == m_start) {
                if (const auto done = completeStartTag(field->text())) {
                    m_start->setText(done->start.text);
                    m_start->setCursorPosition(done->start.caret);
                    m_end->setText(done->end);
                }
            } else if (const auto done = completeEndTag(field->text())) {
                m_end->setText(done->text);
                m_end->setCursorPosition(done->caret);
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TFormCustom::addTagClick() {
    switch (checkNewCustomTag(name(), startTag(), endTag(), m_prompter)) {
    case CustomTagCheck::Accepted:
        accept();
        break;
    case CustomTagCheck::FocusName:
        m_name->setFocus();
        break;
    case CustomTagCheck::FocusStart:
        m_start->setFocus();
        break;
    case CustomTagCheck::FocusEnd:
        m_end->setFocus();
        break;
    }
}

void TFormCustom::deleteTagClick() {
    if (QListWidgetItem* item = m_list->currentItem(); item && item->isSelected())
        delete m_list->takeItem(m_list->row(item));
}
