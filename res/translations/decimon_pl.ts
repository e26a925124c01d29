<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="pl_PL">
<context>
    <name>Dialog</name>
    <message>
        <source>N/A</source>
        <translation>b.d.</translation>
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
        <translation>Odczyty</translation>
    </message>
    <message>
        <source>Errors</source>
        <translation>Błędy</translation>
    </message>
    <message>
        <source>Reconnects</source>
        <translation>Ponowne połączenia</translation>
    </message>
    <message>
        <source>Up-Time</source>
        <translation>Czas pracy</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>Wyczyść</translation>
    </message>
    <message>
        <source>Time Since Last Error</source>
        <translation>Od ostatniego błędu</translation>
    </message>
    <message>
        <source>Consecutive</source>
        <translation>Kolejne</translation>
    </message>
    <message>
        <source>Decimon Version 1.2</source>
        <translation>Decimon wersja 1.2</translation>
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
        <translation>Nowy-&gt;</translation>
    </message>
    <message>
        <source>Edit-&gt;</source>
        <translation>Edytuj-&gt;</translation>
    </message>
    <message>
        <source>Delete...</source>
        <translation>Usuń...</translation>
    </message>
    <message>
        <source>&lt;-Add</source>
        <translation>&lt;-Dodaj</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Anuluj</translation>
    </message>
    <message>
        <source>Options</source>
        <translation>Opcje</translation>
    </message>
    <message>
        <source>Shift Length (Hours)</source>
        <translation>Długość zmiany (h)</translation>
    </message>
    <message>
        <source>Polling Interval (Seconds)</source>
        <translation>Odstęp odczytów (s)</translation>
    </message>
    <message>
        <source>Level Offset (dB)</source>
        <translation>Korekta poziomu (dB)</translation>
    </message>
    <message>
        <source>SNMP Timeout (ms)</source>
        <translation>Limit czasu SNMP (ms)</translation>
    </message>
    <message>
        <source>SNMP Retries</source>
        <translation>Powtórzenia SNMP</translation>
    </message>
    <message>
        <source>Configuration Password</source>
        <translation>Hasło konfiguracji</translation>
    </message>
    <message>
        <source>Password</source>
        <translation>Hasło</translation>
    </message>
    <message>
        <source>Confirm Password</source>
        <translation>Potwierdź hasło</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>Ostrzeżenie</translation>
    </message>
    <message>
        <source>Display Message</source>
        <translation>Pokaż komunikat</translation>
    </message>
    <message>
        <source>Restore to Factory Defaults...</source>
        <translation>Ustawienia fabryczne...</translation>
    </message>
    <message>
        <source>Restore</source>
        <translation>Przywracanie</translation>
    </message>
    <message>
        <source>About Decimon</source>
        <translation>O programie Decimon</translation>
    </message>
    <message>
        <source>Configure...</source>
        <translation>Konfiguruj...</translation>
    </message>
    <message>
        <source>Configuration Authentication...</source>
        <translation>Uwierzytelnianie...</translation>
    </message>
    <message>
        <source>Diagnostics...</source>
        <translation>Diagnostyka...</translation>
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
        <translation>Brak zapisanych poziomów z ostatnich %1 h</translation>
    </message>
    <message>
        <source>No shift under way</source>
        <translation>Brak trwającej zmiany</translation>
    </message>
    <message>
        <source>Shift %1</source>
        <translation>Zmiana %1</translation>
    </message>
    <message>
        <source>Measured %1 of %2</source>
        <translation>Zmierzono %1 z %2</translation>
    </message>
    <message>
        <source>Dose used so far %1 %</source>
        <translation>Dotychczasowa dawka %1 %</translation>
    </message>
    <message>
        <source>LAeq so far: no A-weighted minutes</source>
        <translation>LAeq dotąd: brak minut z korekcją A</translation>
    </message>
    <message>
        <source>Nothing measured in this shift yet</source>
        <translation>W tej zmianie jeszcze nic nie zmierzono</translation>
    </message>
    <message>
        <source>The record cannot be read: %1</source>
        <translation>Nie można odczytać zapisu: %1</translation>
    </message>
    <message>
        <source>History of </source>
        <translation>Historia </translation>
    </message>
    <message>
        <source>%1 min C-weighted, not judged</source>
        <translation>%1 min z korekcją C, bez oceny</translation>
    </message>
    <message>
        <source>%1 min Z-weighted, not judged</source>
        <translation>%1 min z korekcją Z, bez oceny</translation>
    </message>
    <message>
        <source>%1 min of weighting &quot;%2&quot;, not judged</source>
        <translation>%1 min z korekcją „%2”, bez oceny</translation>
    </message>
    <message>
        <source>Shift %1 ended:</source>
        <translation>Zmiana %1 zakończona:</translation>
    </message>
    <message>
        <source>LEX,8h %1 dB(A), dose %2 %</source>
        <translation>LEX,8h %1 dB(A), dawka %2 %</translation>
    </message>
    <message>
        <source>Nothing measured in this shift</source>
        <translation>W tej zmianie nic nie zmierzono</translation>
    </message>
    <message>
        <source>LAeq so far %1 dB(A)</source>
        <translation>LAeq dotąd %1 dB(A)</translation>
    </message>
    <message>
        <source>Leq, %1</source>
        <translation>Leq, %1</translation>
    </message>
    <message>
        <source>Another display records the levels; this one records nothing</source>
        <translation>Inny wyświetlacz zapisuje poziomy; ten niczego nie zapisuje</translation>
    </message>
</context>
<context>
    <name>Menu</name>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Plik</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>&amp;Zakończ</translation>
    </message>
    <message>
        <source>Options</source>
        <translation>Opcje</translation>
    </message>
    <message>
        <source>Full Screen	F</source>
        <translation>Pełny ekran	F</translation>
    </message>
    <message>
        <source>Configuration...	C</source>
        <translation>Konfiguracja...	C</translation>
    </message>
    <message>
        <source>Diagnostics...	D</source>
        <translation>Diagnostyka...	D</translation>
    </message>
    <message>
        <source>History	H</source>
        <translation>Historia	H</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>Pomo&amp;c</translation>
    </message>
    <message>
        <source>&amp;About Decimon...</source>
        <translation>&amp;O programie Decimon...</translation>
    </message>
</context>
<context>
    <name>MessageBox</name>
    <message>
        <source>Are you sure you wish to restore the configuration to factory defaults? All current settings will be lost.</source>
        <translation>Czy na pewno przywrócić ustawienia fabryczne? Wszystkie bieżące ustawienia zostaną utracone.</translation>
    </message>
    <message>
        <source>Delete %1?  Are you sure?</source>
        <translation>Usunąć %1? Czy na pewno?</translation>
    </message>
    <message>
        <source>Confrm Delete</source>
        <translation>Potwierdź usunięcie</translation>
    </message>
    <message>
        <source>Confirm Configuration Restore</source>
        <translation>Potwierdź przywrócenie</translation>
    </message>
    <message>
        <source>Passwords do not match.</source>
        <translation>Hasła nie są zgodne.</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Błąd</translation>
    </message>
    <message>
        <source>Invalid password</source>
        <translation>Nieprawidłowe hasło</translation>
    </message>
    <message>
        <source>The settings file %1 cannot be read (%2); the configuration stays locked until it is repaired.</source>
        <translation>Nie można odczytać pliku ustawień %1 (%2); konfiguracja pozostaje zablokowana do czasu jego naprawy.</translation>
    </message>
    <message>
        <source>The settings could not be saved: %1</source>
        <translation>Nie udało się zapisać ustawień: %1</translation>
    </message>
    <message>
        <source>OLE initialization failed.  Make sure that the OLE libraries are the correct version.</source>
        <translation>Inicjalizacja OLE nie powiodła się. Sprawdź, czy biblioteki OLE są we właściwej wersji.</translation>
    </message>
    <message>
        <source>Windows sockets initialization failed.</source>
        <translation>Inicjalizacja gniazd Windows nie powiodła się.</translation>
    </message>
    <message>
        <source>No password opens the configuration: %1. Repair the file.</source>
        <translation>Żadne hasło nie otwiera konfiguracji: %1. Napraw plik.</translation>
    </message>
</context>
<context>
    <name>MeterView</name>
    <message>
        <source>Current sound level</source>
        <translation>Aktualny poziom dźwięku</translation>
    </message>
    <message>
        <source>Safe noise dosage</source>
        <translation>Dopuszczalna dawka hałasu</translation>
    </message>
    <message>
        <source>limit is exceeded in</source>
        <translation>przekroczona za</translation>
    </message>
    <message>
        <source>WEAR HEARING PROTECTION AT</source>
        <translation>STOSUJ OCHRONNIKI SŁUCHU</translation>
    </message>
    <message>
        <source>ALL TIMES IN THIS AREA</source>
        <translation>ZAWSZE W TEJ STREFIE</translation>
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
