// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/HelpSystem.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
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
        window_->setAttribute(Qt::WA_DeleteOnClose);
        window_->setWindowTitle(QCoreApplication::translate("HelpSystem", "Calvyx Help"));
        window_->setOpenExternalLinks(true);
        window_->resize(640, 520);
    }
    window_->setSource(url);
    window_->show();
    window_->raise();
    window_->activateWindow();
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
