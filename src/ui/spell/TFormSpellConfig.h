// TFormSpellConfig: the "Spell Check Configuration" dialog: which main and user dictionaries
// take part, which user dictionary receives added words, and the checking options.
#pragma once

#include "spell/SpellConfig.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QListWidget;
class TAddictSpell;

class TFormSpellConfig : public QDialog {
    Q_OBJECT
public:
    TFormSpellConfig(TAddictSpell& checker, QWidget* parent = nullptr);

    // The configuration as the dialog shows it now.
    SpellConfig configuration() const;

    QListWidget* mainList() const { return m_main; }
    QListWidget* userList() const { return m_user; }
    QComboBox* addWordsTo() const { return m_addTo; }
    QCheckBox* optionBox(SpellOption option) const;

    static QString exitQuestion() { return QStringLiteral("Exit without saving configuration?"); }

protected:
    void reject() override;

private:
    void fillUserChoice();
    void addDictionary(bool main);
    void removeDictionary(bool main);

    TAddictSpell& m_checker;
    SpellConfig m_original;
    QList<SpellDictionaryEntry> m_mainEntries;
    QList<SpellDictionaryEntry> m_userEntries;
    QListWidget* m_main = nullptr;
    QListWidget* m_user = nullptr;
    QComboBox* m_addTo = nullptr;
    QList<std::pair<SpellOption, QCheckBox*>> m_boxes;
};
