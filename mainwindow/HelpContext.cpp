// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/HelpContext.h"

#include <QVariant>
#include <QWidget>

namespace {
constexpr const char* HelpContextProperty = "calvyxHelpContext";
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
