#pragma once

#include <QDate>
#include <QString>
#include <optional>

namespace korvex::db {
class TxDatabase;
}

namespace korvex::shell {

// The options store: settings, counters and remembered filters in fin_options,
// per user or common to all users, for the lease subsystem (230).
//
// A read looks for the user's own row, then the default user's (-1), then the
// common one (userkey NULL); nothing is cached. Typed readers report an
// option stored with another type letter as absent; GetStringOption returns
// the text whatever the type. Every write runs in a short transaction of its
// own, or inside the caller's when one is active (so that a counter advances
// together with the document that used it).
class TmmOptions
{
public:
    static constexpr int SubSystemKey = 230;
    static constexpr int DefaultUserKey = -1;

    // userKey: the logged-in user (-1 when there is none).
    TmmOptions(korvex::db::TxDatabase &db, int userKey);
    ~TmmOptions();
    TmmOptions(const TmmOptions &) = delete;
    TmmOptions &operator=(const TmmOptions &) = delete;

    // The program's one options object, or null before it is created.
    static TmmOptions *instance();

    int userKey() const { return m_userKey; }
    korvex::db::TxDatabase &database() const { return m_db; }

    void SetDateOption(const QString &name, bool perUser, const QDate &value);
    void SetFloatOption(const QString &name, bool perUser, double value);
    void SetIntegerOption(const QString &name, bool perUser, int value);
    void SetStringOption(const QString &name, bool perUser, const QString &value);

    std::optional<QDate> GetDateOption(const QString &name) const;
    std::optional<double> GetFloatOption(const QString &name) const;
    std::optional<int> GetIntegerOption(const QString &name) const;
    std::optional<QString> GetStringOption(const QString &name) const;

    // Convenience readers with the caller's default.
    QDate dateOption(const QString &name, const QDate &def) const { return GetDateOption(name).value_or(def); }
    double floatOption(const QString &name, double def) const { return GetFloatOption(name).value_or(def); }
    int integerOption(const QString &name, int def) const { return GetIntegerOption(name).value_or(def); }
    QString stringOption(const QString &name, const QString &def = {}) const
    {
        return GetStringOption(name).value_or(def);
    }

    // Text forms of the stored values. Dates are written as dd.MM.yyyy and
    // numbers with a decimal point; reading also takes ISO dates and a
    // decimal comma, as other workstations may have written.
    static QString dateText(const QDate &d);
    static std::optional<QDate> parseDate(const QString &text);
    static QString floatText(double v);

private:
    struct Stored {
        QString value;
        QChar type;
    };
    std::optional<Stored> read(const QString &name) const;
    void write(const QString &name, bool perUser, const QString &value, QChar type);

    korvex::db::TxDatabase &m_db;
    int m_userKey;
};

} // namespace korvex::shell
