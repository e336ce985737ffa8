// The Find and Replace dialogs.
#include "ui/services/TFormFindReplace.h"

#include "services/FindReplace.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TFormFindReplace::TFormFindReplace(Mode mode, FindReplace& find, QWidget* parent)
    : QDialog(parent), m_find(find) {
    const bool replace = mode == Mode::Replace;
    setObjectName(replace ? QStringLiteral("ReplaceDialog") : QStringLiteral("FindDialog"));
    setWindowTitle(replace ? QStringLiteral("Replace") : QStringLiteral("Find"));
    setModal(false);

    auto* fields = new QFormLayout;
    m_findEdit = new QLineEdit(this);
    m_findEdit->setObjectName(QStringLiteral("FindWhat"));
    fields->addRow(QStringLiteral("Fi&nd what:"), m_findEdit);
    if (replace) {
        m_replaceEdit = new QLineEdit(this);
        m_replaceEdit->setObjectName(QStringLiteral("ReplaceWith"));
        fields->addRow(QStringLiteral("Re&place with:"), m_replaceEdit);
    }
    m_matchCase = new QCheckBox(QStringLiteral("Match &case"), this);
    m_matchCase->setObjectName(QStringLiteral("MatchCase"));
    fields->addRow(m_matchCase);
    const auto box = [this, fields](const QString& caption, const char* name) {
        auto* b = new QCheckBox(caption, this);
        b->setObjectName(QLatin1String(name));
        fields->addRow(b);
        return b;
    };
    m_wholeWord = box(QStringLiteral("Whole &word only"), "WholeWord");
    m_regex = box(QStringLiteral("Regular e&xpression"), "RegularExpression");
    m_regex->setToolTip(QStringLiteral("\\1 ... \\9 in the replacement stand for the groups"));
    m_backwards = box(QStringLiteral("Search &backwards"), "Backwards");
    m_wrapAround = box(QStringLiteral("Wrap aroun&d"), "WrapAround");

    auto* buttons = new QVBoxLayout;
    m_findNext = new QPushButton(QStringLiteral("&Find Next"), this);
    m_findNext->setObjectName(QStringLiteral("FindNext"));
    m_findNext->setDefault(true);
    buttons->addWidget(m_findNext);
    connect(m_findNext, &QPushButton::clicked, this,
            [this] { m_find.findNextButton(findText(), m_matchCase->isChecked(), options()); });
    if (replace) {
        auto* one = new QPushButton(QStringLiteral("&Replace"), this);
        one->setObjectName(QStringLiteral("ReplaceOne"));
        connect(one, &QPushButton::clicked, this, [this] {
            m_find.replaceButton(findText(), m_replaceEdit->text(), m_matchCase->isChecked(),
                                 options());
        });
        auto* all = new QPushButton(QStringLiteral("Replace &All"), this);
        all->setObjectName(QStringLiteral("ReplaceAll"));
        connect(all, &QPushButton::clicked, this, [this] {
            m_find.replaceAll(findText(), m_replaceEdit->text(), m_matchCase->isChecked(),
                              options());
        });
        buttons->addWidget(one);
        buttons->addWidget(all);
    }
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("Cancel"));
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    buttons->addWidget(cancel);
    buttons->addStretch();

    // An empty find text is never searched.
    const auto follow = [this] {
        const bool some = !m_findEdit->text().isEmpty();
        for (QPushButton* b : findChildren<QPushButton*>())
            if (b->objectName() != QStringLiteral("Cancel"))
                b->setEnabled(some);
    };
    connect(m_findEdit, &QLineEdit::textChanged, this, follow);
    follow();

    auto* row = new QHBoxLayout(this);
    row->addLayout(fields, 1);
    row->addLayout(buttons);
}

void TFormFindReplace::open(const QString& findText) {
    m_findEdit->setText(findText);
    show();
    raise();
    activateWindow();
    m_findEdit->setFocus();
}

FindOptions TFormFindReplace::options() const {
    FindOptions o;
    o.wholeWord = m_wholeWord->isChecked();
    o.backwards = m_backwards->isChecked();
    o.wrapAround = m_wrapAround->isChecked();
    o.regularExpression = m_regex->isChecked();
    return o;
}

QString TFormFindReplace::findText() const {
    return m_findEdit->text();
}
