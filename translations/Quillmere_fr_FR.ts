<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr_FR">
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
</context>
<context>
    <name>BaroH</name>
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
</context>
<context>
    <name>DataSource</name>
    <message>
        <source>deg</source>
        <translation type="vanished">°</translation>
    </message>
    <message>
        <source>Device</source>
        <translation type="vanished">heure locale</translation>
    </message>
    <message>
        <source>ft</source>
        <translation type="vanished">pieds</translation>
    </message>
    <message>
        <source>m</source>
        <translation type="vanished">m</translation>
    </message>
    <message>
        <source>Date (%1);Latitude;Longitude;Station pressure (%3);Sea Level Pressure (%3);Offset (%3);Elevation (%2);COG(T);SOG(kts)</source>
        <translation type="vanished">Date (%1);Latitude;Longitude;Pression station (%3);Pression niveau de la mer (%3);Correction (%3);Altitude (%2);Route fond (V);Vitesse fond (nds)</translation>
    </message>
</context>
<context>
    <name>FileData</name>
    <message>
        <source>Stored tables</source>
        <translation>Tables enregistrées</translation>
    </message>
</context>
<context>
    <name>FileDetails</name>
    <message>
        <source>Records</source>
        <translation>Enregistrements</translation>
    </message>
</context>
<context>
    <name>Help_textview</name>
    <message>
        <source>Help</source>
        <translation>Aide</translation>
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
    <name>brenlowCalibration</name>
    <message>
        <source>Calibration</source>
        <translation>Étalonnage</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>Quillmere</source>
        <translation>Quillmere</translation>
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
        <translation>Format de l&apos;heure</translation>
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
        <translation>Précision d&apos;affichage</translation>
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
        <translation>Unité d&apos;altitude</translation>
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
        <translation>Données sur deux écrans</translation>
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
</context>
</TS>
