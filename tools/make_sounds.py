#!/usr/bin/env python3
"""Makes the program's two sounds: assets/ding.wav (the shuttle beep, 0.3 s) and
assets/tada.wav (the level fanfare, 1.5 s). 16-bit mono, 44.1 kHz. Both stay far below
the shortest shuttle interval of 3.89 s. Run from the repository root."""
import math
import struct
import wave

RATE = 44100


def tone(freq, seconds, amp, decay, harmonics=((1, 1.0),)):
    n = int(RATE * seconds)
    out = []
    for i in range(n):
        t = i / RATE
        attack = min(1.0, t / 0.005)
        env = attack * math.exp(-decay * t)
        s = sum(w * math.sin(2 * math.pi * freq * k * t) for k, w in harmonics)
        out.append(amp * env * s)
    return out


def mix_at(track, samples, start_seconds):
    start = int(RATE * start_seconds)
    need = start + len(samples)
    if len(track) < need:
        track.extend([0.0] * (need - len(track)))
    for i, s in enumerate(samples):
        track[start + i] += s


def fade_out(track, seconds):
    n = int(RATE * seconds)
    for i in range(n):
        track[len(track) - n + i] *= (n - i) / n


def write(path, track):
    peak = max(1e-9, max(abs(s) for s in track))
    scale = min(1.0, 0.89 / peak)
    with wave.open(path, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(RATE)
        w.writeframes(b"".join(struct.pack("<h", int(32767 * s * scale)) for s in track))


def main():
    # A bright bell-like beep: clear in a noisy gym, over quickly.
    ding = tone(1568.0, 0.30, 0.8, 12.0, ((1, 1.0), (2, 0.35), (3, 0.12)))
    fade_out(ding, 0.03)
    write("assets/ding.wav", ding)

    # A short brass-like fanfare: G4 C5 E5, then a held G5 chord.
    brass = ((1, 1.0), (2, 0.5), (3, 0.3), (4, 0.15))
    tada = []
    for k, (f, at) in enumerate(((392.0, 0.0), (523.25, 0.16), (659.25, 0.32))):
        mix_at(tada, tone(f, 0.22, 0.35, 4.0, brass), at)
    for f in (523.25, 659.25, 783.99):
        mix_at(tada, tone(f, 1.02, 0.3, 2.2, brass), 0.48)
    fade_out(tada, 0.15)
    write("assets/tada.wav", tada)


if __name__ == "__main__":
    main()
