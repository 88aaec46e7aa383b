// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/support/LayoutCheck.h"

#include <algorithm>

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QAction>
#include <QDir>
#include <QLabel>
#include <QLayout>
#include <QMenuBar>
#include <QToolBar>
#include <QWidget>

#include "windows/Language.h"

namespace {

QString Name(const QWidget* widget)
{
    return widget->objectName().isEmpty() ? QString::fromLatin1(widget->metaObject()->className()) : widget->objectName();
}

// A label or button smaller than its text needs.
QString TextClipped(const QWidget* widget)
{
    const QSize size = widget->size();
    if (const auto* label = qobject_cast<const QLabel*>(widget); label && !label->text().isEmpty()) {
        const QMargins margins = label->contentsMargins();
        if (label->wordWrap()) {
            const int needed = label->heightForWidth(size.width());
            if (needed > size.height())
                return QStringLiteral("%1 needs %2 pixels of height, has %3").arg(Name(widget)).arg(needed).arg(size.height());
        } else {
            const QSize needed = label->fontMetrics().size(Qt::TextShowMnemonic, label->text()).grownBy(margins);
            if (needed.width() > size.width() || needed.height() > size.height())
                return QStringLiteral("%1 needs %2x%3 for its text, has %4x%5")
                    .arg(Name(widget))
                    .arg(needed.width())
                    .arg(needed.height())
                    .arg(size.width())
                    .arg(size.height());
        }
    }
    if (const auto* button = qobject_cast<const QAbstractButton*>(widget); button && !button->text().isEmpty()) {
        const int needed = button->sizeHint().width();
        if (needed > size.width())
            return QStringLiteral("%1 needs %2 pixels of width, has %3").arg(Name(widget)).arg(needed).arg(size.width());
    }
    if (const auto* bar = qobject_cast<const QMenuBar*>(widget)) {
        // Menus that do not fit go into an overflow arrow.
        for (QAction* action : bar->actions())
            if (action->isVisible() && bar->actionGeometry(action).right() > bar->width())
                return QStringLiteral("menu %1 is beyond the menu bar's end").arg(action->text());
    }
    if (const auto* bar = qobject_cast<const QToolBar*>(widget)) {
        for (QAction* action : bar->actions())
            if (QWidget* control = bar->widgetForAction(action); control && action->isVisible() && !control->isVisible())
                return QStringLiteral("%1 went into the tool bar's overflow menu").arg(Name(control));
    }
    return {};
}

// The part of a widget that shows something: a top-aligned word-wrapped label's text may
// end well above the label's bottom edge (the main window's prompt is such a label).
QRect UsedArea(const QWidget* widget)
{
    const QRect area = widget->geometry();
    const auto* label = qobject_cast<const QLabel*>(widget);
    if (!label || !label->wordWrap() || !(label->alignment() & Qt::AlignTop)) return area;
    return QRect(area.topLeft(), QSize(area.width(), std::min(area.height(), label->heightForWidth(area.width()))));
}

} // namespace

QStringList LayoutProblems(QWidget* parent)
{
    QStringList problems;
    QList<QWidget*> children;
    for (QObject* object : parent->children()) {
        auto* child = qobject_cast<QWidget*>(object);
        if (child && !child->isWindow() && !child->isHidden()) children << child;
    }
    for (QWidget* child : children) {
        if (!parent->rect().contains(UsedArea(child))) problems << Name(child) + " leaves " + Name(parent);
        for (QWidget* other : children)
            if (other != child && other->objectName() < child->objectName() && child->geometry().intersects(other->geometry()) &&
                parent->layout() && parent->layout()->indexOf(child) >= 0 && parent->layout()->indexOf(other) >= 0)
                problems << Name(child) + " overlaps " + Name(other);
        if (const QString clipped = TextClipped(child); !clipped.isEmpty()) problems << clipped;
        // The inner parts of scrolled views and sliders are theirs to place.
        if (!qobject_cast<QAbstractScrollArea*>(child)) problems << LayoutProblems(child);
    }
    return problems;
}

std::vector<std::string> LayoutLanguages()
{
    std::vector<std::string> languages{"en"};
    for (const QString& language : TranslatedLanguages()) languages.push_back(language.toStdString());
    return languages;
}

ScopedLanguage::ScopedLanguage(const QString& language) : installed_(InstallLanguage(language)) {}
ScopedLanguage::~ScopedLanguage() { InstallLanguage(QStringLiteral("en")); }

QString ScreenshotPath(const QString& name, const QString& language)
{
    const QString folder = qEnvironmentVariable("CALVYX_SCREENSHOT_DIR");
    if (folder.isEmpty()) return {};
    QString file = name;
    if (language == QLatin1String("de") || language == QLatin1String("zh_CN"))
        file += u'-' + language;
    else if (language != QLatin1String("en"))
        return {};
    QDir().mkpath(folder);
    return QDir(folder).filePath(file + QStringLiteral(".png"));
}
