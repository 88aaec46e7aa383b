// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/ScreenCaptureWindow.h"

#include <algorithm>
#include <stdexcept>

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFrame>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QSlider>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>

#include "link/Trace.h"
#include "services/ScreenImage.h"
#include "services/ScreenPicture.h"
#include "util/CalvyxError.h"
#include "util/MainThread.h"
#include "util/Settings.h"
#include "windows/ErrorBox.h"
#include "windows/WindowPlacement.h"

namespace {
const char* const CaptureSection = "ScreenCapture";
constexpr int DefaultBorderWidth = 1;
constexpr int DefaultScale = 1;
// The first tick after the first showing comes quickly; every later one after a second.
constexpr int FirstTickMs = 100;
constexpr int DeviceCheckMs = 1000;
const char* const BmpFilter = QT_TRANSLATE_NOOP("ScreenCaptureWindow", "Bitmaps (*.bmp)");
const char* const PngFilter = QT_TRANSLATE_NOOP("ScreenCaptureWindow", "PNG images (*.png)");

// Two overlapping sheets: the glyph of the Copy button.
QIcon CopyGlyph()
{
    QPixmap glyph(16, 16);
    glyph.fill(Qt::transparent);
    QPainter p(&glyph);
    p.setPen(QColor(60, 60, 70));
    for (const QPoint corner : {QPoint(1, 1), QPoint(6, 5)}) {
        p.setBrush(Qt::white);
        p.drawRect(QRect(corner, QSize(8, 10)));
        p.setPen(QColor(120, 130, 150));
        for (int line = 3; line <= 7; line += 2) p.drawLine(corner.x() + 2, corner.y() + line, corner.x() + 6, corner.y() + line);
        p.setPen(QColor(60, 60, 70));
    }
    return QIcon(glyph);
}
} // namespace

// ---- ScreenReaderThread ----

ScreenReaderThread::ScreenReaderThread(ScreenCaptureWindow* Form, std::unique_ptr<ScreenReader> reader, const ByteString& Prefix)
    : window_(Form), prefix_(Prefix), reader_(std::move(reader))
{
    setObjectName(QStringLiteral("ScreenReaderThread"));
    start();
}

ScreenReaderThread::~ScreenReaderThread()
{
    Stop();
    wait();
}

void ScreenReaderThread::Stop()
{
    terminated_ = true;
    if (reader_) reader_->Cancelled = true;
}

void ScreenReaderThread::Execute()
{
    try {
        // Without a connection nothing can be read: the reader would hand back the
        // prefix at once, again and again.
        while (!terminated_ && reader_ && !reader_->PortName().empty()) {
            ByteString result;
            reader_->ReadScreen(prefix_, result);
            screen_ = result;
            if (!screen_.empty()) RunInMainThread([this] { ShowScreen(); });
            // The prefix belongs to the first screen only.
            prefix_.clear();
        }
    } catch (...) {
        // A link that cannot be opened or a failed read ends the thread quietly; the
        // window keeps its last picture.
    }
    if (reader_) reader_->Cancelled = true;
}

void ScreenReaderThread::ShowScreen() { window_->SetScreen(screen_); }

// ---- ScreenCaptureWindow ----

int StoredPictureScale()
{
    int scale = DefaultScale;
    try {
        auto key = OpenSettings(QString::fromLatin1(CaptureSection));
        scale = ReadSettingInteger(*key, QStringLiteral("Scale"), DefaultScale);
    } catch (const CalvyxError&) {
        // A value of the wrong type counts as missing.
    }
    return scale >= 1 && scale <= ScreenCaptureWindow::MaxPictureScale ? scale : DefaultScale;
}

int StoredBorderWidth()
{
    int border = DefaultBorderWidth;
    try {
        auto key = OpenSettings(QString::fromLatin1(CaptureSection));
        border = ReadSettingInteger(*key, QStringLiteral("Border"), DefaultBorderWidth);
    } catch (const CalvyxError&) {
        // A value of the wrong type counts as missing.
    }
    return std::clamp(border, 0, MaxBorderWidth);
}

QString ScreenCaptureWindow::PromptText()
{
    return ScreenCaptureWindow::tr(
        "On calculator, press ON and 1 simultaneously to capture the screen. Use the copy button to "
        "copy the picture to the clipboard, then reuse it in documents or editors.\r\n\r\n"
        "This window opens automatically when the calculator sends a screen.");
}

ScreenCaptureWindow::ScreenCaptureWindow(QWidget* parent)
    : WindowBase(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("ScreenCaptureWindow"));
    setWindowTitle(tr("Screen Capture"));
    setModal(true);

    const int areaWidth = 2 * (ScreenWidth + 4 * MaxBorderWidth);
    const int areaHeight = 2 * (ScreenHeight + 4 * MaxBorderWidth);

    promptPanel = new QFrame(this);
    promptPanel->setObjectName(QStringLiteral("promptPanel"));
    promptPanel->setFrameShape(QFrame::StyledPanel);
    promptPanel->setFrameShadow(QFrame::Raised);
    promptLabel = new QLabel(promptPanel);
    promptLabel->setObjectName(QStringLiteral("promptLabel"));
    promptLabel->setWordWrap(true);
    promptLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    auto* panelLayout = new QVBoxLayout(promptPanel);
    panelLayout->setContentsMargins(8, 6, 8, 6);
    panelLayout->addWidget(promptLabel);

    ImageArea = new QWidget(this);
    ImageArea->setObjectName(QStringLiteral("ImageArea"));
    ImageArea->setFixedSize(areaWidth, areaHeight);
    screenImage = new QLabel(ImageArea);
    screenImage->setObjectName(QStringLiteral("screenImage"));
    screenImage->setToolTip(tr("Calculator Screen Image"));
    screenImage->setScaledContents(true);

    borderLabel = new QLabel(tr("&Border:"), this);
    borderLabel->setObjectName(QStringLiteral("borderLabel"));
    borderSlider = new QSlider(Qt::Horizontal, this);
    borderSlider->setObjectName(QStringLiteral("borderSlider"));
    borderSlider->setRange(0, MaxBorderWidth);
    borderSlider->setPageStep(1);
    borderSlider->setSingleStep(1);
    borderSlider->setTickPosition(QSlider::TicksBelow);
    borderSlider->setTickInterval(1);
    borderSlider->setFixedWidth(150);
    borderSlider->setValue(DefaultBorderWidth);
    borderLabel->setBuddy(borderSlider);
    scaleLabel = new QLabel(tr("Sc&ale:"), this);
    scaleLabel->setObjectName(QStringLiteral("scaleLabel"));
    scaleBox = new QComboBox(this);
    scaleBox->setObjectName(QStringLiteral("scaleBox"));
    for (int scale = 1; scale <= MaxPictureScale; ++scale) scaleBox->addItem(tr("%1x").arg(scale), scale);
    scaleBox->setToolTip(tr("Size of the copied and saved picture"));
    scaleLabel->setBuddy(scaleBox);

    copyButton = new QPushButton(CopyGlyph(), tr("&Copy"), this);
    copyButton->setObjectName(QStringLiteral("copyButton"));
    saveButton = new QPushButton(style()->standardIcon(QStyle::SP_DialogSaveButton), tr("&Save"), this);
    saveButton->setObjectName(QStringLiteral("saveButton"));
    closeButton = new QPushButton(style()->standardIcon(QStyle::SP_DialogCloseButton), tr("C&lose"), this);
    closeButton->setObjectName(QStringLiteral("closeButton"));
    for (QPushButton* button : {copyButton, saveButton, closeButton}) button->setMinimumWidth(81);
    statusLine = new QLabel(this);
    statusLine->setObjectName(QStringLiteral("statusLine"));
    statusLine->setWordWrap(true);
    statusLine->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* borderRow = new QHBoxLayout;
    borderRow->addWidget(borderLabel);
    borderRow->addSpacing(12);
    borderRow->addWidget(borderSlider);
    borderRow->addStretch();
    borderRow->addWidget(scaleLabel);
    borderRow->addWidget(scaleBox);
    auto* buttonRow = new QHBoxLayout;
    buttonRow->addWidget(copyButton);
    buttonRow->addWidget(saveButton);
    buttonRow->addStretch();
    buttonRow->addWidget(closeButton);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 8);
    layout->addWidget(promptPanel);
    auto* body = new QVBoxLayout;
    body->setContentsMargins(12, 4, 12, 0);
    body->addWidget(ImageArea, 0, Qt::AlignHCenter);
    body->addLayout(borderRow);
    body->addSpacing(4);
    body->addLayout(buttonRow);
    body->addWidget(statusLine);
    layout->addLayout(body);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    // The prompt wraps inside the window's width; its panel is at least the design 105.
    const int promptWidth = areaWidth + 24 - 16;
    promptLabel->setFixedWidth(promptWidth);
    statusLine->setFixedWidth(areaWidth);
    // Two lines are kept for it, so that the window does not grow at the first message
    // (a saved file's path, a longer language, or a fallback font for Chinese that is
    // taller than the window's own).
    statusLine->setMinimumHeight(2 * statusLine->fontMetrics().lineSpacing() + 2);

    windowPlacement = new WindowPlacement(this, QString::fromLatin1(CaptureSection));
    receiverCheckTimer = new QTimer(this);
    receiverCheckTimer->setObjectName(QStringLiteral("receiverCheckTimer"));
    receiverCheckTimer->setInterval(FirstTickMs);
    savePictureDialog = new QFileDialog(this, tr("Save Picture As"));
    savePictureDialog->setObjectName(QStringLiteral("savePictureDialog"));
    savePictureDialog->setOption(QFileDialog::DontUseNativeDialog);
    savePictureDialog->setAcceptMode(QFileDialog::AcceptSave);
    savePictureDialog->setFileMode(QFileDialog::AnyFile);
    // PNG first: the smaller file, and the one documents and editors take everywhere.
    savePictureDialog->setNameFilters({tr(PngFilter), tr(BmpFilter)});
    savePictureDialog->setDefaultSuffix(QStringLiteral("png"));
    connect(savePictureDialog, &QFileDialog::filterSelected, this, [this](const QString& filter) {
        savePictureDialog->setDefaultSuffix(filter == tr(PngFilter) ? QStringLiteral("png") : QStringLiteral("bmp"));
    });

    connect(borderSlider, &QSlider::valueChanged, this, &ScreenCaptureWindow::BorderChanged);
    connect(copyButton, &QPushButton::clicked, this, &ScreenCaptureWindow::CopyPicture);
    connect(saveButton, &QPushButton::clicked, this, &ScreenCaptureWindow::SavePicture);
    connect(closeButton, &QPushButton::clicked, this, &QDialog::close);
    connect(receiverCheckTimer, &QTimer::timeout, this, &ScreenCaptureWindow::CheckReceiver);

    // FormCreate.
    try {
        windowPlacement->RestorePositions(true, true);
    } catch (const CalvyxError& error) {
        ShowApplicationError(QString::fromStdString(error.what()), this);
    }
    promptLabel->setText(PromptText());
    // The whole prompt shows in every language: the label keeps the height its text
    // needs at that width, and the panel adds its margins and frame around it.
    promptLabel->setMinimumHeight(promptLabel->heightForWidth(promptWidth));
    promptPanel->setMinimumHeight(qMax(105, promptLabel->minimumHeight() + 12 + 2 * promptPanel->frameWidth()));
    borderSlider->setValue(StoredBorderWidth());
    scaleBox->setCurrentIndex(StoredPictureScale() - 1);
    // The blank frame until the first screen arrives.
    UpdatePicture();
}

ScreenCaptureWindow::~ScreenCaptureWindow() { StopReceiver(); }

int ScreenCaptureWindow::BorderWidth() const { return borderSlider->value(); }

int ScreenCaptureWindow::PictureScale() const { return scaleBox->currentData().toInt(); }

QImage ScreenCaptureWindow::OutputPicture() const { return ScaledPicture(picture_, PictureScale()); }

void ScreenCaptureWindow::ShowCapture(const ByteString& Prefix)
{
    prefix_ = Prefix;
    screen_.clear();
    statusLine->clear();
    exec();
}

void ScreenCaptureWindow::SetScreen(const ByteString& Screen)
{
    screen_ = Screen;
    UpdatePicture();
}

void ScreenCaptureWindow::UpdatePicture()
{
    picture_ = MonoBitmapToImage(FramedScreenPicture(screen_, BorderWidth()));
    const QSize shown = picture_.size() * 2;
    screenImage->setFixedSize(shown);
    screenImage->move((ImageArea->width() - shown.width()) / 2, 0);
    screenImage->setPixmap(QPixmap::fromImage(picture_.scaled(shown)));
    // A blank frame is nothing to keep: Copy and Save wait for a screen.
    hasScreen_ = !screen_.empty();
    copyButton->setEnabled(hasScreen_);
    saveButton->setEnabled(hasScreen_);
}

void ScreenCaptureWindow::BorderChanged() { UpdatePicture(); }

void ScreenCaptureWindow::SaveSettings()
{
    windowPlacement->SavePositions();
    auto key = OpenSettings(QString::fromLatin1(CaptureSection));
    WriteSettingInteger(*key, QStringLiteral("Border"), BorderWidth());
    WriteSettingInteger(*key, QStringLiteral("Scale"), PictureScale());
}

void ScreenCaptureWindow::CopyPicture()
{
    if (!hasScreen_) return;
    const QImage picture = OutputPicture();
    QClipboard* clipboard = QApplication::clipboard();
    clipboard->setImage(picture);
    // The clipboard is the desktop's: read it back to say whether it took the picture.
    if (clipboard->image().size() == picture.size())
        statusLine->setText(tr("Copied to the clipboard (%1 x %2 pixels)").arg(picture.width()).arg(picture.height()));
    else
        statusLine->setText(tr("Not copied: the clipboard did not take the picture"));
}

void ScreenCaptureWindow::SavePicture()
{
    if (!hasScreen_) return;
    savePictureDialog->selectFile(QString());
    if (saveFolder_) {
        const QString folder = saveFolder_();
        if (!folder.isEmpty() && QFileInfo(folder).isDir()) savePictureDialog->setDirectory(folder);
    }
    if (savePictureDialog->exec() != QDialog::Accepted) return;
    const QStringList chosen = savePictureDialog->selectedFiles();
    if (chosen.isEmpty() || chosen.front().isEmpty()) return;
    const QString path = QDir::toNativeSeparators(chosen.front());
    try {
        SavePictureFile(OutputPicture(), chosen.front());
        statusLine->setText(tr("Saved %1").arg(path));
    } catch (const CalvyxError& error) {
        const QString reason = QString::fromStdString(error.what());
        statusLine->setText(tr("Not saved %1: %2").arg(path, reason));
        ShowApplicationError(reason, this);
    }
}

void ScreenCaptureWindow::CheckReceiver()
{
    if (!isVisible()) {
        if (receiver_) receiver_->Stop();
        receiverCheckTimer->stop();
        return;
    }
    receiverCheckTimer->setInterval(DeviceCheckMs);
    const bool present = !devicePresent_ || devicePresent_();
    if (present && !receiver_ && lendReader_) {
        try {
            receiver_ = new ScreenReaderThread(this, lendReader_(), prefix_);
        } catch (const std::logic_error& e) {
            // Someone else still has the link; the next tick tries again.
            Trace(std::string("capture waits for the link: ") + e.what());
        }
    }
    // A stopped thread is not replaced while the window stays open.
    if (!present && receiver_) receiver_->Stop();
}

void ScreenCaptureWindow::WindowShown() { receiverCheckTimer->start(); }

void ScreenCaptureWindow::WindowClosed()
{
    if (closing_) return;
    closing_ = true;
    hide();
    SaveSettings();
    StopReceiver();
    closing_ = false;
}

void ScreenCaptureWindow::StopReceiver()
{
    if (!receiver_) return;
    receiver_->Stop();
    // A worker that has just completed a screen is handed over while we wait.
    WaitServingCalls(receiver_);
    delete receiver_;
    receiver_ = nullptr;
}
