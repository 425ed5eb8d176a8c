// Archive benchmark, driven by bench/archive-bench.sh against a private
// server holding a generated archive. One measurement per process, so the
// peak resident size (VmHWM) belongs to that measurement alone.
//   bench_archive search PORT KIND VALUE FROM TO   grid timings and memory
//   bench_archive sql KIND VALUE FROM TO           the statement with literals
//   bench_archive export PORT VALUE FILE           export of one extension
//   bench_archive repair DIR MEGABYTES             repair of a large file
#include "archive/RecordingSearch.h"
#include "archive/RecordingsDb.h"
#include "archive/RecordingsModel.h"
#include "archive/ResultExport.h"
#include "archive/SearchStatement.h"
#include "archive/WaveRepair.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QHeaderView>
#include <QTableView>
#include <QTextStream>
#include <cstdio>

namespace {

long vmHwmKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    const QList<QByteArray> lines = status.readAll().split('\n');
    for (const QByteArray &line : lines) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

void report(const char *name, double value, const char *unit)
{
    std::printf("%s=%.1f %s\n", name, value, unit);
    std::fflush(stdout);
}

void connectDb(RecordingsDb &db, const QString &port)
{
    db.setHost(QStringLiteral("127.0.0.1"));
    db.setPort(port.toInt());
    db.setUser(QStringLiteral("vorlan"));
    db.setPassword(QStringLiteral("vorlan"));
    db.setDatabaseName(QStringLiteral("vorlan"));
    db.setTimeoutSeconds(600);
    db.connect();
}

SearchInputs inputs(const QStringList &args, int first)
{
    SearchInputs in;
    in.kind = args.value(first).toInt();
    in.value = args.value(first + 1);
    in.from = QDate::fromString(args.value(first + 2), Qt::ISODate);
    in.to = QDate::fromString(args.value(first + 3), Qt::ISODate);
    in.hora = QStringLiteral("00:00");
    in.hora1 = QStringLiteral("23:59");
    return in;
}

// The statement as the mariadb client must receive it: the bound dates
// written in as literals.
int printSql(const QStringList &args)
{
    const SearchInputs in = inputs(args, 2);
    QString text = SearchStatement::statement(in.kind, in.value);
    const auto quoted = [](const QDate &d) {
        return QLatin1Char('\'') + d.toString(Qt::ISODate) + QLatin1Char('\'');
    };
    text.replace(QStringLiteral(":pInicial"), quoted(in.from));
    text.replace(QStringLiteral(":pFinal"), quoted(in.to));
    QTextStream(stdout) << text << '\n';
    return 0;
}

void paint(QTableView &view)
{
    view.viewport()->repaint();
    QCoreApplication::processEvents();
}

int search(const QStringList &args)
{
    RecordingsDb db;
    connectDb(db, args.value(2));
    RecordingsModel model;
    RecordingSearch search(&db, &model, [](const QString &) {});
    QTableView view;
    view.resize(800, 600);
    view.verticalHeader()->setDefaultSectionSize(20);
    view.setModel(&model);
    view.show();
    paint(view);

    QElapsedTimer clock;
    clock.start();
    search.run(inputs(args, 3));
    paint(view);
    const double firstRows = clock.nsecsElapsed() / 1e6;
    model.fetchAllRows();
    const double total = clock.nsecsElapsed() / 1e6;
    const int rows = model.rowCount();

    clock.restart();
    view.scrollToBottom();
    paint(view);
    const double lastScreen = clock.nsecsElapsed() / 1e6;
    clock.restart();
    view.scrollToTop();
    paint(view);
    const double backToTop = clock.nsecsElapsed() / 1e6;

    // A screen read bottom-up, row by row, as a key held on the list would.
    clock.restart();
    for (int row = rows - 1; row >= 0 && row >= rows - 100; --row) {
        for (int c = 0; c < model.columnCount(); ++c)
            model.data(model.index(row, c));
    }
    const double last100 = clock.nsecsElapsed() / 1e6;

    std::printf("rows=%d\n", rows);
    report("first_rows", firstRows, "ms");
    report("total", total, "ms");
    report("last_screen", lastScreen, "ms");
    report("back_to_top", backToTop, "ms");
    report("last_100_rows_read", last100, "ms");
    report("peak_rss", vmHwmKb() / 1024.0, "MB");
    return 0;
}

int exportRows(const QStringList &args)
{
    RecordingsDb db;
    connectDb(db, args.value(2));
    RecordingsModel model;
    RecordingSearch search(&db, &model, [](const QString &) {});
    SearchInputs in;
    in.kind = SearchStatement::PorRamalGeral;
    in.value = args.value(3);
    QElapsedTimer clock;
    clock.start();
    search.run(in);
    model.fetchAllRows();
    const double searchMs = clock.nsecsElapsed() / 1e6;
    QFile::remove(args.value(4));
    clock.restart();
    ResultExport::exportAll(model, args.value(4));
    const double exportMs = clock.nsecsElapsed() / 1e6;
    std::printf("rows=%d\n", model.rowCount());
    report("search", searchMs, "ms");
    report("export", exportMs, "ms");
    report("file_size", QFile(args.value(4)).size() / 1048576.0, "MB");
    report("peak_rss", vmHwmKb() / 1024.0, "MB");
    return 0;
}

int repair(const QStringList &args)
{
    const QString path = args.value(2) + QStringLiteral("/large.wav");
    const qint64 bytes = args.value(3).toLongLong() * 1024 * 1024;
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 1;
        QByteArray block(1024 * 1024, char(0xd5));
        for (qint64 done = 0; done < bytes; done += block.size())
            file.write(block);
    }
    QElapsedTimer clock;
    clock.start();
    WaveRepair::repairFile(path);
    const double ms = clock.nsecsElapsed() / 1e6;
    report("file_size", QFile(path).size() / 1048576.0, "MB");
    report("repair", ms, "ms");
    report("peak_rss", vmHwmKb() / 1024.0, "MB");
    QFile::remove(path);
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    const QString mode = args.value(1);
    try {
        if (mode == QLatin1String("search") && args.size() >= 7)
            return search(args);
        if (mode == QLatin1String("sql") && args.size() >= 6)
            return printSql(args);
        if (mode == QLatin1String("export") && args.size() >= 5)
            return exportRows(args);
        if (mode == QLatin1String("repair") && args.size() >= 4)
            return repair(args);
    } catch (const std::exception &e) {
        std::fprintf(stderr, "failed: %s\n", e.what());
        return 1;
    }
    std::fprintf(stderr, "usage: see the head of bench_archive.cpp\n");
    return 2;
}
