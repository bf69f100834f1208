// The folder beside the application bundle that holds the settings file.

#include "app/AppDataFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QTest>

using namespace korva;

class AppDataFolderTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void folderIsTheOneHoldingTheBundle_data();
    void folderIsTheOneHoldingTheBundle();
    void relativeExecutablePathIsTakenFromTheCurrentFolder();
    void runningProgramUsesItsOwnExecutable();
};

void AppDataFolderTest::folderIsTheOneHoldingTheBundle_data() {
    QTest::addColumn<QString>("executable");
    QTest::addColumn<QString>("folder");

    QTest::newRow("bundle") << "/Users/anna/Apps/KORVA Rivo.app/Contents/MacOS/KORVA Rivo"
                            << "/Users/anna/Apps/";
    QTest::newRow("single dots") << "/Users/anna/./Apps/KORVA Rivo.app/./Contents/MacOS/./KORVA Rivo"
                                 << "/Users/anna/Apps/";
    QTest::newRow("double dots") << "/Users/anna/tmp/../Apps/Rivo.app/Contents/../Contents/MacOS/Rivo"
                                 << "/Users/anna/Apps/";
    QTest::newRow("repeated separators") << "//Users///anna/Apps//Rivo.app/Contents//MacOS///Rivo"
                                         << "/Users/anna/Apps/";
    QTest::newRow("bundle at the root") << "/Rivo.app/Contents/MacOS/Rivo"
                                        << "/";
    QTest::newRow("not in a bundle, shallow") << "/opt/rivo"
                                              << "/";
    QTest::newRow("non-ASCII names") << "/Users/Jürgen/Programme/Rivo.app/Contents/MacOS/Rivo"
                                     << "/Users/Jürgen/Programme/";
}

void AppDataFolderTest::folderIsTheOneHoldingTheBundle() {
    QFETCH(QString, executable);
    QFETCH(QString, folder);
    QCOMPARE(AppDataFolderFor(executable), folder);
}

void AppDataFolderTest::relativeExecutablePathIsTakenFromTheCurrentFolder() {
    const QString folder = AppDataFolderFor(QStringLiteral("build/./Rivo.app/Contents/MacOS/Rivo"));
    QCOMPARE(folder, QDir::current().absoluteFilePath(QStringLiteral("build")) + u'/');
}

void AppDataFolderTest::runningProgramUsesItsOwnExecutable() {
    const QString folder = CurrentAppDataFolder();
    QVERIFY(QDir::isAbsolutePath(folder));
    QVERIFY(folder.endsWith(u'/'));
    QCOMPARE(folder, AppDataFolderFor(QCoreApplication::applicationFilePath()));
}

QTEST_GUILESS_MAIN(AppDataFolderTest)
#include "tst_app_data_folder.moc"
