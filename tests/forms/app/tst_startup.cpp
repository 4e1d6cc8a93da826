// SPDX-License-Identifier: MIT
#include "Ctl.h"
#include "FormTestSupport.h"
#include "HookRecorders.h"
#include "TestPrefix.h"

#include "forms/app/Main.h"
#include "forms/app/StartUp.h"

#include "host/gui/FormInstance.h"
#include "host/gui/Twips.h"
#include "host/gui/WindowPos.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QScreen>
#include <QTest>
#include <QTimer>

class TestStartUp : public QObject {
    Q_OBJECT
private slots:
    void init() {
        m_prefix = std::make_unique<TestPrefix>();
        m_end = std::make_unique<EndProgramRecorder>();
    }
    void cleanup() {
        delete host::FormInstance<StartUp>::loaded();
        delete host::FormInstance<Main>::loaded();
        m_end.reset();
        m_prefix.reset();
    }

    void placementOnA640By480Screen();
    void splashIsCentredTopmostAndBare();
    void mainWindowFollowsAfterFourSecondsOnce();

private:
    std::unique_ptr<TestPrefix> m_prefix;
    std::unique_ptr<EndProgramRecorder> m_end;
};

void TestStartUp::placementOnA640By480Screen() {
    // 4070 x 2675 twips at left 2765, top 2262.5: pixel (184, 151) with halves to even.
    const QRect frame = StartUp::placement(QSizeF(3990, 2595), QSizeF(9600, 7200), 15, 15);
    QCOMPARE(frame, QRect(184, 151, 271, 178));
    // Halves go to the even neighbour: 2 x 7.5 twips is 1 pixel, 3 x 7.5 is 2.
    QCOMPARE(StartUp::placement(QSizeF(0, 0), QSizeF(95, 125), 15, 15).topLeft(), QPoint(0, 2));
}

void TestStartUp::splashIsCentredTopmostAndBare() {
    StartUp* splash = host::FormInstance<StartUp>::show();
    QVERIFY(splash->isVisible());
    QVERIFY(host::isTopmost(splash));
    QVERIFY(splash->windowFlags().testFlag(Qt::FramelessWindowHint));
    QCOMPARE(splash->windowType(), Qt::SplashScreen); // no task-bar entry
    QCOMPARE(ctl<QLabel>(splash, "Image1")->pixmap().size(), QSize(266, 173));
    const QSize outer(host::twipsToPixelsX(3990 + 80), host::twipsToPixelsY(2595 + 80));
    QCOMPARE(splash->frameGeometry().size(), outer);
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const QRect expected = StartUp::placement(
        QSizeF(3990, 2595),
        QSizeF(host::pixelsToTwipsX(screen.width()), host::pixelsToTwipsY(screen.height())),
        host::twipsPerPixelX(), host::twipsPerPixelY());
    QCOMPARE(splash->frameGeometry().topLeft(), expected.topLeft());
    // The picture lies wholly inside the frame.
    QVERIFY(
        splash->rect().contains(QRect(ctl<QLabel>(splash, "Image1")->mapTo(splash, QPoint(0, 0)),
                                      ctl<QLabel>(splash, "Image1")->size())));
    QVERIFY(ctl<QTimer>(splash, "Timer1")->isSingleShot());
    QCOMPARE(ctl<QTimer>(splash, "Timer1")->interval(), 4000);
    QVERIFY(ctl<QTimer>(splash, "Timer1")->isActive());
}

void TestStartUp::mainWindowFollowsAfterFourSecondsOnce() {
    QElapsedTimer clock;
    clock.start();
    QPointer<StartUp> splash = host::FormInstance<StartUp>::show();
    QTest::qWait(3800);
    QVERIFY(!host::FormInstance<Main>::loaded());
    QVERIFY(splash);
    QTRY_VERIFY_WITH_TIMEOUT(host::FormInstance<Main>::loaded(), 3000);
    QVERIFY(clock.elapsed() >= 4000);
    QVERIFY(host::FormInstance<Main>::loaded()->isVisible());
    QTRY_VERIFY(!splash);
    QTest::qWait(300);
    QCOMPARE(countWindows<Main>(), 1);
    QCOMPARE(countWindows<StartUp>(), 0);
}

QTEST_MAIN(TestStartUp)
#include "tst_startup.moc"
