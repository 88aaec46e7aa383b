// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/SearchAnimation.h"

#include <QPainter>
#include <QPainterPath>
#include <QtMath>

SearchAnimation::SearchAnimation(QWidget* parent) : QWidget(parent)
{
    setFixedSize(80, 50);
    timer_.setInterval(FrameMs);
    connect(&timer_, &QTimer::timeout, this, [this] {
        frame_ = (frame_ + 1) % FrameCount;
        update();
    });
}

void SearchAnimation::Play()
{
    if (!timer_.isActive()) timer_.start();
}

void SearchAnimation::Stop()
{
    timer_.stop();
    frame_ = StopFrame;
    update();
}

void SearchAnimation::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    // The folder.
    const QRectF body(14, 16, 46, 28);
    QPainterPath tab;
    tab.addRoundedRect(QRectF(14, 11, 18, 8), 2, 2);
    p.setPen(QPen(QColor(150, 110, 20), 1));
    p.setBrush(QColor(240, 200, 90));
    p.drawPath(tab);
    p.drawRoundedRect(body, 3, 3);
    // The glass moves along an ellipse over the folder.
    const double angle = 2 * M_PI * frame_ / FrameCount;
    const QPointF centre(37 + 16 * std::cos(angle), 27 + 8 * std::sin(angle));
    p.setPen(QPen(QColor(60, 60, 60), 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(centre + QPointF(6, 6), centre + QPointF(13, 13));
    p.setPen(QPen(QColor(60, 60, 60), 2));
    p.setBrush(QColor(200, 230, 255, 180));
    p.drawEllipse(centre, 8, 8);
}
