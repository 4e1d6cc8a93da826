// SPDX-License-Identifier: MIT
#pragma once

#include <QList>
#include <QWidget>

namespace host {
class LineControl;
}

class DiskDisplay;
class DriveMenu;
class ImageControl;
class QLabel;
class QMenu;
class QAction;

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
    QLabel* picNoDisk;
    QLabel* Picture1; // the banner
    ImageControl* picIcon;
    QLabel* Label1;                  // the white top of the strip
    ImageControl* Image1;            // "Disk Properties"
    ImageControl* Image2;            // "Execute Link"
    ImageControl* Image3;            // "Cool Stuff"
    ImageControl* Image4;            // "Preferences"
    ImageControl* Image5;            // "Other Stuff"
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
    DriveMenu* m_drive;
    DiskDisplay* m_display;
};
