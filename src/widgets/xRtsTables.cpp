#include "xRtsTables.h"

#include "db/xDatabase.h"
#include "db/xDbError.h"
#include "db/xQuery.h"
#include "db/xRowWriter.h"
#include "db/xStoredProc.h"
#include "db/xTransaction.h"

using namespace korvex::db;

namespace korvex::widgets {

namespace {

struct Column {
    QString name;
    QVariant value;
    bool exact = false;  // compared letter case significant
};

QVariant text(const std::optional<QString> &s, int length)
{
    return s ? QVariant(s->left(length)) : QVariant(QMetaType(QMetaType::QString));
}

QVariant number(const std::optional<int> &v)
{
    return v ? QVariant(*v) : QVariant(QMetaType(QMetaType::Int));
}

QVariant colorName(const std::optional<int> &c)
{
    return c ? QVariant(rts::colorText(*c)) : QVariant(QMetaType(QMetaType::QString));
}

void fontColumns(QList<Column> &cols, const QString &prefix, const TRtsFont &f, bool colorAsNumber)
{
    cols << Column{prefix + QStringLiteral("FONTCOLOR"),
                   f.color ? QVariant(colorAsNumber ? rts::colorNumberText(*f.color) : rts::colorText(*f.color))
                           : QVariant(QMetaType(QMetaType::QString))}
         << Column{prefix + QStringLiteral("FONTSIZE"), number(f.size)}
         << Column{prefix + QStringLiteral("FONTSTYLE"), text(f.style, 8)}
         << Column{prefix + QStringLiteral("FONTNAME"), text(f.name, 60)};
}

QList<Column> layoutColumns(const TRtsGridValues &v)
{
    QList<Column> cols;
    fontColumns(cols, QString(), v.Font, true);
    fontColumns(cols, QStringLiteral("TITLE"), v.TitleFont, false);
    cols << Column{QStringLiteral("COLOR"), colorName(v.Color)}
         << Column{QStringLiteral("TITLECOLOR"), colorName(v.TitleColor)}
         << Column{QStringLiteral("COLORSELECTED"), colorName(v.ColorSelected)}
         << Column{QStringLiteral("STRIPED"), int(v.Striped)}
         << Column{QStringLiteral("STRIPEONE"), colorName(v.StripeOne)}
         << Column{QStringLiteral("STRIPETWO"), colorName(v.StripeTwo)}
         << Column{QStringLiteral("SCALECOLUMNS"), v.ScaleColumns ? QVariant(int(*v.ScaleColumns)) : QVariant(QMetaType(QMetaType::Int))}
         << Column{QStringLiteral("CONDFORMAT"), int(v.CondFormat)}
         << Column{QStringLiteral("SHOWLINES"), int(v.ShowLines)};
    return cols;
}

QList<Column> fieldColumns(const TCachedStore &e, bool formatted)
{
    QList<Column> cols;
    cols << Column{QStringLiteral("FIELDORDER"), e.FieldOrder}
         << Column{QStringLiteral("VISIBLE"), int(e.Visible)}
         << Column{QStringLiteral("DISPLAYLABEL"), e.DisplayLabel.left(100)}
         << Column{QStringLiteral("DISPLAYWIDTH"), e.DisplayWidth};
    if (formatted)
        cols << Column{QStringLiteral("DISPLAYFORMAT"), e.DisplayFormat.left(60), true};
    cols << Column{QStringLiteral("ALIGNMENT"), rts::alignText(e.Alignment)}
         << Column{QStringLiteral("EDITMASK"), e.EditMask.left(60)};
    if (e.HasColumn) {
        fontColumns(cols, QStringLiteral("TITLE"), e.TitleFont, false);
        cols << Column{QStringLiteral("TITLEALIGNMENT"), rts::alignText(e.TitleAlignment)}
             << Column{QStringLiteral("TITLECOLOR"), colorName(e.TitleColor)};
        fontColumns(cols, QString(), e.Font, false);
        cols << Column{QStringLiteral("COLOR"), colorName(e.Color)};
    }
    return cols;
}

bool same(const Column &a, const Column &b)
{
    if (a.value.isNull() || b.value.isNull())
        return a.value.isNull() == b.value.isNull();
    if (a.value.metaType().id() == QMetaType::QString)
        return a.value.toString().compare(b.value.toString(), a.exact ? Qt::CaseSensitive : Qt::CaseInsensitive) == 0;
    return a.value == b.value;
}

// The columns of now that differ from loaded (all of them without loaded).
void changed(const QList<Column> &now, const QList<Column> *loaded, QStringList &names, QVariantList &values)
{
    for (const Column &c : now) {
        const Column *before = nullptr;
        if (loaded) {
            for (const Column &l : *loaded)
                if (l.name == c.name)
                    before = &l;
        }
        if (before && same(c, *before))
            continue;
        names << c.name;
        values << c.value;
    }
}

TRtsFont readFont(const TxQuery &q, const QString &prefix)
{
    TRtsFont f;
    f.color = rts::parseColor(q.value(prefix + QStringLiteral("FONTCOLOR")).toString());
    if (const int size = q.value(prefix + QStringLiteral("FONTSIZE")).toInt(); size > 0)
        f.size = size;
    if (const QVariant s = q.value(prefix + QStringLiteral("FONTSTYLE")); !s.isNull())
        f.style = s.toString().trimmed().toUpper();
    if (const QString n = q.value(prefix + QStringLiteral("FONTNAME")).toString().trimmed(); !n.isEmpty())
        f.name = n;
    return f;
}

bool flag(const QVariant &v, bool ifNull)
{
    return v.isNull() ? ifNull : v.toInt() != 0;
}

} // namespace

TRunTimeStoreTables::TRunTimeStoreTables(TxDatabase &db)
    : m_db(db)
{
}

std::optional<int> TRunTimeStoreTables::findStore(int userKey, int context, const QString &tableName)
{
    QVariant key;
    try {
        TxStoredProc p(m_db, QStringLiteral("fin_p_rts_findstore"));
        p.setParam(QStringLiteral("AnUserKey"), userKey);
        p.setParam(QStringLiteral("AContext"), context);
        p.setParam(QStringLiteral("ATableName"), tableName.left(100));
        p.execute();
        if (p.output(QStringLiteral("Exist")).toInt() == 0)
            return std::nullopt;
        key = p.output(QStringLiteral("TheStoreKey"));
    } catch (const EDatabaseError &e) {
        throw EDatabaseError(tr("Таблица настроек не найдена!") + QLatin1Char('\n') + e.message());
    }
    if (key.isNull())
        return std::nullopt;
    return key.toInt();
}

int TRunTimeStoreTables::appendLayout(int userKey, int context, const QString &tableName)
{
    const int key = m_db.newKey(QStringLiteral("FIN_P_RTS_STOREKEY"), QStringLiteral("STOREKEY"));
    insertRow(m_db, QStringLiteral("fin_rts"), QStringLiteral("storekey"), key,
              {QStringLiteral("userkey"), QStringLiteral("context"), QStringLiteral("tablename")},
              {userKey, context, tableName.left(100)});
    return key;
}

void TRunTimeStoreTables::deleteLayout(int storeKey)
{
    TxQuery::execute(m_db, QStringLiteral("DELETE FROM fin_rts WHERE storekey = ?"), {storeKey});
}

TRtsGridValues TRunTimeStoreTables::readLayout(int storeKey)
{
    TxQuery q(m_db);
    q.exec(QStringLiteral("SELECT * FROM fin_rts WHERE storekey = ?"), {storeKey});
    if (!q.next())
        throw EDatabaseError(tr("Запись настроек не найдена!"));
    TRtsGridValues v;
    v.Font = readFont(q, QString());
    v.TitleFont = readFont(q, QStringLiteral("TITLE"));
    v.Color = rts::parseColor(q.value(QStringLiteral("COLOR")).toString());
    v.TitleColor = rts::parseColor(q.value(QStringLiteral("TITLECOLOR")).toString());
    v.ColorSelected = rts::parseColor(q.value(QStringLiteral("COLORSELECTED")).toString());
    v.Striped = flag(q.value(QStringLiteral("STRIPED")), true);
    v.StripeOne = rts::parseColor(q.value(QStringLiteral("STRIPEONE")).toString());
    v.StripeTwo = rts::parseColor(q.value(QStringLiteral("STRIPETWO")).toString());
    if (const QVariant s = q.value(QStringLiteral("SCALECOLUMNS")); !s.isNull())
        v.ScaleColumns = s.toInt() != 0;
    v.CondFormat = flag(q.value(QStringLiteral("CONDFORMAT")), false);
    v.ShowLines = flag(q.value(QStringLiteral("SHOWLINES")), false);
    if (const QVariant s = q.value(QStringLiteral("SETTINGS")); !s.isNull())
        v.Settings = s.toByteArray();
    return v;
}

QList<TCachedStore> TRunTimeStoreTables::readFields(int storeKey)
{
    TxQuery q(m_db);
    q.exec(QStringLiteral("SELECT * FROM fin_rtsfield WHERE storekey = ? ORDER BY fieldkey"), {storeKey});
    QList<TCachedStore> rows;
    while (q.next()) {
        TCachedStore e;
        e.FieldKey = q.value(QStringLiteral("FIELDKEY")).toInt();
        e.FieldName = q.value(QStringLiteral("FIELDNAME")).toString().trimmed();
        e.FieldOrder = q.value(QStringLiteral("FIELDORDER")).toInt();
        e.Visible = flag(q.value(QStringLiteral("VISIBLE")), true);
        e.DisplayLabel = q.value(QStringLiteral("DISPLAYLABEL")).toString();
        e.DisplayFormat = q.value(QStringLiteral("DISPLAYFORMAT")).toString();
        e.DisplayWidth = q.value(QStringLiteral("DISPLAYWIDTH")).toInt();
        e.Alignment = rts::parseAlign(q.value(QStringLiteral("ALIGNMENT")).toString());
        e.EditMask = q.value(QStringLiteral("EDITMASK")).toString();
        e.TitleFont = readFont(q, QStringLiteral("TITLE"));
        e.TitleAlignment = rts::parseAlign(q.value(QStringLiteral("TITLEALIGNMENT")).toString());
        e.TitleColor = rts::parseColor(q.value(QStringLiteral("TITLECOLOR")).toString());
        e.Font = readFont(q, QString());
        e.Color = rts::parseColor(q.value(QStringLiteral("COLOR")).toString());
        e.Resizeable = flag(q.value(QStringLiteral("RESIZEABLE")), true);
        const QVariant maxWidth = q.value(QStringLiteral("MAXWIDTH")), minWidth = q.value(QStringLiteral("MINWIDTH"));
        e.MaxWidth = maxWidth.isNull() ? -1 : maxWidth.toInt();
        e.MinWidth = minWidth.isNull() ? -1 : minWidth.toInt();
        rows << e;
    }
    return rows;
}

void TRunTimeStoreTables::writeLayout(int storeKey, const TRtsGridValues &now, const TRtsGridValues *loaded,
                                      bool writeSettings)
{
    const QList<Column> current = layoutColumns(now);
    const QList<Column> before = loaded ? layoutColumns(*loaded) : QList<Column>();
    QStringList names;
    QVariantList values;
    changed(current, loaded ? &before : nullptr, names, values);
    if (writeSettings) {
        names << QStringLiteral("SETTINGS");
        values << (now.Settings ? QVariant(*now.Settings) : QVariant(QMetaType(QMetaType::QByteArray)));
    }
    const bool exists = TxQuery::scalar(m_db, QStringLiteral("SELECT 1 FROM fin_rts WHERE storekey = ?"), {storeKey}).isValid();
    if (!exists)
        throw EDatabaseError(tr("Не найден StoreKey!"));
    if (!names.isEmpty())
        updateRow(m_db, QStringLiteral("fin_rts"), QStringLiteral("storekey"), storeKey, names, values);
}

int TRunTimeStoreTables::appendField(int storeKey, const TCachedStore &entry, bool formatted)
{
    QStringList names{QStringLiteral("STOREKEY"), QStringLiteral("FIELDNAME")};
    QVariantList values{storeKey, entry.FieldName.left(60)};
    changed(fieldColumns(entry, formatted), nullptr, names, values);
    const int key = nextKey(m_db, QStringLiteral("gen_fin_rtsfield"));
    insertRow(m_db, QStringLiteral("fin_rtsfield"), QStringLiteral("fieldkey"), key, names, values);
    return key;
}

void TRunTimeStoreTables::writeField(const TCachedStore &now, const TCachedStore &loaded, bool formatted)
{
    const QList<Column> before = fieldColumns(loaded, formatted);
    QStringList names;
    QVariantList values;
    changed(fieldColumns(now, formatted), &before, names, values);
    const bool exists =
        TxQuery::scalar(m_db, QStringLiteral("SELECT 1 FROM fin_rtsfield WHERE fieldkey = ?"), {now.FieldKey}).isValid();
    if (!exists)
        throw EDatabaseError(tr("Не найден FieldKey!"));
    if (!names.isEmpty())
        updateRow(m_db, QStringLiteral("fin_rtsfield"), QStringLiteral("fieldkey"), now.FieldKey, names, values);
}

namespace {

const QStringList kLayoutColumns = {
    QStringLiteral("STOREKEY"), QStringLiteral("USERKEY"), QStringLiteral("CONTEXT"), QStringLiteral("TABLENAME"),
    QStringLiteral("FONTCOLOR"), QStringLiteral("FONTSIZE"), QStringLiteral("FONTSTYLE"), QStringLiteral("FONTNAME"),
    QStringLiteral("TITLEFONTCOLOR"), QStringLiteral("TITLEFONTSIZE"), QStringLiteral("TITLEFONTSTYLE"),
    QStringLiteral("TITLEFONTNAME"), QStringLiteral("COLOR"), QStringLiteral("TITLECOLOR"), QStringLiteral("COLORSELECTED"),
    QStringLiteral("STRIPED"), QStringLiteral("STRIPEONE"), QStringLiteral("STRIPETWO"), QStringLiteral("SCALECOLUMNS"),
    QStringLiteral("CONDFORMAT"), QStringLiteral("SHOWLINES")};

const QStringList kFieldColumns = {
    QStringLiteral("FIELDKEY"), QStringLiteral("FIELDNAME"), QStringLiteral("FIELDORDER"), QStringLiteral("VISIBLE"),
    QStringLiteral("DISPLAYLABEL"), QStringLiteral("DISPLAYFORMAT"), QStringLiteral("DISPLAYWIDTH"),
    QStringLiteral("ALIGNMENT"), QStringLiteral("EDITMASK"), QStringLiteral("TITLEFONTCOLOR"),
    QStringLiteral("TITLEFONTSIZE"), QStringLiteral("TITLEFONTSTYLE"), QStringLiteral("TITLEFONTNAME"),
    QStringLiteral("TITLEALIGNMENT"), QStringLiteral("TITLECOLOR"), QStringLiteral("FONTCOLOR"), QStringLiteral("FONTSIZE"),
    QStringLiteral("FONTSTYLE"), QStringLiteral("FONTNAME"), QStringLiteral("COLOR"), QStringLiteral("RESIZEABLE"),
    QStringLiteral("MAXWIDTH"), QStringLiteral("MINWIDTH")};

const QStringList kIntegerColumns = {
    QStringLiteral("STOREKEY"), QStringLiteral("USERKEY"), QStringLiteral("CONTEXT"), QStringLiteral("FONTSIZE"),
    QStringLiteral("TITLEFONTSIZE"), QStringLiteral("STRIPED"), QStringLiteral("SCALECOLUMNS"), QStringLiteral("CONDFORMAT"),
    QStringLiteral("SHOWLINES"), QStringLiteral("FIELDKEY"), QStringLiteral("FIELDORDER"), QStringLiteral("VISIBLE"),
    QStringLiteral("DISPLAYWIDTH"), QStringLiteral("RESIZEABLE"), QStringLiteral("MAXWIDTH"), QStringLiteral("MINWIDTH")};

} // namespace

TRtsRowsModel::TRtsRowsModel(TxDatabase &db, Kind kind, QObject *parent)
    : TxFieldTableModel(kind == Kind::Layouts ? kLayoutColumns : kFieldColumns, parent)
    , m_db(db)
    , m_kind(kind)
{
}

void TRtsRowsModel::load(std::optional<int> storeKey)
{
    QList<QVariantList> rows;
    const QStringList &columns = fields();
    if (m_kind == Kind::Layouts || storeKey) {
        TxQuery q(m_db);
        if (m_kind == Kind::Layouts)
            q.exec(QStringLiteral("SELECT %1 FROM fin_rts ORDER BY storekey").arg(columns.join(QStringLiteral(", "))));
        else
            q.exec(QStringLiteral("SELECT %1 FROM fin_rtsfield WHERE storekey = ? ORDER BY fieldorder, fieldkey")
                       .arg(columns.join(QStringLiteral(", "))),
                   {*storeKey});
        while (q.next()) {
            QVariantList row;
            for (int c = 0; c < columns.size(); ++c)
                row << q.value(c);
            rows << row;
        }
    }
    beginResetModel();
    m_storeKey = storeKey;
    m_rows = rows;
    endResetModel();
}

int TRtsRowsModel::keyOf(int row) const
{
    return row >= 0 && row < m_rows.size() ? m_rows.at(row).at(0).toInt() : -1;
}

void TRtsRowsModel::deleteRow(int row)
{
    const int key = keyOf(row);
    if (key < 0)
        return;
    runInTransaction(m_db, [&] {
        if (m_kind == Kind::Layouts)
            TxQuery::execute(m_db, QStringLiteral("DELETE FROM fin_rts WHERE storekey = ?"), {key});
        else
            TxQuery::execute(m_db, QStringLiteral("DELETE FROM fin_rtsfield WHERE fieldkey = ?"), {key});
    });
    beginRemoveRows({}, row, row);
    m_rows.removeAt(row);
    endRemoveRows();
}

int TRtsRowsModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

bool TRtsRowsModel::isInteger(int column) const
{
    return kIntegerColumns.contains(fields().value(column));
}

Qt::ItemFlags TRtsRowsModel::flags(const QModelIndex &index) const
{
    Qt::ItemFlags f = TxFieldTableModel::flags(index);
    if (index.column() == 0)
        f &= ~Qt::ItemIsEditable;
    return f;
}

QVariant TRtsRowsModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows.size() || (role != Qt::DisplayRole && role != Qt::EditRole))
        return {};
    const QVariant &v = m_rows.at(index.row()).at(index.column());
    if (role == Qt::EditRole && v.isNull())
        return QString();
    return v;
}

bool TRtsRowsModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || role != Qt::EditRole || index.column() == 0 || index.row() >= m_rows.size())
        return false;
    const QString text = value.toString().trimmed();
    QVariant stored;
    if (text.isEmpty()) {
        stored = QVariant(isInteger(index.column()) ? QMetaType(QMetaType::Int) : QMetaType(QMetaType::QString));
    } else if (isInteger(index.column())) {
        bool ok = false;
        const int v = text.toInt(&ok);
        if (!ok) {
            Q_EMIT cellRefused(tr("Значение \"%1\" не является целым числом").arg(text));
            return false;
        }
        stored = v;
    } else {
        stored = value.toString();
    }
    const QString column = fields().at(index.column());
    const bool layouts = m_kind == Kind::Layouts;
    try {
        runInTransaction(m_db, [&] {
            const int touched = updateRow(m_db, layouts ? QStringLiteral("fin_rts") : QStringLiteral("fin_rtsfield"),
                                          layouts ? QStringLiteral("storekey") : QStringLiteral("fieldkey"),
                                          keyOf(index.row()), {column}, {stored});
            if (touched == 0)
                throw EDatabaseError(layouts ? tr("Не найден StoreKey!") : tr("Не найден FieldKey!"));
        });
    } catch (const EDatabaseError &e) {
        Q_EMIT cellRefused(e.message());
        return false;
    }
    m_rows[index.row()][index.column()] = stored;
    Q_EMIT dataChanged(index, index);
    return true;
}

} // namespace korvex::widgets
