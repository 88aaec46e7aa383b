// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The small help layer behind the Help menu and F1: a help window over the HTML pages of
// the help book (table of contents, a topic by context number) and text pop-ups by
// string id at a screen point. The book is the folder named after the chosen help file
// next to the program (help/Calvyx/ for the English book), or the English book built in.
#include <map>
#include <memory>

#include <QColor>
#include <QPalette>
#include <QPoint>
#include <QPointer>
#include <QSize>
#include <QString>
#include <QTextBrowser>
#include <QUrl>

class HelpSystem {
public:
    enum class Shown { Nothing, Contents, Topic, Popup };
    struct Request {
        Shown kind = Shown::Nothing;
        int context = 0;
        QString text; // the pop-up text, or the page opened
        QPoint point;
    };

    // The book of that name ("CalvyxFrench"): one in a folder of that name
    // ("help/CalvyxFrench") next to the program, else the built-in one, else the
    // built-in English book.
    static QUrl BookRoot(const QString& book);

    void ShowContents();
    void ShowTopic(int context);
    // The pop-up text for string id from the book's cshelp.txt.
    void ShowContextPopup(const QPoint& point, int stringId);
    void ShowTextPopup(const QPoint& point, const QString& text);
    // The text of string id in the pop-up file (empty when it has none).
    QString PopupText(int stringId) const;

    // What the last call showed (the help window and pop-ups are the user's to close).
    const Request& LastRequest() const { return last_; }
    QTextBrowser* Window() const { return window_; }

    // The help window's size when it first opens (smaller on a small screen).
    static constexpr QSize DefaultSize{640, 520};
    // The rules the books leave to the palette: the links and the code's background.
    static QString PaletteStyleSheet(const QPalette& palette);
    // The contrast of two colours, 1 (the same) to 21 (black and white).
    static double Contrast(const QColor& a, const QColor& b);
    // The contrast a link keeps against the page (the web's rule for text).
    static constexpr double MinLinkContrast = 4.5;
    // Sizes and moves window so that it lies inside the available part of its screen,
    // its frame included.
    static void FitIntoScreen(QWidget& window);

private:
    static constexpr int FrameGuess = 4;  // a frame side, until the window is shown
    static constexpr int TitleGuess = 30; // the title bar, until the window is shown

    QUrl Page(const QString& page) const;
    void Open(const QUrl& url);

    Request last_;
    QPointer<QTextBrowser> window_;
    mutable std::map<int, QString> popups_;
    mutable QUrl popupsLoadedFrom_;
};

HelpSystem& Help();
