#!/usr/bin/env python3
"""Writes the SVG sources of the shell's panel and dialog pictures into
res/shell/pictures.  Run it again after changing a colour or a label."""

import os

OUT = os.path.join(os.path.dirname(__file__), "..", "res", "shell", "pictures")
FONT = "Liberation Sans, Arial, Noto Sans CJK SC, sans-serif"

PANEL_TOP = "#3b4256"
PANEL_BOTTOM = "#262b39"
LOCKED_TOP = "#5a3b3b"
LOCKED_BOTTOM = "#3a2626"
TEXT = "#e8ebf5"


def svg(w, h, body):
    return (f'<svg xmlns="http://www.w3.org/2000/svg" width="{w}" height="{h}" '
            f'viewBox="0 0 {w} {h}">\n{body}</svg>\n')


def gradient(name, top, bottom):
    return (f'  <defs><linearGradient id="{name}" x1="0" y1="0" x2="0" y2="1">'
            f'<stop offset="0" stop-color="{top}"/><stop offset="1" stop-color="{bottom}"/>'
            f'</linearGradient></defs>\n')


def text(x, y, size, value, color=TEXT, anchor="middle", weight="bold"):
    return (f'  <text x="{x}" y="{y}" font-family="{FONT}" font-size="{size}" font-weight="{weight}" '
            f'fill="{color}" text-anchor="{anchor}">{value}</text>\n')


def write(name, content):
    with open(os.path.join(OUT, name), "w", encoding="utf-8") as f:
        f.write(content)


def mix(top, bottom, f):
    a, b = int(top[1:], 16), int(bottom[1:], 16)
    return "#" + "".join(f"{round(((a >> k) & 255) * (1 - f) + ((b >> k) & 255) * f):02x}" for k in (16, 8, 0))


def panel(w, h, title, top, bottom, extra="", shown=None):
    # shown: the rows the window shows of a picture taller than the window;
    # the frame closes inside them.
    shown = shown or h
    body = gradient("bg", top, bottom)
    body += f'  <rect width="{w}" height="{h}" fill="url(#bg)"/>\n'
    body += f'  <rect x="0.5" y="0.5" width="{w - 1}" height="{shown - 1}" fill="none" stroke="#7a8199"/>\n'
    body += text(w / 2, 16, 11, title)
    body += extra
    return svg(w, h, body)


# The delay-unit panel: a 120 x 144 picture in a 120 x 140 window, its
# buttons at template y 24, 44 and 65 of an MS Sans Serif 8 template (base
# units 6 x 13).
DELAY_PANEL_H = 144
DELAY_BUTTON_Y = {"ms": 24 * 13 // 8, "cm": 44 * 13 // 8, "inch": 65 * 13 // 8}


def delay_pictures():
    for lang, title in (("zh", "延时单位"), ("en", "DELAY UNIT")):
        write(f"delay_panel_{lang}.svg", panel(120, DELAY_PANEL_H, title, PANEL_TOP, PANEL_BOTTOM, shown=140))
    labels = {"zh": ("毫秒", "厘米", "英寸"), "en": ("MS", "CM", "INCH")}
    looks = {  # face, border, text
        "off": ("#4a5168", "#7a8199", "#c9cedd"),
        "hover": ("#5d6683", "#aab1c8", "#ffffff"),
        "on": ("#d9822b", "#ffd29a", "#1d1f27"),
    }
    for lang, names in labels.items():
        for unit, label in zip(("ms", "cm", "inch"), names):
            # The corners outside the rounded face show the panel behind
            # the button: the rows of its gradient where the button sits.
            y = DELAY_BUTTON_Y[unit]
            behind = gradient("behind", mix(PANEL_TOP, PANEL_BOTTOM, y / DELAY_PANEL_H),
                              mix(PANEL_TOP, PANEL_BOTTOM, (y + 27) / DELAY_PANEL_H))
            behind += '  <rect width="90" height="27" fill="url(#behind)"/>\n'
            for look, (face, border, ink) in looks.items():
                body = behind + (f'  <rect x="1" y="1" width="88" height="25" rx="5" fill="{face}" '
                                 f'stroke="{border}" stroke-width="2"/>\n')
                body += text(45, 18, 12, label, ink)
                write(f"delay_{unit}_{look}_{lang}.svg", svg(90, 27, body))


def gain_pictures():
    scale = "".join(f'  <line x1="62" y1="{y}" x2="70" y2="{y}" stroke="#8a91a8"/>\n'
                    for y in range(80, 190, 10))
    for lang, title in (("zh", "总音量"), ("en", "MASTER")):
        write(f"gain_panel_{lang}.svg", panel(84, 220, title, PANEL_TOP, PANEL_BOTTOM, scale))
        lock = text(42, 212, 9, "锁定" if lang == "zh" else "LOCKED", "#ffb0b0")
        write(f"gain_panel_locked_{lang}.svg",
              panel(84, 220, title, LOCKED_TOP, LOCKED_BOTTOM, scale + lock))
    channel = ('  <rect width="56" height="114" fill="#2a2f3d"/>\n'
               '  <rect x="25" y="6" width="6" height="102" rx="3" fill="#0d0f15" stroke="#5b6177"/>\n')
    write("gain_fader_channel.svg", svg(56, 114, channel))
    for name, face in (("gain_fader_thumb", "#c4c9d8"), ("gain_fader_thumb_active", "#f0a24a")):
        body = (f'  <rect x="0.5" y="0.5" width="13" height="25" rx="2" fill="{face}" stroke="#1b1e27"/>\n'
                '  <line x1="2" y1="13" x2="12" y2="13" stroke="#1b1e27" stroke-width="2"/>\n')
        write(f"{name}.svg", svg(14, 26, body))
    for name, face, ink in (("mute_off", "#4a5168", "#c9cedd"), ("mute_off_hover", "#5d6683", "#ffffff"),
                            ("mute_on", "#c0392b", "#ffffff"), ("mute_on_hover", "#e74c3c", "#ffffff")):
        body = (f'  <rect x="0.5" y="0.5" width="29" height="16" rx="3" fill="{face}" stroke="#1b1e27"/>\n'
                + text(15, 12, 8, "MUTE", ink))
        write(f"{name}.svg", svg(30, 17, body))


def version_picture():
    body = gradient("bg", "#2c3a5c", "#141b2c")
    body += '  <rect width="132" height="49" fill="url(#bg)"/>\n'
    body += '  <path d="M10 38 L22 12 L34 38 Z" fill="none" stroke="#f0a24a" stroke-width="3"/>\n'
    body += text(84, 28, 15, "KAVRO", "#ffffff")
    body += text(84, 42, 9, "TUNE", "#f0a24a")
    write("version_logo.svg", svg(132, 49, body))


if __name__ == "__main__":
    os.makedirs(OUT, exist_ok=True)
    delay_pictures()
    gain_pictures()
    version_picture()
