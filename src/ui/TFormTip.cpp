// TFormTip: the tip-of-the-day window.
#include "ui/TFormTip.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

TFormTip::TFormTip(const QStringList& tips, int first, bool showAtStartUp, QWidget* parent)
    : QDialog(parent), m_tips(tips) {
    setObjectName(QStringLiteral("TFormTip"));
    setWindowTitle(QStringLiteral("Tip of the Day"));
    m_index = m_tips.isEmpty() ? 0 : ((first % m_tips.size()) + m_tips.size()) % m_tips.size();

    auto* layout = new QVBoxLayout(this);
    m_text = new QLabel(this);
    m_text->setObjectName(QStringLiteral("TipText"));
    m_text->setWordWrap(true);
    m_text->setMinimumSize(360, 80);
    layout->addWidget(m_text);

    m_show = new QCheckBox(QStringLiteral(" &Show Tips at Startup"), this);
    m_show->setObjectName(QStringLiteral("ShowTips"));
    m_show->setChecked(showAtStartUp);
    layout->addWidget(m_show);

    auto* buttons = new QHBoxLayout;
    auto* next = new QPushButton(QStringLiteral("&Next Tip"), this);
    next->setObjectName(QStringLiteral("NextTip"));
    auto* ok = new QPushButton(QStringLiteral("Ok"), this);
    ok->setObjectName(QStringLiteral("Ok"));
    ok->setDefault(true);
    buttons->addStretch();
    buttons->addWidget(next);
    buttons->addWidget(ok);
    layout->addLayout(buttons);

    connect(next, &QPushButton::clicked, this, &TFormTip::nextTip);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    m_text->setText(currentTip());
}

bool TFormTip::showAtStartUp() const {
    return m_show->isChecked();
}

QString TFormTip::currentTip() const {
    return m_tips.isEmpty() ? QString() : m_tips.at(m_index);
}

void TFormTip::nextTip() {
    if (m_tips.isEmpty())
        return;
    m_index = (m_index + 1) % m_tips.size();
    m_text->setText(currentTip());
}
