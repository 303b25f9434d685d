<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>AlarmBanner</name>
    <message>
        <source>Acknowledged</source>
        <translation>Acknowledged</translation>
    </message>
    <message>
        <source>Acknowledge</source>
        <translation>Acknowledge</translation>
    </message>
    <message>
        <source>Snooze</source>
        <translation>Snooze</translation>
    </message>
    <message>
        <source>%1 min</source>
        <translation>%1 min</translation>
    </message>
    <message>
        <source>no sound output</source>
        <translation>no sound output</translation>
    </message>
</context>
<context>
    <name>AlarmNotifier</name>
    <message>
        <source>Acknowledge</source>
        <translation>Acknowledge</translation>
    </message>
    <message>
        <source>Snooze 30 min</source>
        <translation>Snooze 30 min</translation>
    </message>
</context>
<context>
    <name>ArchiveExports</name>
    <message>
        <source>Logbook</source>
        <translation>Logbook</translation>
    </message>
    <message>
        <source>The hours as a logbook (CSV)</source>
        <translation>The hours as a logbook (CSV)</translation>
    </message>
    <message>
        <source>Barogram</source>
        <translation>Barogram</translation>
    </message>
    <message>
        <source>A week&apos;s barogram to print (PDF)</source>
        <translation>A week&apos;s barogram to print (PDF)</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Last day of the week:</source>
        <translation>Last day of the week:</translation>
    </message>
    <message>
        <source>Today</source>
        <translation>Today</translation>
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
        <translation>From internal pressure sensor</translation>
    </message>
    <message>
        <source>From serial connection</source>
        <translation>From serial connection</translation>
    </message>
    <message>
        <source>From TCP connection</source>
        <translation>From TCP connection</translation>
    </message>
    <message>
        <source>From UDP connection</source>
        <translation>From UDP connection</translation>
    </message>
    <message>
        <source>No pressure available</source>
        <translation>No pressure available</translation>
    </message>
    <message>
        <source>From NMEA 2000 connection</source>
        <translation>From NMEA 2000 connection</translation>
    </message>
    <message>
        <source>Sensor</source>
        <translation>Sensor</translation>
    </message>
    <message>
        <source>Serial</source>
        <translation>Serial</translation>
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
        <translation>%1 d</translation>
    </message>
    <message>
        <source>Pressure: %1</source>
        <translation>Pressure: %1</translation>
    </message>
    <message>
        <source>Position: %1</source>
        <translation>Position: %1</translation>
    </message>
    <message>
        <source>From Signal K connection</source>
        <translation>From Signal K connection</translation>
    </message>
</context>
<context>
    <name>BaroH</name>
    <message>
        <source>30m</source>
        <translation type="vanished">30m</translation>
    </message>
    <message>
        <source>%dm</source>
        <translation type="vanished">%dm</translation>
    </message>
    <message>
        <source>3h</source>
        <translation type="vanished">3h</translation>
    </message>
    <message>
        <source>%dh</source>
        <translation type="vanished">%dh</translation>
    </message>
    <message>
        <source>6h</source>
        <translation type="vanished">6h</translation>
    </message>
    <message>
        <source>12h</source>
        <translation type="vanished">12h</translation>
    </message>
    <message>
        <source>1d</source>
        <translation type="vanished">1d</translation>
    </message>
    <message>
        <source>2d</source>
        <translation type="vanished">2d</translation>
    </message>
    <message>
        <source>4d</source>
        <translation type="vanished">4d</translation>
    </message>
    <message>
        <source>%dd</source>
        <translation type="vanished">%dd</translation>
    </message>
    <message>
        <source>8d</source>
        <translation type="vanished">8d</translation>
    </message>
    <message>
        <source>16d</source>
        <translation type="vanished">16d</translation>
    </message>
    <message>
        <source>No pressure source is set up</source>
        <translation>No pressure source is set up</translation>
    </message>
    <message>
        <source>Connections settings</source>
        <translation>Connections settings</translation>
    </message>
</context>
<context>
    <name>Barogram</name>
    <message>
        <source>Station pressure (QFE)</source>
        <translation>Station pressure (QFE)</translation>
    </message>
    <message>
        <source>Sea level pressure (QNH)</source>
        <translation>Sea level pressure (QNH)</translation>
    </message>
    <message>
        <source>local time (%1)</source>
        <translation>local time (%1)</translation>
    </message>
    <message>
        <source>Under each day: the position at noon.</source>
        <translation>Under each day: the position at noon.</translation>
    </message>
    <message>
        <source>Dashed: where a storm warning began.</source>
        <translation>Dashed: where a storm warning began.</translation>
    </message>
    <message>
        <source>Barogram from %1 to %2</source>
        <translation>Barogram from %1 to %2</translation>
    </message>
    <message>
        <source>Barogram</source>
        <translation>Barogram</translation>
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
        <translation>Device</translation>
    </message>
    <message>
        <source>ft</source>
        <translation>ft</translation>
    </message>
    <message>
        <source>m</source>
        <translation>m</translation>
    </message>
    <message>
        <source>Date (%1);Latitude;Longitude;Station pressure (%3);Sea Level Pressure (%3);Offset (%3);Elevation (%2);COG(T);SOG(kts)</source>
        <translation>Date (%1);Latitude;Longitude;Station pressure (%3);Sea Level Pressure (%3);Offset (%3);Elevation (%2);COG(T);SOG(kts)</translation>
    </message>
    <message>
        <source>Storm warning</source>
        <translation>Storm warning</translation>
    </message>
    <message>
        <source>Rapid rise warning</source>
        <translation>Rapid rise warning</translation>
    </message>
    <message>
        <source>Low pressure warning</source>
        <translation>Low pressure warning</translation>
    </message>
    <message>
        <source>No pressure</source>
        <translation>No pressure</translation>
    </message>
    <message>
        <source>%1 in 3 h</source>
        <translation>%1 in 3 h</translation>
    </message>
    <message>
        <source>Acknowledged %1</source>
        <translation>Acknowledged %1</translation>
    </message>
    <message>
        <source>Not acknowledged</source>
        <translation>Not acknowledged</translation>
    </message>
    <message>
        <source>In force</source>
        <translation>In force</translation>
    </message>
    <message>
        <source>Cleared %1</source>
        <translation>Cleared %1</translation>
    </message>
    <message>
        <source>Start (%1);Kind;Change in 3 h (%2);Pressure (%2);Acknowledged;Cleared</source>
        <translation>Start (%1);Kind;Change in 3 h (%2);Pressure (%2);Acknowledged;Cleared</translation>
    </message>
    <message>
        <source>Not exported: %1 is a file of Quillmere&apos;s own</source>
        <translation>Not exported: %1 is a file of Quillmere&apos;s own</translation>
    </message>
    <message>
        <source>Exported to %1</source>
        <translation>Exported to %1</translation>
    </message>
    <message>
        <source>Could not write %1</source>
        <translation>Could not write %1</translation>
    </message>
    <message>
        <source>;Sea level minimum (%3);Sea level maximum (%3);Samples</source>
        <translation>;Sea level minimum (%3);Sea level maximum (%3);Samples</translation>
    </message>
    <message>
        <source>steady</source>
        <translation>steady</translation>
    </message>
    <message>
        <source>rising slowly</source>
        <translation>rising slowly</translation>
    </message>
    <message>
        <source>falling slowly</source>
        <translation>falling slowly</translation>
    </message>
    <message>
        <source>rising</source>
        <translation>rising</translation>
    </message>
    <message>
        <source>falling</source>
        <translation>falling</translation>
    </message>
    <message>
        <source>rising quickly</source>
        <translation>rising quickly</translation>
    </message>
    <message>
        <source>falling quickly</source>
        <translation>falling quickly</translation>
    </message>
    <message>
        <source>rising very rapidly</source>
        <translation>rising very rapidly</translation>
    </message>
    <message>
        <source>falling very rapidly</source>
        <translation>falling very rapidly</translation>
    </message>
    <message>
        <source>Date (%1);%2 (%3);3 h change (%3);Tendency;Latitude;Longitude;COG(T);SOG(kts)</source>
        <translation>Date (%1);%2 (%3);3 h change (%3);Tendency;Latitude;Longitude;COG(T);SOG(kts)</translation>
    </message>
    <message>
        <source>min %1 - max %2 - %3 samples</source>
        <translation>min %1 - max %2 - %3 samples</translation>
    </message>
</context>
<context>
    <name>FileData</name>
    <message>
        <source>Stored tables</source>
        <translation type="vanished">Stored tables</translation>
    </message>
    <message>
        <source>30m (2 secs interval)</source>
        <translation>30m (2 secs interval)</translation>
    </message>
    <message>
        <source>3h (6 secs interval)</source>
        <translation>3h (6 secs interval)</translation>
    </message>
    <message>
        <source>6h (12 secs interval)</source>
        <translation>6h (12 secs interval)</translation>
    </message>
    <message>
        <source>12h (24 secs interval)</source>
        <translation>12h (24 secs interval)</translation>
    </message>
    <message>
        <source>1d (48 secs interval)</source>
        <translation>1d (48 secs interval)</translation>
    </message>
    <message>
        <source>2d (96 secs interval)</source>
        <translation>2d (96 secs interval)</translation>
    </message>
    <message>
        <source>4d (192 secs interval)</source>
        <translation>4d (192 secs interval)</translation>
    </message>
    <message>
        <source>8d (384 secs interval)</source>
        <translation>8d (384 secs interval)</translation>
    </message>
    <message>
        <source>16d (768 secs interval)</source>
        <translation>16d (768 secs interval)</translation>
    </message>
    <message>
        <source>Delete all data</source>
        <translation>Delete all data</translation>
    </message>
    <message>
        <source>Are you sure you want to delete ALL data ?</source>
        <translation>Are you sure you want to delete ALL data ?</translation>
    </message>
    <message>
        <source>Storm warning log</source>
        <translation>Storm warning log</translation>
    </message>
    <message>
        <source>Hourly archive, logbook and barogram</source>
        <translation>Hourly archive, logbook and barogram</translation>
    </message>
</context>
<context>
    <name>FileDetails</name>
    <message>
        <source>Records</source>
        <translation type="vanished">Records</translation>
    </message>
    <message>
        <source>30m</source>
        <translation>30m</translation>
    </message>
    <message>
        <source>3h</source>
        <translation>3h</translation>
    </message>
    <message>
        <source>6h</source>
        <translation>6h</translation>
    </message>
    <message>
        <source>12h</source>
        <translation>12h</translation>
    </message>
    <message>
        <source>1d</source>
        <translation>1d</translation>
    </message>
    <message>
        <source>2d</source>
        <translation>2d</translation>
    </message>
    <message>
        <source>4d</source>
        <translation>4d</translation>
    </message>
    <message>
        <source>8d</source>
        <translation>8d</translation>
    </message>
    <message>
        <source>16d</source>
        <translation>16d</translation>
    </message>
    <message>
        <source>CSV files (*.csv)</source>
        <translation>CSV files (*.csv)</translation>
    </message>
    <message>
        <source>GPS files (*.gpx)</source>
        <translation>GPS files (*.gpx)</translation>
    </message>
    <message>
        <source>Export page as CSV</source>
        <translation>Export page as CSV</translation>
    </message>
    <message>
        <source>Export page as GPX</source>
        <translation>Export page as GPX</translation>
    </message>
    <message>
        <source>Delete this data file</source>
        <translation>Delete this data file</translation>
    </message>
    <message>
        <source>Are you sure you want to delete ALL data in this table ?</source>
        <translation>Are you sure you want to delete ALL data in this table ?</translation>
    </message>
    <message>
        <source>Please choose a file</source>
        <translation>Please choose a file</translation>
    </message>
    <message>
        <source>Storm warnings</source>
        <translation>Storm warnings</translation>
    </message>
    <message>
        <source>Archive</source>
        <translation>Archive</translation>
    </message>
    <message>
        <source>PDF files (*.pdf)</source>
        <translation>PDF files (*.pdf)</translation>
    </message>
</context>
<context>
    <name>Help_textview</name>
    <message>
        <source>Help</source>
        <translation type="vanished">Help</translation>
    </message>
    <message>
        <source>Privacy Policy</source>
        <translation>Privacy Policy</translation>
    </message>
    <message>
        <source>Back to help</source>
        <translation>Back to help</translation>
    </message>
</context>
<context>
    <name>LevelLabel</name>
    <message>
        <source>Sea Level Pressure (QNH)</source>
        <translation>Sea Level Pressure (QNH)</translation>
    </message>
    <message>
        <source>Station Level Pressure (QFE)</source>
        <translation>Station Level Pressure (QFE)</translation>
    </message>
    <message>
        <source>No pressure data available</source>
        <translation>No pressure data available</translation>
    </message>
</context>
<context>
    <name>N2kConnection</name>
    <message>
        <source>CAN interface (SocketCAN)</source>
        <translation>CAN interface (SocketCAN)</translation>
    </message>
    <message>
        <source>Gateway over TCP</source>
        <translation>Gateway over TCP</translation>
    </message>
    <message>
        <source>Gateway over UDP</source>
        <translation>Gateway over UDP</translation>
    </message>
</context>
<context>
    <name>PressureChart</name>
    <message>
        <source>30m</source>
        <translation>30m</translation>
    </message>
    <message>
        <source>%dm</source>
        <translation>%dm</translation>
    </message>
    <message>
        <source>3h</source>
        <translation>3h</translation>
    </message>
    <message>
        <source>%dh</source>
        <translation>%dh</translation>
    </message>
    <message>
        <source>6h</source>
        <translation>6h</translation>
    </message>
    <message>
        <source>12h</source>
        <translation>12h</translation>
    </message>
    <message>
        <source>1d</source>
        <translation>1d</translation>
    </message>
    <message>
        <source>2d</source>
        <translation>2d</translation>
    </message>
    <message>
        <source>4d</source>
        <translation>4d</translation>
    </message>
    <message>
        <source>%dd</source>
        <translation>%dd</translation>
    </message>
    <message>
        <source>8d</source>
        <translation>8d</translation>
    </message>
    <message>
        <source>16d</source>
        <translation>16d</translation>
    </message>
    <message>
        <source>Reset zoom</source>
        <translation>Reset zoom</translation>
    </message>
    <message>
        <source>30d</source>
        <translation>30d</translation>
    </message>
    <message>
        <source>90d</source>
        <translation>90d</translation>
    </message>
    <message>
        <source>1y</source>
        <translation>1y</translation>
    </message>
    <message>
        <source>All</source>
        <translation>All</translation>
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
        <translation>kts</translation>
    </message>
    <message>
        <source>km/h</source>
        <translation>km/h</translation>
    </message>
    <message>
        <source>mph</source>
        <translation>mph</translation>
    </message>
</context>
<context>
    <name>SignalKConnection</name>
    <message>
        <source>Host</source>
        <translation>Host</translation>
    </message>
    <message>
        <source>Token (optional)</source>
        <translation>Token (optional)</translation>
    </message>
</context>
<context>
    <name>StormWarning</name>
    <message>
        <source>Steady</source>
        <translation>Steady</translation>
    </message>
    <message>
        <source>Rising slowly</source>
        <translation>Rising slowly</translation>
    </message>
    <message>
        <source>Rising</source>
        <translation>Rising</translation>
    </message>
    <message>
        <source>Rising quickly</source>
        <translation>Rising quickly</translation>
    </message>
    <message>
        <source>Rising very rapidly</source>
        <translation>Rising very rapidly</translation>
    </message>
    <message>
        <source>Falling slowly</source>
        <translation>Falling slowly</translation>
    </message>
    <message>
        <source>Falling</source>
        <translation>Falling</translation>
    </message>
    <message>
        <source>Falling quickly</source>
        <translation>Falling quickly</translation>
    </message>
    <message>
        <source>Falling very rapidly</source>
        <translation>Falling very rapidly</translation>
    </message>
    <message>
        <source>%1: %2 in 3 h (estimate from 1 h)</source>
        <translation>%1: %2 in 3 h (estimate from 1 h)</translation>
    </message>
    <message>
        <source>%1: %2 in 3 h</source>
        <translation>%1: %2 in 3 h</translation>
    </message>
    <message>
        <source>Storm warning since %1</source>
        <translation>Storm warning since %1</translation>
    </message>
    <message>
        <source>Rapid rise warning since %1</source>
        <translation>Rapid rise warning since %1</translation>
    </message>
    <message>
        <source>Low pressure warning since %1</source>
        <translation>Low pressure warning since %1</translation>
    </message>
    <message>
        <source>Snoozed until %1</source>
        <translation>Snoozed until %1</translation>
    </message>
    <message>
        <source>%1: %2 in 3 h (two instruments)</source>
        <translation>%1: %2 in 3 h (two instruments)</translation>
    </message>
    <message>
        <source>No pressure since %1</source>
        <translation>No pressure since %1</translation>
    </message>
    <message>
        <source>%1 (not current since %2)</source>
        <translation>%1 (not current since %2)</translation>
    </message>
</context>
<context>
    <name>StormWarningSettings</name>
    <message>
        <source>Storm warning</source>
        <translation>Storm warning</translation>
    </message>
    <message>
        <source>Alarm</source>
        <translation>Alarm</translation>
    </message>
    <message>
        <source>No pressure for 2 min</source>
        <translation>No pressure for 2 min</translation>
    </message>
    <message>
        <source>Fall over 3 h</source>
        <translation>Fall over 3 h</translation>
    </message>
    <message>
        <source>Other</source>
        <comment>storm warning: another fall limit</comment>
        <translation>Other</translation>
    </message>
    <message>
        <source>Rise over 3 h (hPa)</source>
        <translation>Rise over 3 h (hPa)</translation>
    </message>
    <message>
        <source>Low limit</source>
        <translation>Low limit</translation>
    </message>
</context>
<context>
    <name>brenlowCalibration</name>
    <message>
        <source>Calibration</source>
        <translation type="vanished">Calibration</translation>
    </message>
    <message>
        <source>Brenlow USB barometer calibration</source>
        <translation>Brenlow USB barometer calibration</translation>
    </message>
    <message>
        <source>Set USB Baro sensor offset (mb)</source>
        <translation>Set USB Baro sensor offset (mb)</translation>
    </message>
    <message>
        <source>Station Level (QFE)</source>
        <translation>Station Level (QFE)</translation>
    </message>
    <message>
        <source>Set sensor pressure slope (mb/bar)</source>
        <translation>Set sensor pressure slope (mb/bar)</translation>
    </message>
    <message>
        <source>Calibrate</source>
        <translation>Calibrate</translation>
    </message>
    <message>
        <source>Factory reset</source>
        <translation>Factory reset</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Operation failed</source>
        <translation>Operation failed</translation>
    </message>
    <message>
        <source>Operation timeout, probably no&lt;br&gt;Brenlow USB baro is connected</source>
        <translation>Operation timeout, probably no&lt;br&gt;Brenlow USB baro is connected</translation>
    </message>
    <message>
        <source>Calibration accepted by the barometer</source>
        <translation>Calibration accepted by the barometer</translation>
    </message>
    <message>
        <source>Factory reset accepted by the barometer</source>
        <translation>Factory reset accepted by the barometer</translation>
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
        <translation>Barograph</translation>
    </message>
    <message>
        <source>Stored data</source>
        <translation>Stored data</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>Help</translation>
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
        <translation>Langage</translation>
    </message>
    <message>
        <source>English</source>
        <translation>English</translation>
    </message>
    <message>
        <source>French</source>
        <translation>French</translation>
    </message>
    <message>
        <source>Theme</source>
        <translation>Theme</translation>
    </message>
    <message>
        <source>Light</source>
        <translation>Light</translation>
    </message>
    <message>
        <source>Dark</source>
        <translation>Dark</translation>
    </message>
    <message>
        <source>Keep screen always on</source>
        <translation>Keep screen always on</translation>
    </message>
    <message>
        <source>Time zone</source>
        <translation>Time zone</translation>
    </message>
    <message>
        <source>UTC</source>
        <translation>UTC</translation>
    </message>
    <message>
        <source>Date format</source>
        <translation>Date format</translation>
    </message>
    <message>
        <source>dd mm</source>
        <translation>dd mm</translation>
    </message>
    <message>
        <source>mm dd</source>
        <translation>mm dd</translation>
    </message>
    <message>
        <source>Time format</source>
        <translation>Time format</translation>
    </message>
    <message>
        <source>24h</source>
        <translation>24h</translation>
    </message>
    <message>
        <source>12h</source>
        <translation>12h</translation>
    </message>
    <message>
        <source>Speed format</source>
        <translation>Speed format</translation>
    </message>
    <message>
        <source>kts</source>
        <translation>kts</translation>
    </message>
    <message>
        <source>km/h</source>
        <translation>km/h</translation>
    </message>
    <message>
        <source>mph</source>
        <translation>mph</translation>
    </message>
    <message>
        <source>Pressure units</source>
        <translation>Pressure units</translation>
    </message>
    <message>
        <source>Precision display</source>
        <translation>Precision display</translation>
    </message>
    <message>
        <source>Low</source>
        <translation>Low</translation>
    </message>
    <message>
        <source>Normal</source>
        <translation>Normal</translation>
    </message>
    <message>
        <source>High</source>
        <translation>High</translation>
    </message>
    <message>
        <source>Location display</source>
        <translation>Location display</translation>
    </message>
    <message>
        <source>Pressure display</source>
        <translation>Pressure display</translation>
    </message>
    <message>
        <source>Sea Level (QNH)</source>
        <translation>Sea Level (QNH)</translation>
    </message>
    <message>
        <source>Station Level (QFE)</source>
        <translation>Station Level (QFE)</translation>
    </message>
    <message>
        <source>Elevation units</source>
        <translation>Elevation units</translation>
    </message>
    <message>
        <source>Meters</source>
        <translation>Meters</translation>
    </message>
    <message>
        <source>Feet</source>
        <translation>Feet</translation>
    </message>
    <message>
        <source>Elevation (feet)</source>
        <translation>Elevation (feet)</translation>
    </message>
    <message>
        <source>Elevation (meters)</source>
        <translation>Elevation (meters)</translation>
    </message>
    <message>
        <source>Line style</source>
        <translation>Line style</translation>
    </message>
    <message>
        <source>Straight</source>
        <translation>Straight</translation>
    </message>
    <message>
        <source>Spline</source>
        <translation>Spline</translation>
    </message>
    <message>
        <source>Data on two screens</source>
        <translation>Data on two screens</translation>
    </message>
    <message>
        <source>Pressure display offset</source>
        <translation>Pressure display offset</translation>
    </message>
    <message>
        <source>Connections settings</source>
        <translation>Connections settings</translation>
    </message>
    <message>
        <source>Brenlow USB BARO</source>
        <translation>Brenlow USB BARO</translation>
    </message>
    <message>
        <source>calibration</source>
        <translation>calibration</translation>
    </message>
    <message>
        <source>Device</source>
        <comment>theme: as the computer shows</comment>
        <translation>Device</translation>
    </message>
    <message>
        <source>Device</source>
        <comment>time zone: the computer&apos;s</comment>
        <translation>Device</translation>
    </message>
</context>
<context>
    <name>settingsConnections</name>
    <message>
        <source>Connections</source>
        <translation>Connections</translation>
    </message>
    <message>
        <source>Position</source>
        <translation>Position</translation>
    </message>
    <message>
        <source>Internal</source>
        <translation>Internal</translation>
    </message>
    <message>
        <source>NMEA</source>
        <translation>NMEA</translation>
    </message>
    <message>
        <source>Serial NMEA input</source>
        <translation>Serial NMEA input</translation>
    </message>
    <message>
        <source>No Parity</source>
        <translation>No Parity</translation>
    </message>
    <message>
        <source>Even Parity</source>
        <translation>Even Parity</translation>
    </message>
    <message>
        <source>Odd Parity</source>
        <translation>Odd Parity</translation>
    </message>
    <message>
        <source>Space Parity</source>
        <translation>Space Parity</translation>
    </message>
    <message>
        <source>Mark Parity</source>
        <translation>Mark Parity</translation>
    </message>
    <message>
        <source>No Control</source>
        <translation>No Control</translation>
    </message>
    <message>
        <source>Hardware</source>
        <translation>Hardware</translation>
    </message>
    <message>
        <source>Software</source>
        <translation>Software</translation>
    </message>
    <message>
        <source>8 Bits</source>
        <translation>8 Bits</translation>
    </message>
    <message>
        <source>7 Bits</source>
        <translation>7 Bits</translation>
    </message>
    <message>
        <source>6 Bits</source>
        <translation>6 Bits</translation>
    </message>
    <message>
        <source>5 Bits</source>
        <translation>5 Bits</translation>
    </message>
    <message>
        <source>1 Bit</source>
        <translation>1 Bit</translation>
    </message>
    <message>
        <source>1.5 Bit</source>
        <translation>1.5 Bit</translation>
    </message>
    <message>
        <source>2 Bits</source>
        <translation>2 Bits</translation>
    </message>
    <message>
        <source>TCP NMEA input</source>
        <translation>TCP NMEA input</translation>
    </message>
    <message>
        <source>UDP NMEA input</source>
        <translation>UDP NMEA input</translation>
    </message>
    <message>
        <source>UDP NMEA output</source>
        <translation>UDP NMEA output</translation>
    </message>
    <message>
        <source>Also send position (RMC)</source>
        <translation>Also send position (RMC)</translation>
    </message>
    <message>
        <source>NMEA 2000 input</source>
        <translation>NMEA 2000 input</translation>
    </message>
    <message>
        <source>%1 (absent)</source>
        <translation>%1 (absent)</translation>
    </message>
    <message>
        <source>Signal K input</source>
        <translation>Signal K input</translation>
    </message>
</context>
</TS>
