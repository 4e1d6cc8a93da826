// SPDX-License-Identifier: MIT
#include "DiskDisplay.h"

namespace vortle {

DiskDisplay::DiskDisplay(const QImage& noDiskPicture, const QString& toolTip, QObject* parent)
    : QObject(parent), m_noDisk(noDiskPicture), m_picture(noDiskPicture), m_toolTip(toolTip) {}

void DiskDisplay::setPicture(const QImage& picture) {
    m_picture = picture;
    emit changed();
}

void DiskDisplay::setToolTip(const QString& toolTip) {
    m_toolTip = toolTip;
    emit changed();
}

} // namespace vortle
