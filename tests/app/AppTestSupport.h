#pragma once

#include "app/SettingsRecord.h"
#include "app/ui/DesktopOpener.h"
#include "app/ui/ErrorHandler.h"

#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <QUrl>
#include <memory>

namespace korva::test {

// A settings store in its own temporary folder, loaded (fresh defaults unless a record is given).
class TempSettings {
public:
    explicit TempSettings(QSize primaryMonitor = QSize(1920, 1080)) : store_(dir_.path() + QLatin1Char('/')) {
        store_.LoadSettings(primaryMonitor);
    }

    SettingsStore& Store() { return store_; }
    SettingsRecord& Record() { return store_.Record(); }
    QString Folder() const { return dir_.path() + QLatin1Char('/'); }

    // The record as the file holds it now.
    SettingsRecord OnDisk() const {
        QFile file(store_.FilePath());
        if (!file.open(QIODevice::ReadOnly))
            return SettingsRecord{};
        return SettingsRecordFromBytes(file.readAll());
    }

    // Makes every later save fail: the folder disappears.
    void BreakFolder() { dir_.remove(); }

private:
    QTemporaryDir dir_;
    SettingsStore store_;
};

// Captures the texts the general error handler would show in an error box.
class ErrorCapture {
public:
    ErrorCapture() {
        previous_ = SetErrorPresenter([this](const QString& text) { texts_.append(text); });
    }
    ~ErrorCapture() { SetErrorPresenter(std::move(previous_)); }

    const QStringList& Texts() const { return texts_; }

private:
    QStringList texts_;
    ErrorPresenter previous_;
};

// Captures the addresses the program would open in the browser or a viewer.
class OpenerCapture {
public:
    OpenerCapture() {
        previous_ = SetDesktopOpener([this](const QUrl& url) {
            urls_.append(url);
            return true;
        });
    }
    ~OpenerCapture() { SetDesktopOpener(std::move(previous_)); }

    const QList<QUrl>& Urls() const { return urls_; }

private:
    QList<QUrl> urls_;
    DesktopOpener previous_;
};

} // namespace korva::test
