// SPDX-License-Identifier: GPL-3.0-or-later
// The transfer history: records built from a transfer's events, the file that keeps
// them across runs, the rows' words, the CSV export and opening a row's folder.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QLocale>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include "tests/support/FileSizeLimit.h"
#include "tests/support/ScopedSettings.h"
#include "windows/ErrorBox.h"
#include "windows/TransferHistory.h"

namespace {

TransferEvent Event(TransferStage stage, TransferKind kind, const char* file)
{
    TransferEvent event;
    event.stage = stage;
    event.kind = kind;
    event.file = file;
    return event;
}

// Runs one transfer through the history: a start announcing total bytes, a progress
// to done, and an end.
void RunTransfer(TransferHistory& history, TransferKind kind, const char* file, int64_t total, int64_t done,
                 TransferOutcome outcome, TransferReason reason, const char* detail, const QString& folder,
                 const QString& calculator = {})
{
    TransferEvent start = Event(TransferStage::Started, kind, file);
    start.total = total;
    EXPECT_FALSE(history.Take(start, folder, calculator));
    TransferEvent progress = Event(TransferStage::Progress, kind, file);
    progress.done = done;
    progress.total = total;
    progress.elapsedMs = 1500;
    EXPECT_FALSE(history.Take(progress, folder, calculator));
    TransferEvent end = Event(TransferStage::Ended, kind, file);
    end.elapsedMs = 2000;
    end.outcome = outcome;
    end.reason = reason;
    end.detail = detail;
    EXPECT_TRUE(history.Take(end, folder, calculator));
}

class TransferHistoryTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    // Under a folder that does not exist yet: the first record creates it.
    QString path = dir.path() + "/state/calvyx/transfers.jsonl";
};

TEST_F(TransferHistoryTest, HistoryFileIsWrittenAndReadBackByTheNextRun)
{
    ASSERT_TRUE(dir.isValid());
    {
        TransferHistory history(path);
        history.Load(); // no file yet: an empty history
        EXPECT_EQ(history.Count(), 0);
        RunTransfer(history, TransferKind::KermitReceive, "PROG.CA", 4000, 4000, TransferOutcome::Completed, TransferReason::None,
                    "", dir.path(), "Ana");
        RunTransfer(history, TransferKind::KermitSend, "MISSING.CA", 0, 0, TransferOutcome::Failed, TransferReason::FileNotFound,
                    "", dir.path());
        RunTransfer(history, TransferKind::WireReceive, "", 0, 700, TransferOutcome::Cancelled, TransferReason::UserCancelled, "",
                    dir.path());
        RunTransfer(history, TransferKind::RomLoad, "/roms/new, \"test\".bin", 9000, 57, TransferOutcome::Failed,
                    TransferReason::LinkLost, "Input/output error", "/roms");
        EXPECT_EQ(history.Count(), 4);
        EXPECT_TRUE(history.LastError().isEmpty()) << history.LastError().toStdString();
    }
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << "the history file was not written";
    const QList<QByteArray> lines = file.readAll().split('\n');
    ASSERT_EQ(lines.size(), 5); // four records and the last line break
    EXPECT_TRUE(lines.back().isEmpty());

    TransferHistory next(path);
    next.Load();
    ASSERT_EQ(next.Count(), 4);
    const TransferRecord& received = next.Record(0);
    EXPECT_EQ(received.kind, TransferKind::KermitReceive);
    EXPECT_EQ(received.file, "PROG.CA");
    EXPECT_EQ(received.folder, dir.path());
    EXPECT_EQ(received.size, 4000);
    EXPECT_EQ(received.durationMs, 2000);
    EXPECT_EQ(received.outcome, TransferOutcome::Completed);
    EXPECT_EQ(received.calculator, "Ana");
    EXPECT_TRUE(received.when.isValid());
    EXPECT_TRUE(next.Record(1).calculator.isEmpty()) << "a record without a calculator gained one";
    EXPECT_EQ(next.Record(1).reason, TransferReason::FileNotFound);
    // A size never announced is what arrived.
    EXPECT_EQ(next.Record(2).size, 700);
    EXPECT_EQ(next.Record(2).outcome, TransferOutcome::Cancelled);
    EXPECT_EQ(next.Record(3).file, "/roms/new, \"test\".bin");
    EXPECT_EQ(next.Record(3).detail, "Input/output error");
    EXPECT_EQ(next.Record(3).reason, TransferReason::LinkLost);
}

TEST_F(TransferHistoryTest, RowsSayDirectionSizeRateAndHowEachTransferEnded)
{
    TransferHistory history(path);
    RunTransfer(history, TransferKind::KermitReceive, "PROG.CA", 4000, 4000, TransferOutcome::Completed, TransferReason::None, "",
                dir.path());
    RunTransfer(history, TransferKind::KermitSend, "MISSING.CA", 0, 0, TransferOutcome::Failed, TransferReason::FileNotFound, "",
                dir.path());
    RunTransfer(history, TransferKind::XModemSend, "APP.CA", 3000, 128, TransferOutcome::Failed, TransferReason::NoAnswer, "30 s",
                dir.path());
    RunTransfer(history, TransferKind::WireReceive, "", 0, 700, TransferOutcome::Cancelled, TransferReason::UserCancelled, "",
                dir.path());
    RunTransfer(history, TransferKind::KermitReceive, "B.CA", 10, 5, TransferOutcome::Cancelled,
                TransferReason::CalculatorCancelled, "Out of memory", dir.path());

    const struct {
        int row;
        const char* direction;
        const char* outcome;
    } rows[] = {
        {0, "To PC", "Done"},
        {1, "To calculator", "Failed: the file does not exist"},
        {2, "To calculator", "Failed: no answer for 30 s"},
        {3, "To PC", "Cancelled"},
        {4, "To PC", "Cancelled: the calculator cancelled (Out of memory)"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.row);
        EXPECT_EQ(history.CellText(row.row, TransferHistory::DirectionColumn), row.direction);
        EXPECT_EQ(history.CellText(row.row, TransferHistory::OutcomeColumn), row.outcome);
        // The view shows the same words.
        EXPECT_EQ(history.data(history.index(row.row, TransferHistory::OutcomeColumn), Qt::DisplayRole).toString(), row.outcome);
    }
    EXPECT_EQ(history.CellText(0, TransferHistory::FileColumn), "PROG.CA");
    // Sizes as the file list and the status dialog show them: 4000 bytes in 2 s.
    EXPECT_EQ(history.CellText(0, TransferHistory::SizeColumn), "4.0 kB");
    EXPECT_TRUE(history.CellText(0, TransferHistory::DurationColumn).endsWith(", 2.0 kB/s"))
        << history.CellText(0, TransferHistory::DurationColumn).toStdString();
}

// A class serves its calculators at once: their transfers overlap, and each record keeps
// its own calculator, file, size and start.
TEST_F(TransferHistoryTest, OverlappingTransfersOfTwoCalculatorsKeepTheirOwnRecords)
{
    TransferHistory history(path);
    TransferEvent anaStart = Event(TransferStage::Started, TransferKind::KermitReceive, "ANA.TXT");
    anaStart.total = 3000;
    TransferEvent benStart = Event(TransferStage::Started, TransferKind::KermitReceive, "BEN.TXT");
    benStart.total = 700;
    TransferEvent anaEnd = Event(TransferStage::Ended, TransferKind::KermitReceive, "");
    anaEnd.elapsedMs = 3100;
    TransferEvent benEnd = Event(TransferStage::Ended, TransferKind::KermitReceive, "");
    benEnd.elapsedMs = 800;
    EXPECT_FALSE(history.Take(anaStart, "/class/Ana", "Ana"));
    EXPECT_FALSE(history.Take(benStart, "/class/Ben", "Ben"));
    EXPECT_TRUE(history.Take(benEnd, "/class/Ben", "Ben"));
    EXPECT_TRUE(history.Take(anaEnd, "/class/Ana", "Ana"));
    ASSERT_EQ(history.Count(), 2);
    const struct {
        const char* calculator;
        const char* file;
        int64_t size;
        const char* folder;
    } rows[] = {{"Ben", "BEN.TXT", 700, "/class/Ben"}, {"Ana", "ANA.TXT", 3000, "/class/Ana"}};
    for (int row = 0; row < 2; ++row) {
        SCOPED_TRACE(rows[row].calculator);
        EXPECT_EQ(history.CellText(row, TransferHistory::CalculatorColumn), rows[row].calculator);
        EXPECT_EQ(history.Record(row).file, rows[row].file);
        EXPECT_EQ(history.Record(row).size, rows[row].size);
        EXPECT_EQ(history.Record(row).folder, rows[row].folder);
    }
}

// Lines written before the calculator was kept load with none; the field is written
// and read back when there is one.
TEST_F(TransferHistoryTest, TheCalculatorIsKeptInTheLineAndOldLinesStillLoad)
{
    const struct {
        const char* line;
        const char* calculator;
    } cases[] = {
        {R"({"time":"2026-01-02T03:04:05.000","kind":"kermit-receive","file":"A.CA","folder":"/x","size":10,"ms":20,"outcome":"done","reason":"none"})",
         ""},
        {R"({"time":"2026-01-02T03:04:05.000","calculator":"usb:1-2.3","kind":"kermit-send","file":"B.CA","folder":"/x","size":10,"ms":20,"outcome":"done","reason":"none"})",
         "usb:1-2.3"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        const auto record = RecordFromJsonLine(c.line);
        ASSERT_TRUE(record.has_value());
        EXPECT_EQ(record->calculator, c.calculator);
        EXPECT_EQ(record->size, 10);
        // Written back, the line says the same.
        const auto again = RecordFromJsonLine(RecordToJsonLine(*record));
        ASSERT_TRUE(again.has_value());
        EXPECT_EQ(again->calculator, c.calculator);
        EXPECT_EQ(RecordToJsonLine(*record).contains("\"calculator\""), *c.calculator != '\0');
    }
}

TEST_F(TransferHistoryTest, ARefusalWithoutStartStillGetsItsRow)
{
    TransferHistory history(path);
    TransferEvent refused = Event(TransferStage::Ended, TransferKind::KermitReceive, "BAD/NAME");
    refused.outcome = TransferOutcome::Failed;
    refused.reason = TransferReason::NameRefused;
    EXPECT_TRUE(history.Take(refused, dir.path()));
    ASSERT_EQ(history.Count(), 1);
    EXPECT_EQ(history.CellText(0, TransferHistory::FileColumn), "BAD/NAME");
    EXPECT_EQ(history.CellText(0, TransferHistory::OutcomeColumn), "Failed: invalid file name");
    EXPECT_EQ(history.Record(0).folder, dir.path());
}

TEST_F(TransferHistoryTest, LinesThatAreNoRecordAreSkippedAndKept)
{
    TransferRecord good;
    good.when = QDateTime::currentDateTime();
    good.file = "A.CA";
    ASSERT_TRUE(QDir().mkpath(QFileInfo(path).absolutePath()));
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("not json\n");
        file.write("{\"time\":\"yesterday\",\"kind\":\"kermit-receive\",\"outcome\":\"done\"}\n");
        file.write("{\"time\":\"2026-01-02T03:04:05\",\"kind\":\"teleport\",\"outcome\":\"done\"}\n");
        file.write(RecordToJsonLine(good) + "\n\n");
    }
    TransferHistory history(path);
    history.Load();
    ASSERT_EQ(history.Count(), 1);
    EXPECT_EQ(history.Record(0).file, "A.CA");
    EXPECT_TRUE(history.Add(good));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    EXPECT_TRUE(text.startsWith("not json\n")) << "the history file lost a line it could not read";
}

TEST_F(TransferHistoryTest, AFileThatCannotBeWrittenIsReportedAndTheRowShown)
{
    // The history's folder is a file: nothing can be created under it.
    QFile blocker(dir.path() + "/state");
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    TransferHistory history(path);
    TransferRecord record;
    record.when = QDateTime::currentDateTime();
    EXPECT_FALSE(history.Add(record));
    EXPECT_FALSE(history.LastError().isEmpty());
    EXPECT_EQ(history.Count(), 1);
}

TEST_F(TransferHistoryTest, CsvQuotesWhatNeedsItAndKeepsNumbersPlain)
{
    TransferHistory history(path);
    RunTransfer(history, TransferKind::RomLoad, "/roms/new, \"test\".bin", 9000, 9000, TransferOutcome::Completed,
                TransferReason::None, "", "/roms", "Room 4, desk 2");
    const QStringList lines = history.Csv().split("\r\n");
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines[0], "Time,Calculator,Direction,File,Size,Duration,Outcome");
    EXPECT_TRUE(lines[1].contains(",\"Room 4, desk 2\",To calculator,\"/roms/new, \"\"test\"\".bin\",9000,"))
        << lines[1].toStdString();
    EXPECT_TRUE(lines[1].endsWith(",Done"));
    EXPECT_EQ(QDateTime::fromString(lines[1].section(u',', 0, 0), Qt::ISODate).isValid(), true) << lines[1].toStdString();
    EXPECT_TRUE(lines[2].isEmpty());
}

TEST_F(TransferHistoryTest, ViewOpensTheRowsFolderAndExportsCsv)
{
    ScopedSettings settings;
    TransferHistory history(path);
    RunTransfer(history, TransferKind::KermitReceive, "PROG.CA", 10, 10, TransferOutcome::Completed, TransferReason::None, "",
                dir.path());
    RunTransfer(history, TransferKind::KermitReceive, "GONE.CA", 10, 10, TransferOutcome::Completed, TransferReason::None, "",
                dir.path() + "/gone");
    TransferHistoryView view(&history);
    QList<QUrl> opened;
    view.openUrl = [&](const QUrl& url) {
        opened << url;
        return true;
    };
    QStringList errors;
    const ErrorHandler previous = SetApplicationErrorHandler([&](const QString& text) { errors << text; });
    view.resize(700, 300);
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));

    const QRect cell = view.table->visualRect(history.index(0, TransferHistory::FileColumn));
    ASSERT_TRUE(cell.isValid());
    QTest::mouseClick(view.table->viewport(), Qt::LeftButton, {}, cell.center());
    QTest::mouseDClick(view.table->viewport(), Qt::LeftButton, {}, cell.center());
    ASSERT_EQ(opened.size(), 1);
    EXPECT_EQ(opened[0], QUrl::fromLocalFile(dir.path()));
    EXPECT_TRUE(errors.isEmpty());

    // Enter on the current row does the same.
    view.table->setFocus();
    view.table->setCurrentIndex(history.index(0, 0));
    QTest::keyClick(view.table, Qt::Key_Return);
    ASSERT_EQ(opened.size(), 2);
    EXPECT_EQ(opened[1], QUrl::fromLocalFile(dir.path()));
    opened.clear();

    // A folder that went away is said, not opened.
    view.OpenRow(1);
    EXPECT_TRUE(opened.isEmpty());
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].contains("gone"));

    const QString csvPath = dir.path() + "/out.csv";
    view.askCsvPath = [&]() -> std::optional<QString> { return csvPath; };
    view.exportButton->click();
    QFile csv(csvPath);
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(csv.readAll()), history.Csv());

    // A CSV that cannot be written is reported.
    view.askCsvPath = [&]() -> std::optional<QString> { return dir.path() + "/no/such/folder/out.csv"; };
    view.exportButton->click();
    EXPECT_EQ(errors.size(), 2);
    SetApplicationErrorHandler(previous);
}

// The lines of the history file that are not empty.
QList<QByteArray> FileLines(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    QList<QByteArray> lines = file.readAll().split('\n');
    lines.removeAll(QByteArray());
    return lines;
}

QString FileOf(const QByteArray& line) { return RecordFromJsonLine(line).value_or(TransferRecord{}).file; }

// The file keeps the newest records: it may grow a little beyond its bound, then it is
// cut back at once, by the run that writes (the list with it) or by the one that reads a
// file grown elsewhere. A cut that cannot be written leaves the file as it was.
TEST_F(TransferHistoryTest, FileIsCutBackToTheNewestRecordsBeyondItsBound)
{
    ASSERT_TRUE(dir.isValid());
    const auto add = [](TransferHistory& history, int n) {
        RunTransfer(history, TransferKind::KermitReceive, qPrintable(QString("F%1.CA").arg(n)), 100, 100,
                    TransferOutcome::Completed, TransferReason::None, "", "/calc");
    };
    {
        TransferHistory history(path);
        history.SetBounds(5, 3);
        history.Load();
        for (int n = 1; n <= 8; ++n) add(history, n);
        EXPECT_EQ(FileLines(path).size(), 8) << "cut before the slack was used up";
        EXPECT_EQ(history.Count(), 8);
        add(history, 9);
        EXPECT_TRUE(history.LastError().isEmpty()) << history.LastError().toStdString();
        const QList<QByteArray> lines = FileLines(path);
        ASSERT_EQ(lines.size(), 5);
        EXPECT_EQ(FileOf(lines.front()), "F5.CA");
        EXPECT_EQ(FileOf(lines.back()), "F9.CA");
        ASSERT_EQ(history.Count(), 5);
        EXPECT_EQ(history.Record(0).file, "F5.CA");
        EXPECT_EQ(history.Record(4).file, "F9.CA");
        EXPECT_FALSE(QFileInfo::exists(path + ".tmp")) << "a stray temporary file";
        // Appending goes on in the file that took the old one's place.
        add(history, 10);
        EXPECT_EQ(FileOf(FileLines(path).back()), "F10.CA");
    }
    const QStringList leftovers = QDir(QFileInfo(path).absolutePath()).entryList(QDir::Files | QDir::Hidden);
    EXPECT_EQ(leftovers, QStringList{"transfers.jsonl"});

    // A file grown beyond its bound (by an older version, say), a line of a later one
    // among them: the next run cuts it when it reads it, newest lines kept.
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        for (int n = 1; n <= 20; ++n) {
            TransferRecord record;
            record.when = QDateTime::currentDateTime();
            record.file = QString("OLD%1.CA").arg(n);
            file.write(RecordToJsonLine(record) + '\n');
            if (n == 18) file.write("{\"from\":\"a later version\"}\n");
        }
    }
    TransferHistory next(path);
    next.SetBounds(5, 3);
    next.Load();
    QList<QByteArray> lines = FileLines(path);
    ASSERT_EQ(lines.size(), 5);
    EXPECT_EQ(FileOf(lines.front()), "OLD17.CA");
    EXPECT_EQ(lines[2], "{\"from\":\"a later version\"}") << "a line that is no record stays among the newest";
    EXPECT_EQ(next.Count(), 4);
    EXPECT_EQ(next.Record(0).file, "OLD17.CA");

    // The disk is full when a cut is written: the file stays as it was, whole, and the
    // history says why.
    for (int n = 1; n <= 10; ++n) add(next, 100 + n); // grown beyond the bound again, cut, grown
    QFile grown(path);
    ASSERT_TRUE(grown.open(QIODevice::ReadOnly));
    const QByteArray before = grown.readAll();
    grown.close();
    TransferHistory full(path);
    full.SetBounds(2, 0);
    {
        ScopedFileSizeLimit limit(100); // less than two lines
        ASSERT_TRUE(limit.Active());
        full.Load();
    }
    EXPECT_FALSE(full.LastError().isEmpty()) << "the failed cut was not noticed";
    ASSERT_TRUE(grown.open(QIODevice::ReadOnly));
    EXPECT_EQ(grown.readAll(), before) << "the history file changed although the cut failed";
    EXPECT_EQ(QDir(QFileInfo(path).absolutePath()).entryList(QDir::Files | QDir::Hidden), QStringList{"transfers.jsonl"});
}

} // namespace
