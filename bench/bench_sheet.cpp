// Spreadsheet export and import of the lock list: writing and reading the
// workbook, and importing its rows, against raw inserts of the same rows.
#include "TestDataDir.h"
#include "sheet/ExportLayouts.h"
#include "sheet/SheetImport.h"
#include "sheet/WorkbookReader.h"
#include "sheet/WorkbookWriter.h"
#include "store/Database.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

QList<QVariantMap> locks(int n)
{
    QList<QVariantMap> rows;
    for (int i = 0; i < n; ++i)
        rows.append({{QStringLiteral("SerialID"), QStringLiteral("%1").arg(i + 1, 16, 16, QLatin1Char('0')).toUpper()},
                     {QStringLiteral("LockName"), QStringLiteral("Lock %1").arg(i)},
                     {QStringLiteral("LockLocation"), QStringLiteral("Building %1").arg(i % 7)},
                     {QStringLiteral("LockStatusID"), 1 + i % 3},
                     {QStringLiteral("LockType"), QStringLiteral("iButton")}});
    return rows;
}

const QDateTime kWhen(QDate(2026, 1, 1), QTime(0, 0));

void BM_ExportLockList(benchmark::State &state)
{
    QTemporaryDir tmp;
    const auto rows = locks(static_cast<int>(state.range(0)));
    const QString path = tmp.filePath(QStringLiteral("locks.xlsx"));
    for (auto _ : state) {
        const Status s = sheet::WorkbookWriter::write(path, {sheet::lockListSheet(rows, kWhen)});
        if (!s.ok)
            state.SkipWithError(qPrintable(s.error));
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ExportLockList)->Arg(1000)->Arg(30000)->Unit(benchmark::kMillisecond);

void BM_ReadLockList(benchmark::State &state)
{
    QTemporaryDir tmp;
    const QString path = tmp.filePath(QStringLiteral("locks.xlsx"));
    sheet::WorkbookWriter::write(path, {sheet::lockListSheet(locks(static_cast<int>(state.range(0))), kWhen)});
    for (auto _ : state) {
        const auto r = sheet::WorkbookReader::readFirstSheet(path);
        benchmark::DoNotOptimize(r.value.rowCount());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ReadLockList)->Arg(1000)->Arg(30000)->Unit(benchmark::kMillisecond);

// The import reads at most 998 rows (4 to 1001).
void BM_ImportLockList(benchmark::State &state)
{
    QTemporaryDir tmp;
    const QString path = tmp.filePath(QStringLiteral("locks.xlsx"));
    sheet::WorkbookWriter::write(path, {sheet::lockListSheet(locks(998), kWhen)});
    for (auto _ : state) {
        state.PauseTiming();
        TestDataDir dir;
        state.ResumeTiming();
        const auto o = sheet::SheetImport::importLocks(path);
        if (!o.ok || o.inserted != 998)
            state.SkipWithError("import failed");
    }
    state.SetItemsProcessed(state.iterations() * 998);
}
BENCHMARK(BM_ImportLockList)->Unit(benchmark::kMillisecond);

// Baseline: the same rows inserted with one prepared statement in one transaction.
void BM_RawInsertBaseline(benchmark::State &state)
{
    const auto rows = locks(998);
    for (auto _ : state) {
        state.PauseTiming();
        TestDataDir dir;
        state.ResumeTiming();
        store::Transaction tx;
        QSqlQuery q(store::Database::connection());
        q.prepare(QStringLiteral("INSERT INTO LockManagement (LockID,SerialID,LockName,LockLocation,LockStatusID,LockType) "
                                 "VALUES (?,?,?,?,?,?)"));
        int id = 1;
        for (const auto &r : rows) {
            q.addBindValue(id++);
            for (const char *c : {"SerialID", "LockName", "LockLocation", "LockStatusID", "LockType"})
                q.addBindValue(r.value(QLatin1String(c)));
            q.exec();
        }
        tx.commit();
    }
    state.SetItemsProcessed(state.iterations() * 998);
}
BENCHMARK(BM_RawInsertBaseline)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
