// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// ScreenCaptureWindow: the screen capture window. While it is open a ScreenReaderThread reads
// screen after screen from the link and hands each one over; the window draws it in
// a white-and-black frame, doubled, and can copy it to the clipboard or save it.
#include <atomic>
#include <functional>
#include <memory>
#include <string>

#include <QImage>

#include "services/ScreenReader.h"
#include "util/ByteString.h"
#include "util/MainThread.h"
#include "windows/WindowBase.h"

class QComboBox;
class QFileDialog;
class QFrame;
class QLabel;
class QPushButton;
class QSlider;
class QTimer;
class QWidget;
class ScreenCaptureWindow;
class WindowPlacement;

class ScreenReaderThread : public WorkerThread {
    Q_OBJECT
public:
    // Starts reading at once with the lent reader (none: nothing to read, the thread
    // ends at once). Prefix is the part of the first screen already taken off the link
    // (the byte 0x80, or nothing).
    ScreenReaderThread(ScreenCaptureWindow* Form, std::unique_ptr<ScreenReader> reader, const ByteString& Prefix);
    ~ScreenReaderThread() override;

    // Main thread: ends the loop after the current capture, and the capture itself at
    // its next read.
    void Stop();
    bool Terminated() const { return terminated_.load(); }

protected:
    void Work() override { Execute(); }

private:
    void Execute();
    // Main thread, while the worker waits: hands screen_ to the window.
    void ShowScreen();

    ScreenCaptureWindow* window_;
    ByteString screen_;
    ByteString prefix_;
    // Lives as long as the thread object, so Stop can always reach it.
    std::unique_ptr<ScreenReader> reader_;
    std::atomic<bool> terminated_{false};
};

class ScreenCaptureWindow : public WindowBase {
    Q_OBJECT
public:
    explicit ScreenCaptureWindow(QWidget* parent = nullptr);
    ~ScreenCaptureWindow() override;

    // Where the window gets its reader: the calculator's session lends one on its port
    // (null when no port is chosen; std::logic_error while the link is busy, tried again
    // at the next check).
    using ReaderSource = std::function<std::unique_ptr<ScreenReader>()>;
    void SetReaderSource(ReaderSource source) { lendReader_ = std::move(source); }
    // Whether the calculator is there to be read, asked at every check (a reader whose
    // device went away is stopped). Without one it is taken as there.
    using PresenceCheck = std::function<bool()>;
    void SetPresenceCheck(PresenceCheck check) { devicePresent_ = std::move(check); }
    // Where Save starts: the transfer folder, asked for at each Save.
    using FolderSource = std::function<QString()>;
    void SetSaveFolder(FolderSource folder) { saveFolder_ = std::move(folder); }
    // Shows the window modally and reads screens until the user closes it.
    void ShowCapture(const ByteString& Prefix);
    // Main thread: the receive thread's hand-over of a complete screen.
    void SetScreen(const ByteString& Screen);
    void UpdatePicture();
    void SaveSettings();

    // The W x H picture as last drawn (what Copy and Save use).
    const QImage& Picture() const { return picture_; }
    int BorderWidth() const;
    // The scale chosen for Copy and Save (1 to MaxPictureScale).
    int PictureScale() const;
    static constexpr int MaxPictureScale = 4;
    // What Copy and Save hand over: the picture enlarged PictureScale() times.
    QImage OutputPicture() const;
    // True while the picture shows a screen (Copy and Save are offered).
    bool HasScreen() const { return hasScreen_; }
    // The prompt shown above the picture.
    static QString PromptText();

    QFrame* promptPanel;
    QLabel* promptLabel;
    QWidget* ImageArea; // keeps room for the largest picture
    QLabel* screenImage;
    QLabel* borderLabel;
    QSlider* borderSlider;
    QLabel* scaleLabel;
    QComboBox* scaleBox;
    QPushButton* copyButton;
    QPushButton* saveButton;
    QPushButton* closeButton;
    QLabel* statusLine; // what Copy and Save did
    WindowPlacement* windowPlacement;
    QTimer* receiverCheckTimer;
    QFileDialog* savePictureDialog;

    void BorderChanged();
    void CopyPicture();
    void SavePicture();
    void CheckReceiver();
    ScreenReaderThread* Receiver() const { return receiver_; }

protected:
    void WindowShown() override;
    void WindowClosed() override;

private:
    void StopReceiver();

    ByteString screen_;
    ByteString prefix_;
    ScreenReaderThread* receiver_ = nullptr;
    ReaderSource lendReader_;
    PresenceCheck devicePresent_;
    FolderSource saveFolder_;
    bool hasScreen_ = false;
    QImage picture_;
    bool closing_ = false;
};

// Reads the stored "Border" of the capture window: missing or not a number gives 1,
// and the value is clamped to 0..5.
int StoredBorderWidth();
// Reads the stored "Scale" of the capture window: 1 unless it is a number from 1 to 4.
int StoredPictureScale();
