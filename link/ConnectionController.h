#pragma once

#include "link/ConnectionView.h"
#include "link/LinkStatus.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>

namespace korva {

class UDP_Server_Thread_Class;

// The controller's address: "192.168.4.1" (its own access point) or the four octets in decimal
// joined by ".".
QString ControllerAddressText(bool useOwnNetwork, const std::array<std::uint8_t, 4>& controllerIp);

// Caption of the machine name label: the name, or "KORVA" when it is empty.
QString MachineNameCaption(const QString& machineName);

inline constexpr int UiTickPollingMs = 200;
inline constexpr int UiTickTransferMs = 100;
inline constexpr int UiTickToolFetchMs = 10;
inline constexpr int ConnectionTimeoutTickMs = 100;
inline constexpr int ToolResendAfterMs = 500;

// Drives the controller link from the UI thread: starts a connection (receiver thread, TxSocket),
// runs the link state machine in the UiTick, watches the connection, and stops the link again.
// The main window owns one and forwards its timer ticks and clicks; the look of the window is
// reached through ConnectionView.
class ConnectionController : public QObject {
    Q_OBJECT
public:
    // Timers: the two timers tick the handlers. Manual: the timers are started, stopped and given
    // their intervals as usual, but their ticks do not call the handlers; tests call
    // tmr_Get_KORVA_InfoTimer / tmr_Connection_TimeoutTimer themselves.
    enum class TickDrive { Timers, Manual };

    ConnectionController(LinkShared& link, ConnectionView& view, TickDrive drive = TickDrive::Timers,
                         QObject* parent = nullptr);
    ~ConnectionController() override; // runs Shutdown()

    ConnectionController(const ConnectionController&) = delete;
    ConnectionController& operator=(const ConnectionController&) = delete;

    // The UiTick timer (200 ms at creation, disabled) and the watchdog timer (100 ms, disabled).
    QTimer tmr_Get_KORVA_Info;
    QTimer tmr_Connection_Timeout;

    // Sets ControllerAddress, starts a new receiver thread (a running one is stopped first) and
    // shows the connecting view.
    void StartConnection(bool useOwnNetwork, std::array<std::uint8_t, 4> controllerIp, QString machineName);

    // Enters the connecting state (nothing at all while a file is being sent).
    void ShowConnectingView();

    // Shows the connected main window and arms the watchdog.
    void ShowConnectedView();

    // One tick of the link's main loop; the handler of tmr_Get_KORVA_Info.
    void UiTick();
    void tmr_Get_KORVA_InfoTimer() { UiTick(); }

    // The watchdog tick: the link counts as lost on the 101st tick after the last valid datagram.
    void tmr_Connection_TimeoutTimer();

    // Starts a tool fetch (ignored while a fetch or a file transfer runs).
    void Img_Get_Tools_DataClick();

    // Asks for a job-counter reset (ignored while a fetch or a file transfer runs).
    void Img_Button_Parts_ResetClick();

    // The protocol part of Disconnect: stops the transfer thread and the receiver thread (joining
    // both), closes TxSocket and disables both timers. LinkState is left as it is. The window then
    // saves the settings and switches to the connect window.
    void Img_Button_DisconnectClick();

    // For the main window's destruction: stops the transfer thread and the receiver thread and
    // joins them. Safe to call more than once.
    void Shutdown();

    // How to stop a running transfer thread and wait until it has ended (set by the transfer side).
    void SetTransferStopper(std::function<void()> stopAndJoinTransfer);

    LinkShared& Link() { return link_; }
    QString ControllerAddress() const;
    QString MachineName() const { return machineName_; }

    // The receiver thread of the current connection, or null.
    UDP_Server_Thread_Class* Receiver() const { return receiver_.get(); }

private:
    void StopReceiver();
    void StopTransfer();
    void SetTickInterval(int ms);
    void SendIdentify();
    void SendSetClock();
    void SendResetJobCount();
    void SendStatus();
    void SendToolName(int toolNumber);
    void DoStateDuties();

    LinkShared& link_;
    ConnectionView& view_;
    QString machineName_;
    std::unique_ptr<UDP_Server_Thread_Class> receiver_;
    std::function<void()> stopTransfer_;
};

} // namespace korva
