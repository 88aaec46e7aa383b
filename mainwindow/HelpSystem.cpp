// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/HelpSystem.h"

#include <algorithm>
#include <cmath>

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScreen>
#include <QShortcut>
#include <QTextBrowser>
#include <QWhatsThis>

#include "mainwindow/HelpContext.h"
#include "mainwindow/HelpFiles.h"
#include "util/Utils.h"

namespace {

constexpr const char* ContentsPage = "index.html";

// The topic page of each context number the windows use.
const std::map<int, const char*>& TopicPages()
{
    static const std::map<int, const char*> pages = {
        {HelpContextMain, "index.html"},
        {HelpContextFolders, "folders.html"},
        {HelpContextCommunications, "connect.html"},
        {HelpContextStatusBar, "folders.html#status"},
    };
    return pages;
}

} // namespace

// The built-in book lives in this static library; its resources need an explicit start.
static void InitHelpResources()
{
    static const bool done = [] {
        Q_INIT_RESOURCE(help);
        return true;
    }();
    (void)done;
}

QUrl HelpSystem::BookRoot(const QString& book)
{
    InitHelpResources();
    const QString stem = QFileInfo(book).fileName();
    const QString shipped = QString::fromStdString(GetExeDir()) + QStringLiteral("/help/") + stem;
    if (QFileInfo::exists(shipped + QLatin1Char('/') + QLatin1String(ContentsPage)))
        return QUrl::fromLocalFile(shipped + QLatin1Char('/'));
    // The books built into the program: English and the seven translations.
    const QString builtIn = QStringLiteral(":/help/") + stem + QLatin1Char('/');
    if (!stem.isEmpty() && QFileInfo::exists(builtIn + QLatin1String(ContentsPage))) return QUrl(QStringLiteral("qrc") + builtIn);
    return QUrl(QStringLiteral("qrc:/help/Calvyx/"));
}

QUrl HelpSystem::Page(const QString& page) const { return BookRoot(ApplicationHelpBook()).resolved(QUrl(page)); }

void HelpSystem::Open(const QUrl& url)
{
    if (!window_) {
        // The help window has no owner: it stays when the main window is minimised.
        window_ = new QTextBrowser;
        window_->setObjectName(QStringLiteral("helpWindow"));
        window_->setAttribute(Qt::WA_DeleteOnClose);
        window_->setWindowTitle(QCoreApplication::translate("HelpSystem", "Calvyx Help"));
        window_->setOpenExternalLinks(true);
        window_->resize(DefaultSize);
        auto* close = new QShortcut(QKeySequence(Qt::Key_Escape), window_);
        QObject::connect(close, &QShortcut::activated, window_.data(), &QWidget::close);
    }
    // The books leave the colours to the palette; these are the ones a stylesheet must
    // name (a dark palette keeps its links and code readable).
    window_->document()->setDefaultStyleSheet(PaletteStyleSheet(window_->palette()));
    window_->setSource(url);
    FitIntoScreen(*window_);
    window_->show();
    window_->raise();
    window_->activateWindow();
}

double HelpSystem::Contrast(const QColor& a, const QColor& b)
{
    // The relative luminance of the sRGB colours and their ratio, as the web's
    // accessibility rules measure it (1 to 21).
    const auto luminance = [](const QColor& c) {
        const auto channel = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
        return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
    };
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QString HelpSystem::PaletteStyleSheet(const QPalette& palette)
{
    const QColor base = palette.color(QPalette::Base);
    QColor link = palette.color(QPalette::Link);
    // A link colour made for light backgrounds on a dark one (or the other way round) is
    // moved toward the text's colour until it stands out.
    const QColor text = palette.color(QPalette::Text);
    const QColor given = link;
    for (int step = 1; step <= 10 && Contrast(link, base) < MinLinkContrast; ++step) {
        const float t = static_cast<float>(step) / 10.0F;
        link = QColor::fromRgbF(given.redF() + (text.redF() - given.redF()) * t,
                                given.greenF() + (text.greenF() - given.greenF()) * t,
                                given.blueF() + (text.blueF() - given.blueF()) * t);
    }
    return QStringLiteral("a { color: %1; } code, .ui, .note { background-color: %2; }")
        .arg(link.name(), palette.color(QPalette::AlternateBase).name());
}

void HelpSystem::FitIntoScreen(QWidget& window)
{
    // The screen of the window that asked for help (or the help window's own).
    const QWidget* asking = QApplication::activeWindow();
    const QScreen* screen = asking && asking != &window ? asking->screen() : window.screen();
    if (!screen) return;
    const QRect available = screen->availableGeometry();
    // The title bar and frame the window manager adds come on top of the geometry.
    const QMargins frame = window.isVisible() ? QMargins(window.geometry().left() - window.frameGeometry().left(),
                                                         window.geometry().top() - window.frameGeometry().top(),
                                                         window.frameGeometry().right() - window.geometry().right(),
                                                         window.frameGeometry().bottom() - window.geometry().bottom())
                                              : QMargins(FrameGuess, TitleGuess, FrameGuess, FrameGuess);
    const QSize frameExtra(frame.left() + frame.right(), frame.top() + frame.bottom());
    window.resize(window.size().boundedTo(available.size() - frameExtra));
    // The position is the frame's.
    const QSize outer = window.size() + frameExtra;
    QRect wanted(window.isVisible() ? window.pos() : available.center() - QPoint(outer.width() / 2, outer.height() / 2), outer);
    // Moved back inside where it sticks out.
    if (wanted.right() > available.right()) wanted.moveRight(available.right());
    if (wanted.bottom() > available.bottom()) wanted.moveBottom(available.bottom());
    if (wanted.left() < available.left()) wanted.moveLeft(available.left());
    if (wanted.top() < available.top()) wanted.moveTop(available.top());
    window.move(wanted.topLeft());
}

void HelpSystem::ShowContents()
{
    last_ = {Shown::Contents, 0, QString::fromLatin1(ContentsPage), {}};
    Open(Page(QString::fromLatin1(ContentsPage)));
}

void HelpSystem::ShowTopic(int context)
{
    const auto it = TopicPages().find(context);
    const QString page = QString::fromLatin1(it != TopicPages().end() ? it->second : ContentsPage);
    last_ = {Shown::Topic, context, page, {}};
    Open(Page(page));
}

QString HelpSystem::PopupText(int stringId) const
{
    const QUrl source = Page(QStringLiteral("cshelp.txt"));
    if (source != popupsLoadedFrom_) {
        popups_.clear();
        popupsLoadedFrom_ = source;
        QFile file(source.isLocalFile() ? source.toLocalFile() : QLatin1Char(':') + source.path());
        if (file.open(QIODevice::ReadOnly | QIODevice::Text)) {
            // ".topic N" starts the text of string N; the lines up to the next one follow.
            int current = -1;
            const QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
            for (const QString& line : lines) {
                if (line.startsWith(QLatin1String(".topic "))) {
                    current = line.mid(7).trimmed().toInt();
                } else if (current >= 0) {
                    QString& text = popups_[current];
                    text += (text.isEmpty() ? QString() : QStringLiteral("\n")) + line;
                }
            }
            for (auto& [id, text] : popups_) text = text.trimmed();
        }
    }
    const auto it = popups_.find(stringId);
    return it == popups_.end() ? QString() : it->second;
}

void HelpSystem::ShowContextPopup(const QPoint& point, int stringId)
{
    QString text = PopupText(stringId);
    if (text.isEmpty())
        text = QCoreApplication::translate("HelpSystem", "No help is available for this item (%1).").arg(stringId);
    last_ = {Shown::Popup, stringId, text, point};
    QWhatsThis::showText(point, text);
}

void HelpSystem::ShowTextPopup(const QPoint& point, const QString& text)
{
    last_ = {Shown::Popup, 0, text, point};
    QWhatsThis::showText(point, text);
}

HelpSystem& Help()
{
    static HelpSystem help;
    return help;
}
