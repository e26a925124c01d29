<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="nl_NL">
<context>
    <name>Dialog</name>
    <message>
        <source>N/A</source>
        <translation>n.v.t.</translation>
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
        <translation>Aanvragen</translation>
    </message>
    <message>
        <source>Errors</source>
        <translation>Fouten</translation>
    </message>
    <message>
        <source>Reconnects</source>
        <translation>Herverbindingen</translation>
    </message>
    <message>
        <source>Up-Time</source>
        <translation>Looptijd</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>Wissen</translation>
    </message>
    <message>
        <source>Time Since Last Error</source>
        <translation>Sinds laatste fout</translation>
    </message>
    <message>
        <source>Consecutive</source>
        <translation>Achtereen</translation>
    </message>
    <message>
        <source>Decimon Version 1.2</source>
        <translation>Decimon versie 1.2</translation>
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
        <translation>Nieuw-&gt;</translation>
    </message>
    <message>
        <source>Edit-&gt;</source>
        <translation>Wijzig-&gt;</translation>
    </message>
    <message>
        <source>Delete...</source>
        <translation>Wissen...</translation>
    </message>
    <message>
        <source>&lt;-Add</source>
        <translation>&lt;-Toev.</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Afbreken</translation>
    </message>
    <message>
        <source>Options</source>
        <translation>Opties</translation>
    </message>
    <message>
        <source>Shift Length (Hours)</source>
        <translation>Dienstduur (uren)</translation>
    </message>
    <message>
        <source>Polling Interval (Seconds)</source>
        <translation>Meetinterval (s)</translation>
    </message>
    <message>
        <source>Level Offset (dB)</source>
        <translation>Niveaucorrectie (dB)</translation>
    </message>
    <message>
        <source>SNMP Timeout (ms)</source>
        <translation>SNMP-time-out (ms)</translation>
    </message>
    <message>
        <source>SNMP Retries</source>
        <translation>SNMP-herhalingen</translation>
    </message>
    <message>
        <source>Configuration Password</source>
        <translation>Configuratiewachtwoord</translation>
    </message>
    <message>
        <source>Password</source>
        <translation>Wachtwoord</translation>
    </message>
    <message>
        <source>Confirm Password</source>
        <translation>Wachtwoord bevestigen</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>Waarschuwing</translation>
    </message>
    <message>
        <source>Display Message</source>
        <translation>Bericht tonen</translation>
    </message>
    <message>
        <source>Restore to Factory Defaults...</source>
        <translation>Fabrieksinstellingen...</translation>
    </message>
    <message>
        <source>Restore</source>
        <translation>Herstellen</translation>
    </message>
    <message>
        <source>About Decimon</source>
        <translation>Over Decimon</translation>
    </message>
    <message>
        <source>Configure...</source>
        <translation>Configureren...</translation>
    </message>
    <message>
        <source>Configuration Authentication...</source>
        <translation>Aanmelden...</translation>
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
        <translation>%1 u %2 min</translation>
    </message>
    <message>
        <source>No levels recorded in the last %1 h</source>
        <translation>Geen niveaus vastgelegd in de laatste %1 u</translation>
    </message>
    <message>
        <source>No shift under way</source>
        <translation>Geen dienst bezig</translation>
    </message>
    <message>
        <source>Shift %1</source>
        <translation>Dienst %1</translation>
    </message>
    <message>
        <source>Measured %1 of %2</source>
        <translation>Gemeten %1 van %2</translation>
    </message>
    <message>
        <source>Dose used so far %1 %</source>
        <translation>Dosis tot nu toe %1 %</translation>
    </message>
    <message>
        <source>LAeq so far: no A-weighted minutes</source>
        <translation>LAeq tot nu toe: geen A-gewogen minuten</translation>
    </message>
    <message>
        <source>Nothing measured in this shift yet</source>
        <translation>In deze dienst nog niets gemeten</translation>
    </message>
    <message>
        <source>The record cannot be read: %1</source>
        <translation>Het register kan niet worden gelezen: %1</translation>
    </message>
    <message>
        <source>History of </source>
        <translation>Verloop van </translation>
    </message>
    <message>
        <source>%1 min C-weighted, not judged</source>
        <translation>%1 min C-gewogen, niet beoordeeld</translation>
    </message>
    <message>
        <source>%1 min Z-weighted, not judged</source>
        <translation>%1 min Z-gewogen, niet beoordeeld</translation>
    </message>
    <message>
        <source>%1 min of weighting &quot;%2&quot;, not judged</source>
        <translation>%1 min met weging &quot;%2&quot;, niet beoordeeld</translation>
    </message>
    <message>
        <source>Shift %1 ended:</source>
        <translation>Dienst %1 beëindigd:</translation>
    </message>
    <message>
        <source>LEX,8h %1 dB(A), dose %2 %</source>
        <translation>LEX,8h %1 dB(A), dosis %2 %</translation>
    </message>
    <message>
        <source>Nothing measured in this shift</source>
        <translation>In deze dienst niets gemeten</translation>
    </message>
    <message>
        <source>LAeq so far %1 dB(A)</source>
        <translation>LAeq tot nu toe %1 dB(A)</translation>
    </message>
    <message>
        <source>Leq, %1</source>
        <translation>Leq, %1</translation>
    </message>
    <message>
        <source>Another display records the levels; this one records nothing</source>
        <translation>Een ander scherm registreert de niveaus; dit scherm registreert niets</translation>
    </message>
</context>
<context>
    <name>Menu</name>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Bestand</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>&amp;Afsluiten</translation>
    </message>
    <message>
        <source>Options</source>
        <translation>Opties</translation>
    </message>
    <message>
        <source>Full Screen	F</source>
        <translation>Volledig scherm	F</translation>
    </message>
    <message>
        <source>Configuration...	C</source>
        <translation>Configuratie...	C</translation>
    </message>
    <message>
        <source>Diagnostics...	D</source>
        <translation>Diagnose...	D</translation>
    </message>
    <message>
        <source>History	H</source>
        <translation>Verloop	H</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Help</translation>
    </message>
    <message>
        <source>&amp;About Decimon...</source>
        <translation>&amp;Over Decimon...</translation>
    </message>
</context>
<context>
    <name>MessageBox</name>
    <message>
        <source>Are you sure you wish to restore the configuration to factory defaults? All current settings will be lost.</source>
        <translation>Weet u zeker dat u de fabrieksinstellingen wilt herstellen? Alle huidige instellingen gaan verloren.</translation>
    </message>
    <message>
        <source>Delete %1?  Are you sure?</source>
        <translation>%1 verwijderen? Weet u het zeker?</translation>
    </message>
    <message>
        <source>Confrm Delete</source>
        <translation>Verwijderen bevestigen</translation>
    </message>
    <message>
        <source>Confirm Configuration Restore</source>
        <translation>Herstel bevestigen</translation>
    </message>
    <message>
        <source>Passwords do not match.</source>
        <translation>De wachtwoorden komen niet overeen.</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Fout</translation>
    </message>
    <message>
        <source>Invalid password</source>
        <translation>Ongeldig wachtwoord</translation>
    </message>
    <message>
        <source>The settings file %1 cannot be read (%2); the configuration stays locked until it is repaired.</source>
        <translation>Het instellingenbestand %1 kan niet worden gelezen (%2); de configuratie blijft vergrendeld tot het is hersteld.</translation>
    </message>
    <message>
        <source>The settings could not be saved: %1</source>
        <translation>De instellingen konden niet worden opgeslagen: %1</translation>
    </message>
    <message>
        <source>OLE initialization failed.  Make sure that the OLE libraries are the correct version.</source>
        <translation>OLE-initialisatie mislukt. Controleer of de OLE-bibliotheken de juiste versie hebben.</translation>
    </message>
    <message>
        <source>Windows sockets initialization failed.</source>
        <translation>Initialisatie van Windows Sockets mislukt.</translation>
    </message>
    <message>
        <source>No password opens the configuration: %1. Repair the file.</source>
        <translation>Geen wachtwoord opent de configuratie: %1. Herstel het bestand.</translation>
    </message>
</context>
<context>
    <name>MeterView</name>
    <message>
        <source>Current sound level</source>
        <translation>Huidig geluidsniveau</translation>
    </message>
    <message>
        <source>Safe noise dosage</source>
        <translation>Veilige geluidsdosis</translation>
    </message>
    <message>
        <source>limit is exceeded in</source>
        <translation>overschreden over</translation>
    </message>
    <message>
        <source>WEAR HEARING PROTECTION AT</source>
        <translation>DRAAG GEHOORBESCHERMERS</translation>
    </message>
    <message>
        <source>ALL TIMES IN THIS AREA</source>
        <translation>ALTIJD IN DEZE ZONE</translation>
    </message>
    <message>
        <source>%1h %2m</source>
        <translation>%1 u %2 min</translation>
    </message>
    <message>
        <source>&gt; %1h %2m</source>
        <translation>&gt; %1 u %2 min</translation>
    </message>
</context>
</TS>
