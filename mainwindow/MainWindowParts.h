// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the source files of MainWindow share and nobody else needs: the string
// conversions between the Qt side and the link side, the link reservation that keeps
// the poll off the link while a command has it, and the About timer's first tick.
#include <string>

#include <QCoreApplication>
#include <QString>

#include "mainwindow/MainWindow.h"
#include "services/CalculatorSession.h"

namespace MainWindowParts {

inline QString Q(const std::string& s) { return QString::fromStdString(s); }
inline QString Q(const char* s) { return QString::fromUtf8(s); }
inline std::string S(const QString& s) { return s.toStdString(); }
// A text of util/StringTable.h in the windows' language.
inline QString TranslatedText(const char* s) { return QCoreApplication::translate("Texts", s); }

// Activation starts the About timer with this interval; the timer comes back to it.
inline constexpr int AboutFirstTickMs = 100;

} // namespace MainWindowParts

// While one of these lives, the session neither runs the Kermit server nor looks at the
// device: a command of the window (or a transfer it started) has the link. When the
// last one goes, the session takes the link back and serves again.
class MainWindow::LinkReservation {
public:
    explicit LinkReservation(MainWindow& window) : counted_(window), hold_(window.session_->HoldLink()) {}
    LinkReservation(const LinkReservation&) = delete;
    LinkReservation& operator=(const LinkReservation&) = delete;

private:
    // Counted before the hold is taken: taking it stops the Kermit server, and the wait
    // for its thread serves events, in which a second click must find the link reserved.
    struct Counted {
        explicit Counted(MainWindow& w) : window(w) { ++window.linkReservations_; }
        ~Counted() { --window.linkReservations_; }
        Counted(const Counted&) = delete;
        Counted& operator=(const Counted&) = delete;
        MainWindow& window;
    } counted_;
    std::unique_ptr<CalculatorSession::LinkLoan> hold_;
};
