// What the connection controller and the status panel draw into: the main window's side of the
// ConnectionView and StatusView interfaces.

#include "app/ui/ImageButton.h"
#include "app/ui/ImageView.h"
#include "app/ui/MainWindow.h"
#include "app/ui/OptimalFillLabel.h"
#include "app/ui/ProgressRing.h"
#include "app/ui/StatusLineLabel.h"
#include "app/ui/ToolsPanel.h"
#include "app/ui/WindowLook.h"

#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <algorithm>

namespace korva {

namespace {

QRgb Opaque(std::uint32_t rgb) {
    return QRgb(0xFF000000u | (rgb & 0xFFFFFFu));
}

// Window points are independent of the display's density here: the toolkit scales them to the
// screen, so a point counts as a pixel at 96 per inch.
constexpr double WindowPointsPerInch = 96.0;

void EnableTimer(QTimer* timer, bool enabled) {
    // Enabling a running timer keeps its rhythm.
    if (!enabled)
        timer->stop();
    else if (!timer->isActive())
        timer->start();
}

} // namespace

QList<QWidget*> TfrmMain::ConnectedControls() const {
    return {lbl_Progress_Bar_Percentage,   Img_Drop_NC_File,  lbl_NC_File_Sent_Time,
            Img_Send_File_Connect,         Img_Button_Tools,  lbl_Jobs,
            Img_Button_Parts_Reset,        lbl_KORVA_Info,    Tools->Img_Get_Tools_Data,
            Tools->Img_Generate_Text_File, Edit_KORVA_Folder, Img_Editbox_KORVA_Folder_Name};
}

// ---- ConnectionView

void TfrmMain::HideConnectedControls() {
    for (QWidget* control : ConnectedControls())
        control->hide();
}

void TfrmMain::ShowStatusLine(const QString& text, int fontSize, std::uint32_t colour) {
    lbl_Machine_Status->show();
    lbl_Machine_Status->setText(text);
    SetStatusFontSize(fontSize);
    SetStatusColour(colour);
}

void TfrmMain::SetStatusBlink(bool enabled) {
    EnableTimer(tmr_Messgae_Blink, enabled);
}

void TfrmMain::ShowFileLine(const QString& text, std::uint32_t colour) {
    lbl_NC_File_Name->show();
    SetFileLineColour(colour);
    lbl_NC_File_Name->resize(lbl_NC_File_Name->width(), FileLineTwoLineHeight);
    lbl_NC_File_Name->setText(text);
}

void TfrmMain::ShowProgressRing(std::int32_t percent) {
    Ring->ShowProgressRing(percent);
}

void TfrmMain::SetMachineNameCaption(const QString& caption) {
    lbl_Machine_Name->setText(caption);
}

void TfrmMain::ShowConnectedControls() {
    for (QWidget* control : ConnectedControls())
        control->show();
    lbl_NC_File_Name->show();
}

void TfrmMain::SetFileLineText(const QString& text) {
    lbl_NC_File_Name->setText(text);
}

void TfrmMain::ShowIdentity(const DecodedStatus& identity) {
    statusPanel_->ShowIdentity(identity);
}

void TfrmMain::SetToolListCount(int toolCount) {
    Tools->SetListToolCount(toolCount);
}

bool TfrmMain::RefreshStatus(LinkShared&) {
    return statusPanel_->RefreshStatus() == RefreshOutcome::EndedOnKnownAlarm;
}

void TfrmMain::SetFileDropsAccepted(bool accepted) {
    setAcceptDrops(accepted);
}

void TfrmMain::SetSendAndDropPicturesVisible(bool visible) {
    Img_Send_File_Connect->setVisible(visible);
    Img_Drop_NC_File->setVisible(visible);
}

void TfrmMain::ShowToolFetchProgress(int requestedTool, int toolCount) {
    ShowProgressRing(toollist::FetchPercent(requestedTool, toolCount));
}

void TfrmMain::ShowToolFetchEnd() {
    Tools->PositionToolList(0);
}

// The transfer display proper (remaining time, "File sent" line, outcome messages) comes with the
// transfer engine; until then these keep the label and timer states consistent.
void TfrmMain::StartFileSentLine() {
    EnableTimer(tmr_File_Sent_Time, true);
    lbl_NC_File_Sent_Time->show();
}

void TfrmMain::ShowTransferOutcome(int) {
    lbl_NC_File_Sent_Time->hide();
}

void TfrmMain::ShowTransferProgress() {}

// ---- StatusView

void TfrmMain::SetJobsText(const QString& text) {
    lbl_Jobs->setText(text);
}

void TfrmMain::SetJobTimeText(const QString& text) {
    lbl_NC_File_Sent_Time->setText(text);
}

void TfrmMain::SetIdentityText(const QString& text) {
    lbl_KORVA_Info->setText(text);
    // The identity block's box reaches past the window's bottom edge: the text is fitted into the
    // part of the box that lies inside the window, around the box's middle, so no line is cut.
    const QRect box = lbl_KORVA_Info->geometry();
    const int visibleHeight = std::min(box.height(), 2 * (height() - box.center().y()) - 1);
    if (visibleHeight < box.height() && visibleHeight > 0) {
        QFont font = lbl_KORVA_Info->font();
        font.setPixelSize(OptimalFillPixelSize(font, text, QSize(box.width(), visibleHeight)));
        lbl_KORVA_Info->setFont(font);
    }
}

void TfrmMain::SetStatusText(const QString& text) {
    lbl_Machine_Status->setText(text);
}

void TfrmMain::SetStatusFontSize(int points) {
    QFont font = lbl_Machine_Status->font();
    font.setPointSize(points);
    lbl_Machine_Status->setFont(font);
}

void TfrmMain::SetStatusColour(std::uint32_t rgb) {
    look::SetTextColour(lbl_Machine_Status, Opaque(rgb));
}

void TfrmMain::SetStatusVisible(bool visible) {
    lbl_Machine_Status->setVisible(visible);
}

void TfrmMain::SetBlinkEnabled(bool enabled) {
    EnableTimer(tmr_Messgae_Blink, enabled);
}

void TfrmMain::SetSendAndDropVisible(bool visible) {
    SetSendAndDropPicturesVisible(visible);
}

void TfrmMain::SetFileLineColour(std::uint32_t rgb) {
    look::SetTextColour(lbl_NC_File_Name, Opaque(rgb));
}

void TfrmMain::SetFileLineHeight(int pixels) {
    lbl_NC_File_Name->resize(lbl_NC_File_Name->width(), pixels);
}

double TfrmMain::ScreenDpi() const {
    return WindowPointsPerInch;
}

} // namespace korva
