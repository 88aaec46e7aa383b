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
                 TransferOutcome outcome, TransferReason reason, const char* detail, const QString& folder)
{
    TransferEvent start = Event(TransferStage::Started, kind, file);
    start.total = total;
    EXPECT_FALSE(history.Take(start, folder));
    TransferEvent progress = Event(TransferStage::Progress, kind, file);
    progress.done = done;
    progress.total = total;
    progress.elapsedMs = 1500;
    EXPECT_FALSE(history.Take(progress, folder));
    TransferEvent end = Event(TransferStage::Ended, kind, file);
    end.elapsedMs = 2000;
    end.outcome = outcome;
    end.reason = reason;
    end.detail = detail;
    EXPECT_TRUE(history.Take(end, folder));
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
                    "", dir.path());
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
    EXPECT_TRUE(received.when.isValid());
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
                TransferReason::None, "", "/roms");
    const QStringList lines = history.Csv().split("\r\n");
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines[0], "Time,Direction,File,Size,Duration,Outcome");
    EXPECT_TRUE(lines[1].contains(",To calculator,\"/roms/new, \"\"test\"\".bin\",9000,")) << lines[1].toStdString();
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

} // namespace
