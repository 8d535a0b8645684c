#pragma once

// The data a report runs over: one data source per section. The engine asks
// only for records and field texts; the SQL data source below serves a Qt SQL
// query, which is how every report of this program gets its rows.

#include <QHash>
#include <QImage>
#include <QSqlQuery>
#include <QString>
#include <QVariant>
#include <memory>

namespace korvex::db {
class TxDatabase;
}

namespace korvex::documents {

class TxReportDataSource
{
public:
    enum FieldKind { Text, Integer, Float, Date, Graphic, Memo };

    virtual ~TxReportDataSource();

    // Makes the data set ready (runs its query); nothing when it already is.
    virtual void open() = 0;
    virtual bool isEmpty() = 0;
    virtual int recordCount() = 0;
    virtual void first() = 0;
    // Past the last record eof() turns true and the last record stays current.
    virtual void next() = 0;
    virtual bool eof() const = 0;

    // Field lookups ignore letter case; -1 for a field the data set lacks.
    virtual int fieldIndex(const QString &name) const = 0;
    virtual FieldKind fieldKind(int field) const = 0;
    // The value of the current record as edit text (not display format).
    virtual QString fieldText(int field) const = 0;
    // A total of a numeric field as its display format writes it.
    virtual QString displayText(int field, double value) const;
    virtual QImage picture(int field) const { return {}; }

    // The current record, to return to after the section.
    virtual QVariant bookmark() const = 0;
    virtual void gotoBookmark(const QVariant &bookmark) = 0;
};

// A data source over a Qt SQL query. The query is either given ready
// (prepared, its values bound) or built from a checked SELECT statement.
class TxSqlReportDataSource : public TxReportDataSource
{
public:
    // Takes a prepared query; open() executes it unless it is active already.
    explicit TxSqlReportDataSource(QSqlQuery query);
    ~TxSqlReportDataSource() override;

    // A data source over one SELECT statement typed by a user: anything but a
    // single SELECT (or WITH ... SELECT) raises ExReport; the values are bound
    // to its ":name" or "?" placeholders.
    static std::unique_ptr<TxSqlReportDataSource> fromSelect(korvex::db::TxDatabase &db, const QString &sql,
                                                              const QVariantList &values = {});
    // Whether the text is one SELECT statement: comments, quoted texts and
    // names are skipped; a closing ";" is allowed.
    static bool isSingleSelect(const QString &sql);

    // The display format of a numeric field (a float format pattern).
    void setDisplayFormat(const QString &field, const QString &pattern);

    void open() override;
    bool isEmpty() override;
    int recordCount() override;
    void first() override;
    void next() override;
    bool eof() const override { return m_eof; }

    int fieldIndex(const QString &name) const override;
    FieldKind fieldKind(int field) const override;
    QString fieldText(int field) const override;
    QString displayText(int field, double value) const override;
    QImage picture(int field) const override;

    QVariant bookmark() const override;
    void gotoBookmark(const QVariant &bookmark) override;

    QSqlQuery &query() { return m_query; }

private:
    void readFields();

    QSqlQuery m_query;
    bool m_fieldsRead = false;
    bool m_eof = true;
    int m_count = -1;
    QHash<QString, int> m_index;  // lower-cased name -> column
    QList<FieldKind> m_kinds;
    QHash<int, QString> m_displayFormats;
    QHash<QString, QString> m_pendingFormats;
};

// A data source over rows held in memory (rows a program computes rather
// than selects): named fields, one list of values per record.
class TxListReportDataSource : public TxReportDataSource
{
public:
    TxListReportDataSource(const QStringList &fields, QList<QVariantList> rows);

    void open() override {}
    bool isEmpty() override { return m_rows.isEmpty(); }
    int recordCount() override { return int(m_rows.size()); }
    void first() override;
    void next() override;
    bool eof() const override { return m_eof; }

    int fieldIndex(const QString &name) const override;
    FieldKind fieldKind(int field) const override;
    QString fieldText(int field) const override;

    QVariant bookmark() const override { return m_current; }
    void gotoBookmark(const QVariant &bookmark) override;

private:
    QStringList m_fields;
    QList<QVariantList> m_rows;
    int m_current = 0;
    bool m_eof = true;
};

// The text a value shows as edit text: numbers with the locale's decimal
// separator and no grouping, dates in the short date format.
QString reportValueText(const QVariant &value);

} // namespace korvex::documents
