// DialogParts: the pieces dialogs are built from.
#include "ui/widgets/DialogParts.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>

QLabel* wrapped(const QString& text, QWidget* parent) {
    auto* l = new QLabel(text, parent);
    l->setWordWrap(true);
    return l;
}

QLabel* note(const QString& text, QWidget* parent) {
    QLabel* l = wrapped(text, parent);
    l->setTextFormat(Qt::PlainText);
    return l;
}

QPushButton* button(const QString& caption, const QString& name, QWidget* parent,
                    const QString& hint) {
    auto* b = named(new QPushButton(caption, parent), name);
    b->setAutoDefault(false);
    if (!hint.isEmpty())
        b->setToolTip(hint);
    return b;
}

QLineEdit* field(const QString& text, const QString& name, QWidget* parent) {
    return named(new QLineEdit(text, parent), name);
}

QCheckBox* check(const QString& caption, const QString& name, QWidget* parent) {
    return named(new QCheckBox(caption, parent), name);
}

QRadioButton* radio(const QString& caption, const QString& name, QWidget* parent) {
    return named(new QRadioButton(caption, parent), name);
}

QListWidget* list(const QString& name, bool multi, QWidget* parent) {
    auto* l = named(new QListWidget(parent), name);
    l->setSelectionMode(multi ? QAbstractItemView::ExtendedSelection
                              : QAbstractItemView::SingleSelection);
    return l;
}

void showFolders(QListWidget* list, const QString& folder, const QStringList& subFolders) {
    list->clear();
    if (!QDir(folder).isRoot())
        list->addItem(QStringLiteral(".."));
    list->addItems(subFolders);
}

ProgressStrip::ProgressStrip(const char* barName, const char* stopName, QWidget* parent,
                             std::function<void()> stop)
    : m_bar(named(new QProgressBar(parent), barName)),
      m_stop(button(QStringLiteral("&Stop"), QLatin1String(stopName), parent)) {
    m_bar->hide();
    m_stop->hide();
    QObject::connect(m_stop, &QPushButton::pressed, m_stop, std::move(stop));
}

void ProgressStrip::start(int maximum) {
    if (!m_busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    m_busy = true;
    m_bar->setRange(0, qMax(0, maximum));
    m_bar->setValue(0);
    m_bar->show();
    m_stop->show();
}

void ProgressStrip::step(int index) {
    m_bar->setValue(index);
}

void ProgressStrip::end() {
    m_bar->hide();
    m_stop->hide();
    if (m_busy)
        QApplication::restoreOverrideCursor();
    m_busy = false;
}
