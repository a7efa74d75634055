#!/usr/bin/env python3
"""Makes the short tones of the demo data in data/Data/Resources/Tones/, and
the toolkit's three interface sounds ("UI/Button Action.wav", "UI/Button
Switch.wav" and "Player Error.wav" below data/Data/Resources/), and the
game's "Customer Moved In.wav" and the trees' poke sound "Tree Rustle.wav"
there, and the building sounds in Tones/: the hammering looped while a part
goes up, its start and finish, picking up and dropping a button, the
bulldozer and the bonus countdown's tick, and the customers' sounds: thinking,
deciding, getting cross, arriving, leaving and the two rings that announce
one. "!None.wav", a moment of silence, is the sound list's first entry, the
one that stands for no sound.

Usage: make_demo_tones.py [data folder]   (default: data beside tools/)

Each tone is a 16-bit mono WAVE file at 22050 Hz: a sine (or, for the
click, a decaying noise burst from a seeded generator) with a short fade in
and out, so every run writes the same bytes. Nothing is written while the
tones are newer than this script.
"""

import math
import os
import random
import struct

from demo_data import data_folder, is_up_to_date

RATE = 22050
STAMP = ".tones-made"
# name: (frequency in hertz or 0 for the click, seconds)
TONES = {
    "Chime Low": (523.25, 0.25),
    "Chime Mid": (659.25, 0.25),
    "Chime High": (783.99, 0.25),
    "Click": (0, 0.04),
}
# The toolkit's interface sounds, by their path below Resources.
INTERFACE_SOUNDS = {
    "UI/Button Action.wav": (1046.5, 0.06),
    "UI/Button Switch.wav": (0, 0.05),
    "Player Error.wav": (196.0, 0.3),
    "Customer Moved In.wav": (880.0, 0.4),
    "Tree Rustle.wav": (-1, 0.45),
}


def samples(frequency, seconds):
    count = int(RATE * seconds)
    fade = max(1, int(RATE * 0.01))
    noise = random.Random(7)
    out = []
    for i in range(count):
        envelope = min(1.0, i / fade, (count - 1 - i) / fade)
        if frequency < 0:
            value = 0.0
        elif frequency:
            value = math.sin(2.0 * math.pi * frequency * i / RATE) * math.exp(-3.0 * i / count)
        else:
            value = (noise.random() * 2.0 - 1.0) * math.exp(-8.0 * i / count)
        out.append(int(round(value * envelope * 12000)))
    if frequency < 0:
        # Leaves: noise through a short running average, swelling then fading.
        window = 6
        raw = [noise.random() * 2.0 - 1.0 for _ in range(count)]
        total = 0.0
        for i in range(count):
            total += raw[i] - (raw[i - window] if i >= window else 0.0)
            swell = math.sin(math.pi * i / count) ** 2
            wobble = 0.6 + 0.4 * math.sin(2.0 * math.pi * 9.0 * i / RATE)
            out[i] = int(round(total / window * swell * wobble * 2.5 * 12000))
    return out


def notes(pitches, step):
    """A short tune: each pitch (hertz) for step seconds, plucked."""
    out = []
    for frequency in pitches:
        out += samples(frequency, step)
    return out


def hammering(knocks, seconds):
    """Hammer knocks evenly spread so the sound loops without a seam: a
    thump under a short wooden click each."""
    count = int(RATE * seconds)
    noise = random.Random(11)
    out = [0] * count
    every = count // knocks
    for k in range(knocks):
        start = k * every
        for i in range(min(every, int(RATE * 0.12))):
            decay = math.exp(-i / (RATE * 0.018))
            thump = math.sin(2.0 * math.pi * 140.0 * i / RATE) * math.exp(-i / (RATE * 0.04))
            click = (noise.random() * 2.0 - 1.0) * decay
            out[start + i] = int(round((0.6 * thump + 0.5 * click) * 14000))
    return out


def rumble(seconds):
    """The bulldozer: low noise swelling and dying away."""
    count = int(RATE * seconds)
    noise = random.Random(5)
    out = []
    total = 0.0
    window = 40
    raw = [noise.random() * 2.0 - 1.0 for _ in range(count)]
    for i in range(count):
        total += raw[i] - (raw[i - window] if i >= window else 0.0)
        swell = math.sin(math.pi * i / count)
        engine = 0.5 + 0.5 * math.sin(2.0 * math.pi * 28.0 * i / RATE)
        out.append(int(round(total / window * swell * engine * 5.0 * 12000)))
    return out


# The building sounds, made into Tones/.
BUILDING_SOUNDS = {
    "Hammering": lambda: hammering(3, 1.2),
    "Build Start": lambda: notes((392.0, 523.25), 0.12),
    "Build Done": lambda: notes((523.25, 659.25, 783.99, 1046.5), 0.1),
    "Pick Up": lambda: samples(880.0, 0.05),
    "Drop": lambda: samples(330.0, 0.08),
    "Bulldoze": lambda: rumble(0.9),
    "Bonus Tick": lambda: samples(1318.5, 0.05),
}

# The customers' sounds, made into Tones/ as well.
CUSTOMER_SOUNDS = {
    "Customer Thinking": lambda: notes((440.0, 493.88, 440.0, 493.88), 0.09),
    "Customer Decided": lambda: notes((659.25, 880.0), 0.12),
    "Customer Mad Flashing": lambda: notes((220.0, 207.65, 196.0), 0.14),
    "Customer Getting Mad": lambda: notes((311.13, 293.66), 0.15),
    "Customer Leaving": lambda: notes((392.0, 329.63, 261.63), 0.13),
    "Customer Arrived": lambda: notes((523.25, 659.25), 0.08),
    "Phone Ring": lambda: ring(1174.7, 1318.5, 3),
    "Greeter Ring": lambda: ring(784.0, 987.8, 2),
}


def ring(low, high, trills):
    """A bell trill: the two pitches quickly after one another, in bursts."""
    out = []
    for _ in range(trills):
        for _ in range(4):
            out += samples(low, 0.03) + samples(high, 0.03)
        out += [0] * int(RATE * 0.08)
    return out


def wave_bytes(data):
    pcm = struct.pack("<%dh" % len(data), *data)
    fmt = struct.pack("<HHIIHH", 1, 1, RATE, RATE * 2, 2, 16)
    body = b"WAVE" + b"fmt " + struct.pack("<I", len(fmt)) + fmt + b"data" + struct.pack("<I", len(pcm)) + pcm
    return b"RIFF" + struct.pack("<I", len(body)) + body


def main():
    root = data_folder(__file__)
    folder = os.path.join(root, "Data", "Resources", "Tones")
    os.makedirs(folder, exist_ok=True)
    stamp = os.path.join(folder, STAMP)
    if is_up_to_date(stamp, __file__):
        return
    for name, (frequency, seconds) in TONES.items():
        with open(os.path.join(folder, name + ".wav"), "wb") as out:
            out.write(wave_bytes(samples(frequency, seconds)))
    for name, make in list(BUILDING_SOUNDS.items()) + list(CUSTOMER_SOUNDS.items()):
        with open(os.path.join(folder, name + ".wav"), "wb") as out:
            out.write(wave_bytes([max(-32768, min(32767, v)) for v in make()]))
    for path, (frequency, seconds) in INTERFACE_SOUNDS.items():
        target = os.path.join(root, "Data", "Resources", *path.split("/"))
        os.makedirs(os.path.dirname(target), exist_ok=True)
        with open(target, "wb") as out:
            out.write(wave_bytes(samples(frequency, seconds)))
    with open(os.path.join(root, "Data", "Resources", "!None.wav"), "wb") as out:
        out.write(wave_bytes([0] * int(RATE * 0.01)))
    with open(stamp, "w") as out:
        out.write("made by make_demo_tones.py\n")


if __name__ == "__main__":
    main()
