#!/usr/bin/python3
# Reads an export back with Python's own csv and XML parsers (or a barogram
# with poppler's pdfinfo, pdftotext and pdftoppm) and compares every value with
# the database; a GPX file must also pass xmllint against the GPX 1.1 schema.
# exportcheck.py FILE.csv|FILE.gpx DATABASE TABLE    a table's export, newest row first
# exportcheck.py FILE.csv DATABASE ARCHIVE1H|LOGBOOK the archive's export or the logbook
# exportcheck.py FILE.pdf DATABASE BAROGRAM TEXTS END  the week ending on the day of END
#   (seconds since the epoch), whose text holds each of the "|"-separated TEXTS
# CSV files are written with timeZone 0, precision 2, metres, mb or hPa; French
# ones use ";" and decimal commas. The barogram follows unitPre, preDisplay and
# timeZone of ./barograph.ini, in the zone of TZ.
import configparser, csv, datetime, math, os, re, subprocess, sys, tempfile
import sqlite3, xml.etree.ElementTree as ET

path, database, table = sys.argv[1:4]
kind = path.rsplit(".", 1)[-1]
archive = table in ("ARCHIVE1H", "LOGBOOK", "BAROGRAM")
db = sqlite3.connect(database)
select = ("SELECT HOUR, LON, LAT, COG, SOG, MEAN, ELE, OFS, MIN, MAX, SAMPLES FROM ARCHIVE1H ORDER BY HOUR DESC"
          if archive else f"SELECT * FROM {table} ORDER BY TIME DESC")
rows = db.execute(select).fetchall()
errors = []
ini = configparser.ConfigParser()
ini.read("barograph.ini")
setting = lambda key, default: ini.getint("General", key, fallback=default)

def near(what, got, want, tolerance):
    if not abs(got - want) <= tolerance + 1e-9:
        errors.append(f"{what}: {got} != {want}")

FRENCH_MONTHS = ["janv", "févr", "mars", "avr", "mai", "juin", "juil", "août", "sept", "oct", "nov", "déc"]

def instant(text, french):
    clock, rest = text.split(" (UTC) ")
    day, month, year = rest.split()
    month = month.rstrip(".,")
    month = FRENCH_MONTHS.index(month) + 1 if french else datetime.datetime.strptime(month, "%b").month
    t = datetime.datetime.strptime(f"{year}-{month}-{day} {clock}", "%Y-%m-%d %H:%M:%S")
    return int(t.replace(tzinfo=datetime.timezone.utc).timestamp())

def sea_level(station, ele):
    return station / (1 - ele * 22.55687745833333e-6) ** 5.2561 if abs(ele) > 1e-12 else station

def displayed(pre, ele, ofs, unit, level):
    p = pre + ofs if level else sea_level(pre + ofs, ele)
    return p / 10 if unit == 2 else p * 0.029529983071445 if unit == 3 else p * 0.75006157584566 if unit == 4 else p

def read_csv():
    with open(path, newline="", encoding="latin-1") as f:
        french = f.readline().count(";") >= 7
        f.seek(0)
        lines = list(csv.reader(f, delimiter=";" if french else ","))
        return french, lines[0], lines[1:]

def number(text, french):
    return float(text.replace(",", ".")) if french else float(text)

# The words of the forecasts for a change over three hours in hPa.
TENDENCY = [(0.1, "steady", "stationnaire"), (1.5, "rising slowly", "en hausse lente"), (3.5, "rising", "en hausse"),
            (6.0, "rising quickly", "en hausse rapide"), (1e9, "rising very rapidly", "en hausse très rapide")]

def tendency(change, french):
    tenths = math.floor(abs(change) * 10 + 0.5) / 10
    if tenths < 0.1:
        return "stationnaire" if french else "steady"
    word = next((f if french else e) for limit, e, f in TENDENCY[1:] if tenths <= limit)
    return word if change > 0 else word.replace("rising", "falling").replace("hausse", "baisse")

def check_logbook():
    french, header, lines = read_csv()
    words = "Tendency" not in header  # French words with the French catalogue
    means = {}
    for line, (t, lon, lat, cog, sog, pre, ele, ofs, *_) in zip(lines, reversed(rows)):
        if len(line) != 8:
            errors.append(f"{len(line)} fields: {line}")
            continue
        p = sea_level(pre + ofs, ele)
        means[t] = p
        if instant(line[0], french) != t:
            errors.append(f"date {line[0]} != {t}")
        near("pressure", number(line[1], french), p, 0.005)
        if t - 10800 in means:
            near("change", number(line[2], french), p - means[t - 10800], 0.005)
            if line[3] != tendency(p - means[t - 10800], words):
                errors.append(f"{t}: {line[3]} for {p - means[t - 10800]}")
        elif line[2] or line[3]:
            errors.append(f"{t}: a change without the hour three hours back")
        known = abs(lon) > 1e-12 and abs(lat) > 1e-12
        if not known and any(line[4:]):
            errors.append(f"{t}: a position where none was recorded: {line}")
        if known:
            near("latitude", number(line[4], french), lat, 0.5e-5)
            near("longitude", number(line[5], french), lon, 0.5e-5)
            near("course", int(line[6]), math.floor(cog + 0.5), 0)
            near("speed", number(line[7], french), sog, 0.05)
    return len(lines)

def check_csv():
    french, _header, lines = read_csv()
    width = 12 if archive else 9
    for line, (t, lon, lat, cog, sog, pre, ele, ofs, *extremes) in zip(lines, rows):
        if len(line) != width:
            errors.append(f"{len(line)} fields: {line}")
            continue
        date, *numbers = line
        n = [number(x, french) for x in numbers]
        if instant(date, french) != t:
            errors.append(f"date {date} != {t}")
        station = pre + ofs
        near("latitude", n[0], lat, 0.5e-5)
        near("longitude", n[1], lon, 0.5e-5)
        near("station", n[2], station, 0.005)
        near("sea level", n[3], sea_level(station, ele), 0.005)
        near("offset", n[4], ofs, 0.005)
        near("elevation", n[5], ele, 0.005)
        near("course", n[6], math.floor(cog + 0.5), 0)
        near("speed", n[7], sog, 0.05)
        if archive:
            near("minimum", n[8], sea_level(extremes[0] + ofs, ele), 0.005)
            near("maximum", n[9], sea_level(extremes[1] + ofs, ele), 0.005)
            near("samples", n[10], extremes[2], 0)
    return len(lines)

def check_gpx():
    global rows
    ns = {"g": "http://www.topografix.com/GPX/1/1"}
    points = ET.parse(path).getroot().findall("g:trk/g:trkseg/g:trkpt", ns)
    rows = [r for r in rows if abs(r[1]) > 1e-12 and abs(r[2]) > 1e-12]
    for p, (t, lon, lat, _cog, _sog, _pre, ele, _ofs, *_) in zip(points, rows):
        near("lat", float(p.get("lat")), lat, 0.5e-10)
        near("lon", float(p.get("lon")), lon, 0.5e-10)
        near("ele", float(p.find("g:ele", ns).text), ele, 0.005)
        when = datetime.datetime.strptime(p.find("g:time", ns).text, "%Y-%m-%dT%H:%M:%SZ")
        near("time", when.replace(tzinfo=datetime.timezone.utc).timestamp(), t, 0)
    schema = os.path.join(os.path.dirname(os.path.abspath(__file__)), "data", "gpx-1.1.xsd")
    if subprocess.run(["xmllint", "--noout", "--schema", schema, path]).returncode != 0:
        errors.append("not valid against the GPX 1.1 schema")
    return len(points)

def close(colour, want, tolerance):
    return sum((a - b) ** 2 for a, b in zip(colour, want)) <= tolerance ** 2

def check_barogram(texts, end):
    from PIL import Image
    global rows
    info = subprocess.run(["pdfinfo", path], capture_output=True, text=True).stdout
    size = re.search(r"Page size:\s+([\d.]+) x ([\d.]+) pts \(A4\)", info)
    if not size or float(size.group(1)) <= float(size.group(2)):
        errors.append(f"not an A4 landscape page: {info}")
    text = subprocess.run(["pdftotext", "-layout", path, "-"], capture_output=True, text=True).stdout
    errors.extend(f"no {t!r} in the text" for t in texts.split("|") if t not in text)
    # Where the page puts the days and the pressures: the midnight lines found
    # in the picture, the pressure labels (left of the chart) in the text.
    work = tempfile.mkdtemp()
    subprocess.run(["pdftoppm", "-r", "144", "-png", "-singlefile", path, os.path.join(work, "page")], check=True)
    image = Image.open(os.path.join(work, "page.png")).convert("RGB")
    boxes = subprocess.run(["pdftotext", "-bbox", path, "-"], capture_output=True, text=True).stdout
    labels = [(float(m[4]), float(m[1]) + float(m[3])) for m in re.findall(
        r'<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([\d.]+)</word>', boxes)
        if float(m[2]) < 62]
    (p0, y0), (p1, y1) = labels[0], labels[-1]
    y_of = lambda p: y0 + (p - p0) / (p1 - p0) * (y1 - y0)
    row = int((labels[0][1] + labels[1][1]) / 2)
    midnights, run = [], []
    for x in range(image.width):
        if close(image.getpixel((x, row)), (0x1F, 0x3F, 0x66), 45):
            run.append(x)
        elif run:
            midnights.append(sum(run) / len(run))
            run = []
    if len(midnights) != 8:
        errors.append(f"{len(midnights)} midnight lines, not 8")
        return 0
    utc = setting("timeZone", 1) == 0
    zone = datetime.timezone.utc if utc else None
    last = datetime.datetime.fromtimestamp(end, zone).date()
    start, stop = (datetime.datetime.combine(last + datetime.timedelta(days=d), datetime.time(0), zone).timestamp()
                   for d in (-6, 1))
    x_of = lambda t: midnights[0] + (t - start) / (stop - start) * (midnights[7] - midnights[0])
    unit, level = setting("unitPre", 0), setting("preDisplay", 0)
    rows = [r for r in rows if start <= r[0] < stop]
    for t, _lon, _lat, _cog, _sog, pre, ele, ofs, *_ in rows:
        x, y = x_of(t), y_of(displayed(pre, ele, ofs, unit, level))
        if not any(close(image.getpixel((int(x) + dx, int(y) + dy)), (0xE6, 0x32, 0x19), 70)
                   for dx in range(-4, 5) for dy in range(-4, 5)):
            errors.append(f"no trace at {t} ({x:.0f}, {y:.0f})")
    top = min(y for _p, y in labels)
    for (t,) in db.execute("SELECT START FROM ALARMS WHERE START >= ? AND START < ?", (start, stop)):
        if not any(close(image.getpixel((int(x_of(t)) + dx, int(top) - 12)), (0xFF, 0x8F, 0x00), 60) for dx in range(-4, 5)):
            errors.append(f"no mark of the alarm at {t}")
    return len(rows)

if kind == "pdf":
    count = check_barogram(sys.argv[4], int(sys.argv[5]))
    rows = rows[:count]
elif table == "LOGBOOK":
    count = check_logbook()
elif kind == "csv":
    count = check_csv()
else:
    count = check_gpx()
if count != len(rows):
    errors.append(f"{count} records for {len(rows)} rows")
print("\n".join(errors) or f"ok {count}")
sys.exit(1 if errors else 0)
