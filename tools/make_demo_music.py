#!/usr/bin/env python3
"""Makes the demo's music in data/Data/Music/, the folder the music player
and the game's song list read: a short tune, "Demo Tune.ogg", each period's
intro and loop ("Period 1": a waltz by the water, "Period 2": a brisk tune
over a walking bass), the intermission song, the three-in-a-row bonus song,
and "!Silence.ogg", which sorts first and so takes the song list's entry 0,
the entry that means no song.

Usage: make_demo_music.py [data folder]   (default: data beside tools/)

The songs are drawn note by note (a melody over a bass line, each voice a
few harmonics dying away, 22050 Hz mono) and encoded to Ogg Vorbis through
the system's libvorbisenc (Debian package libvorbis-dev, which the build
needs anyway), with a fixed stream serial, so every run writes the same
bytes. Nothing is written while the
songs are newer than this script.
"""

import ctypes
import math
import os

from demo_data import data_folder, is_up_to_date

RATE = 22050
# A voice: the strength of each harmonic (the first is the note itself) and
# how fast a note dies away.
SOFT = ((1.0, 0.25), 2.5)
BELL = ((1.0, 0.0, 0.3, 0.0, 0.12), 4.0)
BRIGHT = ((1.0, 0.45, 0.25, 0.1), 3.5)
PLUCK = ((1.0, 0.3, 0.1), 5.0)

# Each period's songs: a short intro and a loop of the same tune. Notes are
# (semitones above A4 or None for a rest, beats).
# "Period 1": a waltz in D by the water, three beats a bar.
WALTZ_TUNE = [(9, 2), (12, 1), (17, 2), (16, 1), (14, 2), (10, 1), (5, 3),
              (7, 2), (12, 1), (16, 2), (14, 1), (12, 2), (9, 1), (5, 3),
              (9, 1), (10, 1), (12, 1), (14, 2), (12, 1), (10, 1), (12, 1), (14, 1), (17, 3),
              (16, 2), (14, 1), (12, 2), (10, 1), (9, 2), (7, 1), (5, 3)]
WALTZ_BASS = []
for root, fifth in ((-19, -12), (-19, -12), (-26, -19), (-26, -19), (-24, -17), (-24, -17), (-19, -12), (-19, -12),
                    (-22, -15), (-22, -15), (-26, -19), (-26, -19), (-24, -17), (-24, -17), (-19, -12), (-19, -12)):
    WALTZ_BASS += [(root, 1), (fifth, 1), (fifth, 1)]
# "Period 2": a brisk tune in F up the hill, four beats a bar, over a
# walking bass.
HILL_TUNE = [(12, 1), (15, 1), (12, 1), (8, 1), (8, 2), (7, 1), (5, 1), (10, 1), (13, 1), (17, 1), (13, 1),
             (15, 3), (None, 1),
             (12, 1), (15, 1), (20, 1), (19, 1), (17, 2), (12, 2), (13, 1), (12, 1), (10, 1), (7, 1), (8, 3), (None, 1)]
HILL_BASS = [(-16, 1), (-12, 1), (-9, 1), (-12, 1), (-19, 1), (-16, 1), (-12, 1), (-16, 1),
             (-14, 1), (-11, 1), (-7, 1), (-11, 1), (-21, 1), (-17, 1), (-14, 1), (-17, 1)] * 2

# name: (beat in seconds, [(line, volume, voice)]). No lines: silence.
SONGS = {
    "Demo Tune.ogg": (0.3, [([(3, 1), (7, 1), (10, 1), (15, 2), (14, 1), (10, 1), (12, 2), (7, 1), (8, 1), (10, 2),
                              (5, 1), (7, 1), (3, 4)], 0.32, SOFT),
                            ([(-21, 4), (-16, 4), (-19, 4), (-14, 4), (-21, 4)], 0.18, SOFT)]),
    "!Silence.ogg": (0.2, []),
    "Period 1 Intro.ogg": (0.3, [([(5, 1), (9, 1), (12, 1), (17, 3), (16, 1), (12, 1), (14, 1), (17, 6)], 0.3, BELL),
                                 ([(-19, 3), (-24, 3), (-19, 3), (-12, 6)], 0.18, SOFT)]),
    "Period 1 Loop.ogg": (0.28, [(WALTZ_TUNE, 0.3, BELL), (WALTZ_BASS, 0.16, SOFT)]),
    "Period 2 Intro.ogg": (0.22, [([(3, 1), (8, 1), (12, 1), (15, 1), (12, 1), (15, 1), (20, 6)], 0.28, BRIGHT),
                                  ([(-28, 2), (-21, 2), (-16, 8)], 0.2, PLUCK)]),
    "Period 2 Loop.ogg": (0.24, [(HILL_TUNE, 0.26, BRIGHT), (HILL_BASS, 0.2, PLUCK)]),
    "Intermission.ogg": (0.4, [([(10, 2), (8, 2), (7, 2), (5, 2), (3, 4)], 0.32, SOFT),
                               ([(-21, 4), (-26, 4), (-21, 4)], 0.18, SOFT)]),
    "Three In A Row.ogg": (0.12, [([(15, 1), (19, 1), (22, 1), (27, 2), (22, 1), (27, 2), (31, 4)], 0.32, SOFT),
                                 ([(-9, 4), (-2, 4), (-9, 4)], 0.18, SOFT)]),
}


def notes(line, beat):
    start = 0.0
    for pitch, beats in line:
        if pitch is not None:
            yield pitch, start, beats * beat
        start += beats * beat


def samples(beat, lines):
    seconds = max([sum(b for _, b in line) for line, _, _ in lines] or [0]) * beat + 0.5
    out = [0.0] * int(RATE * seconds)
    attack = int(0.01 * RATE)
    for line, volume, (harmonics, decay) in lines:
        for pitch, start, length in notes(line, beat):
            step = 2.0 * math.pi * 440.0 * 2.0 ** (pitch / 12.0) / RATE
            first = int(start * RATE)
            count = min(int(length * RATE), len(out) - first)
            for i in range(count):
                envelope = min(1.0, i / attack) * math.exp(-decay * i / count)
                phase = step * i
                out[first + i] += volume * envelope * sum(h * math.sin((n + 1) * phase)
                                                          for n, h in enumerate(harmonics) if h)
    fade = int(0.3 * RATE)
    for i in range(min(fade, len(out))):
        out[-1 - i] *= i / fade
    return out


class OggPage(ctypes.Structure):
    _fields_ = [("header", ctypes.POINTER(ctypes.c_ubyte)), ("header_len", ctypes.c_long),
                ("body", ctypes.POINTER(ctypes.c_ubyte)), ("body_len", ctypes.c_long)]


class OggPacket(ctypes.Structure):
    _fields_ = [("packet", ctypes.POINTER(ctypes.c_ubyte)), ("bytes", ctypes.c_long), ("b_o_s", ctypes.c_long),
                ("e_o_s", ctypes.c_long), ("granulepos", ctypes.c_int64), ("packetno", ctypes.c_int64)]


def encode(data):
    ogg = ctypes.CDLL("libogg.so.0")
    vorbis = ctypes.CDLL("libvorbis.so.0")
    encoder = ctypes.CDLL("libvorbisenc.so.2")
    vorbis.vorbis_analysis_buffer.restype = ctypes.POINTER(ctypes.POINTER(ctypes.c_float))
    encoder.vorbis_encode_init_vbr.argtypes = [ctypes.c_void_p, ctypes.c_long, ctypes.c_long, ctypes.c_float]
    # The library's state records, kept opaque: each fits many times over.
    info, comment, dsp, block, stream = (ctypes.create_string_buffer(16384) for _ in range(5))
    vorbis.vorbis_info_init(info)
    if encoder.vorbis_encode_init_vbr(info, 1, RATE, 0.3) != 0:
        raise SystemExit("make_demo_music: the Vorbis encoder refused the settings")
    vorbis.vorbis_comment_init(comment)
    vorbis.vorbis_analysis_init(dsp, info)
    vorbis.vorbis_block_init(dsp, block)
    ogg.ogg_stream_init(stream, 20261207)
    out = bytearray()
    page = OggPage()

    def take(pager):
        while pager(stream, ctypes.byref(page)):
            out.extend(ctypes.string_at(page.header, page.header_len))
            out.extend(ctypes.string_at(page.body, page.body_len))

    headers = [OggPacket() for _ in range(3)]
    vorbis.vorbis_analysis_headerout(dsp, comment, *(ctypes.byref(h) for h in headers))
    for header in headers:
        ogg.ogg_stream_packetin(stream, ctypes.byref(header))
    take(ogg.ogg_stream_flush)

    packet = OggPacket()
    chunk = 1024
    for start in range(0, len(data) + 1, chunk):
        piece = data[start:start + chunk]
        if piece:
            channels = vorbis.vorbis_analysis_buffer(dsp, len(piece))
            for i, value in enumerate(piece):
                channels[0][i] = value
        vorbis.vorbis_analysis_wrote(dsp, len(piece))
        while vorbis.vorbis_analysis_blockout(dsp, block) == 1:
            vorbis.vorbis_analysis(block, None)
            vorbis.vorbis_bitrate_addblock(block)
            while vorbis.vorbis_bitrate_flushpacket(dsp, ctypes.byref(packet)):
                ogg.ogg_stream_packetin(stream, ctypes.byref(packet))
                take(ogg.ogg_stream_pageout)
    take(ogg.ogg_stream_flush)
    ogg.ogg_stream_clear(stream)
    vorbis.vorbis_block_clear(block)
    vorbis.vorbis_dsp_clear(dsp)
    vorbis.vorbis_comment_clear(comment)
    vorbis.vorbis_info_clear(info)
    return bytes(out)


def main():
    root = data_folder(__file__)
    folder = os.path.join(root, "Data", "Music")
    os.makedirs(folder, exist_ok=True)
    # The folder is all made here: a song no longer made would still be
    # listed.
    for old in os.listdir(folder):
        if old.lower().endswith(".ogg") and old not in SONGS:
            os.remove(os.path.join(folder, old))
    for name, (beat, lines) in SONGS.items():
        target = os.path.join(folder, name)
        if is_up_to_date(target, __file__):
            continue
        data = encode(samples(beat, lines))
        with open(target + ".part", "wb") as out:
            out.write(data)
        os.replace(target + ".part", target)


if __name__ == "__main__":
    main()
