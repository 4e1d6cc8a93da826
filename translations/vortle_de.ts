<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>ArchiveCommands</name>
    <message>
        <source>The auto-archive on the disk is a link to another file. It was not opened.</source>
        <translation>Das Auto-Archiv auf der Diskette ist eine Verknüpfung zu einer anderen Datei. Es wurde nicht geöffnet.</translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <source>%1: there is no display to show its windows on; without a desktop, start it on a virtual one: xvfb-run -a %1</source>
        <translation>%1: Es gibt keinen Bildschirm, auf dem die Fenster erscheinen könnten; ohne Desktop starten Sie es auf einem virtuellen: xvfb-run -a %1</translation>
    </message>
    <message>
        <source>A desktop companion for the diskette or stick in drive A:.</source>
        <translation>Ein Begleiter auf dem Desktop für die Diskette oder den Stick in Laufwerk A:.</translation>
    </message>
    <message>
        <source>Installs Vortle from the set-up folder, or removes it again.</source>
        <translation>Installiert Vortle aus dem Setup-Ordner oder entfernt es wieder.</translation>
    </message>
    <message>
        <source>Unknown argument &apos;%1&apos;.</source>
        <translation>Unbekanntes Argument „%1“.</translation>
    </message>
</context>
<context>
    <name>DiskProperties</name>
    <message>
        <source>Actions</source>
        <translation>Aktionen</translation>
    </message>
    <message>
        <source>Runs in the root folder of drive A:</source>
        <translation>Läuft im Stammordner von Laufwerk A:</translation>
    </message>
</context>
<context>
    <name>ExecuteLink</name>
    <message>
        <source>Actions run: %1</source>
        <translation>Ausgeführte Aktionen: %1</translation>
    </message>
    <message>
        <source>Action %1: %2</source>
        <translation>Aktion %1: %2</translation>
    </message>
</context>
<context>
    <name>Info</name>
    <message>
        <source>Read Me</source>
        <translation>Liesmich</translation>
    </message>
</context>
<context>
    <name>Notes</name>
    <message>
        <source>The note on the disk is longer than this window can show. Replace the whole note with the text shown here?</source>
        <translation>Die Notiz auf der Diskette ist länger, als dieses Fenster zeigen kann. Die ganze Notiz durch den hier gezeigten Text ersetzen?</translation>
    </message>
</context>
<context>
    <name>Settings</name>
    <message>
        <source>This desktop does not keep a window on top of others.</source>
        <translation>Diese Arbeitsumgebung hält kein Fenster im Vordergrund vor anderen.</translation>
    </message>
</context>
<context>
    <name>vortle</name>
    <message>
        <source>vortle: on Wayland the compositor decides where the panel goes, whether it stays on top and where the splash shows.</source>
        <translation>vortle: Unter Wayland entscheidet der Compositor, wo das Fenster steht, ob es im Vordergrund bleibt und wo der Startbildschirm erscheint.</translation>
    </message>
</context>
<context>
    <name>vortle::DriveMenu</name>
    <message>
        <source>Drive A:</source>
        <translation>Laufwerk A:</translation>
    </message>
    <message>
        <source>The stick or diskette that is plugged in</source>
        <translation>Der eingesteckte Stick oder die eingelegte Diskette</translation>
    </message>
    <message>
        <source>Folder...</source>
        <translation>Ordner ...</translation>
    </message>
    <message>
        <source>Folder: %1...</source>
        <translation>Ordner: %1 ...</translation>
    </message>
    <message>
        <source>Diskette image...</source>
        <translation>Disketten-Abbild ...</translation>
    </message>
    <message>
        <source>Diskette image</source>
        <translation>Disketten-Abbild</translation>
    </message>
    <message>
        <source>Diskette images (*.img *.ima);;All files (*)</source>
        <translation>Disketten-Abbilder (*.img *.ima);;Alle Dateien (*)</translation>
    </message>
    <message>
        <source>Couldn&apos;t open the diskette image.</source>
        <translation>Das Disketten-Abbild konnte nicht geöffnet werden.</translation>
    </message>
    <message>
        <source>The diskette image is in use by %1 already. It was not attached a second time: two programs writing to one image damage its files.</source>
        <translation>Das Disketten-Abbild wird bereits von %1 verwendet. Es wurde nicht ein zweites Mal eingebunden: Zwei Programme, die in ein Abbild schreiben, beschädigen seine Dateien.</translation>
    </message>
    <message>
        <source>The diskette image can only be read: writing to an image needs the desktop&apos;s disk service (udisks2).</source>
        <translation>Das Disketten-Abbild kann nur gelesen werden: Zum Schreiben in ein Abbild ist der Laufwerksdienst des Desktops (udisks2) nötig.</translation>
    </message>
</context>
<context>
    <name>vortle::ExecuteLinkWindow</name>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Waiting for drive A: to answer...</source>
        <translation>Warten auf Antwort von Laufwerk A: ...</translation>
    </message>
    <message>
        <source>Action %1 of %2: %3</source>
        <translation>Aktion %1 von %2: %3</translation>
    </message>
    <message>
        <source>%1 of %2</source>
        <translation>%1 von %2</translation>
    </message>
    <message>
        <source>Writing everything to the disks...</source>
        <translation>Alles wird auf die Datenträger geschrieben …</translation>
    </message>
</context>
</TS>
