// Saves the settings in the given folder without pause, switching between two records that differ
// in name, path and position, until the process is killed. Prints "ready" after the first save.
// Used by tst_settings_store to kill a save at random moments.

#include "app/SettingsRecord.h"

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2)
        return 2;
    korva::SettingsStore store(QString::fromLocal8Bit(argv[1]));
    korva::SettingsRecord& record = store.Record();
    for (unsigned long long i = 0;; ++i) {
        const bool alpha = i % 2 == 0;
        record.MachineName.Assign(alpha ? QStringLiteral("Alpha mill") : QStringLiteral("Bravo"));
        record.MappedFolderPath.Assign(QString(alpha ? 4095 : 17, alpha ? u'a' : u'b'));
        record.WindowLeft = alpha ? 111 : 222;
        record.ToolsPanelOpen.Set(alpha);
        store.SaveSettings();
        if (i == 0) {
            std::puts("ready");
            std::fflush(stdout);
        }
    }
}
