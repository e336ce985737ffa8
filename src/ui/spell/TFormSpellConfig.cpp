// TFormSpellConfig: dictionaries and options, kept apart until OK.
#include "ui/spell/TFormSpellConfig.h"

#include "spell/MainDictionary.h"
#include "spell/TAddictSpell.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {
QListWidgetItem* entryItem(const SpellDictionaryEntry& e) {
    const QString name = QFileInfo(e.path).fileName();
    auto* item = new QListWidgetItem(
        e.description.isEmpty() ? name : e.description + QStringLiteral(" (") + name + u')');
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(e.enabled ? Qt::Checked : Qt::Unchecked);
    item->setToolTip(e.path);
    return item;
}
} // namespace

TFormSpellConfig::TFormSpellConfig(TAddictSpell& checker, QWidget* parent)
    : QDialog(parent), m_checker(checker), m_original(checker.configuration()) {
    setObjectName(QStringLiteral("SpellConfigDialog"));
    setWindowTitle(QStringLiteral("Spell Check Configuration"));
    m_mainEntries = m_original.mainDictionaries;
    m_userEntries = m_original.userDictionaries;

    auto* tabs = new QTabWidget;
    auto* dictionaries = new QWidget;
    auto* dLayout = new QVBoxLayout(dictionaries);
    const auto listGroup = [&](const QString& title, QListWidget*& list, bool main) {
        auto* group = new QGroupBox(title);
        auto* row = new QHBoxLayout(group);
        list = new QListWidget;
        row->addWidget(list, 1);
        auto* buttons = new QVBoxLayout;
        auto* add = new QPushButton(QStringLiteral("Add..."));
        auto* remove = new QPushButton(QStringLiteral("Remove"));
        connect(add, &QPushButton::clicked, this, [this, main] { addDictionary(main); });
        connect(remove, &QPushButton::clicked, this, [this, main] { removeDictionary(main); });
        buttons->addWidget(add);
        buttons->addWidget(remove);
        buttons->addStretch();
        row->addLayout(buttons);
        dLayout->addWidget(group);
    };
    listGroup(QStringLiteral(" Main Dictionaries: "), m_main, true);
    listGroup(QStringLiteral(" User Dictionaries: "), m_user, false);
    m_main->setObjectName(QStringLiteral("MainDictionaries"));
    m_user->setObjectName(QStringLiteral("UserDictionaries"));
    for (const SpellDictionaryEntry& e : m_mainEntries)
        m_main->addItem(entryItem(e));
    for (const SpellDictionaryEntry& e : m_userEntries)
        m_user->addItem(entryItem(e));
    auto* addRow = new QHBoxLayout;
    auto* addLabel = new QLabel(QStringLiteral("Add Words &To;"));
    m_addTo = new QComboBox;
    m_addTo->setObjectName(QStringLiteral("AddWordsTo"));
    addLabel->setBuddy(m_addTo);
    addRow->addWidget(addLabel);
    addRow->addWidget(m_addTo, 1);
    dLayout->addLayout(addRow);
    fillUserChoice();
    m_addTo->setCurrentIndex(m_original.userIndex);
    tabs->addTab(dictionaries, QStringLiteral("Dictionaries"));

    auto* options = new QWidget;
    auto* oLayout = new QVBoxLayout(options);
    auto* ignore = new QGroupBox(QStringLiteral("Ignore"));
    auto* iLayout = new QVBoxLayout(ignore);
    const auto box = [&](SpellOption o, const QString& text, QVBoxLayout* into) {
        auto* b = new QCheckBox(text);
        b->setObjectName(QLatin1String(SpellConfig::optionKey(o)));
        b->setChecked(m_original.option(o));
        into->addWidget(b);
        m_boxes.append({o, b});
    };
    box(soUpcase, QStringLiteral("Words in &UPPERCASE"), iLayout);
    box(soNumbers, QStringLiteral("Words Containing &Numbers"), iLayout);
    box(soHTML, QStringLiteral("&HTML Tags"), iLayout);
    box(soInternet, QStringLiteral("UR&Ls and E-mail Addresses"), iLayout);
    oLayout->addWidget(ignore);
    box(soRecheck, QStringLiteral("Re-check &Replaced Words"), oLayout);
    auto* resets = new QHBoxLayout;
    auto* resetIgnore = new QPushButton(QStringLiteral("Reset Ignore &All"));
    auto* resetChange = new QPushButton(QStringLiteral("R&eset Change All"));
    connect(resetIgnore, &QPushButton::clicked, this, [this] { m_checker.resetIgnoreAll(); });
    connect(resetChange, &QPushButton::clicked, this, [this] { m_checker.resetChangeAll(); });
    resets->addWidget(resetIgnore);
    resets->addWidget(resetChange);
    oLayout->addLayout(resets);
    oLayout->addStretch();
    tabs->addTab(options, QStringLiteral("Options"));

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &TFormSpellConfig::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs);
    layout->addWidget(buttons);
    resize(480, 420);
}

QCheckBox* TFormSpellConfig::optionBox(SpellOption option) const {
    for (const auto& [o, b] : m_boxes)
        if (o == option)
            return b;
    return nullptr;
}

void TFormSpellConfig::fillUserChoice() {
    const int current = m_addTo->currentIndex();
    m_addTo->clear();
    for (const SpellDictionaryEntry& e : m_userEntries)
        m_addTo->addItem(QFileInfo(e.path).fileName());
    m_addTo->setCurrentIndex(qMin(current, static_cast<int>(m_userEntries.size()) - 1));
}

SpellConfig TFormSpellConfig::configuration() const {
    SpellConfig c = m_original;
    c.mainDictionaries = m_mainEntries;
    c.userDictionaries = m_userEntries;
    for (int i = 0; i < c.mainDictionaries.size(); ++i)
        c.mainDictionaries[i].enabled = m_main->item(i)->checkState() == Qt::Checked;
    for (int i = 0; i < c.userDictionaries.size(); ++i)
        c.userDictionaries[i].enabled = m_user->item(i)->checkState() == Qt::Checked;
    for (const auto& [o, b] : m_boxes)
        c.setOption(o, b->isChecked());
    c.userIndex = m_addTo->currentIndex();
    return c;
}

void TFormSpellConfig::addDictionary(bool main) {
    const QString path = QFileDialog::getOpenFileName(
        this, windowTitle(), QFileInfo(m_checker.configPath()).absolutePath(),
        main ? QStringLiteral("Main Dictionaries (*.dct)")
             : QStringLiteral("User Dictionaries (*.udt *.dic)"));
    if (path.isEmpty())
        return;
    SpellDictionaryEntry e{true, path, main ? MainDictionary::readDescription(path) : QString()};
    if (main) {
        m_mainEntries.append(e);
        m_main->addItem(entryItem(e));
    } else {
        m_userEntries.append(e);
        m_user->addItem(entryItem(e));
        fillUserChoice();
    }
}

void TFormSpellConfig::removeDictionary(bool main) {
    QListWidget* list = main ? m_main : m_user;
    const int row = list->currentRow();
    if (row < 0)
        return;
    // Entries and rows stay in step.
    delete list->takeItem(row);
    (main ? m_mainEntries : m_userEntries).removeAt(row);
    if (!main)
        fillUserChoice();
}

void TFormSpellConfig::reject() {
    if (!(configuration() == m_original)) {
        if (QMessageBox::question(this, windowTitle(), exitQuestion(),
                                  QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
            return;
    }
    QDialog::reject();
}
