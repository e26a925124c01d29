<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>Dialog</name>
    <message>
        <source>N/A</source>
        <translation>k. A.</translation>
    </message>
    <message>
        <source>sysName</source>
        <translation>sysName</translation>
    </message>
    <message>
        <source>sysLocation</source>
        <translation>sysLocation</translation>
    </message>
    <message>
        <source>Polls</source>
        <translation>Abfragen</translation>
    </message>
    <message>
        <source>Errors</source>
        <translation>Fehler</translation>
    </message>
    <message>
        <source>Reconnects</source>
        <translation>Neuverbindungen</translation>
    </message>
    <message>
        <source>Up-Time</source>
        <translation>Laufzeit</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>Leeren</translation>
    </message>
    <message>
        <source>Time Since Last Error</source>
        <translation>Seit letztem Fehler</translation>
    </message>
    <message>
        <source>Consecutive</source>
        <translation>In Folge</translation>
    </message>
    <message>
        <source>Decimon Version 1.2</source>
        <translation>Decimon Version 1.2</translation>
    </message>
    <message>
        <source>Copyright (C) 2026 Corvanta Acoustics</source>
        <translation>Copyright (C) 2026 Corvanta Acoustics</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Host</source>
        <translation>Host</translation>
    </message>
    <message>
        <source>New-&gt;</source>
        <translation>Neu-&gt;</translation>
    </message>
    <message>
        <source>Edit-&gt;</source>
        <translation>Ändern→</translation>
    </message>
    <message>
        <source>Delete...</source>
        <translation>Löschen</translation>
    </message>
    <message>
        <source>&lt;-Add</source>
        <translation>&lt;-Hinzu</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbruch</translation>
    </message>
    <message>
        <source>Options</source>
        <translation>Optionen</translation>
    </message>
    <message>
        <source>Shift Length (Hours)</source>
        <translation>Schichtdauer (Stunden)</translation>
    </message>
    <message>
        <source>Polling Interval (Seconds)</source>
        <translation>Abfrageintervall (s)</translation>
    </message>
    <message>
        <source>Level Offset (dB)</source>
        <translation>Pegelkorrektur (dB)</translation>
    </message>
    <message>
        <source>SNMP Timeout (ms)</source>
        <translation>SNMP-Zeitlimit (ms)</translation>
    </message>
    <message>
        <source>SNMP Retries</source>
        <translation>SNMP-Wiederholungen</translation>
    </message>
    <message>
        <source>Configuration Password</source>
        <translation>Konfigurationspasswort</translation>
    </message>
    <message>
        <source>Password</source>
        <translation>Passwort</translation>
    </message>
    <message>
        <source>Confirm Password</source>
        <translation>Passwort bestätigen</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>Warnung</translation>
    </message>
    <message>
        <source>Display Message</source>
        <translation>Meldung zeigen</translation>
    </message>
    <message>
        <source>Restore to Factory Defaults...</source>
        <translation>Werkseinstellungen...</translation>
    </message>
    <message>
        <source>Restore</source>
        <translation>Zurücksetzen</translation>
    </message>
    <message>
        <source>About Decimon</source>
        <translation>Über Decimon</translation>
    </message>
    <message>
        <source>Configure...</source>
        <translation>Konfigurieren...</translation>
    </message>
    <message>
        <source>Configuration Authentication...</source>
        <translation>Anmeldung zur Konfiguration...</translation>
    </message>
    <message>
        <source>Diagnostics...</source>
        <translation>Diagnose...</translation>
    </message>
</context>
<context>
    <name>History</name>
    <message>
        <source>%1h %2m</source>
        <translation>%1 h %2 min</translation>
    </message>
    <message>
        <source>No levels recorded in the last %1 h</source>
        <translation>Keine Pegel in den letzten %1 h aufgezeichnet</translation>
    </message>
    <message>
        <source>No shift under way</source>
        <translation>Zurzeit keine Schicht</translation>
    </message>
    <message>
        <source>Shift %1</source>
        <translation>Schicht %1</translation>
    </message>
    <message>
        <source>Measured %1 of %2</source>
        <translation>Gemessen %1 von %2</translation>
    </message>
    <message>
        <source>Dose used so far %1 %</source>
        <translation>Bisher erreichte Dosis %1 %</translation>
    </message>
    <message>
        <source>LAeq so far: no A-weighted minutes</source>
        <translation>LAeq bisher: keine A-bewerteten Minuten</translation>
    </message>
    <message>
        <source>Nothing measured in this shift yet</source>
        <translation>In dieser Schicht noch nichts gemessen</translation>
    </message>
    <message>
        <source>The record cannot be read: %1</source>
        <translation>Die Aufzeichnung kann nicht gelesen werden: %1</translation>
    </message>
    <message>
        <source>History of </source>
        <translation>Verlauf von </translation>
    </message>
    <message>
        <source>%1 min C-weighted, not judged</source>
        <translation>%1 min C-bewertet, nicht beurteilt</translation>
    </message>
    <message>
        <source>%1 min Z-weighted, not judged</source>
        <translation>%1 min Z-bewertet, nicht beurteilt</translation>
    </message>
    <message>
        <source>%1 min of weighting &quot;%2&quot;, not judged</source>
        <translation>%1 min mit Bewertung „%2“, nicht beurteilt</translation>
    </message>
    <message>
        <source>Shift %1 ended:</source>
        <translation>Schicht %1 beendet:</translation>
    </message>
    <message>
        <source>LEX,8h %1 dB(A), dose %2 %</source>
        <translation>LEX,8h %1 dB(A), Dosis %2 %</translation>
    </message>
    <message>
        <source>Nothing measured in this shift</source>
        <translation>In dieser Schicht nichts gemessen</translation>
    </message>
    <message>
        <source>LAeq so far %1 dB(A)</source>
        <translation>LAeq bisher %1 dB(A)</translation>
    </message>
    <message>
        <source>Leq, %1</source>
        <translation>Leq, %1</translation>
    </message>
    <message>
        <source>Another display records the levels; this one records nothing</source>
        <translation>Eine andere Anzeige zeichnet die Pegel auf; diese zeichnet nichts auf</translation>
    </message>
</context>
<context>
    <name>Menu</name>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Datei</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>&amp;Beenden</translation>
    </message>
    <message>
        <source>Options</source>
        <translation>Optionen</translation>
    </message>
    <message>
        <source>Full Screen	F</source>
        <translation>Vollbild	F</translation>
    </message>
    <message>
        <source>Configuration...	C</source>
        <translation>Konfiguration...	C</translation>
    </message>
    <message>
        <source>Diagnostics...	D</source>
        <translation>Diagnose...	D</translation>
    </message>
    <message>
        <source>History	H</source>
        <translation>Verlauf	H</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Hilfe</translation>
    </message>
    <message>
        <source>&amp;About Decimon...</source>
        <translation>&amp;Über Decimon...</translation>
    </message>
</context>
<context>
    <name>MessageBox</name>
    <message>
        <source>Are you sure you wish to restore the configuration to factory defaults? All current settings will be lost.</source>
        <translation>Die Konfiguration wirklich auf die Werkseinstellungen zurücksetzen? Alle aktuellen Einstellungen gehen verloren.</translation>
    </message>
    <message>
        <source>Delete %1?  Are you sure?</source>
        <translation>%1 löschen? Sind Sie sicher?</translation>
    </message>
    <message>
        <source>Confrm Delete</source>
        <translation>Löschen bestätigen</translation>
    </message>
    <message>
        <source>Confirm Configuration Restore</source>
        <translation>Wiederherstellung bestätigen</translation>
    </message>
    <message>
        <source>Passwords do not match.</source>
        <translation>Die Passwörter stimmen nicht überein.</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Fehler</translation>
    </message>
    <message>
        <source>Invalid password</source>
        <translation>Ungültiges Passwort</translation>
    </message>
    <message>
        <source>The settings file %1 cannot be read (%2); the configuration stays locked until it is repaired.</source>
        <translation>Die Einstellungsdatei %1 kann nicht gelesen werden (%2); die Konfiguration bleibt gesperrt, bis sie repariert ist.</translation>
    </message>
    <message>
        <source>The settings could not be saved: %1</source>
        <translation>Die Einstellungen konnten nicht gespeichert werden: %1</translation>
    </message>
    <message>
        <source>OLE initialization failed.  Make sure that the OLE libraries are the correct version.</source>
        <translation>Die OLE-Initialisierung ist fehlgeschlagen. Stellen Sie sicher, dass die OLE-Bibliotheken in der richtigen Version vorliegen.</translation>
    </message>
    <message>
        <source>Windows sockets initialization failed.</source>
        <translation>Die Initialisierung der Windows Sockets ist fehlgeschlagen.</translation>
    </message>
    <message>
        <source>No password opens the configuration: %1. Repair the file.</source>
        <translation>Kein Passwort öffnet die Konfiguration: %1. Bitte die Datei reparieren.</translation>
    </message>
</context>
<context>
    <name>MeterView</name>
    <message>
        <source>Current sound level</source>
        <translation>Aktueller Schallpegel</translation>
    </message>
    <message>
        <source>Safe noise dosage</source>
        <translation>Zulässige Lärmdosis</translation>
    </message>
    <message>
        <source>limit is exceeded in</source>
        <translation>überschritten in</translation>
    </message>
    <message>
        <source>WEAR HEARING PROTECTION AT</source>
        <translation>IN DIESEM BEREICH IMMER</translation>
    </message>
    <message>
        <source>ALL TIMES IN THIS AREA</source>
        <translation>GEHÖRSCHUTZ TRAGEN</translation>
    </message>
    <message>
        <source>%1h %2m</source>
        <translation>%1 h %2 min</translation>
    </message>
    <message>
        <source>&gt; %1h %2m</source>
        <translation>&gt; %1 h %2 min</translation>
    </message>
</context>
</TS>
