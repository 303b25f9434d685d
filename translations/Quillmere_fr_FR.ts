<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr_FR">
<context>
    <name>AlarmBanner</name>
    <message>
        <source>Acknowledged</source>
        <translation>Acquittée</translation>
    </message>
    <message>
        <source>Acknowledge</source>
        <translation>Acquitter</translation>
    </message>
    <message>
        <source>Snooze</source>
        <translation>Silence pendant</translation>
    </message>
    <message>
        <source>%1 min</source>
        <translation>%1 min</translation>
    </message>
    <message>
        <source>no sound output</source>
        <translation>pas de sortie son</translation>
    </message>
</context>
<context>
    <name>AlarmNotifier</name>
    <message>
        <source>Acknowledge</source>
        <translation>Acquitter</translation>
    </message>
    <message>
        <source>Snooze 30 min</source>
        <translation>Silence pendant 30 min</translation>
    </message>
</context>
<context>
    <name>ArchiveExports</name>
    <message>
        <source>Logbook</source>
        <translation>Livre de bord</translation>
    </message>
    <message>
        <source>The hours as a logbook (CSV)</source>
        <translation>Les heures en livre de bord (CSV)</translation>
    </message>
    <message>
        <source>Barogram</source>
        <translation>Barogramme</translation>
    </message>
    <message>
        <source>A week&apos;s barogram to print (PDF)</source>
        <translation>Le barogramme d’une semaine à imprimer (PDF)</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
    <message>
        <source>Last day of the week:</source>
        <translation>Dernier jour de la semaine&#xa0;:</translation>
    </message>
    <message>
        <source>Today</source>
        <translation>Aujourd’hui</translation>
    </message>
</context>
<context>
    <name>BackEnd</name>
    <message>
        <source>deg</source>
        <translation>°</translation>
    </message>
    <message>
        <source>From internal pressure sensor</source>
        <translation>Depuis le capteur de pression interne</translation>
    </message>
    <message>
        <source>From serial connection</source>
        <translation>Depuis la liaison série</translation>
    </message>
    <message>
        <source>From TCP connection</source>
        <translation>Depuis la connexion TCP</translation>
    </message>
    <message>
        <source>From UDP connection</source>
        <translation>Depuis la connexion UDP</translation>
    </message>
    <message>
        <source>No pressure available</source>
        <translation>Aucune pression disponible</translation>
    </message>
    <message>
        <source>From NMEA 2000 connection</source>
        <translation>Depuis la connexion NMEA 2000</translation>
    </message>
    <message>
        <source>Sensor</source>
        <translation>Capteur</translation>
    </message>
    <message>
        <source>Serial</source>
        <translation>Série</translation>
    </message>
    <message>
        <source>TCP</source>
        <translation>TCP</translation>
    </message>
    <message>
        <source>UDP</source>
        <translation>UDP</translation>
    </message>
    <message>
        <source>NMEA 2000</source>
        <translation>NMEA 2000</translation>
    </message>
    <message>
        <source>Signal K</source>
        <translation>Signal K</translation>
    </message>
    <message>
        <source>%1 s</source>
        <translation>%1 s</translation>
    </message>
    <message>
        <source>%1 min</source>
        <translation>%1 min</translation>
    </message>
    <message>
        <source>%1 h</source>
        <translation>%1 h</translation>
    </message>
    <message>
        <source>%1 d</source>
        <translation>%1 j</translation>
    </message>
    <message>
        <source>Pressure: %1</source>
        <translation>Pression&#xa0;: %1</translation>
    </message>
    <message>
        <source>Position: %1</source>
        <translation>Position&#xa0;: %1</translation>
    </message>
    <message>
        <source>From Signal K connection</source>
        <translation>Depuis la connexion Signal K</translation>
    </message>
</context>
<context>
    <name>BaroH</name>
    <message>
        <source>30m</source>
        <translation type="vanished">30 min</translation>
    </message>
    <message>
        <source>%dm</source>
        <translation type="vanished">%d min</translation>
    </message>
    <message>
        <source>3h</source>
        <translation type="vanished">3 h</translation>
    </message>
    <message>
        <source>%dh</source>
        <translation type="vanished">%d h</translation>
    </message>
    <message>
        <source>6h</source>
        <translation type="vanished">6 h</translation>
    </message>
    <message>
        <source>12h</source>
        <translation type="vanished">12 h</translation>
    </message>
    <message>
        <source>1d</source>
        <translation type="vanished">1 j</translation>
    </message>
    <message>
        <source>2d</source>
        <translation type="vanished">2 j</translation>
    </message>
    <message>
        <source>4d</source>
        <translation type="vanished">4 j</translation>
    </message>
    <message>
        <source>%dd</source>
        <translation type="vanished">%d j</translation>
    </message>
    <message>
        <source>8d</source>
        <translation type="vanished">8 j</translation>
    </message>
    <message>
        <source>16d</source>
        <translation type="vanished">16 j</translation>
    </message>
    <message>
        <source>No pressure source is set up</source>
        <translation>Aucune source de pression n’est configurée</translation>
    </message>
    <message>
        <source>Connections settings</source>
        <translation>Réglages des connexions</translation>
    </message>
</context>
<context>
    <name>Barogram</name>
    <message>
        <source>Station pressure (QFE)</source>
        <translation>Pression station (QFE)</translation>
    </message>
    <message>
        <source>Sea level pressure (QNH)</source>
        <translation>Pression au niveau de la mer (QNH)</translation>
    </message>
    <message>
        <source>local time (%1)</source>
        <translation>heure locale (%1)</translation>
    </message>
    <message>
        <source>Under each day: the position at noon.</source>
        <translation>Sous chaque jour&#xa0;: la position à midi.</translation>
    </message>
    <message>
        <source>Dashed: where a storm warning began.</source>
        <translation>En tirets&#xa0;: le début d’une alerte tempête.</translation>
    </message>
    <message>
        <source>Barogram from %1 to %2</source>
        <translation>Barogramme du %1 au %2</translation>
    </message>
    <message>
        <source>Barogram</source>
        <translation>Barogramme</translation>
    </message>
</context>
<context>
    <name>DataSource</name>
    <message>
        <source>deg</source>
        <translation>°</translation>
    </message>
    <message>
        <source>Device</source>
        <translation>heure locale</translation>
    </message>
    <message>
        <source>ft</source>
        <translation>pieds</translation>
    </message>
    <message>
        <source>m</source>
        <translation>m</translation>
    </message>
    <message>
        <source>Date (%1);Latitude;Longitude;Station pressure (%3);Sea Level Pressure (%3);Offset (%3);Elevation (%2);COG(T);SOG(kts)</source>
        <translation>Date (%1);Latitude;Longitude;Pression station (%3);Pression niveau de la mer (%3);Correction (%3);Altitude (%2);Route fond (V);Vitesse fond (nds)</translation>
    </message>
    <message>
        <source>Storm warning</source>
        <translation>Alerte tempête</translation>
    </message>
    <message>
        <source>Rapid rise warning</source>
        <translation>Alerte hausse rapide</translation>
    </message>
    <message>
        <source>Low pressure warning</source>
        <translation>Alerte pression basse</translation>
    </message>
    <message>
        <source>No pressure</source>
        <translation>Pas de pression</translation>
    </message>
    <message>
        <source>%1 in 3 h</source>
        <translation>%1 en 3 h</translation>
    </message>
    <message>
        <source>Acknowledged %1</source>
        <translation>Acquittée %1</translation>
    </message>
    <message>
        <source>Not acknowledged</source>
        <translation>Non acquittée</translation>
    </message>
    <message>
        <source>In force</source>
        <translation>En cours</translation>
    </message>
    <message>
        <source>Cleared %1</source>
        <translation>Levée %1</translation>
    </message>
    <message>
        <source>Start (%1);Kind;Change in 3 h (%2);Pressure (%2);Acknowledged;Cleared</source>
        <translation>Début (%1);Type;Variation en 3 h (%2);Pression (%2);Acquittée;Levée</translation>
    </message>
    <message>
        <source>Not exported: %1 is a file of Quillmere&apos;s own</source>
        <translation>Non exporté&#xa0;: %1 est l’un des fichiers de Quillmere</translation>
    </message>
    <message>
        <source>Exported to %1</source>
        <translation>Exporté dans %1</translation>
    </message>
    <message>
        <source>Could not write %1</source>
        <translation>Impossible d’écrire %1</translation>
    </message>
    <message>
        <source>;Sea level minimum (%3);Sea level maximum (%3);Samples</source>
        <translation>;Minimum niveau de la mer (%3);Maximum niveau de la mer (%3);Mesures</translation>
    </message>
    <message>
        <source>steady</source>
        <translation>stationnaire</translation>
    </message>
    <message>
        <source>rising slowly</source>
        <translation>en hausse lente</translation>
    </message>
    <message>
        <source>falling slowly</source>
        <translation>en baisse lente</translation>
    </message>
    <message>
        <source>rising</source>
        <translation>en hausse</translation>
    </message>
    <message>
        <source>falling</source>
        <translation>en baisse</translation>
    </message>
    <message>
        <source>rising quickly</source>
        <translation>en hausse rapide</translation>
    </message>
    <message>
        <source>falling quickly</source>
        <translation>en baisse rapide</translation>
    </message>
    <message>
        <source>rising very rapidly</source>
        <translation>en hausse très rapide</translation>
    </message>
    <message>
        <source>falling very rapidly</source>
        <translation>en baisse très rapide</translation>
    </message>
    <message>
        <source>Date (%1);%2 (%3);3 h change (%3);Tendency;Latitude;Longitude;COG(T);SOG(kts)</source>
        <translation>Date (%1);%2 (%3);Variation en 3 h (%3);Tendance;Latitude;Longitude;Route fond (V);Vitesse fond (nds)</translation>
    </message>
    <message>
        <source>min %1 - max %2 - %3 samples</source>
        <translation>min %1 - max %2 - %3 mesures</translation>
    </message>
</context>
<context>
    <name>FileData</name>
    <message>
        <source>Stored tables</source>
        <translation type="vanished">Tables enregistrées</translation>
    </message>
    <message>
        <source>30m (2 secs interval)</source>
        <translation>30 min (intervalle de 2 s)</translation>
    </message>
    <message>
        <source>3h (6 secs interval)</source>
        <translation>3 h (intervalle de 6 s)</translation>
    </message>
    <message>
        <source>6h (12 secs interval)</source>
        <translation>6 h (intervalle de 12 s)</translation>
    </message>
    <message>
        <source>12h (24 secs interval)</source>
        <translation>12 h (intervalle de 24 s)</translation>
    </message>
    <message>
        <source>1d (48 secs interval)</source>
        <translation>1 j (intervalle de 48 s)</translation>
    </message>
    <message>
        <source>2d (96 secs interval)</source>
        <translation>2 j (intervalle de 96 s)</translation>
    </message>
    <message>
        <source>4d (192 secs interval)</source>
        <translation>4 j (intervalle de 192 s)</translation>
    </message>
    <message>
        <source>8d (384 secs interval)</source>
        <translation>8 j (intervalle de 384 s)</translation>
    </message>
    <message>
        <source>16d (768 secs interval)</source>
        <translation>16 j (intervalle de 768 s)</translation>
    </message>
    <message>
        <source>Delete all data</source>
        <translation>Effacer toutes les données</translation>
    </message>
    <message>
        <source>Are you sure you want to delete ALL data ?</source>
        <translation>Voulez-vous vraiment effacer TOUTES les données&#xa0;?</translation>
    </message>
    <message>
        <source>Storm warning log</source>
        <translation>Journal des alertes tempête</translation>
    </message>
    <message>
        <source>Hourly archive, logbook and barogram</source>
        <translation>Archive horaire, livre de bord et barogramme</translation>
    </message>
</context>
<context>
    <name>FileDetails</name>
    <message>
        <source>Records</source>
        <translation type="vanished">Enregistrements</translation>
    </message>
    <message>
        <source>30m</source>
        <translation>30 min</translation>
    </message>
    <message>
        <source>3h</source>
        <translation>3 h</translation>
    </message>
    <message>
        <source>6h</source>
        <translation>6 h</translation>
    </message>
    <message>
        <source>12h</source>
        <translation>12 h</translation>
    </message>
    <message>
        <source>1d</source>
        <translation>1 j</translation>
    </message>
    <message>
        <source>2d</source>
        <translation>2 j</translation>
    </message>
    <message>
        <source>4d</source>
        <translation>4 j</translation>
    </message>
    <message>
        <source>8d</source>
        <translation>8 j</translation>
    </message>
    <message>
        <source>16d</source>
        <translation>16 j</translation>
    </message>
    <message>
        <source>CSV files (*.csv)</source>
        <translation>Fichiers CSV (*.csv)</translation>
    </message>
    <message>
        <source>GPS files (*.gpx)</source>
        <translation>Fichiers GPS (*.gpx)</translation>
    </message>
    <message>
        <source>Export page as CSV</source>
        <translation>Exporter la page en CSV</translation>
    </message>
    <message>
        <source>Export page as GPX</source>
        <translation>Exporter la page en GPX</translation>
    </message>
    <message>
        <source>Delete this data file</source>
        <translation>Effacer cette table</translation>
    </message>
    <message>
        <source>Are you sure you want to delete ALL data in this table ?</source>
        <translation>Voulez-vous vraiment effacer TOUTES les données de cette table&#xa0;?</translation>
    </message>
    <message>
        <source>Please choose a file</source>
        <translation>Choisissez un fichier</translation>
    </message>
    <message>
        <source>Storm warnings</source>
        <translation>Alertes tempête</translation>
    </message>
    <message>
        <source>Archive</source>
        <translation>Archive</translation>
    </message>
    <message>
        <source>PDF files (*.pdf)</source>
        <translation>Fichiers PDF (*.pdf)</translation>
    </message>
</context>
<context>
    <name>Help_textview</name>
    <message>
        <source>Help</source>
        <translation type="vanished">Aide</translation>
    </message>
    <message>
        <source>Privacy Policy</source>
        <translation>Politique de confidentialité</translation>
    </message>
    <message>
        <source>Back to help</source>
        <translation>Retour à l’aide</translation>
    </message>
</context>
<context>
    <name>LevelLabel</name>
    <message>
        <source>Sea Level Pressure (QNH)</source>
        <translation>Pression au niveau de la mer (QNH)</translation>
    </message>
    <message>
        <source>Station Level Pressure (QFE)</source>
        <translation>Pression au niveau de la station (QFE)</translation>
    </message>
    <message>
        <source>No pressure data available</source>
        <translation>Aucune donnée de pression</translation>
    </message>
</context>
<context>
    <name>N2kConnection</name>
    <message>
        <source>CAN interface (SocketCAN)</source>
        <translation>Interface CAN (SocketCAN)</translation>
    </message>
    <message>
        <source>Gateway over TCP</source>
        <translation>Passerelle en TCP</translation>
    </message>
    <message>
        <source>Gateway over UDP</source>
        <translation>Passerelle en UDP</translation>
    </message>
</context>
<context>
    <name>PressureChart</name>
    <message>
        <source>30m</source>
        <translation>30 min</translation>
    </message>
    <message>
        <source>%dm</source>
        <translation>%d min</translation>
    </message>
    <message>
        <source>3h</source>
        <translation>3 h</translation>
    </message>
    <message>
        <source>%dh</source>
        <translation>%d h</translation>
    </message>
    <message>
        <source>6h</source>
        <translation>6 h</translation>
    </message>
    <message>
        <source>12h</source>
        <translation>12 h</translation>
    </message>
    <message>
        <source>1d</source>
        <translation>1 j</translation>
    </message>
    <message>
        <source>2d</source>
        <translation>2 j</translation>
    </message>
    <message>
        <source>4d</source>
        <translation>4 j</translation>
    </message>
    <message>
        <source>%dd</source>
        <translation>%d j</translation>
    </message>
    <message>
        <source>8d</source>
        <translation>8 j</translation>
    </message>
    <message>
        <source>16d</source>
        <translation>16 j</translation>
    </message>
    <message>
        <source>Reset zoom</source>
        <translation>Annuler le zoom</translation>
    </message>
    <message>
        <source>30d</source>
        <translation>30 j</translation>
    </message>
    <message>
        <source>90d</source>
        <translation>90 j</translation>
    </message>
    <message>
        <source>1y</source>
        <translation>1 an</translation>
    </message>
    <message>
        <source>All</source>
        <translation>Tout</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>deg</source>
        <translation>°</translation>
    </message>
    <message>
        <source>kts</source>
        <translation>nds</translation>
    </message>
    <message>
        <source>km/h</source>
        <translation>km/h</translation>
    </message>
    <message>
        <source>mph</source>
        <translation>mi/h</translation>
    </message>
</context>
<context>
    <name>SignalKConnection</name>
    <message>
        <source>Host</source>
        <translation>Hôte</translation>
    </message>
    <message>
        <source>Token (optional)</source>
        <translation>Jeton (facultatif)</translation>
    </message>
</context>
<context>
    <name>StormWarning</name>
    <message>
        <source>Steady</source>
        <translation>Stable</translation>
    </message>
    <message>
        <source>Rising slowly</source>
        <translation>Hausse lente</translation>
    </message>
    <message>
        <source>Rising</source>
        <translation>Hausse</translation>
    </message>
    <message>
        <source>Rising quickly</source>
        <translation>Hausse rapide</translation>
    </message>
    <message>
        <source>Rising very rapidly</source>
        <translation>Hausse très rapide</translation>
    </message>
    <message>
        <source>Falling slowly</source>
        <translation>Baisse lente</translation>
    </message>
    <message>
        <source>Falling</source>
        <translation>Baisse</translation>
    </message>
    <message>
        <source>Falling quickly</source>
        <translation>Baisse rapide</translation>
    </message>
    <message>
        <source>Falling very rapidly</source>
        <translation>Baisse très rapide</translation>
    </message>
    <message>
        <source>%1: %2 in 3 h (estimate from 1 h)</source>
        <translation>%1&#xa0;: %2 en 3 h (estimation sur 1 h)</translation>
    </message>
    <message>
        <source>%1: %2 in 3 h</source>
        <translation>%1&#xa0;: %2 en 3 h</translation>
    </message>
    <message>
        <source>Storm warning since %1</source>
        <translation>Alerte tempête depuis %1</translation>
    </message>
    <message>
        <source>Rapid rise warning since %1</source>
        <translation>Alerte hausse rapide depuis %1</translation>
    </message>
    <message>
        <source>Low pressure warning since %1</source>
        <translation>Alerte pression basse depuis %1</translation>
    </message>
    <message>
        <source>Snoozed until %1</source>
        <translation>Silence jusqu’à %1</translation>
    </message>
    <message>
        <source>%1: %2 in 3 h (two instruments)</source>
        <translation>%1&#xa0;: %2 en 3 h (deux instruments)</translation>
    </message>
    <message>
        <source>No pressure since %1</source>
        <translation>Pas de pression depuis %1</translation>
    </message>
    <message>
        <source>%1 (not current since %2)</source>
        <translation>%1 (pas à jour depuis %2)</translation>
    </message>
</context>
<context>
    <name>StormWarningSettings</name>
    <message>
        <source>Storm warning</source>
        <translation>Alerte tempête</translation>
    </message>
    <message>
        <source>Alarm</source>
        <translation>Alarme</translation>
    </message>
    <message>
        <source>No pressure for 2 min</source>
        <translation>Pas de pression pendant 2 min</translation>
    </message>
    <message>
        <source>Fall over 3 h</source>
        <translation>Baisse en 3 h</translation>
    </message>
    <message>
        <source>Other</source>
        <comment>storm warning: another fall limit</comment>
        <translation>Autre</translation>
    </message>
    <message>
        <source>Rise over 3 h (hPa)</source>
        <translation>Hausse en 3 h (hPa)</translation>
    </message>
    <message>
        <source>Low limit</source>
        <translation>Seuil bas</translation>
    </message>
</context>
<context>
    <name>brenlowCalibration</name>
    <message>
        <source>Calibration</source>
        <translation type="vanished">Étalonnage</translation>
    </message>
    <message>
        <source>Brenlow USB barometer calibration</source>
        <translation>Étalonnage du baromètre USB Brenlow</translation>
    </message>
    <message>
        <source>Set USB Baro sensor offset (mb)</source>
        <translation>Correction du capteur du baromètre USB (mb)</translation>
    </message>
    <message>
        <source>Station Level (QFE)</source>
        <translation>Niveau de la station (QFE)</translation>
    </message>
    <message>
        <source>Set sensor pressure slope (mb/bar)</source>
        <translation>Pente de pression du capteur (mb/bar)</translation>
    </message>
    <message>
        <source>Calibrate</source>
        <translation>Étalonner</translation>
    </message>
    <message>
        <source>Factory reset</source>
        <translation>Réglages d’usine</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
    <message>
        <source>Operation failed</source>
        <translation>L’opération a échoué</translation>
    </message>
    <message>
        <source>Operation timeout, probably no&lt;br&gt;Brenlow USB baro is connected</source>
        <translation>Délai dépassé&#xa0;: aucun baromètre USB&lt;br&gt;Brenlow n’est sans doute branché</translation>
    </message>
    <message>
        <source>Calibration accepted by the barometer</source>
        <translation>Étalonnage accepté par le baromètre</translation>
    </message>
    <message>
        <source>Factory reset accepted by the barometer</source>
        <translation>Retour aux réglages d’usine accepté par le baromètre</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>Quillmere</source>
        <translation>Quillmere</translation>
    </message>
    <message>
        <source>Barograph</source>
        <translation>Barographe</translation>
    </message>
    <message>
        <source>Stored data</source>
        <translation>Données enregistrées</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Réglages</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>Aide</translation>
    </message>
</context>
<context>
    <name>settings</name>
    <message>
        <source>Version </source>
        <translation>Version </translation>
    </message>
    <message>
        <source>Langage</source>
        <translation>Langue</translation>
    </message>
    <message>
        <source>English</source>
        <translation>Anglais</translation>
    </message>
    <message>
        <source>French</source>
        <translation>Français</translation>
    </message>
    <message>
        <source>Theme</source>
        <translation>Thème</translation>
    </message>
    <message>
        <source>Light</source>
        <translation>Clair</translation>
    </message>
    <message>
        <source>Dark</source>
        <translation>Sombre</translation>
    </message>
    <message>
        <source>Keep screen always on</source>
        <translation>Écran toujours allumé</translation>
    </message>
    <message>
        <source>Time zone</source>
        <translation>Fuseau horaire</translation>
    </message>
    <message>
        <source>UTC</source>
        <translation>UTC</translation>
    </message>
    <message>
        <source>Date format</source>
        <translation>Format de date</translation>
    </message>
    <message>
        <source>dd mm</source>
        <translation>jj mm</translation>
    </message>
    <message>
        <source>mm dd</source>
        <translation>mm jj</translation>
    </message>
    <message>
        <source>Time format</source>
        <translation>Format de l’heure</translation>
    </message>
    <message>
        <source>24h</source>
        <translation>24 h</translation>
    </message>
    <message>
        <source>12h</source>
        <translation>12 h</translation>
    </message>
    <message>
        <source>Speed format</source>
        <translation>Unité de vitesse</translation>
    </message>
    <message>
        <source>kts</source>
        <translation>nds</translation>
    </message>
    <message>
        <source>km/h</source>
        <translation>km/h</translation>
    </message>
    <message>
        <source>mph</source>
        <translation>mi/h</translation>
    </message>
    <message>
        <source>Pressure units</source>
        <translation>Unité de pression</translation>
    </message>
    <message>
        <source>Precision display</source>
        <translation>Précision d’affichage</translation>
    </message>
    <message>
        <source>Low</source>
        <translation>Basse</translation>
    </message>
    <message>
        <source>Normal</source>
        <translation>Normale</translation>
    </message>
    <message>
        <source>High</source>
        <translation>Haute</translation>
    </message>
    <message>
        <source>Location display</source>
        <translation>Affichage de la position</translation>
    </message>
    <message>
        <source>Pressure display</source>
        <translation>Pression affichée</translation>
    </message>
    <message>
        <source>Sea Level (QNH)</source>
        <translation>Niveau de la mer (QNH)</translation>
    </message>
    <message>
        <source>Station Level (QFE)</source>
        <translation>Niveau de la station (QFE)</translation>
    </message>
    <message>
        <source>Elevation units</source>
        <translation>Unité d’altitude</translation>
    </message>
    <message>
        <source>Meters</source>
        <translation>Mètres</translation>
    </message>
    <message>
        <source>Feet</source>
        <translation>Pieds</translation>
    </message>
    <message>
        <source>Elevation (feet)</source>
        <translation>Altitude (pieds)</translation>
    </message>
    <message>
        <source>Elevation (meters)</source>
        <translation>Altitude (mètres)</translation>
    </message>
    <message>
        <source>Line style</source>
        <translation>Tracé de la courbe</translation>
    </message>
    <message>
        <source>Straight</source>
        <translation>Segments</translation>
    </message>
    <message>
        <source>Spline</source>
        <translation>Lissé</translation>
    </message>
    <message>
        <source>Data on two screens</source>
        <translation>Données sur deux pages</translation>
    </message>
    <message>
        <source>Pressure display offset</source>
        <translation>Correction de la pression affichée</translation>
    </message>
    <message>
        <source>Connections settings</source>
        <translation>Réglages des connexions</translation>
    </message>
    <message>
        <source>Brenlow USB BARO</source>
        <translation>Brenlow USB BARO</translation>
    </message>
    <message>
        <source>calibration</source>
        <translation>étalonnage</translation>
    </message>
    <message>
        <source>Device</source>
        <comment>theme: as the computer shows</comment>
        <translation>Système</translation>
    </message>
    <message>
        <source>Device</source>
        <comment>time zone: the computer&apos;s</comment>
        <translation>Heure locale</translation>
    </message>
</context>
<context>
    <name>settingsConnections</name>
    <message>
        <source>Connections</source>
        <translation>Connexions</translation>
    </message>
    <message>
        <source>Position</source>
        <translation>Position</translation>
    </message>
    <message>
        <source>Internal</source>
        <translation>Interne</translation>
    </message>
    <message>
        <source>NMEA</source>
        <translation>NMEA</translation>
    </message>
    <message>
        <source>Serial NMEA input</source>
        <translation>Entrée NMEA série</translation>
    </message>
    <message>
        <source>No Parity</source>
        <translation>Sans parité</translation>
    </message>
    <message>
        <source>Even Parity</source>
        <translation>Parité paire</translation>
    </message>
    <message>
        <source>Odd Parity</source>
        <translation>Parité impaire</translation>
    </message>
    <message>
        <source>Space Parity</source>
        <translation>Parité espace</translation>
    </message>
    <message>
        <source>Mark Parity</source>
        <translation>Parité marque</translation>
    </message>
    <message>
        <source>No Control</source>
        <translation>Sans contrôle</translation>
    </message>
    <message>
        <source>Hardware</source>
        <translation>Matériel</translation>
    </message>
    <message>
        <source>Software</source>
        <translation>Logiciel</translation>
    </message>
    <message>
        <source>8 Bits</source>
        <translation>8 bits</translation>
    </message>
    <message>
        <source>7 Bits</source>
        <translation>7 bits</translation>
    </message>
    <message>
        <source>6 Bits</source>
        <translation>6 bits</translation>
    </message>
    <message>
        <source>5 Bits</source>
        <translation>5 bits</translation>
    </message>
    <message>
        <source>1 Bit</source>
        <translation>1 bit</translation>
    </message>
    <message>
        <source>1.5 Bit</source>
        <translation>1,5 bit</translation>
    </message>
    <message>
        <source>2 Bits</source>
        <translation>2 bits</translation>
    </message>
    <message>
        <source>TCP NMEA input</source>
        <translation>Entrée NMEA TCP</translation>
    </message>
    <message>
        <source>UDP NMEA input</source>
        <translation>Entrée NMEA UDP</translation>
    </message>
    <message>
        <source>UDP NMEA output</source>
        <translation>Sortie NMEA UDP</translation>
    </message>
    <message>
        <source>Also send position (RMC)</source>
        <translation>Envoyer aussi la position (RMC)</translation>
    </message>
    <message>
        <source>NMEA 2000 input</source>
        <translation>Entrée NMEA 2000</translation>
    </message>
    <message>
        <source>%1 (absent)</source>
        <translation>%1 (absent)</translation>
    </message>
    <message>
        <source>Signal K input</source>
        <translation>Entrée Signal K</translation>
    </message>
</context>
</TS>
