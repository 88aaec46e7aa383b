// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Help contexts and hints of the controls. A control's hint is its tool tip (shown on
// hover) and its status tip (shown in the status bar); its help context is a number
// kept as a property, 0 when the control has none of its own.
#include <QString>

class QObject;
class QWidget;

inline constexpr int HelpContextMain = 1;
inline constexpr int HelpContextFolders = 125000;
inline constexpr int HelpContextCommunications = 125001;
inline constexpr int HelpContextStatusBar = 125002;
// A context whose remainder by this is TopicThreshold or more opens a help topic;
// smaller ones are answered with a pop-up.
inline constexpr int HelpContextModulus = 10000;
inline constexpr int TopicThreshold = 5000;

void SetHelpContext(QObject* object, int context);
int HelpContextOf(const QObject* object);
// The context of the widget or of its nearest ancestor that has one.
int NearestHelpContext(const QWidget* widget);
bool IsTopicContext(int context);

void SetHint(QWidget* widget, const QString& hint);
QString HintOf(const QWidget* widget);
