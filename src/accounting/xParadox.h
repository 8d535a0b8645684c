#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QList>
#include <QString>
#include <QVariant>
#include <memory>
#include <stdexcept>

namespace korvex::accounting {

// A failure of the bookkeeping system's files: a table that cannot be read
// or written, a key that is taken, a text too long for a field. Carries the
// text the user sees.
class EParadoxError : public std::runtime_error
{
public:
    enum class Kind { Io, KeyViolation, Value, Locked };
    EParadoxError(Kind kind, const QString &message);
    Kind kind() const { return m_kind; }
    QString message() const { return m_message; }

private:
    Kind m_kind;
    QString m_message;
};

// Texts between the program and the bookkeeping files. The files hold OEM
// (CP866) text; a table opened without the OEM flag holds Windows-1251 text.
QString decodeOem(const QByteArray &bytes);
QByteArray encodeOem(const QString &text);
QString decodeAnsi(const QByteArray &bytes);
QByteArray encodeAnsi(const QString &text);

// An advisory lock on a file (created when missing), held until unlock() or
// destruction. Every program that writes a bookkeeping table takes the lock
// of that table first, so that two writers never interleave.
class TxFileLock
{
public:
    TxFileLock() = default;
    ~TxFileLock();
    TxFileLock(const TxFileLock &) = delete;
    TxFileLock &operator=(const TxFileLock &) = delete;

    // Tries until the lock is had or timeoutMs have passed since the first
    // try (0: one try); false when it was not had in time.
    bool lock(const QString &path, int timeoutMs);
    // The same on a file that is already open (its own descriptor).
    static bool lockDescriptor(int fd, int timeoutMs);
    void unlock();
    bool isLocked() const { return m_fd >= 0; }

private:
    int m_fd = -1;
};

enum class TxFieldType { Alpha, Date, Short, Long, Currency, Number, Logical, AutoInc, Time, Timestamp, Raw };

struct TxFieldDef {
    QString name;
    TxFieldType type = TxFieldType::Alpha;
    int size = 0;           // bytes in the record; for Alpha the text length
    int decimals = 0;
    int paradoxType = 0;    // the file's own type code (kept for Raw fields)
};

// One record of a table: a value per field. Alpha values are the file's
// bytes; Date a QDate; Short, Long and AutoInc int; Currency and Number
// double; Logical bool; an invalid QVariant is an empty field.
struct TxRecord {
    QVariantList values;
};

// A Paradox table of the bookkeeping system in a directory, read whole into
// memory. Changes are kept until Save(), which writes the whole table to a
// temporary file and renames it into place, so a table on disk is always
// either the old one or the new one. Writing needs the table opened for
// writing, which holds the table's lock ("<table>.lck" beside it).
class TxTable
{
    Q_DECLARE_TR_FUNCTIONS(TxTable)

public:
    TxTable() = default;
    TxTable(const QString &directory, const QString &tableName, bool useOemFormat = true);
    ~TxTable();
    TxTable(const TxTable &) = delete;
    TxTable &operator=(const TxTable &) = delete;

    QString DatabaseName;        // the directory
    QString TableName;           // "klient.db"; ".db" is added when missing
    bool UseOEMFormat = true;    // texts are OEM coded
    int LockTimeoutMs = 0;       // how long opening for writing waits for the lock

    // The file of the table; an existing file whose name differs only in
    // letter case is found too.
    QString filePath() const;
    bool exists() const;

    // Opens for reading, or for writing (with the lock, waiting up to
    // LockTimeoutMs). Raises EParadoxError (kind Locked when the lock was not
    // had in time).
    void Open(bool forWriting = false);
    void Close();  // unsaved changes are dropped
    bool Active() const { return m_active; }
    bool Writable() const { return m_lock.isLocked(); }

    const QList<TxFieldDef> &Fields() const { return m_fields; }
    int FieldIndex(const QString &name) const;  // letter case ignored; -1 when none
    int KeyFieldCount() const { return m_keyFields; }

    int RecordCount() const { return int(m_records.size()); }
    const TxRecord &Record(int row) const { return m_records.at(row); }
    TxRecord NewRecord() const;

    // A field's text: alpha fields converted from OEM when UseOEMFormat is
    // on, other fields written out (a date as YYYY-MM-DD). An empty field
    // gives an empty text.
    QString Text(const TxRecord &record, int field) const;
    QString Text(int row, int field) const { return Text(Record(row), field); }
    // Sets a field from a text, converting alpha fields to OEM when
    // UseOEMFormat is on; 256 characters or more raise "Field value too
    // long", a longer text than the field holds is cut to its size.
    void SetText(TxRecord &record, int field, const QString &text) const;
    // The value itself, without the OEM conversion (alpha fields read as
    // Windows text).
    QVariant Value(const TxRecord &record, int field) const;
    void SetValue(TxRecord &record, int field, const QVariant &value) const;

    // The row whose key fields equal these values, or -1.
    int FindKey(const QVariantList &key) const;
    // The rows in primary-key order (table order for a table without key).
    QList<int> KeyOrder() const;

    // Changes in memory; a keyed table refuses a second record with the same
    // key (EParadoxError KeyViolation, "Key violation").
    void Append(const TxRecord &record);
    void Update(int row, const TxRecord &record);
    void Delete(int row);
    void Empty();
    bool Modified() const { return m_modified; }

    // Writes the table (opened for writing) when it was changed.
    void Save();

    // Creates a table file with these fields and records (the first
    // keyFields fields form the primary key), replacing any file of that name.
    static void Create(const QString &directory, const QString &tableName, const QList<TxFieldDef> &fields,
                       int keyFields, const QList<TxRecord> &records = {}, int codePage = 866);

private:
    static void writeFile(const QString &path, const QString &tableName, const QList<TxFieldDef> &fields,
                          int keyFields, const QList<TxRecord> &records, int codePage);
    int compareKeys(const TxRecord &a, const TxRecord &b) const;
    void checkKey(const TxRecord &record, int exceptRow) const;
    void checkField(int field) const;

    bool m_active = false;
    QList<TxFieldDef> m_fields;
    QList<TxRecord> m_records;
    int m_keyFields = 0;
    int m_codePage = 866;
    bool m_modified = false;
    QString m_path;
    TxFileLock m_lock;
};

} // namespace korvex::accounting
