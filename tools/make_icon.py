#!/usr/bin/python3
"""Draws the program icon and writes app/driftpane.ico: seven PNG-compressed images of 16, 24,
32, 48, 64, 128 and 256 pixels. The icon is a photo split by the comparison divider with its
round knob, in the colours of core/palette.h. Deterministic: re-running gives the same bytes.

Usage: tools/make_icon.py [--out FILE] [--preview PNG]
"""

import argparse
import io
import pathlib
import re
import struct

from PIL import Image, ImageChops, ImageDraw

ROOT = pathlib.Path(__file__).resolve().parent.parent
SIZES = (16, 24, 32, 48, 64, 128, 256)
SUPERSAMPLE = 8


def read_palette():
    """The ARGB constants of core/palette.h as RGBA tuples, so the icon never drifts from
    the colours the program paints with."""
    text = (ROOT / "core" / "palette.h").read_text(encoding="utf-8")
    colours = {}
    for name, value in re.findall(r"(\w+)\s*=\s*0x([0-9A-Fa-f]{8})", text):
        argb = int(value, 16)
        colours[name] = ((argb >> 16) & 255, (argb >> 8) & 255, argb & 255, argb >> 24)
    return colours


def draw_icon(size, palette):
    """One icon image. Geometry is laid out in whole target pixels and drawn supersampled, so
    the divider's edges stay crisp after the box-filtered reduction even at 16 pixels."""
    k = SUPERSAMPLE
    big = size * k
    img = Image.new("RGBA", (big, big), (0, 0, 0, 0))
    draw = ImageDraw.Draw(img)

    margin = 0 if size <= 24 else round(size / 32)
    frame = (margin * k, margin * k, (size - margin) * k - 1, (size - margin) * k - 1)
    radius = max(2, round(size * 0.16)) * k
    divider = max(2, round(size / 14))
    left_edge = size // 2 - divider // 2
    split = left_edge * k

    # Two photographs of one place: the earlier one dark, the later one light.
    left = Image.new("RGBA", (big, big), (0, 0, 0, 0))
    ImageDraw.Draw(left).rounded_rectangle(frame, radius, fill=palette["Ink"])
    right = Image.new("RGBA", (big, big), (0, 0, 0, 0))
    ImageDraw.Draw(right).rounded_rectangle(frame, radius, fill=palette["Paper"],
                                            outline=palette["Ink"], width=max(1, size // 24) * k)
    if size >= 32:
        # A horizon of hills across both halves, where the detail still reads.
        hills = [(frame[0], big * 0.72), (big * 0.28, big * 0.58), (big * 0.5, big * 0.66),
                 (big * 0.74, big * 0.52), (frame[2], big * 0.64), (frame[2], frame[3]),
                 (frame[0], frame[3])]
        inset = max(1, size // 24) * k
        inner = Image.new("L", (big, big), 0)
        ImageDraw.Draw(inner).rounded_rectangle(
            (frame[0] + inset, frame[1] + inset, frame[2] - inset, frame[3] - inset),
            max(1, radius - inset), fill=255)
        for layer, colour in ((left, palette["Muted"]), (right, palette["Rule"])):
            shape = Image.new("RGBA", (big, big), (0, 0, 0, 0))
            ImageDraw.Draw(shape).polygon(hills, fill=colour)
            shape.putalpha(ImageChops.multiply(shape.getchannel("A"), inner))
            layer.alpha_composite(shape)
    img.paste(left.crop((0, 0, split, big)), (0, 0))
    img.paste(right.crop((split, 0, big, big)), (split, 0))

    # The divider and its knob.
    draw.rectangle((split, frame[1], split + divider * k - 1, frame[3]), fill=palette["Accent"])
    centre = (left_edge + divider / 2) * k
    knob = max(3.0, size * 0.17) * k
    ring = max(1, round(size / 20)) * k
    draw.ellipse((centre - knob, big / 2 - knob, centre + knob, big / 2 + knob),
                 fill=palette["Paper"])
    draw.ellipse((centre - knob + ring, big / 2 - knob + ring, centre + knob - ring,
                  big / 2 + knob - ring), fill=palette["Accent"])
    return img.resize((size, size), Image.BOX)


def ico_bytes(images):
    """An ICO container whose every image is stored as PNG (allowed since Windows Vista)."""
    pngs = []
    for img in images:
        buffer = io.BytesIO()
        img.save(buffer, "PNG", optimize=True)
        pngs.append(buffer.getvalue())
    header = struct.pack("<HHH", 0, 1, len(images))
    offset = len(header) + 16 * len(images)
    entries = b""
    for img, png in zip(images, pngs):
        side = img.width if img.width < 256 else 0  # 0 stands for 256
        entries += struct.pack("<BBBBHHII", side, side, 0, 0, 1, 32, len(png), offset)
        offset += len(png)
    return header + entries + b"".join(pngs)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--out", type=pathlib.Path, default=ROOT / "app" / "driftpane.ico")
    parser.add_argument("--preview", type=pathlib.Path, help="also write all sizes side by side")
    args = parser.parse_args()
    palette = read_palette()
    images = [draw_icon(size, palette) for size in SIZES]
    args.out.write_bytes(ico_bytes(images))
    if args.preview:
        sheet = Image.new("RGBA", (sum(SIZES) + 10 * len(SIZES), 256), (255, 255, 255, 255))
        x = 0
        for img in images:
            sheet.alpha_composite(img, (x, 0))
            x += img.width + 10
        sheet.save(args.preview)


if __name__ == "__main__":
    main()
