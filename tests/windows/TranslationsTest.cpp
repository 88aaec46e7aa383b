// SPDX-License-Identifier: GPL-3.0-or-later
// The windows' translations: every .ts file complete against the sources as they are
// now (lupdate run on a copy finds no text without its translation), each translation
// keeping what the program fills in or splits on, and the built-in translations (the
// program's and Qt's) loading for every language.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QMessageBox>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include "windows/Language.h"

namespace {

struct Message {
    QString context;
    QString source;
    QString translation;
    QString type; // "unfinished", "vanished", "obsolete" or empty
};

std::vector<Message> ReadTs(const QString& path, QString* error)
{
    std::vector<Message> messages;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = path + ": " + file.errorString();
        return messages;
    }
    QXmlStreamReader xml(&file);
    QString context;
    Message message;
    // Element text, with the <byte value="xd"/> elements lupdate writes for CR.
    auto readText = [&xml] {
        QString text;
        while (!xml.atEnd()) {
            xml.readNext();
            if (xml.isCharacters())
                text += xml.text();
            else if (xml.isStartElement() && xml.name() == QLatin1String("byte"))
                text += QChar(xml.attributes().value("value").toString().toUInt(nullptr, 16));
            else if (xml.isEndElement() && xml.name() != QLatin1String("byte"))
                break;
        }
        return text;
    };
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement()) continue;
        if (xml.name() == QLatin1String("name"))
            context = xml.readElementText();
        else if (xml.name() == QLatin1String("message"))
            message = {context, {}, {}, {}};
        else if (xml.name() == QLatin1String("source"))
            message.source = readText();
        else if (xml.name() == QLatin1String("translation")) {
            message.type = xml.attributes().value("type").toString();
            message.translation = readText();
            messages.push_back(message);
        }
    }
    if (xml.hasError()) *error = path + ": " + xml.errorString();
    return messages;
}

// What the program relies on in a text: its place markers (%1, %s), its mnemonic (one
// "&" before a letter), its line breaks (the set-up instructions are split on CR LF).
QString Shape(const QString& text)
{
    QStringList markers;
    static const QRegularExpression marker(QStringLiteral("%[0-9s]"));
    for (auto it = marker.globalMatch(text); it.hasNext();) markers << it.next().captured();
    markers.sort();
    const bool mnemonic = QString(text).remove(QStringLiteral("&&")).contains(u'&');
    return markers.join(u',') + (mnemonic ? QStringLiteral(" &") : QString()) + QStringLiteral(" CR%1").arg(text.count(u'\r'));
}

TEST(Translations, EveryFileTranslatesEveryTextOfTheSources)
{
    QTemporaryDir copy;
    ASSERT_TRUE(copy.isValid());
    const QDir sources(QStringLiteral(CALVYX_SOURCE_DIR "/windows/translations"));
    QStringList expected;
    for (const QString& language : TranslatedLanguages()) expected << QStringLiteral("calvyx_%1.ts").arg(language);
    const QStringList present = sources.entryList({QStringLiteral("*.ts")}, QDir::Files, QDir::Name);
    EXPECT_EQ(QSet<QString>(present.begin(), present.end()), QSet<QString>(expected.begin(), expected.end()));
    for (const QString& name : present) ASSERT_TRUE(QFile::copy(sources.filePath(name), QDir(copy.path()).filePath(name)));

    // The same refresh a developer runs, into the copy.
    QProcess update;
    update.setProcessChannelMode(QProcess::MergedChannels);
    update.start(QStringLiteral("bash"), {QStringLiteral(CALVYX_SOURCE_DIR "/tools/update-translations.sh"), copy.path()});
    ASSERT_TRUE(update.waitForFinished(120000)) << "update-translations.sh did not end within 2 minutes";
    ASSERT_EQ(update.exitCode(), 0) << update.readAll().toStdString();

    auto key = [](const Message& m) { return m.context + u'|' + m.source + u'|' + m.translation + u'|' + m.type; };
    for (const QString& name : expected) {
        QString error;
        const auto messages = ReadTs(QDir(copy.path()).filePath(name), &error);
        ASSERT_TRUE(error.isEmpty()) << error.toStdString();
        EXPECT_GT(messages.size(), 50u) << name.toStdString();
        // The file as it is in the tree is the refreshed one: nothing new, nothing gone.
        const auto stored = ReadTs(sources.filePath(name), &error);
        ASSERT_TRUE(error.isEmpty()) << error.toStdString();
        QStringList storedKeys, refreshedKeys;
        for (const Message& m : stored) storedKeys << key(m);
        for (const Message& m : messages) refreshedKeys << key(m);
        EXPECT_EQ(storedKeys.join(u'\n').toStdString(), refreshedKeys.join(u'\n').toStdString())
            << name.toStdString() << " is not up to date: run tools/update-translations.sh and translate what it adds";
        for (const Message& m : messages) {
            const std::string where = name.toStdString() + " " + m.context.toStdString() + " \"" + m.source.toStdString() + "\"";
            EXPECT_TRUE(m.type.isEmpty()) << where << " is " << m.type.toStdString();
            EXPECT_FALSE(m.translation.trimmed().isEmpty()) << where << " has no translation";
            if (!m.translation.isEmpty()) {
                EXPECT_EQ(Shape(m.translation), Shape(m.source)) << where << " -> \"" << m.translation.toStdString() << "\"";
            }
        }
    }
}

TEST(Translations, BuiltInTranslationsLoadForEveryLanguage)
{
    for (const QString& language : TranslatedLanguages()) {
        ASSERT_TRUE(InstallLanguage(language)) << language.toStdString();
        EXPECT_EQ(InstalledLanguage(), language);
        // The program's own texts and Qt's buttons.
        EXPECT_NE(QCoreApplication::translate("LogWindow", "&Clear Log"), QStringLiteral("&Clear Log")) << language.toStdString();
        QMessageBox box(QMessageBox::Question, "t", "t", QMessageBox::Yes | QMessageBox::No);
        EXPECT_NE(box.button(QMessageBox::Yes)->text(), QStringLiteral("&Yes")) << language.toStdString();
    }
    ASSERT_TRUE(InstallLanguage(QStringLiteral("de")));
    EXPECT_EQ(QCoreApplication::translate("LogWindow", "Log"), QStringLiteral("Protokoll"));
    // English, and a language without translations, give the source texts again.
    for (const QString& language : {QStringLiteral("en"), QStringLiteral("xx")}) {
        InstallLanguage(QStringLiteral("de"));
        EXPECT_EQ(InstallLanguage(language), language == QLatin1String("en")) << language.toStdString();
        EXPECT_EQ(InstalledLanguage(), QStringLiteral("en"));
        EXPECT_EQ(QCoreApplication::translate("LogWindow", "Log"), QStringLiteral("Log"));
        QMessageBox box(QMessageBox::Question, "t", "t", QMessageBox::Yes | QMessageBox::No);
        EXPECT_EQ(box.button(QMessageBox::Yes)->text(), QStringLiteral("&Yes"));
    }
}

// Qt's words in the file list and the file dialogs, in every language: a folder's type
// (Qt's translations leave it in English) and the Size heading (a volume in Qt's Chinese).
TEST(Translations, TheFileListsWordsAreTranslatedToo)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    struct Case {
        const char* language;
        const char* folder;
        const char* size;
    };
    const Case cases[] = {
        {"de", "Ordner", "Größe"}, {"es", "Carpeta", "Tamaño"}, {"fr", "Dossier", "Taille"}, {"it", "Cartella", "Dimensione"},
        {"nl", "Map", "Grootte"},  {"pt", "Pasta", "Tamanho"},  {"zh_CN", "文件夹", "大小"},
    };
    QStringList covered;
    for (const Case& c : cases) {
        ASSERT_TRUE(InstallLanguage(c.language)) << c.language;
        covered << c.language;
        QFileSystemModel model;
        EXPECT_EQ(QFileIconProvider().type(QFileInfo(folder.path())).toStdString(), c.folder) << c.language;
        EXPECT_EQ(model.headerData(1, Qt::Horizontal).toString().toStdString(), c.size) << c.language;
    }
    QStringList languages = TranslatedLanguages();
    languages.sort();
    covered.sort();
    EXPECT_EQ(covered, languages);
    ASSERT_TRUE(InstallLanguage("en"));
    EXPECT_EQ(QFileIconProvider().type(QFileInfo(folder.path())), "Folder");
}

} // namespace
