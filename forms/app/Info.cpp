// SPDX-License-Identifier: MIT
#include "Info.h"

#include "resources/Pictures.h"

#include "host/core/Prefix.h"
#include "host/gui/ClassicFont.h"
#include "host/gui/Controls.h"
#include "host/gui/DialogKeys.h"
#include "host/gui/WindowPos.h"

#include <QDesktopServices>
#include <QLabel>
#include <QPushButton>
#include <QUrl>

Info::Info(QWidget* parent) : QWidget(parent, host::formFlags(Qt::Dialog)) {
    host::setUpForm(this, QStringLiteral("Info"), 4335, 3990);
    setWindowIcon(Pictures::icon(QStringLiteral("sphere.ico")));

    Label1 = host::placeControl(new QLabel(this), "Label1", 120, 120, 735, 2415);
    host::setBackground(Label1, Qt::white);

    Label2 = host::placeControl(new QLabel(QStringLiteral("Vortle"), this), "Label2", 1080, 120,
                                2415, 255);
    QFont title = host::classicFont();
    title.setBold(true);
    Label2->setFont(title);

    Label6 = host::placeControl(new QLabel(QStringLiteral("Version: 2.0"), this), "Label6", 1080,
                                600, 2655, 255);

    // The picture box lies above the label; the sphere sits inside it.
    Picture1 = host::pictureBox(
        this, "Picture1", Pictures::picture(QStringLiteral("infostrip.bmp")), 120, 1800, 735, 2055);
    Image1 = host::pictureBox(Picture1, "Image1", Pictures::picture(QStringLiteral("sphere.ico")),
                              120, 1440, 480, 480);

    if (!readMePath().isEmpty()) {
        cmdReadMe = host::placeControl(new QPushButton(tr("Read Me"), this), "cmdReadMe", 2880,
                                       3360, 1335, 375);
        connect(cmdReadMe, &QPushButton::clicked, this, &Info::cmdReadMe_Click);
    }

    host::DialogKeys::install(this, nullptr); // Escape closes it

    // Centred on the screen each time it is loaded.
    host::centreOnScreen(this);
}

QString Info::readMePath() {
    return host::installedFile(
        {QStringLiteral("ReadMe.txt"), QStringLiteral("../share/doc/vortle/ReadMe.txt")});
}

void Info::cmdReadMe_Click() {
    // The desktop's viewer for text files shows it, as a double click in the file manager would.
    QDesktopServices::openUrl(QUrl::fromLocalFile(readMePath()));
}
