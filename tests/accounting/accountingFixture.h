#pragma once

#include "accounting/xParadox.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QString>
#include <QStringList>
#include <QVariantList>

namespace korvex::db {
class TxDatabase;
}
namespace korvex::test {
class TestDatabase;
}

namespace korvex::test {

void execAll(korvex::db::TxDatabase &db, const QStringList &statements);
int count(korvex::db::TxDatabase &db, const QString &sql, const QVariantList &values = {});

// Accounts 62, 90, 51; customers 1 (enterprise, code 501), 2 (private
// person, code 502), 3 (enterprise, no code), 4 (bank); service 5 (code 77),
// the operation type 500 with two entry templates.
void bookkeepingFixture(korvex::db::TxDatabase &db);

// A small Paradox table: fields as "Name:A20", "Name:D", "Name:S", "Name:I",
// "Name:$" (currency), "Name:N"; rows of texts (alpha fields OEM coded).
void makeTable(const QString &dir, const QString &name, const QStringList &fields, int keyFields,
               const QList<QStringList> &rows);

// A temporary folder's pattern under the tests' folder.
QString tempPattern(const char *name);

// The bookkeeping system's two directories and the link settings naming
// them, in a temporary folder.
struct Bookkeeping {
    QTemporaryDir dir;
    QString main() const { return dir.filePath(QStringLiteral("main")); }
    QString work() const { return dir.filePath(QStringLiteral("work")); }
    QString ini() const { return dir.filePath(QStringLiteral("korvex-rent.ini")); }

    explicit Bookkeeping(int systemCode = 7);
};

// The fields of the register and of the table of new register records.
extern const QStringList kRegisterFields;
extern const QStringList kNewRegFields;

// Account 62 has two levels: clients (type 1) and the kind of operation
// (type 10), which is the service; account 51 has none. The register holds
// four entries of March 2026 (two sharing a number and date) and one of April.
void exchangeTables(const Bookkeeping &b);
// bookkeepingFixture and the operation types 1700 (one entry template 51-62)
// and 1800 (62-90) of the exchange.
void exchangeFixture(korvex::db::TxDatabase &db);

// Runs the command-line tool on the test database (closed meanwhile: the
// embedded engine lets one process at a time have the file).
struct CliRun {
    int code = -1;
    QString out, err;
};
CliRun runCli(TestDatabase &t, const QStringList &args);

} // namespace korvex::test
