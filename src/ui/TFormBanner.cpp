// TFormBanner: the start-up banner and About box.
#include "ui/TFormBanner.h"

#include "app/ProgramTitle.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

TFormBanner::TFormBanner(Mode mode, QWidget* parent) : QDialog(parent), m_mode(mode) {
    setObjectName(QStringLiteral("TFormBanner"));
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    setWindowTitle(programTitle());
    setStyleSheet(
        QStringLiteral("TFormBanner { border: 2px solid #304060; background: #f4f1e8; }"));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 24, 24, 16);
    auto* name = new QLabel(QStringLiteral("Quillon Pro"), this);
    QFont big = name->font();
    big.setPointSize(28);
    big.setBold(true);
    name->setFont(big);
    name->setAlignment(Qt::AlignCenter);
    auto* version = new QLabel(QStringLiteral("v2.0"), this);
    version->setAlignment(Qt::AlignCenter);
    auto* notice = new QLabel(
        QStringLiteral("An editor for web sites written by hand. This copy runs on Linux."), this);
    notice->setAlignment(Qt::AlignCenter);
    notice->setWordWrap(true);
    layout->addWidget(name);
    layout->addWidget(version);
    layout->addWidget(notice);

    m_contact = new QLabel(QStringLiteral("Ostra Software\n"
                                          "Quillon Pro for Linux\n"
                                          "Support and updates: https://www.quillon.example/\n"
                                          "E-mail: support@quillon.example"),
                           this);
    m_contact->setObjectName(QStringLiteral("ContactBlock"));
    m_contact->setAlignment(Qt::AlignCenter);
    layout->addWidget(m_contact);
    layout->addStretch();

    auto* ok = new QPushButton(QStringLiteral("&OK"), this);
    ok->setObjectName(QStringLiteral("OKButton"));
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    layout->addWidget(ok, 0, Qt::AlignCenter);

    const bool about = mode == Mode::About;
    m_contact->setVisible(about);
    resize(420, about ? AboutHeight : 260);
    if (about)
        setFixedHeight(AboutHeight);
}

int TFormBanner::exec() {
    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    if (m_mode == Mode::StartUp)
        QTimer::singleShot(StartUpCloseMs, this, &QDialog::accept);
    return QDialog::exec();
}
