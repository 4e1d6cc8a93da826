// SPDX-License-Identifier: MIT
#include "ExecuteLinkWindow.h"

#include "engine/ActionKinds.h"
#include "engine/ExecuteLinkRun.h"

#include "host/gui/Controls.h"
#include "host/gui/DialogKeys.h"
#include "host/gui/MediumText.h"
#include "host/gui/Twips.h"

#include <QLabel>
#include <QLocale>
#include <QProgressBar>
#include <QPushButton>

namespace vortle {

ExecuteLinkWindow::ExecuteLinkWindow(QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    host::setUpForm(this, QStringLiteral("Execute Link"), 5535, 1935);
    m_action = host::placeControl(new QLabel(this), "lblAction", 120, 120, 5295, 255);
    m_paths = host::placeControl(new QLabel(this), "lblPaths", 120, 420, 5295, 495);
    m_action->setTextFormat(Qt::PlainText);
    m_paths->setTextFormat(Qt::PlainText);
    m_bytes = host::placeControl(new QProgressBar(this), "barBytes", 120, 1000, 5295, 255);
    m_bytes->setTextVisible(true);
    m_cancel =
        host::placeControl(new QPushButton(tr("Cancel"), this), "cmdCancel", 4080, 1440, 1335, 375);
    host::DialogKeys::install(this, m_cancel, m_cancel);
    connect(m_cancel, &QPushButton::clicked, this, [this] {
        m_cancel->setEnabled(false); // the run stops at its next safe point
        emit cancelRequested();
    });
}

void ExecuteLinkWindow::setWaiting() {
    setWindowTitle(QStringLiteral("Vortle"));
    m_action->setText(tr("Waiting for drive A: to answer..."));
    m_paths->clear();
    m_bytes->setVisible(false);
}

void ExecuteLinkWindow::setProgress(const ExecuteLinkProgress& where) {
    if (where.finishing) {
        m_action->setText(tr("Writing everything to the disks..."));
        m_paths->clear();
        m_bytes->setVisible(false);
        m_cancel->setEnabled(false); // nothing is left to stop
        return;
    }
    m_action->setText(tr("Action %1 of %2: %3")
                          .arg(where.action + 1)
                          .arg(where.count)
                          .arg(ActionKinds::labelFor(where.current.kind)));
    const bool twoPaths = where.current.kind == DiskSettings::kCopyFile ||
                          where.current.kind == DiskSettings::kMoveFile;
    // One line per path, elided in the middle where it is too long (a long name has no blank
    // to wrap at); the whole paths are in the tip.
    const QString first = host::mediumText(where.current.firstPath);
    const QString second = twoPaths ? host::mediumText(where.current.secondPath) : QString();
    const QString arrow = QStringLiteral("→ ");
    const QFontMetrics metrics = m_paths->fontMetrics();
    const int width = m_paths->width();
    QString shown = metrics.elidedText(first, Qt::ElideMiddle, width);
    if (twoPaths)
        shown +=
            QLatin1Char('\n') + arrow +
            metrics.elidedText(second, Qt::ElideMiddle, width - metrics.horizontalAdvance(arrow));
    m_paths->setText(shown);
    m_paths->setToolTip(twoPaths ? first + QLatin1Char('\n') + arrow + second : first);
    const bool copying = where.bytesTotal > 0;
    m_bytes->setVisible(copying);
    if (copying) {
        // Kibibytes keep the bar's range within an int for any file.
        m_bytes->setRange(0, int(std::max<qint64>(1, where.bytesTotal >> 10)));
        m_bytes->setValue(int(where.bytesDone >> 10));
        const QLocale locale;
        m_bytes->setFormat(tr("%1 of %2")
                               .arg(locale.formattedDataSize(where.bytesDone),
                                    locale.formattedDataSize(where.bytesTotal)));
    }
}

} // namespace vortle
