// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// WindowPlacement: remembers where a window was. It sits on the window it serves (its
// owner) and keeps the window's position, size (resizable windows only), visibility
// and font, and the same for the controls named in ImportantComponents, in its own
// section of the settings below the published profile.
#include <QObject>
#include <QStringList>

class QSettings;
class QWidget;

class WindowPlacement : public QObject {
    Q_OBJECT
public:
    explicit WindowPlacement(QWidget* owner, const QString& section = QString());

    QString Section;
    // Names of controls of the owner whose placement is kept too (compared without
    // regard to letter case; the value names use the control's own name).
    QStringList ImportantComponents;

    // Restores the owner window (RestoreForm) and the listed controls
    // (RestoreComponents). Raises CalvyxError for a value stored with a type other
    // than a string, except the visibility values.
    void RestorePositions(bool RestoreComponents, bool RestoreForm);
    void SavePositions();

    // A window the user can resize takes its size from the settings; a fixed-size one
    // (minimum size equal to maximum size) never does.
    static bool IsSizeable(const QWidget* window);

private:
    QWidget* Owner() const;
    void RestoreControl(QSettings& key, QWidget* control, const QString& prefix);
    void SaveControl(QSettings& key, QWidget* control, const QString& prefix);
    // Depth-first walk of the owner's child widgets, calling fn for each listed one.
    template <typename Fn>
    void ForEachListedControl(QWidget* parent, Fn&& fn);
};
