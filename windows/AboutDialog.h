// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// AboutDialog: the product artwork, the licence with the project's address, the version
// label and OK. Shown modally from the main window's About command and briefly at
// start-up.
#include <QImage>
#include <QPointer>

#include "util/Version.h"
#include "windows/WindowBase.h"

class QLabel;
class QPushButton;

// Where the project lives (its home page, the package's homepage too).
inline constexpr const char* ProjectAddress = "https://calvyx.org/";

inline constexpr int ArtworkWidth = 317;
inline constexpr int ArtworkHeight = 198;
// The product picture, drawn at run time (no image files to ship).
QImage ProductArtwork();

class AboutDialog : public WindowBase {
    Q_OBJECT
public:
    explicit AboutDialog(QWidget* parent = nullptr);

    void SetMainWindow(QWidget* window);

    QLabel* productImage;
    QLabel* licenseLabel; // the licence and the project's address, a link
    QLabel* versionLabel;
    QPushButton* okButton;

protected:
    void WindowShown() override;

private:
    QPointer<QWidget> mainWindow_;
};
