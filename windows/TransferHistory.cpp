// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/TransferHistory.h"

#include <algorithm>
#include <array>
#include <utility>

#include <QAction>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>
#include <QPushButton>
#include <QSaveFile>
#include <QStandardPaths>
#include <QTableView>
#include <QUrl>
#include <QVBoxLayout>

#include "windows/ErrorBox.h"
#include "windows/TransferTexts.h"

namespace {

// The names the file keeps the enumerations by: they never change with a translation.
constexpr std::array<std::pair<TransferKind, const char*>, 5> KindNames{{
    {TransferKind::KermitReceive, "kermit-receive"},
    {TransferKind::KermitSend, "kermit-send"},
    {TransferKind::XModemSend, "xmodem-send"},
    {TransferKind::WireReceive, "wire-receive"},
    {TransferKind::RomLoad, "rom-load"},
}};
constexpr std::array<std::pair<TransferOutcome, const char*>, 3> OutcomeNames{{
    {TransferOutcome::Completed, "done"},
    {TransferOutcome::Cancelled, "cancelled"},
    {TransferOutcome::Failed, "failed"},
}};
constexpr std::array<std::pair<TransferReason, const char*>, 19> ReasonNames{{
    {TransferReason::None, "none"},
    {TransferReason::UserCancelled, "user-cancelled"},
    {TransferReason::Stopped, "stopped"},
    {TransferReason::CalculatorCancelled, "calculator-cancelled"},
    {TransferReason::LinkLost, "link-lost"},
    {TransferReason::TooManyErrors, "too-many-errors"},
    {TransferReason::NoAnswer, "no-answer"},
    {TransferReason::CannotStore, "cannot-store"},
    {TransferReason::NotEnoughSpace, "not-enough-space"},
    {TransferReason::NameRefused, "name-refused"},
    {TransferReason::FileNotFound, "file-not-found"},
    {TransferReason::CannotRead, "cannot-read"},
    {TransferReason::NoFileChosen, "no-file-chosen"},
    {TransferReason::NoStart, "no-start"},
    {TransferReason::Abandoned, "abandoned"},
    {TransferReason::BadBlocks, "bad-blocks"},
    {TransferReason::NotReady, "not-ready"},
    {TransferReason::EndUnconfirmed, "end-unconfirmed"},
    {TransferReason::Refused, "refused"},
}};

template <typename Enum, size_t N>
QString NameOf(const std::array<std::pair<Enum, const char*>, N>& names, Enum value)
{
    for (const auto& [v, name] : names)
        if (v == value) return QString::fromLatin1(name);
    return {};
}

template <typename Enum, size_t N>
std::optional<Enum> ValueOf(const std::array<std::pair<Enum, const char*>, N>& names, const QString& name)
{
    for (const auto& [v, n] : names)
        if (name == QLatin1String(n)) return v;
    return std::nullopt;
}

QString CsvField(const QString& text)
{
    if (!text.contains(u',') && !text.contains(u'"') && !text.contains(u'\n') && !text.contains(u'\r')) return text;
    QString quoted = text;
    quoted.replace(QStringLiteral("\""), QStringLiteral("\"\""));
    return u'"' + quoted + u'"';
}

QString Seconds(int64_t ms)
{
    return TransferHistory::tr("%1 s").arg(QLocale().toString(static_cast<double>(ms) / 1000.0, 'f', 1));
}

} // namespace

TransferEvent TransferRecord::EndEvent() const
{
    TransferEvent event;
    event.stage = TransferStage::Ended;
    event.kind = kind;
    event.file = file.toStdString();
    event.done = size;
    event.total = size;
    event.elapsedMs = static_cast<uint32_t>(durationMs);
    event.outcome = outcome;
    event.reason = reason;
    event.detail = detail.toStdString();
    return event;
}

QByteArray RecordToJsonLine(const TransferRecord& record)
{
    QJsonObject object;
    object.insert(QStringLiteral("time"), record.when.toString(Qt::ISODateWithMs));
    if (!record.calculator.isEmpty()) object.insert(QStringLiteral("calculator"), record.calculator);
    object.insert(QStringLiteral("kind"), NameOf(KindNames, record.kind));
    object.insert(QStringLiteral("file"), record.file);
    object.insert(QStringLiteral("folder"), record.folder);
    object.insert(QStringLiteral("size"), static_cast<qint64>(record.size));
    object.insert(QStringLiteral("ms"), static_cast<qint64>(record.durationMs));
    object.insert(QStringLiteral("outcome"), NameOf(OutcomeNames, record.outcome));
    object.insert(QStringLiteral("reason"), NameOf(ReasonNames, record.reason));
    if (!record.detail.isEmpty()) object.insert(QStringLiteral("detail"), record.detail);
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

std::optional<TransferRecord> RecordFromJsonLine(const QByteArray& line)
{
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(line, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject()) return std::nullopt;
    const QJsonObject object = document.object();
    TransferRecord record;
    record.when = QDateTime::fromString(object.value(QStringLiteral("time")).toString(), Qt::ISODateWithMs);
    const auto kind = ValueOf(KindNames, object.value(QStringLiteral("kind")).toString());
    const auto outcome = ValueOf(OutcomeNames, object.value(QStringLiteral("outcome")).toString());
    if (!record.when.isValid() || !kind || !outcome) return std::nullopt;
    record.kind = *kind;
    record.outcome = *outcome;
    // A reason from a later version is still a failure: it is shown without its words.
    record.reason = ValueOf(ReasonNames, object.value(QStringLiteral("reason")).toString()).value_or(TransferReason::None);
    // Records from before the calculator was kept have none.
    record.calculator = object.value(QStringLiteral("calculator")).toString();
    record.file = object.value(QStringLiteral("file")).toString();
    record.folder = object.value(QStringLiteral("folder")).toString();
    record.size = object.value(QStringLiteral("size")).toInteger();
    record.durationMs = object.value(QStringLiteral("ms")).toInteger();
    record.detail = object.value(QStringLiteral("detail")).toString();
    return record;
}

// ---------------------------------------------------------------- the model

TransferHistory::TransferHistory(QString path, QObject* parent) : QAbstractTableModel(parent), path_(std::move(path)) {}

void TransferHistory::SetBounds(int kept, int slack)
{
    kept_ = std::max(1, kept);
    slack_ = std::max(0, slack);
}

QString TransferHistory::DefaultPath()
{
#ifdef _WIN32
    // The user's own AppData\Local\Calvyx.
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/Calvyx/transfers.jsonl");
#else
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    if (state.isEmpty() || QDir::isRelativePath(state)) state = QDir::homePath() + QStringLiteral("/.local/state");
    return state + QStringLiteral("/calvyx/transfers.jsonl");
#endif
}

void TransferHistory::Load()
{
    std::vector<TransferRecord> loaded;
    int lines = 0;
    QFile file(path_);
    if (file.open(QIODevice::ReadOnly)) {
        while (!file.atEnd()) {
            const QByteArray line = file.readLine().trimmed();
            if (line.isEmpty()) continue;
            ++lines;
            if (auto record = RecordFromJsonLine(line)) loaded.push_back(std::move(*record));
        }
    }
    beginResetModel();
    records_ = std::move(loaded);
    endResetModel();
    fileLines_ = lines;
    if (fileLines_ > kept_ + slack_) Trim();
}

bool TransferHistory::Trim()
{
    QFile file(path_);
    if (!file.open(QIODevice::ReadOnly)) {
        lastError_ = file.errorString();
        return false;
    }
    std::vector<QByteArray> lines;
    while (!file.atEnd()) {
        QByteArray line = file.readLine().trimmed();
        if (!line.isEmpty()) lines.push_back(std::move(line));
    }
    file.close();
    const std::size_t from = lines.size() > static_cast<std::size_t>(kept_) ? lines.size() - static_cast<std::size_t>(kept_) : 0;
    QByteArray kept;
    int records = 0;
    for (std::size_t i = from; i < lines.size(); ++i) {
        kept += lines[i] + '\n';
        records += RecordFromJsonLine(lines[i]).has_value();
    }
    // Written beside the file and renamed over it only when complete. Unbuffered, so
    // that a write cut short (a full disk) is seen here and not lost in a late flush.
    QSaveFile cut(path_);
    const bool written = cut.open(QIODevice::WriteOnly | QIODevice::Unbuffered) && cut.write(kept) == kept.size();
    if (!written) {
        lastError_ = cut.errorString();
        cut.cancelWriting(); // the unfinished new file goes with the object
        return false;
    }
    if (!cut.commit()) {
        lastError_ = cut.errorString();
        return false;
    }
    fileLines_ = static_cast<int>(lines.size() - from);
    // The list shows the records the file keeps: the newest ones.
    if (Count() > records) {
        const int drop = Count() - records;
        beginRemoveRows({}, 0, drop - 1);
        records_.erase(records_.begin(), records_.begin() + drop);
        endRemoveRows();
    }
    return true;
}

bool TransferHistory::Take(const TransferEvent& event, const QString& folder, const QString& calculator)
{
    const auto running = running_.find(calculator);
    switch (event.stage) {
    case TransferStage::Started: {
        TransferRecord& started = running_[calculator] = TransferRecord{};
        started.when = QDateTime::currentDateTime();
        started.calculator = calculator;
        started.kind = event.kind;
        started.file = QString::fromStdString(event.file);
        started.folder = folder;
        started.size = event.total;
        return false;
    }
    case TransferStage::Connecting:
    case TransferStage::Notice:
        return false;
    case TransferStage::Progress:
        // The size announced, else what has come so far.
        if (running != running_.end() && running->second.kind == event.kind)
            running->second.size = event.total > 0 ? event.total : event.done;
        return false;
    case TransferStage::Ended:
        break;
    }
    // A transfer refused before it began ends without a start: its record begins here.
    TransferRecord record;
    if (running != running_.end() && running->second.kind == event.kind) {
        record = running->second;
    } else {
        record.when = QDateTime::currentDateTime();
        record.calculator = calculator;
        record.kind = event.kind;
        record.folder = folder;
    }
    if (running != running_.end()) running_.erase(running);
    if (!event.file.empty()) record.file = QString::fromStdString(event.file);
    // The end knows best: the announced size, else the bytes that came (a received
    // object without its padding).
    if (event.total > 0)
        record.size = event.total;
    else if (event.done > 0)
        record.size = event.done;
    record.durationMs = event.elapsedMs;
    record.outcome = event.outcome;
    record.reason = event.reason;
    record.detail = QString::fromStdString(event.detail);
    Add(record);
    return true;
}

bool TransferHistory::Add(const TransferRecord& record)
{
    const int row = Count();
    beginInsertRows({}, row, row);
    records_.push_back(record);
    endInsertRows();
    emit RecordAdded(row);

    lastError_.clear();
    QDir().mkpath(QFileInfo(path_).absolutePath());
    QFile file(path_);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append) || file.write(RecordToJsonLine(record) + '\n') < 0 ||
        !file.flush()) {
        lastError_ = file.errorString();
        return false;
    }
    file.close();
    if (++fileLines_ > kept_ + slack_) return Trim();
    return true;
}

QString TransferHistory::CellText(int row, int column) const
{
    const TransferRecord& record = Record(row);
    switch (column) {
    case TimeColumn:
        return QLocale().toString(record.when, QLocale::ShortFormat);
    case CalculatorColumn:
        return record.calculator;
    case DirectionColumn:
        return DirectionOf(record.kind) == TransferDirection::ToPc ? tr("To PC") : tr("To calculator");
    case FileColumn:
        return record.file;
    case SizeColumn:
        return ShownSize(record.size);
    case DurationColumn: {
        if (record.durationMs <= 0 || record.size <= 0) return Seconds(record.durationMs);
        return tr("%1, %2").arg(Seconds(record.durationMs), ShownRate(record.size * 1000 / record.durationMs));
    }
    case OutcomeColumn:
        switch (record.outcome) {
        case TransferOutcome::Completed:
            return tr("Done");
        case TransferOutcome::Cancelled:
            if (record.reason == TransferReason::UserCancelled || record.reason == TransferReason::Stopped ||
                record.reason == TransferReason::None)
                return tr("Cancelled");
            return tr("Cancelled: %1").arg(ShownFailureWhy(record.EndEvent()));
        case TransferOutcome::Failed: {
            // A ROM load's reason is its detail, as the system or the calculator said it.
            const QString why = record.kind == TransferKind::RomLoad && !record.detail.isEmpty()
                                    ? record.detail
                                    : ShownFailureWhy(record.EndEvent());
            return tr("Failed: %1").arg(why);
        }
        }
        break;
    default:
        break;
    }
    return {};
}

QString TransferHistory::Csv() const
{
    QStringList header;
    for (int column = 0; column < ColumnCount; ++column)
        header << CsvField(headerData(column, Qt::Horizontal, Qt::DisplayRole).toString());
    QString csv = header.join(u',') + QStringLiteral("\r\n");
    for (int row = 0; row < Count(); ++row) {
        const TransferRecord& record = Record(row);
        QStringList fields;
        for (int column = 0; column < ColumnCount; ++column) {
            if (column == TimeColumn)
                fields << record.when.toString(Qt::ISODate);
            else if (column == SizeColumn)
                fields << QString::number(record.size);
            else
                fields << CsvField(CellText(row, column));
        }
        csv += fields.join(u',') + QStringLiteral("\r\n");
    }
    return csv;
}

int TransferHistory::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : Count(); }

int TransferHistory::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : ColumnCount; }

QVariant TransferHistory::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= Count()) return {};
    if (role == Qt::DisplayRole) return CellText(index.row(), index.column());
    if (role == Qt::ToolTipRole && index.column() == FileColumn) return Record(index.row()).folder;
    if (role == Qt::ToolTipRole && index.column() == OutcomeColumn) return CellText(index.row(), index.column());
    if (role == Qt::TextAlignmentRole && (index.column() == SizeColumn || index.column() == DurationColumn))
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    return {};
}

QVariant TransferHistory::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (section) {
    case TimeColumn:
        return tr("Time");
    case CalculatorColumn:
        return tr("Calculator");
    case DirectionColumn:
        return tr("Direction");
    case FileColumn:
        return tr("File");
    case SizeColumn:
        return tr("Size");
    case DurationColumn:
        return tr("Duration");
    case OutcomeColumn:
        return tr("Outcome");
    default:
        return {};
    }
}

// ---------------------------------------------------------------- the view

TransferHistoryView::TransferHistoryView(TransferHistory* history, QWidget* parent) : QWidget(parent), history_(history)
{
    setObjectName(QStringLiteral("transferHistoryView"));
    table = new QTableView(this);
    table->setObjectName(QStringLiteral("transferTable"));
    table->setModel(history_);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setWordWrap(false);
    table->verticalHeader()->hide();
    table->horizontalHeader()->setStretchLastSection(true);
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    table->setColumnWidth(TransferHistory::TimeColumn, 130);
    table->setColumnWidth(TransferHistory::CalculatorColumn, 110);
    table->setColumnWidth(TransferHistory::DirectionColumn, 100);
    table->setColumnWidth(TransferHistory::FileColumn, 150);
    table->setColumnWidth(TransferHistory::SizeColumn, 100);
    table->setColumnWidth(TransferHistory::DurationColumn, 150);
    // Tab leaves the table instead of walking its cells.
    table->setTabKeyNavigation(false);

    exportButton = new QPushButton(tr("&Export CSV..."), this);
    exportButton->setObjectName(QStringLiteral("exportButton"));
    exportButton->setAutoDefault(false);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(exportButton);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(table, 1);
    layout->addLayout(buttons);

    openUrl = [](const QUrl& url) { return QDesktopServices::openUrl(url); };
    askCsvPath = [this]() -> std::optional<QString> {
        const QString path = QFileDialog::getSaveFileName(
            this, tr("Export CSV"), QDir::homePath() + QStringLiteral("/transfers.csv"), tr("CSV files (*.csv)"));
        if (path.isEmpty()) return std::nullopt;
        return path;
    };
    connect(table, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) { OpenRow(index.row()); });
    // Enter opens the current row's folder as a double-click does.
    auto* open = new QAction(table);
    open->setShortcuts({QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)});
    open->setShortcutContext(Qt::WidgetShortcut);
    table->addAction(open);
    connect(open, &QAction::triggered, this, [this] { OpenRow(table->currentIndex().row()); });
    connect(exportButton, &QPushButton::clicked, this, &TransferHistoryView::ExportCsv);
    connect(history_, &TransferHistory::RecordAdded, this, [this](int row) { table->scrollTo(history_->index(row, 0)); });
}

void TransferHistoryView::OpenRow(int row)
{
    if (row < 0 || row >= history_->Count()) return;
    const TransferRecord& record = history_->Record(row);
    QString folder = record.folder;
    if (folder.isEmpty()) folder = QFileInfo(record.file).absolutePath();
    if (!QFileInfo(folder).isDir()) {
        ShowApplicationError(tr("The folder %1 does not exist any more").arg(QDir::toNativeSeparators(folder)), this);
        return;
    }
    if (openUrl) openUrl(QUrl::fromLocalFile(folder));
}

void TransferHistoryView::ExportCsv()
{
    const auto path = askCsvPath ? askCsvPath() : std::nullopt;
    if (!path) return;
    QSaveFile file(*path);
    if (!file.open(QIODevice::WriteOnly) || file.write(history_->Csv().toUtf8()) < 0 || !file.commit())
        ShowApplicationError(tr("Cannot write %1: %2").arg(QDir::toNativeSeparators(*path), file.errorString()), this);
}
