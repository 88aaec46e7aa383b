// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The small looping picture under the disconnected prompt: a magnifying glass sweeping
// over a folder while the program looks for the calculator.
#include <QTimer>
#include <QWidget>

class SearchAnimation : public QWidget {
    Q_OBJECT
public:
    static constexpr int FrameCount = 30;
    static constexpr int StopFrame = 29;
    static constexpr int FrameMs = 70;

    explicit SearchAnimation(QWidget* parent = nullptr);
    void Play();
    void Stop(); // shows the stop frame
    bool Playing() const { return timer_.isActive(); }
    int Frame() const { return frame_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QTimer timer_;
    int frame_ = StopFrame;
};
