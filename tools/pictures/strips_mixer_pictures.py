#!/usr/bin/env python3
"""Writes the SVG sources of the output strips, the phase dialog, the mixer
and the noise-gate dialog into res/, and prints their resources.txt lines.

    python3 tools/pictures/strips_mixer_pictures.py > /tmp/lines.txt

Run it again after changing a picture here; the SVG files are kept in the
repository so a build needs no Python.

The pictures line up with the controls as the layer places them: the
templates use Arial 7 pt, whose dialog base units are 5 x 12 pixels
(x px = du * 5 / 4, y px = du * 12 / 8), and the mixer the System font's
8 x 16."""

import math
import os
import sys

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "res")
FONT = "Liberation Sans, Noto Sans CJK SC, sans-serif"
LINES = []


def px(x):
    return x * 5 // 4


def py(y):
    return y * 12 // 8


def esc(text):
    return text.replace("&", "&amp;").replace("<", "&lt;").replace(">", "&gt;")


def svg(w, h, body):
    return (f'<svg xmlns="http://www.w3.org/2000/svg" width="{w}" height="{h}" '
            f'viewBox="0 0 {w} {h}">\n{body}</svg>\n')


def rect(x, y, w, h, fill, stroke=None, sw=1, rx=0, extra=""):
    s = f' stroke="{stroke}" stroke-width="{sw}"' if stroke else ""
    return f'<rect x="{x}" y="{y}" width="{w}" height="{h}" rx="{rx}" fill="{fill}"{s}{extra}/>\n'


def text(x, y, s, size, fill, anchor="middle", weight="normal"):
    return (f'<text x="{x}" y="{y}" font-family="{FONT}" font-size="{size}" fill="{fill}" '
            f'text-anchor="{anchor}" font-weight="{weight}">{esc(s)}</text>\n')


def write(folder, name, rid, w, h, body, comment):
    path = os.path.join(ROOT, folder, name)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "w", encoding="utf-8") as f:
        f.write(svg(w, h, f"<!-- {comment} -->\n" + body))
    LINES.append(f"{rid} BITMAP {folder}/{name}")


def button(w, h, fill, label, color, size, frame=None, rx=3):
    body = rect(0, 0, w, h, "#202020")
    body += rect(0.5, 0.5, w - 1, h - 1, fill, "#101010", 1, rx)
    if frame:
        body += rect(1.5, 1.5, w - 3, h - 3, "none", frame, 2, rx)
    body += text(w / 2, h / 2 + size * 0.36, label, size, color)
    return body


# ---- Output strip -----------------------------------------------------------

STRIP = "output_strip"
GROUP_COLOURS = ["#2f5fd0", "#8a3fc0", "#c8359a", "#e07a1a", "#d02828", "#8a8a20",
                 "#9a3a2a", "#1a8a8a", "#8a5a2a", "#2a9a3a", "#22b0c8", None]
FRAME_COLOURS = ["#ff4040", "#40c0ff", "#ffd040", "#60e060", "#ff80ff", "#ff9030", "#a0a0ff", "#ffffff"]


def strip_pictures():
    # The delay edit (template 47, 135, 36 x 9) takes the bottom row from
    # its x on: the word for delay stands left of it on the same row.
    edit_x, edit_mid = px(47), (py(135) + py(135 + 9)) // 2
    for lang, rid, word in (("zh", 1151, "延时"), ("en", 1152, "Delay")):
        body = rect(0, 0, 120, 219, "#3c3d42")
        body += rect(2, 2, 116, 215, "none", "#55575e", 1, 4)
        body += text(edit_x - 4, edit_mid + 4, word, 12, "#d0d0d0", "end")
        write(STRIP, f"strip_background_{lang}.svg", rid, 120, 219, body,
              "Output strip background, the word for delay left of the delay edit")
    for i in range(12):
        label = f"CH{i + 1}"
        write(STRIP, f"select_ch{i + 1}_hover.svg", 817 + 3 * i, 56, 14,
              button(56, 14, "#5a5c66", label, "#ffffff", 10), f"{label} select button, hover")
        write(STRIP, f"select_ch{i + 1}_normal.svg", 818 + 3 * i, 56, 14,
              button(56, 14, "#44464e", label, "#dcdcdc", 10), f"{label} select button")
        frame = FRAME_COLOURS[i] if i < 8 else None
        write(STRIP, f"select_ch{i + 1}_down.svg", 819 + 3 * i, 56, 14,
              button(56, 14, "#2a2b30", label, "#ff6600", 10, frame), f"{label} select button, latched")
    speaker = ('<path d="M6 7 H10 L16 2 V18 L10 13 H6 Z" fill="{c}"/>\n'
               '<path d="M19 6 Q22 10 19 14 M21 4 Q26 10 21 16" stroke="{c}" stroke-width="1.5" fill="none"/>\n')
    cross = '<path d="M18 4 L28 16 M28 4 L18 16" stroke="{c}" stroke-width="2.2"/>\n'
    for rid, name, colour, crossed in ((526, "on", "#e0e0e0", None), (527, "on_hover", "#ffffff", None),
                                       (528, "off_red", "#e0e0e0", "#e02020"),
                                       (530, "off_grey", "#909090", "#a0a0a0")):
        body = rect(0, 0, 31, 20, "#3c3d42")
        body += speaker.format(c=colour) if not crossed else speaker.split("\n")[0].format(c=colour) + "\n"
        if crossed:
            body += cross.format(c=crossed)
        write(STRIP, f"enable_{name}.svg", rid, 31, 20, body, "On/off button: speaker, crossed when off")
    for lang, rid, word in (("zh", 1018, "联调"), ("en", 1019, "Link")):
        write(STRIP, f"group_grey_{lang}.svg", rid, 43, 23, button(43, 23, "#6a6b70", word, "#e8e8e8", 11),
              "Group button, no group")
    for g in range(12):
        small = g >= 8
        w, h = (36, 19) if small else (43, 23)
        for lang, base, word in (("zh", 1020, "联调"), ("en", 1028, "Link")):
            rid = (base + g) if not small else ((1101 if lang == "zh" else 1105) + g - 8)
            colour = GROUP_COLOURS[g] or ("#7a7a20" if lang == "zh" else "#5a6a8a")
            body = button(w, h, colour, f"{word}{g + 1}", "#ffffff", 10 if small else 11)
            write(STRIP, f"group{g + 1}_{lang}.svg", rid, w, h, body, f"Group button of group {g + 1}")
    for rid, name, fill, colour in ((594, "normal", "#26272b", "#dcdcdc"), (595, "hover", "#303136", "#ff6600"),
                                    (596, "down", "#1c1d20", "#ff6600"), (641, "disabled", "#34353a", "#8a8a8a")):
        body = rect(0, 0, 96, 17, fill, "#101010", 1, 2)
        # the arrow keeps to the right end, clear of the widest centred caption
        body += '<path d="M88 7.5 L91 10.5 L94 7.5 Z" fill="%s"/>\n' % colour
        write(STRIP, f"type_{name}.svg", rid, 96, 17, body, "Speaker-type drop-down bar (caption drawn by the button)")
    for rid, name, word, fill in ((1180, "zh", "相位", "#44464e"), (1181, "zh_hover", "相位", "#5f616b"),
                                  (1186, "en", "Phase", "#44464e"), (1188, "en_hover", "Phase", "#5f616b")):
        write(STRIP, f"phase_{name}.svg", rid, 40, 18, button(40, 18, fill, word, "#ffffff", 11),
              "Phase button")
    # Fader: scale on the left, track right of it.  The thumb (358, shared
    # with the master gain panel, 14 x 26) travels at x 32..46 between y 5
    # and 94: 0 dB centres at y 18, OFF at y 81.
    body = rect(0, 0, 50, 100, "#3c3d42")
    body += rect(36.5, 5, 5, 89, "#151515", "#000000", 1, 2)
    for y, label in ((18, "0"), (39, "-20"), (60, "-40"), (81, "OFF")):
        body += rect(27, y - 0.5, 4, 1, "#b0b0b0")
        body += text(25, y + 3, label, 8, "#c8c8c8", "end")
    write(STRIP, "fader_channel.svg", 281, 50, 100, body, "Gain fader channel with its scale")
    body = rect(0.5, 0.5, 13, 25, "#ff8a30", "#202020", 1, 2) + rect(2, 12, 10, 2, "#303030")
    write(STRIP, "fader_thumb_active.svg", 280, 14, 26, body, "Gain fader thumb while dragged")


# ---- Phase dialog -----------------------------------------------------------

PHASE = "phase"


def sine(x0, y0, w, amp, periods, invert=False, steps=80):
    pts = []
    for k in range(steps + 1):
        x = x0 + w * k / steps
        y = y0 - (-1 if invert else 1) * amp * math.sin(2 * math.pi * periods * k / steps)
        pts.append(f"{x:.1f},{y:.1f}")
    return " ".join(pts)


def axis(lo, hi):
    body = rect(0, 0, 200, 150, "#1e2a3a")
    body += rect(27, 61, 148 if hi == "200Hz" else 160, 80, "#243246", "#3c5270", 1)
    body += rect(27, 101, 160 if hi != "200Hz" else 148, 1, "#5a7090")
    body += text(27, 152 - 4, lo, 9, "#c0d0e0", "start")
    body += text(196, 152 - 4, hi, 9, "#c0d0e0", "end")
    return body


def phase_pictures():
    titles = {"en": ("Full Freq phase", "Bass phase shifter", "Freq response EQ",
                     "solid line: the signal after processing",
                     "dotted line: the signal before processing"),
              "zh": ("全频相位", "低音移相器", "频响均衡",
                     "实线：处理后输出播放的信号", "虚线：处理前的信号")}
    for lang, rid in (("zh", 1173), ("en", 1174)):
        t = titles[lang]
        body = rect(0, 0, 680, 360, "#141c28")
        body += rect(0, 30, 680, 24, "#1f2c40")
        # Each section frames its title, its value and its slider (template
        # x 9, 182, 368 at y 96-97, 200 x 150 pixels); the legend lies below.
        bottom = py(97) + 150 + 8
        legend = (bottom + 360) // 2
        for x, title in ((px(9), t[0]), (px(182), t[1]), (px(368), t[2])):
            body += rect(x - 2, 62, 204, bottom - 62, "none", "#34496a", 1, 4)
            body += text(x + 100, 82, title, 12, "#e0e8f0", weight="bold")
        body += f'<line x1="20" y1="{legend}" x2="50" y2="{legend}" stroke="#ffffff" stroke-width="2"/>\n'
        body += text(56, legend + 4, t[3], 11, "#c8d4e0", "start")
        body += (f'<line x1="360" y1="{legend}" x2="390" y2="{legend}" stroke="#ffffff" stroke-width="2" '
                 f'stroke-dasharray="3,3"/>\n')
        body += text(396, legend + 4, t[4], 11, "#c8d4e0", "start")
        write(PHASE, f"phase_background_{lang}.svg", rid, 680, 360, body,
              "Phase dialog: the three sections and the legend of the lines")
    body = axis("20Hz", "200Hz")
    body += (f'<polyline points="{sine(27, 101, 148, 26, 1.5)}" fill="none" stroke="#8aa0c0" '
             f'stroke-width="1.5" stroke-dasharray="3,3"/>\n')
    write(PHASE, "shift_channel.svg", 1205, 200, 150, body, "Phase-shift channel: 20..200 Hz, dotted reference")
    write(PHASE, "freq_channel.svg", 1175, 200, 150, axis("20Hz", "20kHz"), "Frequency channel: empty axis")
    for rid, name, invert in ((1177, "thumb_normal", False), (1176, "thumb_inverted", True)):
        body = rect(0, 0, 40, 80, "#243246")
        if invert:
            body += (f'<polyline points="{sine(0, 40, 40, 26, 1)}" fill="none" stroke="#8aa0c0" '
                     f'stroke-width="1.5" stroke-dasharray="3,3"/>\n')
        body += f'<polyline points="{sine(0, 40, 40, 26, 1, invert)}" fill="none" stroke="#ffffff" stroke-width="2.5"/>\n'
        write(PHASE, f"{name}.svg", rid, 40, 80, body,
              "Solid sine on the plot colour, which the slider keys out by the top-left pixel")
    body = rect(0, 0, 8, 80, "#243246") + rect(3, 0, 2, 80, "#ffb040")
    write(PHASE, "freq_thumb.svg", 1206, 8, 80, body, "Frequency marker")
    for lang, base, normal, inverted in (("en", 4370, "0°", "180°"), ("zh", 4380, "正相", "反相")):
        for off, word, fill, suffix in ((0, normal, "#2c6ad0", "normal"), (1, normal, "#4a88ee", "normal_hover"),
                                        (3, inverted, "#c04a2a", "inverted"), (4, inverted, "#e06a4a", "inverted_hover")):
            write(PHASE, f"polarity_{suffix}_{lang}.svg", base + off, 44, 18,
                  button(44, 18, fill, word, "#ffffff", 11), "Polarity button")


# ---- Mixer and noise gate ---------------------------------------------------

MIXER = "mixer"
# The level edit of each row (template 966), in panel pixels.
ROW_Y = [py(y) for y in (3, 20, 40, 58, 79, 96, 117, 132, 152, 168, 189, 205, 226, 243, 263, 279)]
ROWS = {"en": ["Hi.Level1", "Hi.Level2", "Hi.Level3", "Hi.Level4", "Hi.Level5", "Hi.Level6",
               "RCA In1", "RCA In2", "RCA In3", "RCA In4", "RCA In5", "RCA In6",
               "SPDIF-L", "SPDIF-R", "Bluetooth-L", "Bluetooth-R"],
        "zh": ["高电平1", "高电平2", "高电平3", "高电平4", "高电平5", "高电平6",
               "AUX1", "AUX2", "AUX3", "AUX4", "AUX5", "AUX6", "数字左", "数字右", "蓝牙左", "蓝牙右"]}


def mixer_pictures():
    for lang, rid in (("zh", 993), ("en", 994)):
        body = rect(0, 0, 892, 503, "#1b1d22")
        body += rect(5, 13, 76, 439, "#23262d", "#3a3f4a", 1, 3)
        for r, y in enumerate(ROW_Y):
            body += text(76, 13 + y + 11, ROWS[lang][r], 11, "#d8dce4", "end")
        for i in range(8):
            x = 107 + 97 * i + (1 if i >= 6 else 0)
            body += rect(x - 2, 11, 96, 443, "none", "#3a3f4a", 1, 3)
            body += text(x + 46, 474, f"CH{i + 1}", 13, "#e8e8e8", weight="bold")
        write(MIXER, f"mixer_background_{lang}.svg", rid, 892, 503, body,
              "Mixer: row names, eight panel frames, CH1..CH8")
    body = rect(0, 0, 92, 438, "#262930")
    for y in ROW_Y:
        body += rect(1, y - 2, 90, 19, "#2d3038")
    write(MIXER, "panel_background.svg", 1172, 92, 438, body, "Mixing panel background")
    for rid, name, colour in ((1182, "hi_level", "#3a6ad0"), (1183, "rca", "#2a9a5a"),
                              (1184, "spdif", "#b07a20"), (1185, "bluetooth", "#2a8ac8"),
                              (1252, "active", "#e07a1a")):
        body = rect(0, 0, 54, 16, "#1c1e24") + rect(2, 6, 50, 4, colour, "#000000", 1, 2)
        write(MIXER, f"level_channel_{name}.svg", rid, 54, 16, body, "Level slider channel")
    for rid, name, fill in ((1099, "thumb", "#c0c4cc"), (1100, "thumb_active", "#ff8a30")):
        body = rect(0, 0, 19, 11, fill, "#202020", 1, 2) + rect(9, 2, 1, 7, "#303030")
        write(MIXER, f"level_{name}.svg", rid, 19, 11, body, "Level slider thumb")
    for lang, rid, label in (("zh", 1190, "噪声门限:"), ("en", 1191, "Noise Threshold:")):
        body = rect(0, 0, 240, 160, "#1f232b")
        # The edit: template 117, 47, 34 x 11.
        left, top, right, bottom = px(117), py(47), px(117 + 34), py(47 + 11)
        body += text(left - 8, (top + bottom) // 2 + 4, label, 12, "#e0e4ea", "end")
        body += rect(left - 4, top - 4, right - left + 8, bottom - top + 8, "none", "#6a7a90", 1, 3)
        write("noise_gate", f"noise_background_{lang}.svg", rid, 240, 160, body,
              "Noise-gate dialog: the label and the frame of the edit")


strip_pictures()
phase_pictures()
mixer_pictures()
print("\n".join(LINES))
