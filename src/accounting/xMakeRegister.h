#pragma once

#include "xBookkeepIni.h"
#include "xParadox.h"

#include <QHash>
#include <QList>
#include <QString>
#include <memory>

namespace korvex::accounting {

// The analysis layout of the bookkeeping system's accounts ("refkau.db" in
// its main directory): for each account number the reference types of its
// analysis levels, at most four, up to the first empty or 0.
class TxAccountLayouts
{
public:
    explicit TxAccountLayouts(const TxBookkeepIni &ini);

    // The reference types of the account's levels; none for an account the
    // table does not hold. Raises when the table cannot be read.
    QList<int> levels(const QString &account);

    // The codes of an analysis text ("12.5") for an account of levelCount
    // levels: one per level, each the text up to the next "." (the rest of the
    // text for the last one that has text), 0 where missing or not a number.
    static QList<int> splitCodes(const QString &codes, int levelCount);

private:
    const TxBookkeepIni &m_ini;
    bool m_loaded = false;
    QHash<QString, QList<int>> m_levels;
};

// Renders the analysis of one side of a register entry as the names of its
// values, read from the reference tables of the account's levels. Works
// only when the link was set up (system code above 0) at its creation;
// otherwise every text is empty.
class TxMakeRegister
{
public:
    explicit TxMakeRegister(const TxBookkeepIni &ini);
    ~TxMakeRegister();

    // The names joined by "; ". A level whose reference type lies outside
    // 1..14 raises "Value is out of range".
    QString AnalyzeText(const QString &account, const QString &codes);

private:
    TxTable &reference(int type);

    const TxBookkeepIni &m_ini;
    bool m_ready = false;
    TxAccountLayouts m_layouts;
    QHash<int, std::shared_ptr<TxTable>> m_references;
};

} // namespace korvex::accounting
