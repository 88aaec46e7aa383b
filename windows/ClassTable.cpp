// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/ClassTable.h"

#include <QLocale>
#include <QTime>

#include <type_traits>

#include "windows/TransferTexts.h"

namespace {

QString LinkStateText(const LinkEvent& event)
{
    switch (event.change) {
    case LinkEvent::Change::Opened:
    case LinkEvent::Change::Back:
        return ClassTableModel::tr("Connected");
    case LinkEvent::Change::Lost:
        return ClassTableModel::tr("Unplugged: waiting for it");
    case LinkEvent::Change::Replugged:
        return ClassTableModel::tr("Plugged in again: reconnecting");
    case LinkEvent::Change::HungUp:
        return ClassTableModel::tr("Hung up");
    case LinkEvent::Change::Unavailable:
    case LinkEvent::Change::Refused:
        return ClassTableModel::tr("Cannot be opened: %1").arg(QString::fromStdString(event.detail));
    case LinkEvent::Change::Closed:
        return ClassTableModel::tr("Closed");
    }
    return {};
}

} // namespace

ClassTableModel::ClassTableModel(QObject* parent) : QAbstractTableModel(parent) {}

void ClassTableModel::Join(const std::string& port, const QString& label, const QString& inbox)
{
    if (RowOf(port) >= 0) return;
    const int at = static_cast<int>(rows_.size());
    beginInsertRows({}, at, at);
    Row row;
    row.port = port;
    row.label = label;
    row.inbox = inbox;
    row.state = tr("Waiting for the calculator");
    rows_.push_back(std::move(row));
    endInsertRows();
}

void ClassTableModel::Leave(const std::string& port)
{
    const int at = RowOf(port);
    if (at < 0) return;
    beginRemoveRows({}, at, at);
    rows_.erase(rows_.begin() + at);
    endRemoveRows();
}

void ClassTableModel::Apply(const std::string& port, const SessionEvent& event)
{
    const int at = RowOf(port);
    if (at < 0) return;
    Row& row = rows_[static_cast<std::size_t>(at)];
    std::visit(
        [&row](const auto& e) {
            using E = std::decay_t<decltype(e)>;
            if constexpr (std::is_same_v<E, LinkEvent>) {
                row.state = LinkStateText(e);
            } else if constexpr (std::is_same_v<E, ActivityEvent>) {
                row.busy = e.busy;
            } else if constexpr (std::is_same_v<E, TransferEvent>) {
                switch (e.stage) {
                case TransferStage::Started:
                    row.transfer = ShownTransferCaption(e);
                    row.percent = -1;
                    row.done = 0;
                    break;
                case TransferStage::Progress:
                    row.done = e.done;
                    row.percent = e.total > 0 ? static_cast<int>(e.done * 100 / e.total) : -1;
                    break;
                case TransferStage::Ended: {
                    const QString when = QLocale().toString(QTime::currentTime(), QLocale::ShortFormat);
                    const QString what = e.Succeeded() ? tr("%1: done").arg(ShownTransferCaption(e)) : ShownTransferStatus(e);
                    row.result = when + QLatin1Char(' ') + what;
                    row.transfer.clear();
                    row.percent = -1;
                    row.done = 0;
                    break;
                }
                default:
                    break;
                }
            }
        },
        event);
    Changed(at);
}

int ClassTableModel::RowOf(const std::string& port) const
{
    for (std::size_t i = 0; i < rows_.size(); ++i)
        if (rows_[i].port == port) return static_cast<int>(i);
    return -1;
}

int ClassTableModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : static_cast<int>(rows_.size()); }

int ClassTableModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : ColumnCount; }

QVariant ClassTableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || role != Qt::DisplayRole) return {};
    const Row& row = At(index.row());
    switch (index.column()) {
    case LabelColumn:
        return row.label;
    case SocketColumn:
        return QString::fromStdString(row.port);
    case StateColumn:
        return row.busy && row.transfer.isEmpty() ? tr("Busy") : row.state;
    case TransferColumn:
        if (row.transfer.isEmpty()) return QString();
        return row.percent < 0 ? row.transfer : tr("%1 (%2%)").arg(row.transfer).arg(row.percent);
    case ResultColumn:
        return row.result;
    case InboxColumn:
        return row.inbox;
    default:
        return {};
    }
}

QVariant ClassTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    switch (section) {
    case LabelColumn:
        return tr("Calculator");
    case SocketColumn:
        return tr("Socket");
    case StateColumn:
        return tr("State");
    case TransferColumn:
        return tr("Transfer");
    case ResultColumn:
        return tr("Last result");
    case InboxColumn:
        return tr("Inbox");
    default:
        return {};
    }
}

void ClassTableModel::Changed(int row) { emit dataChanged(index(row, 0), index(row, ColumnCount - 1)); }
