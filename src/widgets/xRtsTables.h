#pragma once

#include "xRtsValues.h"

#include <QCoreApplication>
#include <QList>
#include <optional>

namespace korvex::db {
class TxDatabase;
}

namespace korvex::widgets {

// The stored grid layouts: fin_rts (one row per user, form context and
// table) and fin_rtsfield (one row per column). A save writes only the
// values that differ from those loaded, so a layout nobody changed is not
// rewritten. The caller holds the write scope.
class TRunTimeStoreTables
{
    Q_DECLARE_TR_FUNCTIONS(TRunTimeStoreTables)

public:
    explicit TRunTimeStoreTables(korvex::db::TxDatabase &db);

    // The layout of the user, context and table name (fin_p_rts_findstore);
    // none when there is none. "Таблица настроек не найдена!" when the
    // procedure cannot be run.
    std::optional<int> findStore(int userKey, int context, const QString &tableName);
    // A new layout with its key from FIN_P_RTS_STOREKEY: its key.
    int appendLayout(int userKey, int context, const QString &tableName);
    void deleteLayout(int storeKey);

    // "Запись настроек не найдена!" when the layout is gone.
    TRtsGridValues readLayout(int storeKey);
    QList<TCachedStore> readFields(int storeKey);

    // Writes the grid-wide values that differ from loaded (every value when
    // loaded is null); the SETTINGS block only when writeSettings.
    // "Не найден StoreKey!" when the row is gone.
    void writeLayout(int storeKey, const TRtsGridValues &now, const TRtsGridValues *loaded, bool writeSettings);
    // A new column row with every value: its FIELDKEY.
    int appendField(int storeKey, const TCachedStore &entry, bool formatted);
    // The values of a stored column row that differ from loaded.
    // "Не найден FieldKey!" when the row is gone.
    void writeField(const TCachedStore &now, const TCachedStore &loaded, bool formatted);

private:
    korvex::db::TxDatabase &m_db;
};

} // namespace korvex::widgets
