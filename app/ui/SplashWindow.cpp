#include "app/ui/SplashWindow.h"

#include "app/SettingsRecord.h"
#include "app/Version.h"
#include "app/ui/ErrorHandler.h"
#include "app/ui/ImageView.h"
#include "app/ui/OptimalFillLabel.h"
#include "app/ui/Placement.h"
#include "app/ui/WindowLook.h"
#include "assets/Pictures.h"

#include <QGuiApplication>
#include <QScreen>
#include <QShowEvent>
#include <QTimer>

namespace korva {

namespace {

QList<QRect> MonitorBounds() {
    QList<QRect> bounds;
    const QList<QScreen*> screens = QGuiApplication::screens();
    for (const QScreen* screen : screens)
        bounds.append(screen->geometry());
    return bounds;
}

QSize PrimaryMonitorSize() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry().size() : QSize(0, 0);
}

} // namespace

TfrmStartup_Screen::TfrmStartup_Screen(SettingsStore& settings, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), settings_(settings) {
    setObjectName(QStringLiteral("frmStartup_Screen"));
    setWindowTitle(QStringLiteral("KORVA Rivo"));
    look::SetBackgroundColour(this, look::WindowBackground);
    resize(DesignWidth, DesignHeight);

    imgStartup = new ImageView(this);
    imgStartup->setObjectName(QStringLiteral("imgStartup"));
    imgStartup->setGeometry(0, 0, DesignWidth, DesignHeight);
    imgStartup->SetPicture(assets::Picture(QStringLiteral("imgStartup")));

    lbl_VersionInfo = new OptimalFillLabel(this);
    lbl_VersionInfo->setObjectName(QStringLiteral("lbl_VersionInfo"));
    look::StyleLabel(lbl_VersionInfo, look::Text, 11);
    lbl_VersionInfo->setAlignment(Qt::AlignRight | Qt::AlignTop);
    lbl_VersionInfo->setGeometry(310, 61, 122, 30);

    tmrStartup_Time = new QTimer(this);
    tmrStartup_Time->setObjectName(QStringLiteral("tmrStartup_Time"));
    tmrStartup_Time->setSingleShot(true);
    connect(tmrStartup_Time, &QTimer::timeout, this, [this] { Guarded([this] { tmrStartup_TimeTimer(); }); });

    // The creation step: the store already knows the application data folder.
    tmrStartup_Time->setInterval(HandOverMs);
    tmrStartup_Time->start();
    // A settings file that cannot be read or written is reported; the program goes on with the
    // record as far as it was filled, and every later save reports its own failure.
    Guarded([this] { settings_.LoadSettings(PrimaryMonitorSize()); });
    lbl_VersionInfo->setText(VersionText(QString::fromUtf8(version::ProductVersion)));
}

QString TfrmStartup_Screen::VersionText(const QString& productVersion) {
    return QStringLiteral("KORVA Rivo v") + productVersion + QStringLiteral("\nBuild: ") +
           QString::fromUtf8(version::BuildDate);
}

void TfrmStartup_Screen::SetHandOverWindows(QWidget* mainWindow, QWidget* connectWindow) {
    mainWindow_ = mainWindow;
    connectWindow_ = connectWindow;
}

void TfrmStartup_Screen::FormShow() {
    const SettingsRecord& record = settings_.Record();
    const QSize size = imgStartup->size();
    resize(size);
    move(placement::SplashPlacement(QPoint(record.WindowLeft, record.WindowTop), size, MonitorBounds()));
}

void TfrmStartup_Screen::FormWindowStateChange() {
    if (windowState() != Qt::WindowNoState)
        setWindowState(Qt::WindowNoState);
}

void TfrmStartup_Screen::tmrStartup_TimeTimer() {
    tmrStartup_Time->stop();
    QWidget* next = settings_.Record().AutoConnect.IsSet() ? mainWindow_.data() : connectWindow_.data();
    if (next)
        next->show();
    hide();
}

void TfrmStartup_Screen::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TfrmStartup_Screen::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        FormWindowStateChange();
}

} // namespace korva
