<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="es_ES">
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
        <translation>Consultas</translation>
    </message>
    <message>
        <source>Errors</source>
        <translation>Errores</translation>
    </message>
    <message>
        <source>Reconnects</source>
        <translation>Reconexiones</translation>
    </message>
    <message>
        <source>Up-Time</source>
        <translation>Tiempo activo</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>Borrar</translation>
    </message>
    <message>
        <source>Time Since Last Error</source>
        <translation>Desde el último error</translation>
    </message>
    <message>
        <source>Consecutive</source>
        <translation>Consecutivos</translation>
    </message>
    <message>
        <source>Decimon Version 1.2</source>
        <translation>Decimon versión 1.2</translation>
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
        <translation>Nuevo-&gt;</translation>
    </message>
    <message>
        <source>Edit-&gt;</source>
        <translation>Editar-&gt;</translation>
    </message>
    <message>
        <source>Delete...</source>
        <translation>Borrar...</translation>
    </message>
    <message>
        <source>&lt;-Add</source>
        <translation>&lt;-Añadir</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancelar</translation>
    </message>
    <message>
        <source>Options</source>
        <translation>Opciones</translation>
    </message>
    <message>
        <source>Shift Length (Hours)</source>
        <translation>Duración turno (h)</translation>
    </message>
    <message>
        <source>Polling Interval (Seconds)</source>
        <translation>Intervalo consulta (s)</translation>
    </message>
    <message>
        <source>Level Offset (dB)</source>
        <translation>Corrección nivel (dB)</translation>
    </message>
    <message>
        <source>SNMP Timeout (ms)</source>
        <translation>Límite SNMP (ms)</translation>
    </message>
    <message>
        <source>SNMP Retries</source>
        <translation>Reintentos SNMP</translation>
    </message>
    <message>
        <source>Configuration Password</source>
        <translation>Contraseña de configuración</translation>
    </message>
    <message>
        <source>Password</source>
        <translation>Contraseña</translation>
    </message>
    <message>
        <source>Confirm Password</source>
        <translation>Confirmar contraseña</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>Aviso</translation>
    </message>
    <message>
        <source>Display Message</source>
        <translation>Mostrar mensaje</translation>
    </message>
    <message>
        <source>Restore to Factory Defaults...</source>
        <translation>Valores de fábrica...</translation>
    </message>
    <message>
        <source>Restore</source>
        <translation>Restaurar</translation>
    </message>
    <message>
        <source>About Decimon</source>
        <translation>Acerca de Decimon</translation>
    </message>
    <message>
        <source>Configure...</source>
        <translation>Configurar...</translation>
    </message>
    <message>
        <source>Configuration Authentication...</source>
        <translation>Autenticación...</translation>
    </message>
    <message>
        <source>Diagnostics...</source>
        <translation>Diagnóstico...</translation>
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
        <translation>Ningún nivel registrado en las últimas %1 h</translation>
    </message>
    <message>
        <source>No shift under way</source>
        <translation>Ningún turno en curso</translation>
    </message>
    <message>
        <source>Shift %1</source>
        <translation>Turno %1</translation>
    </message>
    <message>
        <source>Measured %1 of %2</source>
        <translation>Medido %1 de %2</translation>
    </message>
    <message>
        <source>Dose used so far %1 %</source>
        <translation>Dosis alcanzada hasta ahora %1 %</translation>
    </message>
    <message>
        <source>LAeq so far: no A-weighted minutes</source>
        <translation>LAeq hasta ahora: ningún minuto ponderado A</translation>
    </message>
    <message>
        <source>Nothing measured in this shift yet</source>
        <translation>Nada medido aún en este turno</translation>
    </message>
    <message>
        <source>The record cannot be read: %1</source>
        <translation>No se puede leer el registro: %1</translation>
    </message>
    <message>
        <source>History of </source>
        <translation>Historial de </translation>
    </message>
    <message>
        <source>%1 min C-weighted, not judged</source>
        <translation>%1 min con ponderación C, sin evaluar</translation>
    </message>
    <message>
        <source>%1 min Z-weighted, not judged</source>
        <translation>%1 min con ponderación Z, sin evaluar</translation>
    </message>
    <message>
        <source>%1 min of weighting &quot;%2&quot;, not judged</source>
        <translation>%1 min con ponderación «%2», sin evaluar</translation>
    </message>
    <message>
        <source>Shift %1 ended:</source>
        <translation>Turno %1 terminado:</translation>
    </message>
    <message>
        <source>LEX,8h %1 dB(A), dose %2 %</source>
        <translation>LEX,8h %1 dB(A), dosis %2 %</translation>
    </message>
    <message>
        <source>Nothing measured in this shift</source>
        <translation>Nada medido en este turno</translation>
    </message>
    <message>
        <source>LAeq so far %1 dB(A)</source>
        <translation>LAeq hasta ahora %1 dB(A)</translation>
    </message>
    <message>
        <source>Leq, %1</source>
        <translation>Leq, %1</translation>
    </message>
    <message>
        <source>Another display records the levels; this one records nothing</source>
        <translation>Otra pantalla registra los niveles; esta no registra nada</translation>
    </message>
</context>
<context>
    <name>Menu</name>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Archivo</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>&amp;Salir</translation>
    </message>
    <message>
        <source>Options</source>
        <translation>Opciones</translation>
    </message>
    <message>
        <source>Full Screen	F</source>
        <translation>Pantalla completa	F</translation>
    </message>
    <message>
        <source>Configuration...	C</source>
        <translation>Configuración...	C</translation>
    </message>
    <message>
        <source>Diagnostics...	D</source>
        <translation>Diagnóstico...	D</translation>
    </message>
    <message>
        <source>History	H</source>
        <translation>Historial	H</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>A&amp;yuda</translation>
    </message>
    <message>
        <source>&amp;About Decimon...</source>
        <translation>&amp;Acerca de Decimon...</translation>
    </message>
</context>
<context>
    <name>MessageBox</name>
    <message>
        <source>Are you sure you wish to restore the configuration to factory defaults? All current settings will be lost.</source>
        <translation>¿Seguro que desea restaurar la configuración de fábrica? Se perderán todos los ajustes actuales.</translation>
    </message>
    <message>
        <source>Delete %1?  Are you sure?</source>
        <translation>¿Eliminar %1? ¿Está seguro?</translation>
    </message>
    <message>
        <source>Confrm Delete</source>
        <translation>Confirmar eliminación</translation>
    </message>
    <message>
        <source>Confirm Configuration Restore</source>
        <translation>Confirmar restauración</translation>
    </message>
    <message>
        <source>Passwords do not match.</source>
        <translation>Las contraseñas no coinciden.</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>Invalid password</source>
        <translation>Contraseña no válida</translation>
    </message>
    <message>
        <source>The settings file %1 cannot be read (%2); the configuration stays locked until it is repaired.</source>
        <translation>No se puede leer el archivo de ajustes %1 (%2); la configuración queda bloqueada hasta que se repare.</translation>
    </message>
    <message>
        <source>The settings could not be saved: %1</source>
        <translation>No se pudieron guardar los ajustes: %1</translation>
    </message>
    <message>
        <source>OLE initialization failed.  Make sure that the OLE libraries are the correct version.</source>
        <translation>Error al inicializar OLE. Compruebe que las bibliotecas OLE tienen la versión correcta.</translation>
    </message>
    <message>
        <source>Windows sockets initialization failed.</source>
        <translation>Error al inicializar los sockets de Windows.</translation>
    </message>
    <message>
        <source>No password opens the configuration: %1. Repair the file.</source>
        <translation>Ninguna contraseña abre la configuración: %1. Repare el archivo.</translation>
    </message>
</context>
<context>
    <name>MeterView</name>
    <message>
        <source>Current sound level</source>
        <translation>Nivel sonoro actual</translation>
    </message>
    <message>
        <source>Safe noise dosage</source>
        <translation>Dosis de ruido admisible</translation>
    </message>
    <message>
        <source>limit is exceeded in</source>
        <translation>superada en</translation>
    </message>
    <message>
        <source>WEAR HEARING PROTECTION AT</source>
        <translation>USE PROTECTORES AUDITIVOS</translation>
    </message>
    <message>
        <source>ALL TIMES IN THIS AREA</source>
        <translation>EN TODO MOMENTO EN ESTA ZONA</translation>
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
