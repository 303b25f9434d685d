#!/usr/bin/python3
"""Makes the storm warning's chime into qml/Sounds/alarm.wav.

Like the pictures, the sound is drawn from a description rather than
recorded: three falling two-tone strikes, each a few harmonics with a quick
attack and a bell's decay, loud enough to be heard over wind and engine but
without a click at either end. Mono, 16 bits, 22050 Hz: about 80 KB.

Usage: /usr/bin/python3 tools/artwork/make_alarm_sound.py [output directory]
"""

import math
import os
import struct
import sys
import wave

RATE = 22050
# Peak level, below full scale so that no sound card clips it.
PEAK = 0.8
# (start s, frequency Hz, length s): high, low, three times.
STRIKES = [(0.00, 988.0, 0.45), (0.22, 784.0, 0.50),
           (0.55, 988.0, 0.45), (0.77, 784.0, 0.50),
           (1.10, 988.0, 0.45), (1.32, 784.0, 0.55)]
HARMONICS = [(1.0, 1.0), (2.0, 0.35), (3.0, 0.12)]
LENGTH = 1.9


def strike(t, frequency, length):
    if t < 0.0 or t >= length:
        return 0.0
    attack = min(1.0, t / 0.008)
    decay = math.exp(-5.0 * t / length)
    fade = min(1.0, (length - t) / 0.02)
    tone = sum(weight * math.sin(2.0 * math.pi * frequency * ratio * t) for ratio, weight in HARMONICS)
    return attack * decay * fade * tone / sum(weight for _, weight in HARMONICS)


def samples():
    values = [sum(strike(n / RATE - start, f, length) for start, f, length in STRIKES)
              for n in range(int(LENGTH * RATE))]
    scale = PEAK / max(abs(v) for v in values)
    return [v * scale for v in values]


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "..", "qml", "Sounds")
    os.makedirs(out, exist_ok=True)
    with wave.open(os.path.join(out, "alarm.wav"), "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(RATE)
        w.writeframes(b"".join(struct.pack("<h", round(v * 32767)) for v in samples()))


if __name__ == "__main__":
    main()
