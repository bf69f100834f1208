#include "app/ui/MessageWindow.h"

#include "app/SettingsRecord.h"
#include "app/ui/ImageButton.h"
#include "app/ui/ImageLists.h"
#include "app/ui/ImageView.h"
#include "app/ui/Placement.h"
#include "app/ui/WindowLook.h"
#include "assets/Pictures.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QMimeData>
#include <QShowEvent>
#include <QTimer>

namespace korva {

namespace {

TfrmMessage* instance = nullptr;

} // namespace

TfrmMessage::TfrmMessage(SettingsLoadStatus loadStatus, QWidget* mainWindow, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      mainWindow_(mainWindow) {
    setObjectName(QStringLiteral("frmMessage"));
    setWindowTitle(QStringLiteral("KORVA Rivo"));
    look::SetBackgroundColour(this, look::WindowBackground);
    setAcceptDrops(true);

    Img_Message_Window = new ImageView(this);
    Img_Message_Window->setObjectName(QStringLiteral("Img_Message_Window"));
    Img_Message_Window->SetPicture(assets::Picture(QStringLiteral("Img_Message_Window")));
    Img_Message_Window->setGeometry(0, 0, DesignWidth, DesignHeight);

    lbl_Message = new QLabel(this);
    lbl_Message->setObjectName(QStringLiteral("lbl_Message"));
    look::StyleLabel(lbl_Message, look::Accent, 15);
    lbl_Message->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    lbl_Message->setWordWrap(true);
    lbl_Message->setTextFormat(Qt::PlainText);
    lbl_Message->setGeometry(11, 40, 280, 64);

    Img_Button_OK = new ImageButton(QStringLiteral("OK"), this);
    Img_Button_OK->setObjectName(QStringLiteral("Img_Button_OK"));
    Img_Button_OK->SetImageList(ImageListPictures(QStringLiteral("ImageList_OK_Button")));
    Img_Button_OK->SetPictureTable(ButtonPictures::Ordinary());
    Img_Button_OK->ShowPicture(0);
    Img_Button_OK->setGeometry(115, 112, 73, 18);
    connect(Img_Button_OK, &ImageButton::Clicked, this, &TfrmMessage::Img_Button_OKClick);

    instance = this;
    qApp->installEventFilter(this);

    // The creation step.
    resize(DesignWidth, DesignHeight);
    if (loadStatus == SettingsLoadStatus::NotFound)
        ShowMessage(QStringLiteral("Settings data file not found.\nResetting to defaults"));
    else if (loadStatus == SettingsLoadStatus::Corrupted)
        ShowMessage(QStringLiteral("Corrupted settings data file.\nResetting to defaults"));
}

TfrmMessage::~TfrmMessage() {
    if (instance == this)
        instance = nullptr;
}

TfrmMessage* TfrmMessage::Instance() {
    return instance;
}

void TfrmMessage::SetMainWindow(QWidget* mainWindow) {
    mainWindow_ = mainWindow;
}

void TfrmMessage::ShowMessage(const QString& text) {
    lbl_Message->setText(text);
    if (!isVisible())
        show();
}

void TfrmMessage::FormShow() {
    if (mainWindow_)
        move(placement::MessagePlacement(mainWindow_->geometry(), size()));
}

void TfrmMessage::Img_Button_OKClick() {
    hide();
}

void TfrmMessage::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TfrmMessage::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void TfrmMessage::dropEvent(QDropEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.isEmpty())
        return;
    event->acceptProposedAction();
    Q_EMIT FilesDropped(urls);
}

bool TfrmMessage::eventFilter(QObject* watched, QEvent* event) {
    // Only the program's ordinary windows: error boxes, menus and tool tips keep their place.
    const auto ordinaryWindow = [](QObject* object) {
        if (!object->isWidgetType())
            return false;
        const auto* widget = static_cast<QWidget*>(object);
        return widget->isWindow() && widget->windowType() == Qt::Window && !widget->isModal();
    };
    if (event->type() == QEvent::Show && watched != this && isVisible() && ordinaryWindow(watched)) {
        QTimer::singleShot(0, this, [this] {
            if (isVisible())
                raise();
        });
    }
    return QWidget::eventFilter(watched, event);
}

void ShowMessage(const QString& text) {
    if (TfrmMessage* window = TfrmMessage::Instance())
        window->ShowMessage(text);
}

} // namespace korva
