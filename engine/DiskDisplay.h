// SPDX-License-Identifier: MIT
#pragma once

#include <QImage>
#include <QObject>
#include <QString>

namespace vortle {

// What the main window's disk icon shows: a picture and a tool tip (the diskette's name, or a
// hint when there is none). It starts with the no-diskette picture. The main window owns it
// and follows its changes; Module1's procedures set it.
class DiskDisplay : public QObject {
    Q_OBJECT
public:
    DiskDisplay(const QImage& noDiskPicture, const QString& toolTip, QObject* parent = nullptr);

    const QImage& noDiskPicture() const { return m_noDisk; }
    const QImage& picture() const { return m_picture; }
    const QString& toolTip() const { return m_toolTip; }

    void setPicture(const QImage& picture);
    void setToolTip(const QString& toolTip);

signals:
    void changed();

private:
    const QImage m_noDisk;
    QImage m_picture;
    QString m_toolTip;
};

} // namespace vortle
