#pragma once

#include <QList>
#include <QPointer>
#include <QString>
#include <QUrl>
#include <QWidget>

class QLabel;

namespace korva {

class ImageButton;
class ImageView;
enum class SettingsLoadStatus : int;

// The message window `frmMessage`: the program's one notice box. Borderless, 303 x 143, stays
// above all other windows, never modal. Showing a message makes it visible (centred over the main
// window when it was hidden) and sets its text; a message while it is shown only replaces the text.
// OK hides it. Items dropped onto it are handed on through FilesDropped(). While it is shown it
// also comes back to the front whenever another window of the program is shown, so it stays above
// them even where the desktop ignores the stay-on-top request.
class TfrmMessage : public QWidget {
    Q_OBJECT

public:
    static constexpr int DesignWidth = 303;
    static constexpr int DesignHeight = 143;

    // The creation step: shows the settings notice for load status 0 (not found) or 3 (corrupted).
    // mainWindow: the window the message is centred over.
    TfrmMessage(SettingsLoadStatus loadStatus, QWidget* mainWindow, QWidget* parent = nullptr);
    ~TfrmMessage() override;

    // The program's message window, or nullptr before it is created.
    static TfrmMessage* Instance();

    void SetMainWindow(QWidget* mainWindow);
    void ShowMessage(const QString& text);

    ImageView* Img_Message_Window;
    QLabel* lbl_Message;
    ImageButton* Img_Button_OK;

    // Handlers.
    void FormShow();
    void Img_Button_OKClick();

Q_SIGNALS:
    // Local files and folders dropped onto the window.
    void FilesDropped(const QList<QUrl>& urls);

protected:
    void showEvent(QShowEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<QWidget> mainWindow_;
};

// Shows a message in the program's message window (nothing when there is none).
void ShowMessage(const QString& text);

} // namespace korva
