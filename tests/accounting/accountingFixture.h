#pragma once

#include "accounting/xParadox.h"

#include <QProcess>
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

// Runs the command-line tool on the test database (closed meanwhile: the
// embedded engine lets one process at a time have the file).
struct CliRun {
    int code = -1;
    QString out, err;
};
CliRun runCli(TestDatabase &t, const QStringList &args);

} // namespace korvex::test
