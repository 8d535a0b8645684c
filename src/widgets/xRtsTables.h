#pragma once

#include "xFieldTableModel.h"
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

// The stored rows of fin_rts (the layouts, by STOREKEY) or fin_rtsfield (the
// columns of one layout) as the table-settings page edits them in place: a
// typed value is written at once, in its own write scope; a value the table
// refuses (an integer column given text, a text too long) is reported with
// cellRefused and the cell keeps its value. The key column is read-only.
class TRtsRowsModel : public TxFieldTableModel
{
    Q_OBJECT
public:
    enum class Kind { Layouts, Fields };

    TRtsRowsModel(korvex::db::TxDatabase &db, Kind kind, QObject *parent = nullptr);

    // Layouts: every stored layout; fields: those of the layout (none: no rows).
    void load(std::optional<int> storeKey = std::nullopt);
    void reload() { load(m_storeKey); }
    int keyOf(int row) const;
    // Deletes the row's layout (with its columns) or column.
    void deleteRow(int row);

    int rowCount(const QModelIndex &parent = {}) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;

Q_SIGNALS:
    void cellRefused(const QString &message);

private:
    bool isInteger(int column) const;

    korvex::db::TxDatabase &m_db;
    Kind m_kind;
    std::optional<int> m_storeKey;
    QList<QVariantList> m_rows;
};

} // namespace korvex::widgets
