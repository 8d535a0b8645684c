// Time to open a data grid (statement run, first chunk fetched, grid shown)
// over 1,000 rows and over 100,000 rows of the same table, and, for
// reference, the time to read all 100,000 rows as an eager grid would.
// Figures are ratios against the 1,000-row opening, measured in the same run.
//
//   QT_QPA_PLATFORM=offscreen bench_grid [repetitions]

#include "db/xDatabase.h"
#include "db/xFbCreate.h"
#include "db/xSqlScript.h"
#include "widgets/ui/xDBGrid.h"
#include "widgets/xQueryModel.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

using namespace korvex::db;
using namespace korvex::widgets;

namespace {

const char *const Fixture = R"(
CREATE TABLE bench_list (id INTEGER NOT NULL PRIMARY KEY, name VARCHAR(40), customer VARCHAR(60),
                         amount DOUBLE PRECISION, opened DATE);
SET TERM ^ ;
EXECUTE BLOCK AS
DECLARE i INTEGER = 1;
BEGIN
  WHILE (i <= 100000) DO
  BEGIN
    INSERT INTO bench_list VALUES (:i, 'Договор ' || :i, 'Клиент ' || MOD(:i, 977), :i * 1.25,
                                   DATEADD(MOD(:i, 3650) DAY TO DATE '2015-01-01'));
    i = i + 1;
  END
END^
SET TERM ; ^
)";

double medianMs(int repetitions, const std::function<void()> &run)
{
    std::vector<double> times;
    for (int i = 0; i < repetitions; ++i) {
        QElapsedTimer t;
        t.start();
        run();
        times.push_back(double(t.nsecsElapsed()) / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const int repetitions = argc > 1 ? std::max(1, atoi(argv[1])) : 9;

    QTemporaryDir dir;
    TxConnectionParams::Target target;
    target.path = dir.filePath(QStringLiteral("bench.fdb"));
    createFirebirdDatabase(target, QStringLiteral("SYSDBA"), QString());
    TxConnectionParams params;
    params.setServerName(target.path);
    TxDatabase db;
    db.open(params, QStringLiteral("SYSDBA"), QString());
    TxSqlScript::run(db, QString::fromUtf8(Fixture), QStringLiteral("bench fixture"));

    auto openGrid = [&db](int rows) {
        TxQueryModel model(db);
        model.setStatement(QStringLiteral("SELECT id, name, customer, amount, opened FROM bench_list WHERE id <= ?"),
                           {rows}, QStringLiteral("id"));
        model.open();
        TxDBGrid grid;
        grid.setModel(&model);
        grid.resize(800, 600);
        grid.show();
        QCoreApplication::processEvents();
    };
    auto readAll = [&db] {
        TxQueryModel model(db);
        model.setStatement(QStringLiteral("SELECT id, name, customer, amount, opened FROM bench_list"), {},
                           QStringLiteral("id"));
        model.open();
        while (model.canFetchMore())
            model.fetchMore();
    };

    openGrid(1000);  // warm the page cache and the statement cache
    const double small = medianMs(repetitions, [&] { openGrid(1000); });
    const double large = medianMs(repetitions, [&] { openGrid(100000); });
    const double eager = medianMs(std::max(1, repetitions / 3), readAll);

    std::printf("open grid over 1,000 rows:    %8.2f ms (reference)\n", small);
    std::printf("open grid over 100,000 rows:  %8.2f ms  ratio %.2f\n", large, large / small);
    std::printf("read all 100,000 rows:        %8.2f ms  ratio %.2f\n", eager, eager / small);
    return 0;
}
