// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The class view's table: one row per calculator of a class (label, socket, state, the
// transfer in progress with its progress, the last result, its inbox), kept up to date
// from the calculators' session events. A row stays while its calculator is in the
// class; the order is the order they joined.
#include <QAbstractTableModel>
#include <QString>

#include <cstdint>
#include <string>
#include <vector>

#include "services/SessionEvent.h"

class ClassTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    // CancelColumn holds the row's Cancel button (the view puts it there).
    enum Column { LabelColumn, SocketColumn, StateColumn, TransferColumn, ResultColumn, InboxColumn, CancelColumn, ColumnCount };

    struct Row {
        std::string port;
        QString label;
        QString inbox;
        QString state;
        QString transfer; // "Receiving NAME" while one runs, else empty
        int percent = -1; // of the transfer in progress; -1 while its size is unknown
        int64_t done = 0; // bytes of the transfer in progress so far
        QString result;   // how the last transfer ended
        bool busy = false;
    };

    explicit ClassTableModel(QObject* parent = nullptr);

    // A calculator joined the class (a row at the end) or left it (its row goes).
    void Join(const std::string& port, const QString& label, const QString& inbox);
    void Leave(const std::string& port);
    // What the calculator on port's session told.
    void Apply(const std::string& port, const SessionEvent& event);

    // The row of the calculator on port, or -1.
    int RowOf(const std::string& port) const;
    const Row& At(int row) const { return rows_.at(static_cast<std::size_t>(row)); }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    void Changed(int row);

    std::vector<Row> rows_;
};
