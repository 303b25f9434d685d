#!/usr/bin/python3
# Reads an export back with Python's own csv and XML parsers and compares
# every value with the table in the database, newest row first; a GPX file
# must also pass xmllint against the GPX 1.1 schema.
# exportcheck.py FILE.csv|FILE.gpx DATABASE TABLE   (CSV written with
# timeZone 0, precision 2, metres; French files use ";" and decimal commas)
import csv, datetime, math, os, sqlite3, subprocess, sys, xml.etree.ElementTree as ET

path, database, table = sys.argv[1:4]
kind = path.rsplit(".", 1)[-1]
rows = sqlite3.connect(database).execute(f"SELECT * FROM {table} ORDER BY TIME DESC").fetchall()
errors = []

def near(what, got, want, tolerance):
    if not abs(got - want) <= tolerance + 1e-9:
        errors.append(f"{what}: {got} != {want}")

FRENCH_MONTHS = ["janv,", "févr,", "mars", "avr,", "mai", "juin", "juil,", "août", "sept,", "oct,", "nov,", "déc,"]

def instant(text, french):
    clock, rest = text.split(" (UTC) ")
    day, month, year = rest.split()
    month = FRENCH_MONTHS.index(month) + 1 if french else datetime.datetime.strptime(month, "%b").month
    t = datetime.datetime.strptime(f"{year}-{month}-{day} {clock}", "%Y-%m-%d %H:%M:%S")
    return int(t.replace(tzinfo=datetime.timezone.utc).timestamp())

if kind == "csv":
    with open(path, newline="", encoding="latin-1") as f:
        french = f.readline().count(";") == 8
        f.seek(0)
        lines = list(csv.reader(f, delimiter=";" if french else ","))[1:]
    for line, (t, lon, lat, cog, sog, pre, ele, ofs) in zip(lines, rows):
        if len(line) != 9:
            errors.append(f"{len(line)} fields: {line}")
            continue
        date, *numbers = line
        n = [float(x.replace(",", ".")) if french else float(x) for x in numbers]
        if instant(date, french) != t:
            errors.append(f"date {date} != {t}")
        station = pre + ofs
        near("latitude", n[0], lat, 0.5e-5)
        near("longitude", n[1], lon, 0.5e-5)
        near("station", n[2], station, 0.005)
        near("sea level", n[3], station / (1 - ele * 22.55687745833333e-6) ** 5.2561, 0.005)
        near("offset", n[4], ofs, 0.005)
        near("elevation", n[5], ele, 0.005)
        near("course", n[6], math.floor(cog + 0.5), 0)
        near("speed", n[7], sog, 0.05)
    count = len(lines)
else:
    ns = {"g": "http://www.topografix.com/GPX/1/1"}
    points = ET.parse(path).getroot().findall("g:trk/g:trkseg/g:trkpt", ns)
    rows = [r for r in rows if abs(r[1]) > 1e-12 and abs(r[2]) > 1e-12]
    for p, (t, lon, lat, _cog, _sog, _pre, ele, _ofs) in zip(points, rows):
        near("lat", float(p.get("lat")), lat, 0.5e-10)
        near("lon", float(p.get("lon")), lon, 0.5e-10)
        near("ele", float(p.find("g:ele", ns).text), ele, 0.005)
        when = datetime.datetime.strptime(p.find("g:time", ns).text, "%Y-%m-%dT%H:%M:%SZ")
        near("time", when.replace(tzinfo=datetime.timezone.utc).timestamp(), t, 0)
    count = len(points)
    schema = os.path.join(os.path.dirname(os.path.abspath(__file__)), "data", "gpx-1.1.xsd")
    if subprocess.run(["xmllint", "--noout", "--schema", schema, path]).returncode != 0:
        errors.append("not valid against the GPX 1.1 schema")
if count != len(rows):
    errors.append(f"{count} records for {len(rows)} rows")
print("\n".join(errors) or f"ok {count}")
sys.exit(1 if errors else 0)
