#!/usr/bin/python3
"""Draws the stand-in archive photos: one JPEG per row of archive/catalog.csv, written to
archive/photos/<folder>/<file>, until tools/fetch_originals.py replaces them with the originals.

Each place keeps one framing across its years and changes as the real place did: the Aral Sea
shrinks (2000-2018), the Columbia Glacier retreats up its fjord (1986-2024) and Lake Powell
falls and partly recovers (1999-2021). Every photo carries a visible "Stand-in image" label.
The output is deterministic: the same script gives byte-identical files on every run.

Usage: tools/make_standins.py [--only ROW ...] [--out DIR]
"""

import argparse
import csv
import pathlib

import numpy as np
from PIL import Image, ImageDraw, ImageFont

ROOT = pathlib.Path(__file__).resolve().parent.parent
CATALOG = ROOT / "archive" / "catalog.csv"
PHOTOS = ROOT / "archive" / "photos"
FONT = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"
QUALITY = 72

# Pixel sizes by year. Within a place the aspect ratio is fixed (one framing); the sizes
# vary from year to year as the originals' do.
ARAL_SIZES = [(3200, 2400), (2000, 1500), (2400, 1800), (2800, 2100), (2000, 1500),
              (2400, 1800), (2000, 1500), (2800, 2100), (2400, 1800), (2000, 1500),
              (3200, 2400), (2000, 1500), (2400, 1800), (2000, 1500), (2800, 2100),
              (2000, 1500), (2400, 1800), (2000, 1500), (3200, 2400)]
COLUMBIA_SIZES = [(3600, 2400), (2400, 1600), (2700, 1800), (2400, 1600), (3000, 2000),
                  (2400, 1600), (2700, 1800), (2400, 1600), (2400, 1600), (3000, 2000),
                  (2400, 1600), (2700, 1800), (2400, 1600), (2400, 1600), (3000, 2000),
                  (2400, 1600), (2700, 1800), (2400, 1600), (3300, 2200), (2400, 1600),
                  (2700, 1800), (2400, 1600), (3000, 2000), (2400, 1600), (3600, 2400),
                  (2400, 1600), (2700, 1800), (2400, 1600), (3600, 2400)]
POWELL_SIZES = [(2700, 3400), (1890, 2380), (2160, 2720), (1890, 2380), (2430, 3060),
                (1890, 2380), (2160, 2720), (1890, 2380), (1890, 2380), (2430, 3060),
                (1890, 2380), (2160, 2720), (1890, 2380), (1890, 2380), (2430, 3060),
                (1890, 2380), (2160, 2720), (1890, 2380), (2430, 3060), (1890, 2380),
                (2160, 2720), (1890, 2380), (2700, 3400)]

# How far the southern sea had fallen, as a depth threshold on the basin model; the eastern
# basin is shallow, nearly dry by 2009, refilled in part in the wet year 2010, dry in 2014 and
# only puddled since.
ARAL_LEVEL = {2000: 0.08, 2001: 0.10, 2002: 0.12, 2003: 0.14, 2004: 0.16, 2005: 0.19,
              2006: 0.22, 2007: 0.27, 2008: 0.30, 2009: 0.35, 2010: 0.30, 2011: 0.32,
              2012: 0.335, 2013: 0.34, 2014: 0.385, 2015: 0.36, 2016: 0.355, 2017: 0.355,
              2018: 0.37}
# Retreat of the Columbia Glacier's terminus up its main fjord, 0 = 1986 position.
COLUMBIA_RETREAT = {1986: 0.0, 1987: 0.01, 1989: 0.04, 1995: 0.22, 1996: 0.27, 1997: 0.32,
                    1999: 0.42, 2000: 0.47, 2001: 0.52, 2002: 0.56, 2003: 0.60, 2004: 0.63,
                    2005: 0.66, 2006: 0.69, 2008: 0.73, 2009: 0.75, 2010: 0.78, 2011: 0.80,
                    2013: 0.83, 2014: 0.85, 2015: 0.86, 2016: 0.87, 2017: 0.885, 2018: 0.89,
                    2019: 0.90, 2020: 0.91, 2021: 0.92, 2022: 0.93, 2024: 0.95}
# Spring surface elevation of Lake Powell in feet (full pool 3,700).
POWELL_ELEVATION = {1999: 3662, 2000: 3676, 2001: 3655, 2002: 3640, 2003: 3604, 2004: 3580,
                    2005: 3557, 2006: 3595, 2007: 3598, 2008: 3590, 2009: 3610, 2010: 3620,
                    2011: 3612, 2012: 3634, 2013: 3598, 2014: 3575, 2015: 3588, 2016: 3593,
                    2017: 3608, 2018: 3613, 2019: 3570, 2020: 3605, 2021: 3563}
POWELL_FULL_POOL = 3700.0


def read_catalog():
    with open(CATALOG, newline="", encoding="utf-8") as f:
        return [dict(r, row=int(r["row"]), year=int(r["year"])) for r in csv.DictReader(f)]


# ---------------------------------------------------------------- field helpers


def resize(a, w, h, box=None):
    """Bicubic resampling of a float field to w x h."""
    img = Image.fromarray(np.ascontiguousarray(a, dtype=np.float32), "F")
    return np.asarray(img.resize((w, h), Image.BICUBIC, box=box), dtype=np.float32)


def fbm(seed, w, h, base, octaves, persistence=0.5):
    """Fractal noise tied to the frame, not to the pixel size: the same seed gives the same
    landscape at every resolution of one aspect ratio. Zero mean, unit deviation."""
    rng = np.random.default_rng(seed)
    aspect = w / h
    out = np.zeros((h, w), np.float32)
    amp, total = 1.0, 0.0
    for octave in range(octaves):
        cells = base * 2**octave
        gh, gw = cells + 3, int(round(cells * aspect)) + 3
        grid = rng.standard_normal((gh, gw)).astype(np.float32)
        if cells > h:
            continue  # finer than a pixel; the draw above keeps later octaves stable
        out += amp * resize(grid, w, h, box=(1, 1, gw - 2, gh - 2))
        total += amp * amp
        amp *= persistence
    return out / np.float32(np.sqrt(total))


def grid_uv(w, h):
    u = (np.arange(w, dtype=np.float32) + 0.5) / w
    v = (np.arange(h, dtype=np.float32) + 0.5) / h
    return np.meshgrid(u, v)


def smoothstep(e0, e1, x):
    t = np.clip((x - e0) / np.where(e1 == e0, 1e-9, e1 - e0), 0.0, 1.0)
    return t * t * (3 - 2 * t)


def mix(a, b, t):
    """Blends colour arrays (h, w, 3) or colours by a weight field (h, w)."""
    t = t[..., None] if np.ndim(t) == 2 else t
    return np.asarray(a, np.float32) * (1 - t) + np.asarray(b, np.float32) * t


def solid(h, w, colour):
    return np.broadcast_to(np.asarray(colour, np.float32), (h, w, 3))


def hillshade(elev, h, relief):
    """Lambert shading of a height field lit from the north-west, 1.0 on flat ground."""
    gy, gx = np.gradient(elev)
    gx *= h * relief
    gy *= h * relief
    lx, ly, lz = -0.6, -0.6, 0.53
    norm = np.sqrt(gx * gx + gy * gy + 1)
    return ((-gx * lx - gy * ly + lz) / norm / lz).astype(np.float32)


def densify(points, per_segment=40):
    """A smooth curve through control points (Catmull-Rom), as a dense point list."""
    p = np.asarray(points, np.float64)
    p = np.vstack([2 * p[0] - p[1], p, 2 * p[-1] - p[-2]])
    out = []
    for i in range(1, len(p) - 2):
        p0, p1, p2, p3 = p[i - 1], p[i], p[i + 1], p[i + 2]
        for t in np.linspace(0, 1, per_segment, endpoint=False):
            t2, t3 = t * t, t * t * t
            out.append(0.5 * (2 * p1 + (-p0 + p2) * t + (2 * p0 - 5 * p1 + 4 * p2 - p3) * t2 +
                              (-p0 + 3 * p1 - 3 * p2 + p3) * t3))
    out.append(p[-2])
    return np.array(out)


def meander(curve, amplitude, cycles, phase=0.0):
    """Entrenched meanders: pushes a dense curve sideways by a sine along its length."""
    d = np.gradient(curve, axis=0)
    n = np.stack([-d[:, 1], d[:, 0]], axis=1)
    n /= np.linalg.norm(n, axis=1, keepdims=True)
    s = np.linspace(0, 1, len(curve))
    wobble = amplitude * np.sin(2 * np.pi * cycles * s + phase) * np.sin(np.pi * s) ** 0.3
    return curve + n * wobble[:, None]


def curve_fields(curve, gw, gh, aspect):
    """Distance to a curve (in frame heights) and the arc-length position 0..1 of its nearest
    point, on a gw x gh grid of the frame."""
    p = np.asarray(curve, np.float64) * [aspect, 1.0]
    a, b = p[:-1], p[1:]
    ab = b - a
    seg_len = np.linalg.norm(ab, axis=1)
    cum = np.concatenate([[0.0], np.cumsum(seg_len)])
    ab_len2 = np.maximum(seg_len**2, 1e-12)
    x = (np.arange(gw) + 0.5) / gw * aspect
    dist = np.empty((gh, gw), np.float32)
    pos = np.empty((gh, gw), np.float32)
    for row in range(gh):
        y = (row + 0.5) / gh
        px = x[:, None] - a[None, :, 0]
        py = y - a[None, :, 1]
        t = np.clip((px * ab[None, :, 0] + py * ab[None, :, 1]) / ab_len2, 0, 1)
        dx = px - t * ab[None, :, 0]
        dy = py - t * ab[None, :, 1]
        d2 = dx * dx + dy * dy
        k = np.argmin(d2, axis=1)
        idx = np.arange(gw)
        dist[row] = np.sqrt(d2[idx, k])
        pos[row] = (cum[k] + t[idx, k] * seg_len[k]) / cum[-1]
    return dist, pos


def speckle(seed, w, h, density):
    """Scattered bright points (icebergs, salt pans): a 0..1 mask, density per pixel."""
    rng = np.random.default_rng(seed)
    field = rng.random((h, w), dtype=np.float32)
    return smoothstep(1 - density * 1.3, 1 - density * 0.7, field)


def finish(rgb, seed, label):
    """Sensor grain, quantisation and the stand-in label in the lower left corner."""
    h, w, _ = rgb.shape
    rng = np.random.default_rng(seed)
    grain = rng.standard_normal((h, w), dtype=np.float32) * 2.2
    rgb = np.clip(rgb + grain[..., None], 0, 255).astype(np.uint8)
    img = Image.fromarray(rgb, "RGB")
    draw = ImageDraw.Draw(img)
    size = max(14, round(min(w, h) / 55))
    font = ImageFont.truetype(FONT, size)
    left, top, right, bottom = draw.textbbox((0, 0), label, font=font)
    pad = size // 2
    x0, y1 = pad, h - pad
    box = (x0, y1 - (bottom - top) - 2 * pad, x0 + (right - left) + 2 * pad, y1)
    draw.rectangle(box, fill=(24, 24, 24))
    draw.text((box[0] + pad - left, box[1] + pad - top), label, font=font, fill=(250, 250, 250))
    return img


# ---------------------------------------------------------------- Aral Sea


def ellipse(u, v, cu, cv, ru, rv):
    return 1 - ((u - cu) / ru) ** 2 - ((v - cv) / rv) ** 2


def aral_sea(w, h, year, seed):
    u, v = grid_uv(w, h)
    u = u + 0.022 * fbm(seed + 5, w, h, 3, 5)
    v = v + 0.022 * fbm(seed + 6, w, h, 3, 5)
    relief = fbm(seed + 1, w, h, 3, 7)
    texture = fbm(seed + 2, w, h, 16, 4, 0.6)
    rough = fbm(seed + 3, w, h, 6, 5)

    # Basin depths below the 1960 shore: a deep narrow trough in the west, a broad shallow
    # eastern basin, a shelf joining them around the island ridge, and the small northern sea
    # with its bays.
    trough_u = 0.30 + 0.035 * np.sin(3.2 * v + 0.4)
    trough = np.exp(-(((u - trough_u) / 0.055) ** 2)) * smoothstep(0.31, 0.42, v) * \
        smoothstep(0.93, 0.82, v)
    # The eastern floor is nearly flat and tilts up to the east, so it dries from the east.
    east = (0.31 + 0.25 * (0.58 - u)) * smoothstep(0.0, 0.45, ellipse(u, v, 0.585, 0.61, 0.18,
                                                                       0.26))
    shelf = 0.15 * smoothstep(0.0, 0.35, ellipse(u, v, 0.47, 0.60, 0.27, 0.32))
    island = 0.42 * np.exp(-(((u - 0.445) / 0.03) ** 2) - ((v - 0.60) / 0.13) ** 2)
    south = np.maximum(np.maximum(trough, east), shelf) - island
    bays = np.maximum(np.maximum(ellipse(u, v, 0.60, 0.185, 0.11, 0.07),
                                 ellipse(u, v, 0.70, 0.14, 0.06, 0.05)),
                      ellipse(u, v, 0.505, 0.16, 0.06, 0.045))
    north = np.maximum(0.5 * smoothstep(0.0, 0.6, bays),
                       0.1 * np.exp(-(((u - 0.53) / 0.03) ** 2) - ((v - 0.30) / 0.05) ** 2))
    is_north = (v < 0.33) & (north > south)
    base = np.where(is_north, north, south)
    basin = smoothstep(0.0, 0.012, base)
    depth = base + 0.035 * relief * basin
    # The dyke of 2005 let the small northern sea rise again.
    level = np.where(is_north, 0.14 if year < 2006 else 0.07, ARAL_LEVEL[year]) + 0.008 * rough

    # Land: Ustyurt plateau west of its escarpment, Kyzylkum sands east, the Amu Darya delta.
    escarp = u - (0.205 + 0.02 * np.sin(9 * v) + 0.012 * relief)
    plateau = smoothstep(0.006, -0.006, escarp)
    land = mix(solid(h, w, (203, 176, 134)), solid(h, w, (166, 146, 114)), plateau)
    dunes = 0.5 + 0.5 * np.sin(2 * np.pi * (45 * (0.8 * u + 0.6 * v) + 1.5 * relief))
    land = land * (1 + (0.05 * dunes * (1 - plateau) + 0.04 * rough)[..., None])
    land = mix(land, solid(h, w, (176, 160, 128)), 0.5 * smoothstep(0.4, 1.4, relief))
    land = mix(land, solid(h, w, (222, 206, 172)), 0.5 * smoothstep(0.6, 1.6, rough))
    delta = smoothstep(0.3, 0.9, ellipse(u, v, 0.60, 1.0, 0.16, 0.12))
    delta *= smoothstep(-0.2, 0.6, rough)
    land = mix(land, solid(h, w, (110, 114, 76)), 0.8 * delta)
    cliff = np.exp(-((escarp / 0.005) ** 2))
    land = mix(land, solid(h, w, (126, 104, 82)), 0.5 * cliff)

    # Exposed sea floor: salt-white and pale, darker and damp near the present water's edge,
    # with faint old shorelines.
    exposed = depth - level  # negative where dry
    bed = mix(solid(h, w, (212, 205, 186)), solid(h, w, (236, 234, 226)),
              smoothstep(0.2, 1.2, texture + 0.5 * rough))
    bed = bed * (1 + 0.025 * np.sin(depth * 160)[..., None])
    bed = mix(bed, solid(h, w, (156, 148, 126)), smoothstep(-0.02, 0.0, exposed))
    rgb = mix(land, bed, smoothstep(-0.004, 0.01, depth) * basin)

    # Water: dark where deep, turquoise-green where shallow and salty.
    shallow = np.exp(-np.maximum(exposed, 0) / 0.05)
    water = mix(solid(h, w, (22, 50, 66)), solid(h, w, (84, 138, 112)), shallow)
    water = water * (1 + 0.02 * rough)[..., None]
    rgb = mix(rgb, water, smoothstep(-0.002, 0.002, exposed) * basin)

    shade = hillshade(relief * 0.003 + 0.0015 * rough - 0.004 * plateau, h, 1.0)
    dry = 1 - smoothstep(-0.002, 0.002, exposed) * basin
    rgb = rgb * (1 + (np.clip(shade, 0.75, 1.2) - 1) * dry)[..., None]
    return rgb * (1 + 0.03 * texture)[..., None]


# ---------------------------------------------------------------- Columbia Glacier

COLUMBIA_ASPECT = 1.5
COLUMBIA_CHANNELS = [
    # (control points from the sound upwards, half width in frame heights)
    ([(0.47, 1.04), (0.475, 0.92), (0.50, 0.82), (0.47, 0.71), (0.50, 0.61), (0.525, 0.51),
      (0.50, 0.41), (0.54, 0.31), (0.565, 0.21), (0.60, 0.11), (0.63, -0.04)], 0.06),
    ([(0.505, 0.47), (0.44, 0.39), (0.38, 0.31), (0.345, 0.21), (0.31, 0.11), (0.28, -0.04)],
     0.045),
    ([(0.485, 0.66), (0.58, 0.62), (0.67, 0.565), (0.76, 0.51), (0.86, 0.47), (1.04, 0.44)],
     0.035),
]
_columbia_geometry = []


def columbia_geometry():
    if not _columbia_geometry:
        for points, width in COLUMBIA_CHANNELS:
            dist, pos = curve_fields(densify(points, 30), 480, 320, COLUMBIA_ASPECT)
            _columbia_geometry.append((dist, pos, width))
    return _columbia_geometry


def columbia_glacier(w, h, year, seed):
    u, v = grid_uv(w, h)
    retreat = COLUMBIA_RETREAT[year]
    relief = fbm(seed + 1, w, h, 4, 7, 0.55)
    ridges = 1 - np.abs(fbm(seed + 2, w, h, 6, 6, 0.5))
    texture = fbm(seed + 3, w, h, 40, 3, 0.6)
    wobble = fbm(seed + 5, w, h, 8, 4)

    # Where each glacier ends, as a position along its channel (0 = its lower end). The west
    # branch and the eastern tributary stay joined to the main ice until it has retreated
    # past their mouths.
    main_front = 0.15 + 0.62 * retreat
    termini = [main_front, max(0.0, (retreat - 0.62) * 1.1),
               0.0 if retreat < 0.45 else 0.08 + 0.3 * (retreat - 0.45)]
    channel = np.zeros((h, w), np.float32)
    ice = np.zeros((h, w), np.float32)
    near_front = np.zeros((h, w), np.float32)
    lateral = np.ones((h, w), np.float32)
    valley = np.zeros((h, w), np.float32)
    trim = np.zeros((h, w), np.float32)
    for index, ((dist, pos, base_width), front) in enumerate(zip(columbia_geometry(), termini)):
        s = resize(pos, w, h)
        d = resize(dist, w, h) + 0.008 * wobble
        width = base_width * (1 + 0.15 * np.sin(2 * np.pi * 3 * s + index))
        if index == 0:
            width = width * (1.5 - 0.7 * s)  # the fjord widens towards the sound
        inside = smoothstep(width * 1.04, width * 0.96, d)
        iced = smoothstep(front - 0.004, front + 0.004, s + 0.006 * texture)
        channel = np.maximum(channel, inside)
        ice = np.maximum(ice, inside * iced)
        calving = np.exp(-np.maximum(front - s, 0) / 0.05) * (s < front)
        near_front = np.maximum(near_front, inside * calving)
        lateral = np.minimum(lateral, np.where(inside > 0.5, d / width, 1.0))
        valley = np.maximum(valley, np.exp(-((d / (base_width * 3.0)) ** 2)))
        # Thinning ice left a band of bare rock on the valley walls above the new water.
        start = 0.15 if index == 0 else 0.0
        thinned = smoothstep(start, start + 0.1, s) * smoothstep(-0.05, 0.15, front - s + 0.12)
        band = smoothstep(width * (1.02 + 0.9 * retreat), width, d) * (1 - inside)
        trim = np.maximum(trim, band * thinned * min(1.0, retreat * 2.5))

    # Mountains: ridged relief carved by the valleys, lowest at the coast; the icefield above.
    elev = (0.45 + 0.55 * ridges + 0.25 * relief) * (1 - 0.85 * valley)
    elev = elev * (0.55 + 0.45 * smoothstep(1.0, 0.3, v))
    ocean = smoothstep(-0.03, 0.03, (v - 0.9) + 0.04 * relief - 0.02 * ridges) * (1 - ice)
    shade = hillshade(elev * 0.06, h, 1.0)
    land = mix(solid(h, w, (44, 62, 46)), solid(h, w, (96, 92, 86)),
               smoothstep(0.45, 0.6, elev + 0.1 * texture))
    snow_line = 0.8 - 0.02 * (year - 1986) / 38 - 0.4 * smoothstep(0.3, 0.02, v)
    snow = smoothstep(snow_line - 0.04, snow_line + 0.04, elev + 0.08 * texture)
    land = mix(land, solid(h, w, (236, 240, 244)), snow)
    land = mix(land, solid(h, w, (152, 148, 140)), trim)
    land = land * np.clip(shade, 0.4, 1.35)[..., None]

    # Ice: white-blue, streaked along its flow, with a dark medial moraine down the middle,
    # debris along its edges and crevassed, dirtier ice towards the calving front.
    lateral = lateral + 0.04 * wobble
    debris = 0.7 * np.exp(-((lateral / 0.06) ** 2)) + 0.8 * smoothstep(0.78, 0.95, lateral)
    debris = debris + 0.15 * (0.5 + 0.5 * np.sin(34 * lateral + 3 * wobble))
    glacier = mix(solid(h, w, (216, 228, 238)), solid(h, w, (110, 108, 106)),
                  np.clip(debris, 0, 1))
    glacier = glacier * (1 + 0.07 * texture)[..., None]

    # Water: fjord and sound, silty and crowded with bergs near the calving front.
    water = mix(solid(h, w, (26, 46, 60)), solid(h, w, (92, 112, 116)), 0.55 * near_front)
    floes = fbm(seed + 4, w, h, 100, 2, 0.6)
    bergs = smoothstep(2.2 - 1.6 * near_front, 2.5 - 1.6 * near_front, floes)
    water = mix(water, solid(h, w, (228, 236, 240)), bergs)

    wet = np.maximum(channel * (1 - ice), ocean)
    rgb = mix(land, water, wet)
    return mix(rgb, glacier * np.clip(shade, 0.85, 1.1)[..., None], ice)


# ---------------------------------------------------------------- Lake Powell

POWELL_ASPECT = 2700 / 3400
_powell_geometry = []


def powell_channels():
    """(curve, half width, floor elevation at its start, rise of the floor along it)."""
    rng = np.random.default_rng(1963)
    # The main channel runs from the dam in the south-west up to the north-east.
    main = meander(densify([(0.16, 0.93), (0.22, 0.86), (0.28, 0.78), (0.35, 0.70),
                            (0.42, 0.62), (0.49, 0.55), (0.55, 0.47), (0.60, 0.39),
                            (0.66, 0.31), (0.73, 0.24), (0.80, 0.16), (0.88, 0.08),
                            (0.97, -0.03)], 60), 0.010, 15)
    san_juan = meander(densify([(0.49, 0.55), (0.56, 0.585), (0.63, 0.62), (0.71, 0.60),
                                (0.78, 0.645), (0.86, 0.63), (0.94, 0.67), (1.04, 0.66)], 60),
                       0.016, 11, 1.0)
    escalante = meander(densify([(0.60, 0.39), (0.53, 0.33), (0.46, 0.28), (0.39, 0.22),
                                 (0.31, 0.145), (0.23, 0.08), (0.15, -0.03)], 60), 0.010, 9)
    trunks = [(main, 0.016, 3330.0, 300.0), (san_juan, 0.011, 3470.0, 190.0),
              (escalante, 0.009, 3480.0, 180.0)]
    channels = list(trunks)
    # Side canyons: short winding fingers off the main channel and the arms.
    for parent, count in ((main, 22), (san_juan, 9), (escalante, 8)):
        _, _, floor0, rise = next(t for t in trunks if t[0] is parent)
        for _ in range(count):
            at = rng.uniform(0.05, 0.9)
            k = int(at * (len(parent) - 1))
            d = parent[min(k + 1, len(parent) - 1)] - parent[max(k - 1, 0)]
            n = np.array([-d[1], d[0]]) / np.linalg.norm(d) * rng.choice([-1, 1])
            length = rng.uniform(0.05, 0.16)
            bend = rng.uniform(-0.6, 0.6)
            pts = [parent[k]]
            for _ in range(4):
                n = n + bend * np.array([-n[1], n[0]]) * 0.3
                n /= np.linalg.norm(n)
                pts.append(pts[-1] + n * length / 4)
            finger = meander(densify(pts, 20), 0.005, rng.uniform(2, 5))
            channels.append((finger, rng.uniform(0.004, 0.007), floor0 + rise * at + 30, 220.0))
    return channels


def powell_geometry():
    """Ground elevation in feet on a coarse grid: U-shaped canyons cut into a plateau at
    3,900 ft, their floors rising away from the dam, so that a falling lake leaves a pale
    ring on the walls and dry flats at the far ends of its arms."""
    if not _powell_geometry:
        gw, gh = 432, 544
        wiggle = fbm(7, gw, gh, 10, 4)
        ground = np.full((gh, gw), 3900.0, np.float32)
        for curve, width, floor0, rise in powell_channels():
            dist, pos = curve_fields(curve, gw, gh, POWELL_ASPECT)
            dist = np.maximum(dist + 0.2 * width * wiggle, 0)
            floor = floor0 + rise * pos
            wall = np.clip(dist / width, 0, 1) ** 3
            rim = 140 * smoothstep(width, width * 1.8, dist)
            ground = np.minimum(ground, floor + (3760.0 - floor) * wall + rim)
        # Wahweap Bay by the dam: a broad, deep basin.
        u, v = grid_uv(gw, gh)
        bay = smoothstep(0.0, 0.8, ellipse(u + 0.012 * wiggle, v, 0.195, 0.905, 0.05, 0.03))
        ground = np.minimum(ground, 3900 - 570 * bay)
        _powell_geometry.append(ground)
    return _powell_geometry[0]


def lake_powell(w, h, year, seed):
    u, v = grid_uv(w, h)
    relief = fbm(seed + 1, w, h, 4, 7, 0.55)
    drainage = np.abs(fbm(seed + 2, w, h, 10, 5, 0.55))
    texture = fbm(seed + 3, w, h, 30, 3, 0.6)
    ground = resize(powell_geometry(), w, h)
    level = POWELL_ELEVATION[year]

    # Red-rock desert: banded sandstone cut by dendritic washes, Navajo Mountain's dark dome
    # in the south-east.
    dome = np.exp(-(((u - 0.78) / 0.075) ** 2) - ((v - 0.80) / 0.06) ** 2)
    height = 0.5 * relief + 0.25 * drainage + dome * (3 + relief) + (ground - 3900) / 800
    band = 0.5 + 0.5 * np.sin(6 * (0.5 * relief + dome) + 1.5 * texture)
    rock = mix(solid(h, w, (164, 112, 86)), solid(h, w, (196, 170, 140)),
               smoothstep(0.2, 1.0, band))
    rock = mix(rock, solid(h, w, (122, 86, 66)), smoothstep(0.25, 0.02, drainage) * 0.6)
    rock = mix(rock, solid(h, w, (92, 92, 78)), smoothstep(0.2, 0.7, dome))
    shade = hillshade(height * 0.015, h, 1.0)
    land = rock * np.clip(shade, 0.45, 1.4)[..., None] * (1 + 0.04 * texture)[..., None]

    # Below full pool: the pale bathtub ring on the walls, mud and brush where an arm ran dry.
    below = smoothstep(POWELL_FULL_POOL + 1.5, POWELL_FULL_POOL - 1.5, ground)
    ring = mix(solid(h, w, (150, 140, 112)), solid(h, w, (230, 222, 204)),
               smoothstep(3580, 3620, ground))
    land = mix(land, ring * (1 + 0.04 * texture)[..., None], below)

    depth = level - ground
    water = mix(solid(h, w, (62, 112, 120)), solid(h, w, (20, 46, 86)), smoothstep(0, 50, depth))
    return mix(land, water, smoothstep(-0.6, 0.6, depth))


# ---------------------------------------------------------------- driver

PLACES = {
    "Aral Sea": (aral_sea, ARAL_SIZES, 100),
    "Columbia Glacier": (columbia_glacier, COLUMBIA_SIZES, 200),
    "Lake Powell": (lake_powell, POWELL_SIZES, 300),
}


def render(row, index_in_place):
    draw, sizes, seed = PLACES[row["place"]]
    w, h = sizes[index_in_place]
    rgb = draw(w, h, row["year"], seed)
    label = "Stand-in image - %s %d" % (row["place"], row["year"])
    return finish(rgb, seed * 10000 + row["year"], label)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--only", type=int, nargs="*", help="catalog rows to draw")
    parser.add_argument("--out", type=pathlib.Path, default=PHOTOS, help="output folder")
    args = parser.parse_args()
    rows = read_catalog()
    seen = {}
    for row in rows:
        index = seen.get(row["place"], 0)
        seen[row["place"]] = index + 1
        if args.only and row["row"] not in args.only:
            continue
        path = args.out / row["folder"] / row["file"]
        path.parent.mkdir(parents=True, exist_ok=True)
        img = render(row, index)
        img.save(path, "JPEG", quality=QUALITY, optimize=True, subsampling=2)
        print("%2d %s %dx%d %d bytes" % (row["row"], path.relative_to(args.out), img.width,
                                          img.height, path.stat().st_size))


if __name__ == "__main__":
    main()
