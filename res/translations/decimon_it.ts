<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="it_IT">
<context>
    <name>Dialog</name>
    <message>
        <source>N/A</source>
        <translation>N/D</translation>
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
        <translation>Letture</translation>
    </message>
    <message>
        <source>Errors</source>
        <translation>Errori</translation>
    </message>
    <message>
        <source>Reconnects</source>
        <translation>Riconnessioni</translation>
    </message>
    <message>
        <source>Up-Time</source>
        <translation>Tempo attivo</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>Azzera</translation>
    </message>
    <message>
        <source>Time Since Last Error</source>
        <translation>Dall&apos;ultimo errore</translation>
    </message>
    <message>
        <source>Consecutive</source>
        <translation>Consecutivi</translation>
    </message>
    <message>
        <source>Decimon Version 1.2</source>
        <translation>Decimon versione 1.2</translation>
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
        <translation>Nuovo-&gt;</translation>
    </message>
    <message>
        <source>Edit-&gt;</source>
        <translation>Modif.-&gt;</translation>
    </message>
    <message>
        <source>Delete...</source>
        <translation>Elimina...</translation>
    </message>
    <message>
        <source>&lt;-Add</source>
        <translation>&lt;-Agg.</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annulla</translation>
    </message>
    <message>
        <source>Options</source>
        <translation>Opzioni</translation>
    </message>
    <message>
        <source>Shift Length (Hours)</source>
        <translation>Durata turno (ore)</translation>
    </message>
    <message>
        <source>Polling Interval (Seconds)</source>
        <translation>Intervallo letture (s)</translation>
    </message>
    <message>
        <source>Level Offset (dB)</source>
        <translation>Correzione livello (dB)</translation>
    </message>
    <message>
        <source>SNMP Timeout (ms)</source>
        <translation>Timeout SNMP (ms)</translation>
    </message>
    <message>
        <source>SNMP Retries</source>
        <translation>Tentativi SNMP</translation>
    </message>
    <message>
        <source>Configuration Password</source>
        <translation>Password di configurazione</translation>
    </message>
    <message>
        <source>Password</source>
        <translation>Password</translation>
    </message>
    <message>
        <source>Confirm Password</source>
        <translation>Conferma password</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>Avviso</translation>
    </message>
    <message>
        <source>Display Message</source>
        <translation>Mostra messaggio</translation>
    </message>
    <message>
        <source>Restore to Factory Defaults...</source>
        <translation>Impostazioni di fabbrica...</translation>
    </message>
    <message>
        <source>Restore</source>
        <translation>Ripristino</translation>
    </message>
    <message>
        <source>About Decimon</source>
        <translation>Informazioni su Decimon</translation>
    </message>
    <message>
        <source>Configure...</source>
        <translation>Configura...</translation>
    </message>
    <message>
        <source>Configuration Authentication...</source>
        <translation>Autenticazione...</translation>
    </message>
    <message>
        <source>Diagnostics...</source>
        <translation>Diagnostica...</translation>
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
        <translation>Nessun livello registrato nelle ultime %1 h</translation>
    </message>
    <message>
        <source>No shift under way</source>
        <translation>Nessun turno in corso</translation>
    </message>
    <message>
        <source>Shift %1</source>
        <translation>Turno %1</translation>
    </message>
    <message>
        <source>Measured %1 of %2</source>
        <translation>Misurato %1 su %2</translation>
    </message>
    <message>
        <source>Dose used so far %1 %</source>
        <translation>Dose raggiunta finora %1 %</translation>
    </message>
    <message>
        <source>LAeq so far: no A-weighted minutes</source>
        <translation>LAeq finora: nessun minuto ponderato A</translation>
    </message>
    <message>
        <source>Nothing measured in this shift yet</source>
        <translation>Ancora nessuna misura in questo turno</translation>
    </message>
    <message>
        <source>The record cannot be read: %1</source>
        <translation>Impossibile leggere la registrazione: %1</translation>
    </message>
    <message>
        <source>History of </source>
        <translation>Cronologia di </translation>
    </message>
    <message>
        <source>%1 min C-weighted, not judged</source>
        <translation>%1 min ponderati C, non valutati</translation>
    </message>
    <message>
        <source>%1 min Z-weighted, not judged</source>
        <translation>%1 min ponderati Z, non valutati</translation>
    </message>
    <message>
        <source>%1 min of weighting &quot;%2&quot;, not judged</source>
        <translation>%1 min con ponderazione «%2», non valutati</translation>
    </message>
    <message>
        <source>Shift %1 ended:</source>
        <translation>Turno %1 concluso:</translation>
    </message>
    <message>
        <source>LEX,8h %1 dB(A), dose %2 %</source>
        <translation>LEX,8h %1 dB(A), dose %2 %</translation>
    </message>
    <message>
        <source>Nothing measured in this shift</source>
        <translation>Nessuna misura in questo turno</translation>
    </message>
    <message>
        <source>LAeq so far %1 dB(A)</source>
        <translation>LAeq finora %1 dB(A)</translation>
    </message>
    <message>
        <source>Leq, %1</source>
        <translation>Leq, %1</translation>
    </message>
    <message>
        <source>Another display records the levels; this one records nothing</source>
        <translation>Un altro display registra i livelli; questo non registra nulla</translation>
    </message>
</context>
<context>
    <name>Menu</name>
    <message>
        <source>&amp;File</source>
        <translation>&amp;File</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>&amp;Esci</translation>
    </message>
    <message>
        <source>Options</source>
        <translation>Opzioni</translation>
    </message>
    <message>
        <source>Full Screen	F</source>
        <translation>Schermo intero	F</translation>
    </message>
    <message>
        <source>Configuration...	C</source>
        <translation>Configurazione...	C</translation>
    </message>
    <message>
        <source>Diagnostics...	D</source>
        <translation>Diagnostica...	D</translation>
    </message>
    <message>
        <source>History	H</source>
        <translation>Cronologia	H</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Guida</translation>
    </message>
    <message>
        <source>&amp;About Decimon...</source>
        <translation>&amp;Informazioni su Decimon...</translation>
    </message>
</context>
<context>
    <name>MessageBox</name>
    <message>
        <source>Are you sure you wish to restore the configuration to factory defaults? All current settings will be lost.</source>
        <translation>Ripristinare davvero la configurazione di fabbrica? Tutte le impostazioni attuali andranno perse.</translation>
    </message>
    <message>
        <source>Delete %1?  Are you sure?</source>
        <translation>Eliminare %1? Confermare?</translation>
    </message>
    <message>
        <source>Confrm Delete</source>
        <translation>Conferma eliminazione</translation>
    </message>
    <message>
        <source>Confirm Configuration Restore</source>
        <translation>Conferma ripristino</translation>
    </message>
    <message>
        <source>Passwords do not match.</source>
        <translation>Le password non corrispondono.</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Errore</translation>
    </message>
    <message>
        <source>Invalid password</source>
        <translation>Password non valida</translation>
    </message>
    <message>
        <source>The settings file %1 cannot be read (%2); the configuration stays locked until it is repaired.</source>
        <translation>Impossibile leggere il file delle impostazioni %1 (%2); la configurazione resta bloccata finché non viene riparato.</translation>
    </message>
    <message>
        <source>The settings could not be saved: %1</source>
        <translation>Impossibile salvare le impostazioni: %1</translation>
    </message>
    <message>
        <source>OLE initialization failed.  Make sure that the OLE libraries are the correct version.</source>
        <translation>Inizializzazione OLE non riuscita. Verificare che le librerie OLE siano della versione corretta.</translation>
    </message>
    <message>
        <source>Windows sockets initialization failed.</source>
        <translation>Inizializzazione dei socket di Windows non riuscita.</translation>
    </message>
    <message>
        <source>No password opens the configuration: %1. Repair the file.</source>
        <translation>Nessuna password apre la configurazione: %1. Riparare il file.</translation>
    </message>
</context>
<context>
    <name>MeterView</name>
    <message>
        <source>Current sound level</source>
        <translation>Livello sonoro attuale</translation>
    </message>
    <message>
        <source>Safe noise dosage</source>
        <translation>Dose di rumore ammessa</translation>
    </message>
    <message>
        <source>limit is exceeded in</source>
        <translation>superata tra</translation>
    </message>
    <message>
        <source>WEAR HEARING PROTECTION AT</source>
        <translation>USARE OTOPROTETTORI</translation>
    </message>
    <message>
        <source>ALL TIMES IN THIS AREA</source>
        <translation>SEMPRE IN QUEST&apos;AREA</translation>
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
