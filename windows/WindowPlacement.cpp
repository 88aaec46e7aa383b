// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/WindowPlacement.h"

#include <QFont>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include "util/Settings.h"

namespace {
// The font height in the unit kept in the settings: a negative number is the
// character height in pixels ("-11" for the classic dialog font), a positive one a
// point size.
int FontHeight(const QWidget* window)
{
    const QFont& font = window->font();
    if (font.pixelSize() > 0) return -font.pixelSize();
    const int dpi = window->logicalDpiY() > 0 ? window->logicalDpiY() : 96;
    return -qRound(font.pointSizeF() * dpi / 72.0);
}

// bounds moved (and shrunk where needed) into the available area of the screen that
// holds most of it, or of the primary screen.
QRect KeptOnScreen(QRect bounds)
{
    QScreen* screen = QGuiApplication::screenAt(bounds.center());
    if (!screen) screen = QGuiApplication::primaryScreen();
    if (!screen) return bounds;
    const QRect area = screen->availableGeometry();
    bounds.setWidth(qMin(bounds.width(), area.width()));
    bounds.setHeight(qMin(bounds.height(), area.height()));
    bounds.moveLeft(qBound(area.left(), bounds.left(), area.left() + area.width() - bounds.width()));
    bounds.moveTop(qBound(area.top(), bounds.top(), area.top() + area.height() - bounds.height()));
    return bounds;
}

void SetFontHeight(QFont& font, int height)
{
    if (height < 0)
        font.setPixelSize(-height);
    else if (height > 0)
        font.setPointSize(height);
}
} // namespace

WindowPlacement::WindowPlacement(QWidget* owner, const QString& section) : QObject(owner), Section(section)
{
    setObjectName(QStringLiteral("windowPlacement"));
}

QWidget* WindowPlacement::Owner() const
{
    auto* owner = qobject_cast<QWidget*>(parent());
    return owner && owner->isWindow() ? owner : nullptr;
}

bool WindowPlacement::IsSizeable(const QWidget* window)
{
    return window->minimumSize() != window->maximumSize() && !window->windowFlags().testFlag(Qt::MSWindowsFixedSizeDialogHint);
}

template <typename Fn>
void WindowPlacement::ForEachListedControl(QWidget* parent, Fn&& fn)
{
    for (QObject* child : parent->children()) {
        auto* control = qobject_cast<QWidget*>(child);
        if (!control || control->isWindow()) continue;
        if (ImportantComponents.contains(control->objectName(), Qt::CaseInsensitive) && !control->objectName().isEmpty())
            fn(control);
        ForEachListedControl(control, fn);
    }
}

void WindowPlacement::RestorePositions(bool RestoreComponents, bool RestoreForm)
{
    QWidget* owner = Owner();
    if (!owner) return;
    auto key = OpenSettings(Section);
    if (RestoreForm) {
        RestoreControl(*key, owner, QString());
        QFont font = owner->font();
        const QString family = ReadSettingString(*key, QStringLiteral("Font"), font.family());
        const int height = ReadSettingInteger(*key, QStringLiteral("FontSize"), FontHeight(owner));
        if (family != font.family() || height != FontHeight(owner)) {
            font.setFamily(family);
            SetFontHeight(font, height);
            owner->setFont(font);
        }
    }
    if (RestoreComponents)
        ForEachListedControl(owner, [&](QWidget* control) { RestoreControl(*key, control, control->objectName()); });
}

void WindowPlacement::RestoreControl(QSettings& key, QWidget* control, const QString& prefix)
{
    QRect bounds(control->pos(), control->size());
    if (!prefix.isEmpty() || IsSizeable(Owner())) {
        bounds.setWidth(ReadSettingInteger(key, prefix + QStringLiteral("Width"), bounds.width()));
        bounds.setHeight(ReadSettingInteger(key, prefix + QStringLiteral("Height"), bounds.height()));
    }
    const int top = ReadSettingInteger(key, prefix + QStringLiteral("Top"), bounds.top());
    const int left = ReadSettingInteger(key, prefix + QStringLiteral("Left"), bounds.left());
    bounds.moveTo(left, top);
    // A window is kept on the screen it is restored to: saved at another resolution or
    // scale factor it could otherwise be larger than the screen, or off it.
    if (control->isWindow()) bounds = KeptOnScreen(bounds);
    // A window's position is that of its frame, its size that of its client area.
    control->move(bounds.topLeft());
    if (bounds.size() != control->size()) control->resize(bounds.size());
    // A bad visibility value never stops a window from being created.
    try {
        control->setVisible(ReadSettingBool(key, prefix + QStringLiteral("Visible"), !control->isHidden()));
    } catch (...) {
    }
}

void WindowPlacement::SavePositions()
{
    QWidget* owner = Owner();
    if (!owner) return;
    auto key = OpenSettings(Section);
    SaveControl(*key, owner, QString());
    WriteSettingString(*key, QStringLiteral("Font"), owner->font().family());
    WriteSettingInteger(*key, QStringLiteral("FontSize"), FontHeight(owner));
    ForEachListedControl(owner, [&](QWidget* control) { SaveControl(*key, control, control->objectName()); });
}

void WindowPlacement::SaveControl(QSettings& key, QWidget* control, const QString& prefix)
{
    // The control's own visibility flag: a control of a hidden window still counts as shown.
    WriteSettingBool(key, prefix + QStringLiteral("Visible"), !control->isHidden());
    WriteSettingInteger(key, prefix + QStringLiteral("Top"), control->pos().y());
    WriteSettingInteger(key, prefix + QStringLiteral("Left"), control->pos().x());
    if (!prefix.isEmpty() || IsSizeable(Owner())) {
        WriteSettingInteger(key, prefix + QStringLiteral("Width"), control->width());
        WriteSettingInteger(key, prefix + QStringLiteral("Height"), control->height());
    }
}
