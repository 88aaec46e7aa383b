// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/AboutDialog.h"

#include <QCoreApplication>
#include <QGridLayout>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPushButton>
#include <QStyle>

namespace {
void DrawCalculator(QPainter& p, const QRectF& body)
{
    // Case, display with a small graph, and a grid of keys.
    QLinearGradient shell(body.topLeft(), body.topRight());
    shell.setColorAt(0, QColor(58, 62, 72));
    shell.setColorAt(1, QColor(34, 37, 44));
    p.setPen(QPen(QColor(20, 22, 26), 1.5));
    p.setBrush(shell);
    p.drawRoundedRect(body, 10, 10);

    const QRectF screen(body.left() + 9, body.top() + 12, body.width() - 18, 44);
    p.setPen(QPen(QColor(15, 17, 20), 1));
    p.setBrush(QColor(168, 190, 150));
    p.drawRoundedRect(screen, 3, 3);
    p.setPen(QPen(QColor(70, 84, 62), 1));
    p.drawLine(QPointF(screen.left() + 4, screen.center().y()), QPointF(screen.right() - 4, screen.center().y()));
    p.drawLine(QPointF(screen.center().x(), screen.top() + 4), QPointF(screen.center().x(), screen.bottom() - 4));
    QPainterPath curve;
    for (int i = 0; i <= 40; ++i) {
        const double t = i / 40.0;
        const double x = screen.left() + 5 + t * (screen.width() - 10);
        const double u = 2 * t - 1;
        const double y = screen.bottom() - 6 - (1 - u * u) * (screen.height() - 12);
        if (i == 0)
            curve.moveTo(x, y);
        else
            curve.lineTo(x, y);
    }
    p.setPen(QPen(QColor(28, 36, 24), 1.6));
    p.setBrush(Qt::NoBrush);
    p.drawPath(curve);

    const double keysTop = screen.bottom() + 10;
    const double keyW = (body.width() - 18 - 3 * 5) / 4.0;
    const double keyH = 9;
    for (int row = 0; row < 6; ++row)
        for (int col = 0; col < 4; ++col) {
            const QRectF key(body.left() + 9 + col * (keyW + 5), keysTop + row * (keyH + 5), keyW, keyH);
            QColor colour = row == 0 ? QColor(214, 120, 52) : (col == 3 ? QColor(96, 132, 196) : QColor(190, 194, 204));
            p.setPen(Qt::NoPen);
            p.setBrush(colour);
            p.drawRoundedRect(key, 2.5, 2.5);
        }
}

void DrawComputer(QPainter& p, const QRectF& monitor)
{
    p.setPen(QPen(QColor(30, 34, 42), 1.5));
    p.setBrush(QColor(226, 230, 238));
    p.drawRoundedRect(monitor, 5, 5);
    const QRectF glass = monitor.adjusted(6, 6, -6, -6);
    QLinearGradient sky(glass.topLeft(), glass.bottomLeft());
    sky.setColorAt(0, QColor(46, 108, 178));
    sky.setColorAt(1, QColor(20, 58, 112));
    p.setBrush(sky);
    p.setPen(Qt::NoPen);
    p.drawRect(glass);
    // A folder tree on the screen.
    p.setBrush(QColor(250, 210, 90));
    for (int i = 0; i < 3; ++i) p.drawRect(QRectF(glass.left() + 6 + i * 8, glass.top() + 6 + i * 9, 12, 6));
    p.setBrush(QColor(255, 255, 255, 200));
    for (int i = 0; i < 4; ++i) p.drawRect(QRectF(glass.center().x(), glass.top() + 6 + i * 7, glass.width() / 2 - 6, 3));
    p.setPen(QPen(QColor(30, 34, 42), 1.5));
    p.setBrush(QColor(200, 204, 214));
    const QPointF base(monitor.center().x(), monitor.bottom());
    p.drawRect(QRectF(base.x() - 5, base.y(), 10, 8));
    p.drawRoundedRect(QRectF(base.x() - 22, base.y() + 8, 44, 5), 2, 2);
}
} // namespace

QImage ProductArtwork()
{
    QImage art(ArtworkWidth, ArtworkHeight, QImage::Format_RGB32);
    QPainter p(&art);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);

    QLinearGradient background(0, 0, ArtworkWidth, ArtworkHeight);
    background.setColorAt(0, QColor(16, 40, 82));
    background.setColorAt(1, QColor(10, 110, 128));
    p.fillRect(art.rect(), background);
    // A faint grid, like graph paper.
    p.setPen(QPen(QColor(255, 255, 255, 18), 1));
    for (int x = 0; x < ArtworkWidth; x += 16) p.drawLine(x, 0, x, ArtworkHeight);
    for (int y = 0; y < ArtworkHeight; y += 16) p.drawLine(0, y, ArtworkWidth, y);

    const QRectF calculator(22, 26, 78, 150);
    const QRectF monitor(218, 92, 80, 58);
    // The link between them, passing below the titles.
    QPainterPath cable;
    cable.moveTo(calculator.right() - 2, calculator.top() + 70);
    cable.cubicTo(160, 96, 150, 186, monitor.left() + 4, monitor.bottom() - 8);
    p.setPen(QPen(QColor(250, 196, 70), 2.2, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawPath(cable);
    DrawCalculator(p, calculator);
    DrawComputer(p, monitor);

    QFont title(QStringLiteral("DejaVu Sans"));
    title.setPixelSize(38);
    title.setBold(true);
    p.setFont(title);
    p.setPen(QColor(0, 0, 0, 90));
    p.drawText(QRectF(122, 20, 190, 46), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Calvyx"));
    p.setPen(Qt::white);
    p.drawText(QRectF(120, 18, 190, 46), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Calvyx"));
    QFont subtitle(QStringLiteral("DejaVu Sans"));
    subtitle.setPixelSize(13);
    p.setFont(subtitle);
    p.setPen(QColor(250, 196, 70));
    p.drawText(QRectF(122, 62, 190, 18), Qt::AlignLeft | Qt::AlignVCenter,
               QCoreApplication::translate("AboutDialog", "Connectivity Kit"));
    subtitle.setPixelSize(10);
    p.setFont(subtitle);
    p.setPen(QColor(210, 226, 240));
    p.drawText(QRectF(122, 80, 190, 14), Qt::AlignLeft | Qt::AlignTop,
               QCoreApplication::translate("AboutDialog", "for the QV T20, T20+, T20s and T30s"));
    return art;
}

AboutDialog::AboutDialog(QWidget* parent)
    : WindowBase(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("AboutDialog"));
    setWindowTitle(tr("About"));
    setModal(true);

    productImage = new QLabel(this);
    productImage->setObjectName(QStringLiteral("productImage"));
    productImage->setPixmap(QPixmap::fromImage(ProductArtwork()));
    productImage->setFixedSize(ArtworkWidth, ArtworkHeight);
    productImage->setScaledContents(true);

    const QString address = QString::fromLatin1(ProjectAddress);
    licenseLabel = new QLabel(
        QStringLiteral("%1<br><a href=\"%2\">%2</a>")
            .arg(tr("Free software under the GNU General Public License, version 3 or later.").toHtmlEscaped(), address),
        this);
    licenseLabel->setObjectName(QStringLiteral("licenseLabel"));
    licenseLabel->setTextFormat(Qt::RichText);
    licenseLabel->setWordWrap(true);
    licenseLabel->setOpenExternalLinks(true);
    licenseLabel->setFixedWidth(ArtworkWidth - 14);

    // The label shows the release this window was made for; GetVersionString gives
    // the version compiled into the executable.
    versionLabel = new QLabel(tr("Version 2.1 Build 1328"), this);
    versionLabel->setObjectName(QStringLiteral("versionLabel"));

    okButton = new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton), tr("&OK"), this);
    okButton->setObjectName(QStringLiteral("okButton"));
    okButton->setMinimumSize(75, 25);
    okButton->setDefault(true);
    connect(okButton, &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(0, 0, 2, 6);
    layout->addWidget(productImage, 0, 0, 1, 2);
    layout->addWidget(licenseLabel, 1, 0, 1, 2, Qt::AlignLeft);
    layout->addWidget(versionLabel, 2, 0, Qt::AlignLeft | Qt::AlignVCenter);
    layout->addWidget(okButton, 2, 1, Qt::AlignRight);
    layout->setColumnStretch(0, 1);
    layout->setHorizontalSpacing(7);
    versionLabel->setContentsMargins(7, 0, 0, 0);
    licenseLabel->setContentsMargins(7, 2, 0, 0);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void AboutDialog::SetMainWindow(QWidget* window) { mainWindow_ = window; }

void AboutDialog::WindowShown()
{
    if (!mainWindow_) return;
    setWindowTitle(mainWindow_->windowTitle());
    CenterOver(mainWindow_);
}
