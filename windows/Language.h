// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The language the windows speak: the program's own translation of its window texts and
// Qt's translation of its standard dialogs and buttons, both built in (:/i18n).
#include <QString>
#include <QStringList>

// The languages with a built-in translation ("nl", "fr", "de", "it", "pt", "es",
// "zh_CN"); English is the source language and needs none.
QStringList TranslatedLanguages();

// Makes the windows created from now on speak language (one of TranslatedLanguages(),
// or "en"): replaces the translators a previous call installed. English, or a language
// without a translation, leaves the English texts. True when the language's translations
// were installed (or the language is English).
bool InstallLanguage(const QString& language);

// The language InstallLanguage last installed ("en" until then).
QString InstalledLanguage();
