#include "windows/ScreenCaptureWindow.h"

#include <algorithm>
#include <stdexcept>

#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QIcon>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QSlider>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>

#include "link/PortName.h"
#include "link/Trace.h"
#include "link/UsbPipes.h"
#include "services/ScreenImage.h"
#include "services/ScreenPicture.h"
#include "util/GeneralError.h"
#include "util/MainThread.h"
#include "util/Registry.h"
#include "windows/ErrorBox.h"
#include "windows/WindowPlacement.h"

ScreenCaptureWindow* TheCaptureWindow = nullptr;

namespace {
const char* const CaptureSection = "ScreenCapture";
constexpr int DefaultBorderWidth = 1;
// The first tick after the first showing comes quickly; every later one after a second.
constexpr int FirstTickMs = 100;
constexpr int DeviceCheckMs = 1000;
const QString BmpFilter = QStringLiteral("Bitmaps (*.bmp)");
const QString PngFilter = QStringLiteral("PNG images (*.png)");

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

ScreenReaderThread::ScreenReaderThread(ScreenCaptureWindow* Form, LinkLease link, const std::string& PortName,
                                       const ByteString& Prefix)
    : FForm(Form), FPortName(PortName), FPrefix(Prefix), reader_(std::move(link))
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
    FTerminated = true;
    reader_.Cancelled = true;
}

void ScreenReaderThread::Execute()
{
    try {
        // Without a connection name nothing can be read: Capture would hand back the
        // prefix at once, again and again.
        while (!FTerminated && !FPortName.empty()) {
            ByteString result;
            reader_.ReadScreen(FPortName, FPrefix, result);
            FScreen = result;
            if (!FScreen.empty()) RunInMainThread([this] { ShowScreen(); });
            // The prefix belongs to the first screen only.
            FPrefix.clear();
        }
    } catch (...) {
        // A link that cannot be opened or a failed read ends the thread quietly; the
        // window keeps its last picture.
    }
    reader_.Cancelled = true;
}

void ScreenReaderThread::ShowScreen() { FForm->SetScreen(FScreen); }

// ---- ScreenCaptureWindow ----

int StoredBorderWidth()
{
    int border = DefaultBorderWidth;
    try {
        auto key = OpenRegistryKey(CaptureSection);
        border = ReadRegistryInteger(*key, QStringLiteral("Border"), DefaultBorderWidth);
    } catch (const CalvyxError&) {
        // A value of the wrong type counts as missing.
    }
    return std::clamp(border, 0, MaxBorderWidth);
}

QString ScreenCaptureWindow::PromptText()
{
    return QStringLiteral("On calculator, press ON and 1 simultaneously to capture the screen. Use the copy button to "
                          "copy the picture to the clipboard, then reuse it in documents or editors.\r\n\r\n"
                          "This window opens automatically when the calculator sends a screen.");
}

ScreenCaptureWindow::ScreenCaptureWindow(QWidget* parent)
    : TFormBase(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("Capture"));
    setWindowTitle(QStringLiteral("Screen Capture"));
    setModal(true);

    const int areaWidth = 2 * (ScreenWidth + 4 * MaxBorderWidth);
    const int areaHeight = 2 * (ScreenHeight + 4 * MaxBorderWidth);

    promptPanel = new QFrame(this);
    promptPanel->setObjectName(QStringLiteral("promptPanel"));
    promptPanel->setFrameShape(QFrame::StyledPanel);
    promptPanel->setFrameShadow(QFrame::Raised);
    lblPrompt = new QLabel(promptPanel);
    lblPrompt->setObjectName(QStringLiteral("lblPrompt"));
    lblPrompt->setWordWrap(true);
    lblPrompt->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    auto* panelLayout = new QVBoxLayout(promptPanel);
    panelLayout->setContentsMargins(8, 6, 8, 6);
    panelLayout->addWidget(lblPrompt);

    ImageArea = new QWidget(this);
    ImageArea->setObjectName(QStringLiteral("ImageArea"));
    ImageArea->setFixedSize(areaWidth, areaHeight);
    screenImage = new QLabel(ImageArea);
    screenImage->setObjectName(QStringLiteral("screenImage"));
    screenImage->setToolTip(QStringLiteral("Calculator Screen Image"));
    screenImage->setScaledContents(true);

    lblBorder = new QLabel(QStringLiteral("Border:   "), this);
    lblBorder->setObjectName(QStringLiteral("lblBorder"));
    trkbBorder = new QSlider(Qt::Horizontal, this);
    trkbBorder->setObjectName(QStringLiteral("trkbBorder"));
    trkbBorder->setRange(0, MaxBorderWidth);
    trkbBorder->setPageStep(1);
    trkbBorder->setSingleStep(1);
    trkbBorder->setTickPosition(QSlider::TicksBelow);
    trkbBorder->setTickInterval(1);
    trkbBorder->setFixedWidth(150);
    trkbBorder->setValue(DefaultBorderWidth);
    lblBorder->setBuddy(trkbBorder);

    btnCopy = new QPushButton(CopyGlyph(), QStringLiteral("&Copy"), this);
    btnCopy->setObjectName(QStringLiteral("btnCopy"));
    btnSave = new QPushButton(style()->standardIcon(QStyle::SP_DialogSaveButton), QStringLiteral("Save"), this);
    btnSave->setObjectName(QStringLiteral("btnSave"));
    btnClose = new QPushButton(style()->standardIcon(QStyle::SP_DialogCloseButton), QStringLiteral("Close"), this);
    btnClose->setObjectName(QStringLiteral("btnClose"));
    for (QPushButton* button : {btnCopy, btnSave, btnClose}) button->setMinimumWidth(81);

    auto* borderRow = new QHBoxLayout;
    borderRow->addWidget(lblBorder);
    borderRow->addWidget(trkbBorder);
    borderRow->addStretch();
    auto* buttonRow = new QHBoxLayout;
    buttonRow->addWidget(btnCopy);
    buttonRow->addWidget(btnSave);
    buttonRow->addStretch();
    buttonRow->addWidget(btnClose);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 8);
    layout->addWidget(promptPanel);
    auto* body = new QVBoxLayout;
    body->setContentsMargins(12, 4, 12, 0);
    body->addWidget(ImageArea, 0, Qt::AlignHCenter);
    body->addLayout(borderRow);
    body->addSpacing(4);
    body->addLayout(buttonRow);
    layout->addLayout(body);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    // The prompt wraps inside the window's width; its panel is at least the design 105.
    const int promptWidth = areaWidth + 24 - 16;
    lblPrompt->setFixedWidth(promptWidth);

    windowPlacement = new WindowPlacement(this, QString::fromLatin1(CaptureSection));
    receiverCheckTimer = new QTimer(this);
    receiverCheckTimer->setObjectName(QStringLiteral("receiverCheckTimer"));
    receiverCheckTimer->setInterval(FirstTickMs);
    savePictureDialog = new QFileDialog(this, QStringLiteral("Save Picture As"));
    savePictureDialog->setObjectName(QStringLiteral("savePictureDialog"));
    savePictureDialog->setOption(QFileDialog::DontUseNativeDialog);
    savePictureDialog->setAcceptMode(QFileDialog::AcceptSave);
    savePictureDialog->setFileMode(QFileDialog::AnyFile);
    savePictureDialog->setNameFilters({BmpFilter, PngFilter});
    savePictureDialog->setDefaultSuffix(QStringLiteral("bmp"));
    connect(savePictureDialog, &QFileDialog::filterSelected, this, [this](const QString& filter) {
        savePictureDialog->setDefaultSuffix(filter == PngFilter ? QStringLiteral("png") : QStringLiteral("bmp"));
    });

    connect(trkbBorder, &QSlider::valueChanged, this, &ScreenCaptureWindow::trkbBorderChange);
    connect(btnCopy, &QPushButton::clicked, this, &ScreenCaptureWindow::mnuCopyClick);
    connect(btnSave, &QPushButton::clicked, this, &ScreenCaptureWindow::btnSaveClick);
    connect(btnClose, &QPushButton::clicked, this, &QDialog::close);
    connect(receiverCheckTimer, &QTimer::timeout, this, &ScreenCaptureWindow::CheckReceiver);

    // FormCreate.
    try {
        windowPlacement->RestorePositions(true, true);
    } catch (const CalvyxError& error) {
        ShowApplicationError(QString::fromStdString(error.what()), this);
    }
    lblPrompt->setText(PromptText());
    promptPanel->setMinimumHeight(qMax(105, lblPrompt->heightForWidth(promptWidth) + 12));
    trkbBorder->setValue(StoredBorderWidth());
    // The blank frame until the first screen arrives.
    UpdatePicture();
}

ScreenCaptureWindow::~ScreenCaptureWindow() { StopReceiver(); }

int ScreenCaptureWindow::BorderWidth() const { return trkbBorder->value(); }

void ScreenCaptureWindow::ShowCapture(const std::string& PortName, const ByteString& Prefix)
{
    FPortName = PortName;
    FPrefix = Prefix;
    FScreen.clear();
    exec();
}

void ScreenCaptureWindow::SetScreen(const ByteString& Screen)
{
    FScreen = Screen;
    UpdatePicture();
}

void ScreenCaptureWindow::UpdatePicture()
{
    FPicture = MonoBitmapToImage(FramedScreenPicture(FScreen, BorderWidth()));
    const QSize shown = FPicture.size() * 2;
    screenImage->setFixedSize(shown);
    screenImage->move((ImageArea->width() - shown.width()) / 2, 0);
    screenImage->setPixmap(QPixmap::fromImage(FPicture.scaled(shown)));
}

void ScreenCaptureWindow::trkbBorderChange() { UpdatePicture(); }

void ScreenCaptureWindow::SaveSettings()
{
    windowPlacement->SavePositions();
    auto key = OpenRegistryKey(CaptureSection);
    WriteRegistryInteger(*key, QStringLiteral("Border"), BorderWidth());
}

void ScreenCaptureWindow::mnuCopyClick() { QApplication::clipboard()->setImage(FPicture); }

void ScreenCaptureWindow::btnSaveClick()
{
    savePictureDialog->selectFile(QString());
    if (savePictureDialog->exec() != QDialog::Accepted) return;
    const QStringList chosen = savePictureDialog->selectedFiles();
    if (chosen.isEmpty() || chosen.front().isEmpty()) return;
    try {
        SavePictureFile(FPicture, chosen.front());
    } catch (const CalvyxError& error) {
        ShowApplicationError(QString::fromStdString(error.what()), this);
    }
}

void ScreenCaptureWindow::CheckReceiver()
{
    if (!isVisible()) {
        if (FReceiver) FReceiver->Stop();
        receiverCheckTimer->stop();
        return;
    }
    receiverCheckTimer->setInterval(DeviceCheckMs);
    bool present = true;
    if (IsUsbPortName(FPortName)) present = UsbDevicePresent(FPortName);
    if (present && !FReceiver && lendLink_) {
        try {
            FReceiver = new ScreenReaderThread(this, lendLink_(), FPortName, FPrefix);
        } catch (const std::logic_error& e) {
            // Someone else still has the link; the next tick tries again.
            Trace(std::string("capture waits for the link: ") + e.what());
        }
    }
    // A stopped thread is not replaced while the window stays open.
    if (!present && FReceiver) FReceiver->Stop();
}

void ScreenCaptureWindow::FormShow() { receiverCheckTimer->start(); }

void ScreenCaptureWindow::FormClose()
{
    if (FClosing) return;
    FClosing = true;
    hide();
    SaveSettings();
    StopReceiver();
    FClosing = false;
}

void ScreenCaptureWindow::StopReceiver()
{
    if (!FReceiver) return;
    FReceiver->Stop();
    // A worker that has just completed a screen is handed over while we wait.
    WaitServingCalls(FReceiver);
    delete FReceiver;
    FReceiver = nullptr;
}
