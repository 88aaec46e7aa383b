// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What makes a window look broken, found from its widgets: a control cut off by its
// parent's edge, two controls of one layout on top of each other, a label or button too
// small for its text, a tool bar that pushed controls into its overflow menu. And the
// languages the windows are checked in.
#include <string>
#include <vector>

#include <QString>
#include <QStringList>

class QWidget;

// The problems found in the visible widgets under parent, one text each.
QStringList LayoutProblems(QWidget* parent);

// English (the source texts) and every built-in translation ("en", "nl", ... "zh_CN").
std::vector<std::string> LayoutLanguages();

// While one lives, the windows made are in language; English again at its end.
class ScopedLanguage {
public:
    explicit ScopedLanguage(const QString& language);
    ~ScopedLanguage();
    ScopedLanguage(const ScopedLanguage&) = delete;
    ScopedLanguage& operator=(const ScopedLanguage&) = delete;
    bool Installed() const { return installed_; }

private:
    bool installed_;
};

// The file a picture of a window is saved in: CALVYX_SCREENSHOT_DIR/name.png in English,
// name-LANG.png in German and Chinese (the languages shown in the documentation), empty
// without the variable or for other languages.
QString ScreenshotPath(const QString& name, const QString& language);
