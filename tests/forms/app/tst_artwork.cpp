// SPDX-License-Identifier: MIT
// The windows' pictures at the screen's scale (QT_SCALE_FACTOR 1 and 2, one run each): drawn
// for it, at the same logical size, and screenshots of them in the test output.
#include "Ctl.h"
#include "HookRecorders.h"
#include "TestPrefix.h"

#include "forms/app/Info.h"
#include "forms/app/Main.h"
#include "forms/app/StartUp.h"
#include "host/gui/FormInstance.h"

#include <QDir>
#include <QLabel>
#include <QTest>

class TestArtwork : public QObject {
    Q_OBJECT
private slots:
    void picturesAreDrawnForTheScreen() {
        TestPrefix prefix;
        MessageBoxRecorder boxes;
        const qreal scale = qApp->devicePixelRatio();
        const QString shots = qEnvironmentVariable("VORTLE_BIN") + "/../screenshots";
        QDir().mkpath(shots);
        StartUp splash;
        Main* main = host::FormInstance<Main>::show();
        Info* info = host::FormInstance<Info>::show();
        const QList<QPair<QWidget*, QLabel*>> windows = {{&splash, ctl<QLabel>(&splash, "Image1")},
                                                         {main, ctl<QLabel>(main, "Picture1")},
                                                         {info, ctl<QLabel>(info, "Picture1")}};
        for (const auto& [window, picture] : windows) {
            QCOMPARE(picture->pixmap().devicePixelRatio(), scale);
            QVERIFY(window->grab().save(QStringLiteral("%1/%2-%3x.png")
                                            .arg(shots, window->objectName().isEmpty()
                                                            ? window->metaObject()->className()
                                                            : window->objectName())
                                            .arg(scale)));
        }
        delete info;
        delete main;
    }
};

QTEST_MAIN(TestArtwork)
#include "tst_artwork.moc"
