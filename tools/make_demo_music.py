#!/usr/bin/env python3
"""Makes the demo's music in data/Data/Music/, the folder the music player
and the game's song list read: a short tune, "Demo Tune.ogg", the periods'
intro and loop songs, the intermission song, the three-in-a-row bonus song,
and "!Silence.ogg", which sorts first and so takes the song list's entry 0,
the entry that means no song.

Usage: make_demo_music.py [data folder]   (default: data beside tools/)

The tune is drawn note by note (a soft sine melody over a bass line, 22050 Hz
mono) and encoded to Ogg Vorbis through the system's libvorbisenc (Debian
package libvorbis-dev, which the build needs anyway), with a fixed stream
serial, so every run writes the same bytes. Nothing is written while the
songs are newer than this script.
"""

import ctypes
import math
import os

from demo_data import data_folder, is_up_to_date

RATE = 22050
# name: (beat in seconds, melody, bass); each line a list of (semitones above
# A4, beats). No lines: silence.
SONGS = {
    "Demo Tune.ogg": (0.3, [(3, 1), (7, 1), (10, 1), (15, 2), (14, 1), (10, 1), (12, 2), (7, 1), (8, 1), (10, 2),
                            (5, 1), (7, 1), (3, 4)],
                      [(-21, 4), (-16, 4), (-19, 4), (-14, 4), (-21, 4)]),
    "!Silence.ogg": (0.2, [], []),
    "Period Intro.ogg": (0.25, [(-2, 1), (3, 1), (7, 1), (10, 2), (7, 1), (10, 1), (15, 4)],
                         [(-26, 4), (-21, 4), (-14, 3)]),
    "Period Loop.ogg": (0.3, [(3, 1), (5, 1), (7, 2), (5, 1), (3, 1), (0, 2), (-2, 1), (0, 1), (3, 2), (5, 1),
                              (3, 1), (-2, 2)],
                        [(-21, 4), (-23, 4), (-26, 4), (-21, 4)]),
    "Intermission.ogg": (0.4, [(10, 2), (8, 2), (7, 2), (5, 2), (3, 4)], [(-21, 4), (-26, 4), (-21, 4)]),
    "Three In A Row.ogg": (0.12, [(15, 1), (19, 1), (22, 1), (27, 2), (22, 1), (27, 2), (31, 4)],
                           [(-9, 4), (-2, 4), (-9, 4)]),
}


def notes(line, beat):
    start = 0.0
    for pitch, beats in line:
        yield pitch, start, beats * beat
        start += beats * beat


def samples(beat, melody, bass):
    seconds = sum(b for _, b in melody) * beat + 0.5
    out = [0.0] * int(RATE * seconds)
    for line, volume in ((melody, 0.32), (bass, 0.18)):
        for pitch, start, length in notes(line, beat):
            frequency = 440.0 * 2.0 ** (pitch / 12.0)
            first = int(start * RATE)
            count = int(length * RATE)
            attack = int(0.01 * RATE)
            for i in range(count):
                if first + i >= len(out):
                    break
                envelope = min(1.0, i / attack) * math.exp(-2.5 * i / count)
                phase = 2.0 * math.pi * frequency * i / RATE
                out[first + i] += volume * envelope * (math.sin(phase) + 0.25 * math.sin(2.0 * phase))
    fade = int(0.3 * RATE)
    for i in range(fade):
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
    for name, (beat, melody, bass) in SONGS.items():
        target = os.path.join(folder, name)
        if is_up_to_date(target, __file__):
            continue
        data = encode(samples(beat, melody, bass))
        with open(target + ".part", "wb") as out:
            out.write(data)
        os.replace(target + ".part", target)


if __name__ == "__main__":
    main()
