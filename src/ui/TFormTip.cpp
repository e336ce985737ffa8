// TFormTip: the tip-of-the-day window.
#include "ui/TFormTip.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

TFormTip::TFormTip(const QStringList& tips, std::function<int()> drawTip, bool showAtStartUp,
                   QWidget* parent)
    : QDialog(parent), m_tips(tips), m_drawTip(std::move(drawTip)) {
    setObjectName(QStringLiteral("TFormTip"));
    setWindowTitle(QStringLiteral("Quillon Pro Tip of the Day"));

    auto* layout = new QVBoxLayout(this);
    auto* heading = new QLabel(QStringLiteral("Did you know..."), this);
    heading->setObjectName(QStringLiteral("DidYouKnow"));
    QFont bold = heading->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.2);
    heading->setFont(bold);
    layout->addWidget(heading);
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
    nextTip();
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
    // Drawn by chance each time, so a tip may come again.
    const qsizetype drawn = m_drawTip ? m_drawTip() : 0;
    m_index = static_cast<int>(((drawn % m_tips.size()) + m_tips.size()) % m_tips.size());
    m_text->setText(currentTip());
}
