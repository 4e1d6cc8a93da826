// SPDX-License-Identifier: MIT
#pragma once

#include <QList>
#include <QWidget>

namespace host {
class FramePlace;
class LineControl;
} // namespace host

namespace vortle {
class DiskDisplay;
class DriveMenu;
class ImageControl;
} // namespace vortle

class QAction;
class QLabel;
class QMenu;

// The main window "vrtl": the disk icon, five image buttons, the banner and two pop-up menus.
class Main : public QWidget {
    Q_OBJECT
public:
    explicit Main(QWidget* parent = nullptr);

public slots:
    void Form_Load();
    void Form_Unload();

    void mnuExit_Click();
    void mnuMinimize_Click();
    void mnuInfo_Click();
    void mnuNotes_Click();
    void mnuAddToArch_Click();
    void mnuOpenAutoArch_Click();
    void mnuDelInAutoArch_Click();
    void mnuClearDustBin_Click();
    void mnuClearRecentDocs_Click();
    void mnuClearClipBoard_Click();
    void mnuOpenInExplorer_Click();

    void Image1_Click();

    void Image2_Click();

    void Image3_Click();

    void Image4_Click();

    void Image5_Click();

    void picIcon_Click();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    host::FramePlace* m_place;
    QLabel* picNoDisk;
    QLabel* Picture1; // the banner
    vortle::ImageControl* picIcon;
    QLabel* Label1;                  // the white top of the strip
    vortle::ImageControl* Image1;    // "Disk Properties"
    vortle::ImageControl* Image2;    // "Execute Link"
    vortle::ImageControl* Image3;    // "Cool Stuff"
    vortle::ImageControl* Image4;    // "Preferences"
    vortle::ImageControl* Image5;    // "Other Stuff"
    QList<host::LineControl*> Line1; // two etched separators
    QMenu* mnuWindows;
    QAction* mnuClearDustBin;
    QAction* mnuClearRecentDocs;
    QAction* mnuClearClipBoard;
    QAction* mnuLine1; // separator
    QAction* mnuInfo;
    QAction* mnuMinimize;
    QAction* mnuExit;
    QMenu* mnuCoolStuff;
    QAction* mnuOpenInExplorer;
    QAction* mnuNotes;
    QAction* mnuLine2; // separator
    QAction* mnuAddToArch;
    QAction* mnuOpenAutoArch;
    QAction* mnuDelInAutoArch;

    void buildMenus();
    vortle::DriveMenu* m_drive;
    vortle::DiskDisplay* m_display;
};
