// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/HelpContext.h"

#include <QApplication>
#include <QWidget>

namespace {
constexpr const char* HelpContextProperty = "calvyxHelpContext";
constexpr const char* TopicHint = QT_TRANSLATE_NOOP("HelpContext", "Select the directory for T30s, T20s, T20+ Calcapps");
} // namespace

void SetHelpContext(QObject* object, int context) { object->setProperty(HelpContextProperty, context); }

int HelpContextOf(const QObject* object)
{
    const QVariant v = object->property(HelpContextProperty);
    return v.isValid() ? v.toInt() : 0;
}

int NearestHelpContext(const QWidget* widget)
{
    for (const QWidget* w = widget; w; w = w->parentWidget())
        if (const int context = HelpContextOf(w); context != 0) return context;
    return 0;
}

bool IsTopicContext(int context) { return context % HelpContextModulus >= TopicThreshold; }

void SetHint(QWidget* widget, const QString& hint)
{
    widget->setToolTip(hint);
    widget->setStatusTip(hint);
}

QString HintOf(const QWidget* widget) { return widget->toolTip(); }

void MarkHelpHints(QObject* root)
{
    if (auto* widget = qobject_cast<QWidget*>(root)) {
        const int context = HelpContextOf(widget);
        const QString hint = HintOf(widget);
        if (context > 1 && !hint.isEmpty() && !hint.startsWith(QLatin1Char('?'))) {
            SetHint(widget, IsTopicContext(context)
                                ? QStringLiteral("?* ") + QCoreApplication::translate("HelpContext", TopicHint)
                                : QStringLiteral("? ") + hint);
        }
    }
    for (QObject* child : root->children()) MarkHelpHints(child);
}

void MarkApplicationHelpHints()
{
    // Windows owned by another window are reached through their owner.
    for (QWidget* top : QApplication::topLevelWidgets())
        if (!top->parentWidget()) MarkHelpHints(top);
}
