#pragma once

#include "link/LinkStatus.h"

#include <QString>

#include <cstdint>

namespace korva {

// Texts and looks the connection controller writes into the main window.
namespace ConnectionLook {
inline constexpr char ConnectingText[] = "Connecting...";
inline constexpr int ConnectingFontSize = 12;
inline constexpr std::uint32_t ConnectingColour = 0x64E168;

inline constexpr char TryingToConnectPrefix[] = "Trying to connect to\nIP: ";
inline constexpr std::uint32_t FileLineColour = 0x65E2FC;

inline constexpr char GettingToolsText[] = "Getting Tools\nData";
inline constexpr int GettingToolsFontSize = 12;
inline constexpr std::uint32_t GettingToolsColour = 0x64E168;

inline constexpr char DefaultMachineName[] = "KORVA";
} // namespace ConnectionLook

// What the connection controller needs from the main window. The main window implements it; tests
// use a recording fake. Every call comes on the UI thread. Colours are 0xRRGGBB (QColor(QRgb) takes
// them as they are).
class ConnectionView {
public:
    virtual ~ConnectionView() = default;

    // ---- Connecting view

    // Hides lbl_Progress_Bar_Percentage, Img_Drop_NC_File, lbl_NC_File_Sent_Time,
    // Img_Send_File_Connect, Img_Button_Tools, lbl_Jobs, Img_Button_Parts_Reset, lbl_KORVA_Info,
    // Img_Get_Tools_Data, Img_Generate_Text_File, Edit_KORVA_Folder, Img_Editbox_KORVA_Folder_Name.
    virtual void HideConnectedControls() = 0;

    // Makes lbl_Machine_Status visible with the caption, font size (points) and font colour.
    // Used for "Connecting..." and "Getting Tools\nData".
    virtual void ShowStatusLine(const QString& text, int fontSize, std::uint32_t colour) = 0;

    // Enables or disables tmr_Messgae_Blink (the blinking status line).
    virtual void SetStatusBlink(bool enabled) = 0;

    // Makes lbl_NC_File_Name visible with the font colour and the caption.
    virtual void ShowFileLine(const QString& text, std::uint32_t colour) = 0;

    // Lays the main window out without the tools panel.
    virtual void ApplyNarrowLayout() = 0;

    // Progress ring picture n (0 to 100) with the text n + "%".
    virtual void ShowProgressRing(int percent) = 0;

    // Caption of lbl_Machine_Name.
    virtual void SetMachineNameCaption(const QString& caption) = 0;

    // ---- Connected view

    // Shows lbl_Progress_Bar_Percentage, Img_Drop_NC_File, lbl_NC_File_Name, lbl_NC_File_Sent_Time,
    // Img_Send_File_Connect, Img_Button_Tools, lbl_Jobs, Img_Button_Parts_Reset, lbl_KORVA_Info,
    // Img_Get_Tools_Data, Img_Generate_Text_File, Edit_KORVA_Folder, Img_Editbox_KORVA_Folder_Name.
    virtual void ShowConnectedControls() = 0;

    // Caption of lbl_NC_File_Name only.
    virtual void SetFileLineText(const QString& text) = 0;

    // Lays the main window out for the tools panel's saved state (ToolsPanelOpen).
    virtual void ApplyToolsPanelLayout() = 0;

    // ---- Display branches of the tick

    // State 2: writes the identity block.
    virtual void ShowIdentity(const DecodedStatus& identity) = 0;

    // State 2: gives the tool list toolCount rows and chooses its thumb picture.
    virtual void SetToolListCount(int toolCount) = 0;

    // State 5: the status panel refresh, working on the decoded data and the display caches in
    // link.LinkStatus. Returns true when a known alarm is shown, which ends the tick.
    virtual bool RefreshStatus(LinkShared& link) = 0;

    // Start of a tool fetch: accept (true) or refuse (false) files dropped on the main window.
    virtual void SetFileDropsAccepted(bool accepted) = 0;

    // Start of a tool fetch: shows or hides Img_Send_File_Connect and Img_Drop_NC_File.
    virtual void SetSendAndDropPicturesVisible(bool visible) = 0;

    // State 9: fetch progress on the ring from the tool last asked for and the controller's tool
    // count (toolCount may be 0 when no identity has been seen; show 0 then).
    virtual void ShowToolFetchProgress(int requestedTool, int toolCount) = 0;

    // State 10: the list goes back to its first row (thumb at the top, tools 1 to 10).
    virtual void ShowToolFetchEnd() = 0;

    // State 8: starts tmr_File_Sent_Time (without restarting it when it runs) and shows
    // lbl_NC_File_Sent_Time.
    virtual void StartFileSentLine() = 0;

    // A failed transfer (TransferResult 1 to 5): the message window with that code's message, and
    // lbl_NC_File_Sent_Time hidden.
    virtual void ShowTransferOutcome(int transferResult) = 0;

    // State 7: percentage on the ring and the remaining-time estimate.
    virtual void ShowTransferProgress() = 0;
};

} // namespace korva
