// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The transfers of this and earlier runs, one row each: when, with which calculator,
// which way, which file, how many bytes, how long, and how it ended (with the reason of
// a failure). The model
// follows a session's transfer events and keeps every finished transfer as one JSON
// line in a file of the user's state folder, so the list survives the program; the view
// shows it, opens a row's folder on a double-click and exports the list as CSV.
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <vector>

#include <QAbstractTableModel>
#include <QDateTime>
#include <QString>
#include <QWidget>

#include "util/TransferEvent.h"

class QPushButton;
class QTableView;
class QUrl;

struct TransferRecord {
    QDateTime when; // the start
    // Its label in a class, else its port; empty in records from before it was kept.
    QString calculator;
    TransferKind kind = TransferKind::KermitReceive;
    QString file;   // the name the user knows it by (a ROM: its path)
    QString folder; // where the file is or went
    int64_t size = 0;
    int64_t durationMs = 0;
    TransferOutcome outcome = TransferOutcome::Completed;
    TransferReason reason = TransferReason::None;
    QString detail; // what the system or the calculator said

    // The end event this record stands for (to word it like the other windows do).
    TransferEvent EndEvent() const;
};

// One line of the history file, without its line break, and back; a line that is not a
// record gives nothing.
QByteArray RecordToJsonLine(const TransferRecord& record);
std::optional<TransferRecord> RecordFromJsonLine(const QByteArray& line);

class TransferHistory : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column {
        TimeColumn,
        CalculatorColumn,
        DirectionColumn,
        FileColumn,
        SizeColumn,
        DurationColumn,
        OutcomeColumn,
        ColumnCount
    };

    // The file keeps the newest KeptRecords records. It may grow TrimSlack lines beyond
    // that before it is cut back (so a cut is rare): the newest lines are written to a
    // new file that then takes the old one's place, so a crash meanwhile leaves one of
    // the two whole. The list shows what the file keeps.
    static constexpr int KeptRecords = 5000;
    static constexpr int TrimSlack = 1000;

    // The history kept in the file at path (created, with its folder, at the first record).
    explicit TransferHistory(QString path, QObject* parent = nullptr);
    // Other bounds than KeptRecords and TrimSlack (the tests' small ones).
    void SetBounds(int kept, int slack);
    // $XDG_STATE_HOME/calvyx/transfers.jsonl, or under ~/.local/state without the variable.
    static QString DefaultPath();
    const QString& Path() const { return path_; }

    // Reads the records the file holds (and cuts it back when it has grown beyond its
    // bound). Lines that are no record are skipped (and stay in the file, as long as
    // they are among the newest); a missing file is an empty history.
    void Load();
    // Follows a transfer of the calculator named so: Started and Progress are
    // remembered, Ended adds its record. folder is where the transfer's file is (read at
    // its start). The transfers of several calculators may run at once. True when a
    // record was added.
    bool Take(const TransferEvent& event, const QString& folder, const QString& calculator = {});
    // Adds a record at the end and appends it to the file; false (with LastError) when
    // the file cannot be written: the row is shown all the same.
    bool Add(const TransferRecord& record);
    const QString& LastError() const { return lastError_; }

    int Count() const { return static_cast<int>(records_.size()); }
    const TransferRecord& Record(int row) const { return records_.at(static_cast<size_t>(row)); }
    // A cell's text, as the view shows it.
    QString CellText(int row, int column) const;
    // The list as CSV: a header line, then one line per row with the shown texts, and
    // the time in ISO 8601 and the size in bytes so that a spreadsheet can compute.
    QString Csv() const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

signals:
    // A record was added (not for those Load reads).
    void RecordAdded(int row);

private:
    // Cuts the file back to its newest kept_ lines, and the list to as many records.
    // False (with LastError) when the file cannot be rewritten: it is left as it was.
    bool Trim();

    QString path_;
    int kept_ = KeptRecords;
    int slack_ = TrimSlack;
    int fileLines_ = 0; // the lines the file holds, as far as this history wrote or read them
    std::vector<TransferRecord> records_;
    std::map<QString, TransferRecord> running_; // by calculator
    QString lastError_;
};

class TransferHistoryView : public QWidget {
    Q_OBJECT
public:
    explicit TransferHistoryView(TransferHistory* history, QWidget* parent = nullptr);

    QTableView* table;
    QPushButton* exportButton;
    // How a folder is opened (the desktop's file manager) and where the CSV goes (a save
    // dialog); the tests put stand-ins here.
    std::function<bool(const QUrl&)> openUrl;
    std::function<std::optional<QString>()> askCsvPath;

    // Opens the folder of a row's file.
    void OpenRow(int row);
    // Asks where, then writes the CSV; a file that cannot be written is reported.
    void ExportCsv();

private:
    TransferHistory* history_;
};
