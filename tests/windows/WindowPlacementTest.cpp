// SPDX-License-Identifier: GPL-3.0-or-later
// Window placement kept in the settings: what is written, what is read back, and what
// a fixed-size window ignores.
#include <gtest/gtest.h>

#include <QFont>
#include <QGuiApplication>
#include <QLabel>
#include <QRect>
#include <QScreen>
#include <QVBoxLayout>
#include <QWidget>

#include "tests/support/ScopedSettings.h"
#include "util/CalvyxError.h"
#include "windows/WindowPlacement.h"

namespace {

// A window carrying the component, resizable or of fixed size, with a nested control.
struct TestWindow {
    explicit TestWindow(bool sizeable)
    {
        window.setObjectName(QStringLiteral("TestWindow"));
        if (sizeable)
            window.resize(323, 422);
        else
            window.setFixedSize(296, 326);
        inner = new QWidget(&window);
        inner->setObjectName(QStringLiteral("InnerPanel"));
        inner->setGeometry(10, 10, 100, 50);
        nested = new QLabel(inner);
        nested->setObjectName(QStringLiteral("lblNested"));
        nested->setGeometry(5, 6, 40, 12);
        saver = new WindowPlacement(&window, QStringLiteral("TestSection"));
    }
    QWidget window;
    QWidget* inner;
    QLabel* nested;
    WindowPlacement* saver;
};

TEST(WindowPlacement, RoundTripOfAResizableWindow)
{
    ScopedSettings settings;
    {
        TestWindow w(true);
        w.window.move(140, 90);
        w.window.resize(400, 300);
        QFont font = w.window.font();
        font.setFamily(QStringLiteral("DejaVu Serif"));
        font.setPixelSize(13);
        w.window.setFont(font);
        w.window.show();
        w.saver->SavePositions();
    }
    EXPECT_EQ(settings.Get("TestSection", "Visible").toString(), "1");
    EXPECT_EQ(settings.Get("TestSection", "Left").toString(), "140");
    EXPECT_EQ(settings.Get("TestSection", "Top").toString(), "90");
    EXPECT_EQ(settings.Get("TestSection", "Width").toString(), "400");
    EXPECT_EQ(settings.Get("TestSection", "Height").toString(), "300");
    EXPECT_EQ(settings.Get("TestSection", "Font").toString(), "DejaVu Serif");
    EXPECT_EQ(settings.Get("TestSection", "FontSize").toString(), "-13");

    TestWindow again(true);
    again.saver->RestorePositions(true, true);
    EXPECT_EQ(again.window.pos(), QPoint(140, 90));
    EXPECT_EQ(again.window.size(), QSize(400, 300));
    EXPECT_TRUE(again.window.isVisible()) << "a window saved while open opens again";
    EXPECT_EQ(again.window.font().family(), "DejaVu Serif");
    EXPECT_EQ(again.window.font().pixelSize(), 13);
}

TEST(WindowPlacement, FixedSizeWindowNeitherStoresNorTakesASize)
{
    ScopedSettings settings;
    TestWindow w(false);
    w.window.move(30, 40);
    w.saver->SavePositions();
    const QStringList names = settings.Names("TestSection");
    EXPECT_TRUE(names.contains("Visible") && names.contains("Top") && names.contains("Left") && names.contains("Font") &&
                names.contains("FontSize"))
        << names.join(',').toStdString();
    EXPECT_FALSE(names.contains("Width") || names.contains("Height")) << names.join(',').toStdString();
    EXPECT_EQ(settings.Get("TestSection", "Visible").toString(), "0");

    settings.Put("TestSection", "Width", "900");
    settings.Put("TestSection", "Height", "700");
    settings.Put("TestSection", "Left", "77");
    TestWindow again(false);
    again.saver->RestorePositions(true, true);
    EXPECT_EQ(again.window.size(), QSize(296, 326));
    EXPECT_EQ(again.window.pos().x(), 77);
    EXPECT_EQ(again.window.pos().y(), 40);
}

TEST(WindowPlacement, FirstStartKeepsTheDesignPlacement)
{
    ScopedSettings settings;
    TestWindow w(true);
    w.window.move(12, 34);
    const QFont before = w.window.font();
    w.saver->RestorePositions(true, true);
    EXPECT_EQ(w.window.pos(), QPoint(12, 34));
    EXPECT_EQ(w.window.size(), QSize(323, 422));
    EXPECT_FALSE(w.window.isVisible());
    EXPECT_EQ(w.window.font(), before);
}

TEST(WindowPlacement, TextsThatAreNotNumbersKeepTheCurrentValues)
{
    ScopedSettings settings;
    settings.Put("TestSection", "Left", "abc");
    settings.Put("TestSection", "Top", "12x");
    settings.Put("TestSection", "Width", "");
    settings.Put("TestSection", "Height", "250");
    settings.Put("TestSection", "Visible", "yes");
    TestWindow w(true);
    w.window.move(55, 66);
    w.saver->RestorePositions(true, true);
    EXPECT_EQ(w.window.pos(), QPoint(55, 66));
    EXPECT_EQ(w.window.size(), QSize(323, 250));
    EXPECT_FALSE(w.window.isVisible());
}

// A saved placement is kept within the available area of the screen: one saved at
// another resolution or scale factor may be larger than the screen or lie off it.
TEST(WindowPlacement, RestoredWindowIsKeptOnTheScreen)
{
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    struct Case {
        const char* name;
        QRect saved;
        QRect expected;
    };
    const Case cases[] = {
        {"inside", {area.left() + 20, area.top() + 30, 200, 150}, {area.left() + 20, area.top() + 30, 200, 150}},
        {"far off", {-5000, 40000, 200, 150}, {area.left(), area.top() + area.height() - 150, 200, 150}},
        {"taller than the screen",
         {area.left() + 10, area.top() + 10, 300, area.height() * 2},
         {area.left() + 10, area.top(), 300, area.height()}},
        {"larger both ways", {area.left() + 50, area.top() + 50, area.width() + 400, area.height() + 300}, area},
        {"hanging over the right edge",
         {area.left() + area.width() - 100, area.top() + 40, 300, 200},
         {area.left() + area.width() - 300, area.top() + 40, 300, 200}},
    };
    for (const Case& c : cases) {
        ScopedSettings settings;
        settings.Put("TestSection", "Left", QString::number(c.saved.left()));
        settings.Put("TestSection", "Top", QString::number(c.saved.top()));
        settings.Put("TestSection", "Width", QString::number(c.saved.width()));
        settings.Put("TestSection", "Height", QString::number(c.saved.height()));
        TestWindow w(true);
        w.saver->RestorePositions(true, true);
        EXPECT_EQ(QRect(w.window.pos(), w.window.size()), c.expected) << c.name;
    }
}

TEST(WindowPlacement, ValueOfAnotherTypeRaisesExceptForVisibility)
{
    struct Case {
        const char* name;
        QVariant value;
        bool raises;
    };
    const Case cases[] = {
        {"Top", QVariant(QByteArray("\x01\x02", 2)), true},
        {"Left", QVariant(QRect(1, 2, 3, 4)), true},
        {"Font", QVariant(QStringList{"a", "b"}), true},
        {"Visible", QVariant(QByteArray("1")), false},
    };
    for (const Case& c : cases) {
        ScopedSettings settings;
        settings.Put("TestSection", c.name, c.value);
        TestWindow w(true);
        if (c.raises) {
            try {
                w.saver->RestorePositions(true, true);
                ADD_FAILURE() << c.name << " of another type was accepted";
            } catch (const CalvyxError& error) {
                EXPECT_EQ(std::string(error.what()), std::string("Invalid data type for '") + c.name + "'");
            }
        } else {
            EXPECT_NO_THROW(w.saver->RestorePositions(true, true)) << c.name;
            EXPECT_FALSE(w.window.isVisible());
        }
    }
}

TEST(WindowPlacement, ListedControlsMatchTheirNamesInAnyCaseAtAnyDepth)
{
    ScopedSettings settings;
    {
        TestWindow w(true);
        w.saver->ImportantComponents = {"LBLNESTED", "NoSuchControl"};
        w.nested->setGeometry(7, 8, 60, 20);
        w.nested->hide();
        w.saver->SavePositions();
    }
    // The value names come from the control's own name, not from the list entry.
    EXPECT_EQ(settings.Get("TestSection", "lblNestedLeft").toString(), "7");
    EXPECT_EQ(settings.Get("TestSection", "lblNestedTop").toString(), "8");
    EXPECT_EQ(settings.Get("TestSection", "lblNestedWidth").toString(), "60");
    EXPECT_EQ(settings.Get("TestSection", "lblNestedHeight").toString(), "20");
    EXPECT_EQ(settings.Get("TestSection", "lblNestedVisible").toString(), "0");
    EXPECT_FALSE(settings.Get("TestSection", "InnerPanelLeft").isValid()) << "InnerPanel is not listed";
    for (const QString& name : settings.Names("TestSection"))
        EXPECT_FALSE(name.startsWith("NoSuchControl", Qt::CaseInsensitive)) << name.toStdString();

    TestWindow again(true);
    again.saver->ImportantComponents = {"lblnested"};
    again.saver->RestorePositions(true, true);
    EXPECT_EQ(again.nested->geometry(), QRect(7, 8, 60, 20));
    EXPECT_TRUE(again.nested->isHidden());
    EXPECT_EQ(again.inner->geometry(), QRect(10, 10, 100, 50));
}

TEST(WindowPlacement, ControlsOfAHiddenWindowStayShown)
{
    ScopedSettings settings;
    {
        TestWindow w(true);
        w.saver->ImportantComponents = {"InnerPanel"};
        w.saver->SavePositions(); // window hidden, InnerPanel itself not
    }
    EXPECT_EQ(settings.Get("TestSection", "InnerPanelVisible").toString(), "1");
    TestWindow again(true);
    again.saver->ImportantComponents = {"InnerPanel"};
    again.saver->RestorePositions(true, false);
    EXPECT_FALSE(again.inner->isHidden());
}

TEST(WindowPlacement, SectionLivesUnderThePublishedProfile)
{
    ScopedSettings settings;
    PublishSettingsProfile("Profiles/Second");
    {
        TestWindow w(true);
        w.window.move(1, 2);
        w.saver->SavePositions();
    }
    PublishSettingsProfile({});
    EXPECT_FALSE(settings.Get("TestSection", "Left").isValid());
    EXPECT_EQ(settings.Get("Profiles/Second/TestSection", "Left").toString(), "1");
}

} // namespace
