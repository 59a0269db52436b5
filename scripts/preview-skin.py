#!/usr/bin/env python3
"""Composes a picture of a skin's windows roughly as the program draws them, for checking
a skin without running the program (ImageMagick `convert` does the drawing).

    scripts/preview-skin.py [skin folder] [output.png]

Draws the signed-in main window: background, each button's first image state, the labels
with sample texts, the tab strip laid out from its label widths with the first item
selected, stand-ins for the address box, the sliders and the web pages; beside it the
side panel open and the information window."""
import subprocess
import sys
import xml.etree.ElementTree as ET
from pathlib import Path

skin = Path(sys.argv[1] if len(sys.argv) > 1 else "skins/Kalvo")
out = sys.argv[2] if len(sys.argv) > 2 else "skin-preview.png"
FONT = "DejaVu-Sans"
SAMPLES = {"label_time": "09:41AM", "label_username": "alex.morgan",
           "label_details": "Unlimited calling", "label_voicemail": "2 messages"}


def num(el, name, default=0):
    return int(el.get(name, default))


def text_width(text, px):
    result = subprocess.run(["convert", "-font", FONT, "-pointsize", str(px), f"label:{text}",
                             "-format", "%w", "info:"], capture_output=True, text=True, check=True)
    return int(result.stdout)


def controls(window):
    for el in window:
        if el.tag == "group":
            yield from el
        elif el.tag not in ("tab",):
            yield el


def draw_window(window, signed_in=True):
    ops = []
    size = None
    if window.get("background"):
        ops += [str(skin / window.get("background"))]
    else:
        tab = window.find("tab")
        ops += [str(skin / tab.find("close").get("img"))]
    for el in controls(window):
        x, y, w, h = (num(el, k) for k in ("x", "y", "width", "height"))
        kind, command = el.tag, el.get("type", "")
        if kind == "tabs":
            ops += draw_tabs(el)
        elif kind == "button":
            base = el.find("image/base")
            ops += [str(skin / base.get("img")), "-geometry", f"+{x}+{y}", "-composite"]
        elif kind == "input":
            ops += ["-fill", "white", "-stroke", "#8895A2", "-draw",
                    f"roundrectangle {x},{y} {x + w - 1},{y + h - 1} 4,4", "-stroke", "none",
                    "-fill", "#55606B", "-font", FONT, "-pointsize", "12",
                    "-annotate", f"+{x + 8}+{y + h // 2 + 4}", "555 0123"]
        elif kind == "scrollbar":
            cx = x + w // 2
            ops += ["-fill", "#5A6878", "-draw", f"rectangle {cx - 2},{y + 4} {cx + 1},{y + h - 5}",
                    "-fill", "#D8DEE4", "-draw", f"roundrectangle {x + 3},{y + h // 2 - 4} {x + w - 4},{y + h // 2 + 4} 3,3"]
        elif kind in ("web", "content"):
            top = y
            login = num(el, "loginheight")
            if signed_in and login:
                top, h = y + h - login, login
            ops += ["-fill", "#E3E9EF", "-draw", f"rectangle {x},{top} {x + w - 1},{top + h - 1}",
                    "-fill", "#7A8794", "-font", FONT, "-pointsize", "11",
                    "-annotate", f"+{x + 10}+{top + 20}", f"web page \"{command}\""]
        else:
            font = el.find("font")
            sample = SAMPLES.get(command, command)
            px = round(num(font, "size", 9) * 96 / 72) if font is not None else 12
            colour = "#%02X%02X%02X" % (num(font, "r"), num(font, "g"), num(font, "b")) if font is not None else "black"
            bold = font is not None and font.get("style") == "bold"
            tw = text_width(sample, px)
            align = font.get("align", "") if font is not None else ""
            tx = x + (w - tw if align == "right" else (w - tw) // 2 if align == "center" else 0)
            ops += ["-fill", colour, "-font", FONT + ("-Bold" if bold else ""), "-pointsize", str(px),
                    "-annotate", f"+{tx}+{y + (h + px) // 2 - 2}", sample]
    return ops


def draw_tabs(strip):
    ops = []
    left = skin / strip.get("left")
    cap = int(subprocess.run(["identify", "-format", "%w", str(left)], capture_output=True, text=True).stdout)
    height = int(subprocess.run(["identify", "-format", "%h", str(left)], capture_output=True, text=True).stdout)
    px, pad = num(strip, "fontsize", 10), num(strip, "padding", 3)
    x, y = num(strip, "x"), num(strip, "y")
    for i, item in enumerate(strip):
        label = item.get("label", "")
        lw = text_width(label, px) + 4
        width = 2 * cap + lw
        if i == 0 and strip.get("sticky") == "1":
            ops += [str(left), "-geometry", f"+{x}+{y}", "-composite",
                    "(", str(skin / strip.get("mid")), "-crop", f"{lw}x{height}+{cap}+0", "+repage", ")",
                    "-geometry", f"+{x + cap}+{y}", "-composite",
                    str(skin / strip.get("right")), "-geometry", f"+{x + width - cap}+{y}", "-composite"]
            colour = "#%02X%02X%02X" % (num(strip, "or", 255), num(strip, "ob", 255), num(strip, "og", 255))
        else:
            ops += ["(", str(skin / strip.get("background")), "-crop", f"{width}x{height}+0+0", "+repage", ")",
                    "-geometry", f"+{x}+{y}", "-composite"]
            colour = "#%02X%02X%02X" % (num(strip, "r"), num(strip, "g"), num(strip, "b"))
        ops += ["-fill", colour, "-font", FONT, "-pointsize", str(px),
                "-annotate", f"+{x + cap + 2}+{y + (height + px) // 2 - 1}", label]
        x += width + 2 * pad
    return ops


root = ET.parse(skin / "skin.xml").getroot()
windows = {w.get("name"): w for w in root.findall("window")}
parts = []
for name in ("tab", "main", "info"):
    if name in windows:
        picture = f"/tmp/preview-{name}.png"
        subprocess.run(["convert"] + draw_window(windows[name]) + [picture], check=True)
        parts.append(picture)
subprocess.run(["convert", "-background", "#6D7780"] + parts + ["-gravity", "west"] +
               ["-splice", "16x0", "-gravity", "north", "+append", "-bordercolor", "#6D7780", "-border", "16", out], check=True)
print(out)
