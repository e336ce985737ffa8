// TFormPrintOptions: the print command's options window.
#include "ui/project/TFormPrintOptions.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

TFormPrintOptions::TFormPrintOptions(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FormPrintOptions"));
    setWindowTitle(QStringLiteral("Print Options"));
    setModal(true);
    auto* v = new QVBoxLayout(this);
    auto* group = new QGroupBox(QStringLiteral("Select Print Option: "));
    auto* gv = new QVBoxLayout(group);
    const std::array<const char*, 3> captions = {
        "Project Outline Only", "Project Outline with File Links", "Currently Open HTML File"};
    for (int i = 0; i < 3; ++i) {
        m_choices[i] = new QRadioButton(QLatin1String(captions[i]));
        m_choices[i]->setObjectName(QStringLiteral("PrintMode%1").arg(i + 1));
        gv->addWidget(m_choices[i]);
        connect(m_choices[i], &QRadioButton::toggled, this, [this, i](bool on) {
            if (on)
                m_result.mode = i + 1;
        });
    }
    v->addWidget(group);
    m_fileNameOnly = new QCheckBox(QStringLiteral("Include filename only, not entire path"));
    m_fileNameOnly->setObjectName(QStringLiteral("FileNameOnly"));
    v->addWidget(m_fileNameOnly);
    auto* buttons = new QHBoxLayout;
    auto* print = new QPushButton(QStringLiteral("&Print"));
    print->setObjectName(QStringLiteral("PrintButton"));
    print->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("&Cancel"));
    cancel->setObjectName(QStringLiteral("CancelButton"));
    buttons->addStretch(1);
    buttons->addWidget(print);
    buttons->addWidget(cancel);
    v->addLayout(buttons);
    connect(print, &QPushButton::clicked, this, [this] {
        m_result.fullPaths = !m_fileNameOnly->isChecked();
        accept();
    });
    connect(cancel, &QPushButton::clicked, this, &TFormPrintOptions::reject);
    layout()->setSizeConstraint(QLayout::SetFixedSize);
}

void TFormPrintOptions::reject() {
    m_result.cancelled = true;
    QDialog::reject();
}

PrintOptionsResult TFormPrintOptions::run(bool htmlFileOpen) {
    m_result = {};
    m_choices[0]->setChecked(true);
    m_choices[2]->setEnabled(htmlFileOpen);
    m_fileNameOnly->setChecked(false);
    exec();
    return m_result;
}
