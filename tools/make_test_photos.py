#!/usr/bin/python3
# Makes the small photo files under tests/data that other tools must write, so the tests
# check this program's readers against files it did not build itself.
# Needs python3-pil and exiftool (libimage-exiftool-perl). Run from anywhere.
import os
import subprocess
import sys

from PIL import Image

root = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "data")


def corner_image(width, height):
    # Four quadrants of distinct colours, so any turn or mirror is visible.
    image = Image.new("RGB", (width, height))
    colours = [(220, 30, 30), (30, 200, 30), (30, 30, 220), (230, 230, 40)]
    for y in range(height):
        for x in range(width):
            quadrant = (1 if x >= width // 2 else 0) + (2 if y >= height // 2 else 0)
            image.putpixel((x, y), colours[quadrant])
    return image


def main():
    os.makedirs(root, exist_ok=True)
    path = os.path.join(root, "orientation6_exiftool.jpg")
    corner_image(32, 16).save(path, "JPEG", quality=90)
    subprocess.run(["exiftool", "-q", "-overwrite_original", "-n", "-Orientation=6", path],
                   check=True)
    print(path, os.path.getsize(path))
    # Formats GDI+ decodes but the program refuses.
    for name, kind in (("corners.gif", "GIF"), ("corners.tif", "TIFF")):
        path = os.path.join(root, name)
        corner_image(32, 16).save(path, kind)
        print(path, os.path.getsize(path))
    return 0


if __name__ == "__main__":
    sys.exit(main())
