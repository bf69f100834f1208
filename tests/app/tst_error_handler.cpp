// The general error handler: an error in an event handler stops that action, its text is shown,
// and the program carries on.

#include "AppTestSupport.h"
#include "app/SettingsError.h"
#include "app/ui/ErrorHandler.h"

#include <QTest>
#include <QTimer>
#include <stdexcept>

using namespace korva;
using namespace korva::test;

namespace {

// An object whose handler fails on the events it is sent.
class FailingHandler : public QObject {
public:
    int handled = 0;

protected:
    bool event(QEvent* event) override {
        if (event->type() == QEvent::User) {
            ++handled;
            throw SettingsError(QStringLiteral("Unable to create file \"/x/KORVA_Link.dat\""));
        }
        if (event->type() == QEvent::User + 1) {
            ++handled;
            throw std::runtime_error("\"\" is an invalid integer");
        }
        return QObject::event(event);
    }
};

} // namespace

class ErrorHandlerTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void guardedBodyStopsAtTheErrorAndShowsItsText();
    void errorEscapingAnEventHandlerIsShownAndTheProgramCarriesOn();
    void errorInATimerSlotIsShownAndTheTimerKeepsRunning();
};

void ErrorHandlerTest::guardedBodyStopsAtTheErrorAndShowsItsText() {
    ErrorCapture errors;
    bool after = false;
    QVERIFY(!Guarded([&] {
        throw SettingsError(QStringLiteral("Disk full"));
        after = true;
    }));
    QVERIFY(!after);
    QVERIFY(Guarded([&] { after = true; }));
    QVERIFY(after);
    QVERIFY(!Guarded([] { throw 42; }));
    QCOMPARE(errors.Texts(), (QStringList{QStringLiteral("Disk full"), QStringLiteral("Unknown error")}));
}

void ErrorHandlerTest::errorEscapingAnEventHandlerIsShownAndTheProgramCarriesOn() {
    ErrorCapture errors;
    FailingHandler handler;
    QCoreApplication::postEvent(&handler, new QEvent(QEvent::User));
    QCoreApplication::postEvent(&handler, new QEvent(QEvent::Type(QEvent::User + 1)));
    bool later = false;
    QTimer::singleShot(0, &handler, [&] { later = true; });
    QTRY_VERIFY(later);
    QCOMPARE(handler.handled, 2);
    QCOMPARE(errors.Texts(), (QStringList{QStringLiteral("Unable to create file \"/x/KORVA_Link.dat\""),
                                          QStringLiteral("\"\" is an invalid integer")}));
}

void ErrorHandlerTest::errorInATimerSlotIsShownAndTheTimerKeepsRunning() {
    ErrorCapture errors;
    QTimer timer;
    timer.setInterval(10);
    int ticks = 0;
    QObject::connect(&timer, &QTimer::timeout, &timer, [&] {
        ++ticks;
        throw std::runtime_error("tick failed");
    });
    timer.start();
    QTRY_VERIFY(ticks >= 3);
    timer.stop();
    QCOMPARE(errors.Texts().size(), ticks);
    QCOMPARE(errors.Texts().first(), QStringLiteral("tick failed"));
}

// The test runs inside the program's own application object.
int main(int argc, char** argv) {
    KorvaApplication app(argc, argv);
    QTEST_DISABLE_KEYPAD_NAVIGATION
    ErrorHandlerTest test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_error_handler.moc"
