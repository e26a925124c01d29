<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr_FR">
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
        <translation>Requêtes</translation>
    </message>
    <message>
        <source>Errors</source>
        <translation>Erreurs</translation>
    </message>
    <message>
        <source>Reconnects</source>
        <translation>Reconnexions</translation>
    </message>
    <message>
        <source>Up-Time</source>
        <translation>Temps actif</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>Effacer</translation>
    </message>
    <message>
        <source>Time Since Last Error</source>
        <translation>Depuis dernière erreur</translation>
    </message>
    <message>
        <source>Consecutive</source>
        <translation>Consécutives</translation>
    </message>
    <message>
        <source>Decimon Version 1.2</source>
        <translation>Decimon version 1.2</translation>
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
        <translation>Hôte</translation>
    </message>
    <message>
        <source>New-&gt;</source>
        <translation>Nouv.-&gt;</translation>
    </message>
    <message>
        <source>Edit-&gt;</source>
        <translation>Modif.-&gt;</translation>
    </message>
    <message>
        <source>Delete...</source>
        <translation>Suppr...</translation>
    </message>
    <message>
        <source>&lt;-Add</source>
        <translation>&lt;-Ajout</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
    <message>
        <source>Options</source>
        <translation>Options</translation>
    </message>
    <message>
        <source>Shift Length (Hours)</source>
        <translation>Durée du poste (h)</translation>
    </message>
    <message>
        <source>Polling Interval (Seconds)</source>
        <translation>Intervalle de lecture (s)</translation>
    </message>
    <message>
        <source>Level Offset (dB)</source>
        <translation>Correction niveau (dB)</translation>
    </message>
    <message>
        <source>SNMP Timeout (ms)</source>
        <translation>Délai SNMP (ms)</translation>
    </message>
    <message>
        <source>SNMP Retries</source>
        <translation>Essais SNMP</translation>
    </message>
    <message>
        <source>Configuration Password</source>
        <translation>Mot de passe de configuration</translation>
    </message>
    <message>
        <source>Password</source>
        <translation>Mot de passe</translation>
    </message>
    <message>
        <source>Confirm Password</source>
        <translation>Confirmer</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>Avertissement</translation>
    </message>
    <message>
        <source>Display Message</source>
        <translation>Message affiché</translation>
    </message>
    <message>
        <source>Restore to Factory Defaults...</source>
        <translation>Réglages d&apos;usine...</translation>
    </message>
    <message>
        <source>Restore</source>
        <translation>Restaurer</translation>
    </message>
    <message>
        <source>About Decimon</source>
        <translation>À propos de Decimon</translation>
    </message>
    <message>
        <source>Configure...</source>
        <translation>Configurer...</translation>
    </message>
    <message>
        <source>Configuration Authentication...</source>
        <translation>Authentification...</translation>
    </message>
    <message>
        <source>Diagnostics...</source>
        <translation>Diagnostic...</translation>
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
        <translation>Aucun niveau enregistré ces dernières %1 h</translation>
    </message>
    <message>
        <source>No shift under way</source>
        <translation>Aucun poste en cours</translation>
    </message>
    <message>
        <source>Shift %1</source>
        <translation>Poste %1</translation>
    </message>
    <message>
        <source>Measured %1 of %2</source>
        <translation>Mesuré %1 sur %2</translation>
    </message>
    <message>
        <source>Dose used so far %1 %</source>
        <translation>Dose atteinte jusqu&apos;ici %1 %</translation>
    </message>
    <message>
        <source>LAeq so far: no A-weighted minutes</source>
        <translation>LAeq jusqu&apos;ici : aucune minute pondérée A</translation>
    </message>
    <message>
        <source>Nothing measured in this shift yet</source>
        <translation>Rien de mesuré pendant ce poste</translation>
    </message>
    <message>
        <source>The record cannot be read: %1</source>
        <translation>L&apos;enregistrement est illisible : %1</translation>
    </message>
    <message>
        <source>History of </source>
        <translation>Historique de </translation>
    </message>
    <message>
        <source>%1 min C-weighted, not judged</source>
        <translation>%1 min pondérées C, non évaluées</translation>
    </message>
    <message>
        <source>%1 min Z-weighted, not judged</source>
        <translation>%1 min pondérées Z, non évaluées</translation>
    </message>
    <message>
        <source>%1 min of weighting &quot;%2&quot;, not judged</source>
        <translation>%1 min de pondération « %2 », non évaluées</translation>
    </message>
    <message>
        <source>Shift %1 ended:</source>
        <translation>Poste %1 terminé :</translation>
    </message>
    <message>
        <source>LEX,8h %1 dB(A), dose %2 %</source>
        <translation>LEX,8h %1 dB(A), dose %2 %</translation>
    </message>
    <message>
        <source>Nothing measured in this shift</source>
        <translation>Rien de mesuré pendant ce poste</translation>
    </message>
    <message>
        <source>LAeq so far %1 dB(A)</source>
        <translation>LAeq jusqu&apos;ici %1 dB(A)</translation>
    </message>
    <message>
        <source>Leq, %1</source>
        <translation>Leq, %1</translation>
    </message>
    <message>
        <source>Another display records the levels; this one records nothing</source>
        <translation>Un autre afficheur enregistre les niveaux ; celui-ci n&apos;enregistre rien</translation>
    </message>
</context>
<context>
    <name>Menu</name>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Fichier</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>&amp;Quitter</translation>
    </message>
    <message>
        <source>Options</source>
        <translation>Options</translation>
    </message>
    <message>
        <source>Full Screen	F</source>
        <translation>Plein écran	F</translation>
    </message>
    <message>
        <source>Configuration...	C</source>
        <translation>Configuration...	C</translation>
    </message>
    <message>
        <source>Diagnostics...	D</source>
        <translation>Diagnostic...	D</translation>
    </message>
    <message>
        <source>History	H</source>
        <translation>Historique	H</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Aide</translation>
    </message>
    <message>
        <source>&amp;About Decimon...</source>
        <translation>À &amp;propos de Decimon...</translation>
    </message>
</context>
<context>
    <name>MessageBox</name>
    <message>
        <source>Are you sure you wish to restore the configuration to factory defaults? All current settings will be lost.</source>
        <translation>Voulez-vous vraiment rétablir les réglages d&apos;usine ? Tous les réglages actuels seront perdus.</translation>
    </message>
    <message>
        <source>Delete %1?  Are you sure?</source>
        <translation>Supprimer %1 ? Êtes-vous sûr ?</translation>
    </message>
    <message>
        <source>Confrm Delete</source>
        <translation>Confirmer la suppression</translation>
    </message>
    <message>
        <source>Confirm Configuration Restore</source>
        <translation>Confirmer la restauration</translation>
    </message>
    <message>
        <source>Passwords do not match.</source>
        <translation>Les mots de passe ne correspondent pas.</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Erreur</translation>
    </message>
    <message>
        <source>Invalid password</source>
        <translation>Mot de passe incorrect</translation>
    </message>
    <message>
        <source>The settings file %1 cannot be read (%2); the configuration stays locked until it is repaired.</source>
        <translation>Le fichier de réglages %1 est illisible (%2) ; la configuration reste verrouillée jusqu&apos;à sa réparation.</translation>
    </message>
    <message>
        <source>The settings could not be saved: %1</source>
        <translation>Les réglages n&apos;ont pas pu être enregistrés : %1</translation>
    </message>
    <message>
        <source>OLE initialization failed.  Make sure that the OLE libraries are the correct version.</source>
        <translation>Échec de l&apos;initialisation OLE. Vérifiez que les bibliothèques OLE sont de la bonne version.</translation>
    </message>
    <message>
        <source>Windows sockets initialization failed.</source>
        <translation>Échec de l&apos;initialisation des sockets Windows.</translation>
    </message>
    <message>
        <source>No password opens the configuration: %1. Repair the file.</source>
        <translation>Aucun mot de passe n&apos;ouvre la configuration : %1. Réparez le fichier.</translation>
    </message>
</context>
<context>
    <name>MeterView</name>
    <message>
        <source>Current sound level</source>
        <translation>Niveau sonore actuel</translation>
    </message>
    <message>
        <source>Safe noise dosage</source>
        <translation>Dose de bruit admissible</translation>
    </message>
    <message>
        <source>limit is exceeded in</source>
        <translation>dépassée dans</translation>
    </message>
    <message>
        <source>WEAR HEARING PROTECTION AT</source>
        <translation>PORT DE PROTECTEURS AUDITIFS</translation>
    </message>
    <message>
        <source>ALL TIMES IN THIS AREA</source>
        <translation>OBLIGATOIRE DANS CETTE ZONE</translation>
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
