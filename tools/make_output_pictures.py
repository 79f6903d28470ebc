#!/usr/bin/env python3
"""Writes the SVG pictures of the output page, its curve overlay strip and
its speaker-position buttons into res/output/pictures, and prints their lines
for res/resources.txt.

The page background lines up with the controls as the layer places them:
template 136 uses Arial 7 pt, whose dialog base units are 5 x 12 pixels
(x px = du * 5 / 4, y px = du * 12 / 8).

Run from the repository root: python3 tools/make_output_pictures.py
"""

import pathlib

OUT = pathlib.Path("res/output/pictures")
FONT = "font-family=\"Liberation Sans, Noto Sans CJK SC, sans-serif\""
entries = []


def write(rid, kind, name, w, h, body):
    svg = (f'<svg xmlns="http://www.w3.org/2000/svg" width="{w}" height="{h}">\n'
           + body + "\n</svg>\n")
    (OUT / f"{name}.svg").write_text(svg, encoding="utf-8")
    entries.append(f"{rid} {kind} output/pictures/{name}.svg")


def text(x, y, s, size=11, fill="#d7dbe8", anchor="start", weight="normal"):
    return (f'<text x="{x}" y="{y}" {FONT} font-size="{size}" font-weight="{weight}" '
            f'fill="{fill}" text-anchor="{anchor}">{s}</text>')


def px(x, y):
    return x * 5 // 4, y * 12 // 8


def py(y):
    return y * 12 // 8


BAND_X = [142, 169, 194, 220, 246, 273, 299, 325, 351, 377, 403, 429, 455, 481, 507, 533,
          560, 585, 612, 637, 664, 690, 716, 742, 768, 794, 821, 846, 873, 898, 924]


def background(rid, zh):
    w, h = 1280, 695
    t = {
        "hp": "高通" if zh else "HIGH PASS", "lp": "低通" if zh else "LOW PASS",
        "type": "类型" if zh else "Type", "freq": "频率" if zh else "Freq", "slope": "斜率" if zh else "Slope",
        "band": "段" if zh else "Band", "q": "Q", "gain": "增益" if zh else "Gain", "by": "直通" if zh else "Bypass",
        "front": "前" if zh else "FRONT", "rear": "后" if zh else "REAR", "eq": "均衡" if zh else "EQUALIZER",
        "pos": "扬声器位置" if zh else "SPEAKERS", "mode": "模式" if zh else "Mode", "reset": "重置" if zh else "Reset",
        "all": "全部直通" if zh else "Bypass",
    }
    # Rows of the band table, placed from the template's y of each row.
    label_y = lambda top, rows: py(top) + (py(top + rows) - py(top)) // 2 + 4
    _, slider_top = px(0, 232)
    # The table ends under the bypass pictures (15 rows), inside the 454
    # rows the main window's page frame shows of the page.
    table_top, table_bottom = py(172) - 8, py(288) + 15 + 4
    b = [f'<rect width="{w}" height="{h}" fill="#1e2230"/>',
         # crossover panel: each label beside its control, the panel ending
         # above the delay-unit panel at y 310
         f'<rect x="8" y="8" width="136" height="{py(190) + 6 - 8}" rx="6" fill="#272c3d" stroke="#3d4460"/>',
         text(76, py(31) - 10, t["hp"], 12, "#f0b34a", "middle", "bold"),
         text(76, py(130) - 10, t["lp"], 12, "#f0b34a", "middle", "bold"),
         text(14, label_y(57, 10), t["freq"], 10), text(14, label_y(78, 13), t["slope"], 10),
         text(14, label_y(156, 10), t["freq"], 10), text(14, label_y(178, 13), t["slope"], 10),
         # band table: row names beside the number, frequency, Q and gain
         # rows, the slider's scale and the bypass row
         f'<rect x="148" y="{table_top}" width="1030" height="{table_bottom - table_top}" rx="6" '
         'fill="#272c3d" stroke="#3d4460"/>',
         text(172, label_y(172, 8), t["band"], 10, anchor="end"),
         text(172, label_y(186, 9), t["freq"], 10, anchor="end"),
         text(172, label_y(199, 9), "Q", 10, anchor="end"),
         text(172, label_y(212, 9), t["gain"], 10, anchor="end"),
         text(172, slider_top + 9, "+12", 9, "#9aa3c0", "end"),
         text(172, slider_top + 35 + 3, "0", 9, "#9aa3c0", "end"),
         text(172, slider_top + 70 - 2, "-12", 9, "#9aa3c0", "end"),
         text(172, label_y(288, 12), t["by"], 10, anchor="end"),
         # mode buttons column, each word right of its button; the right-hand
         # frames end inside the 1270 columns the page frame shows
         f'<rect x="1182" y="{table_top}" width="86" height="{table_bottom - table_top}" rx="6" '
         'fill="#272c3d" stroke="#3d4460"/>',
         text(1219, label_y(192, 12), t["mode"], 10), text(1219, label_y(225, 12), t["reset"], 10),
         text(1219, label_y(259, 12), t["all"], 10),
         # car plan behind the position buttons (y 12-132 and the buttons'
         # own height below)
         f'<rect x="1100" y="6" width="166" height="{py(132) + 24 - 6}" rx="6" fill="#272c3d" stroke="#3d4460"/>',
         '<path d="M1150 26 Q1180 14 1210 26 L1222 58 Q1228 122 1222 190 Q1180 214 1138 190 '
         'Q1132 122 1138 58 Z" fill="#3a4158" stroke="#68719a" stroke-width="2"/>',
         '<path d="M1146 70 Q1180 58 1214 70 L1208 88 Q1180 80 1152 88 Z" fill="#262b3b"/>',
         text(1185, 52, t["front"], 9, "#9aa3c0", "middle"), text(1185, 180, t["rear"], 9, "#9aa3c0", "middle"),
         text(1185, 126, t["pos"], 9, "#7b84a3", "middle"),
         ]
    for i, x in enumerate(BAND_X):
        cx, _ = px(x, 0)
        b.append(f'<line x1="{cx + 13}" y1="{slider_top + 4}" x2="{cx + 13}" y2="{slider_top + 66}" '
                 'stroke="#343a50"/>')
    write(rid, "BITMAP", f"page_background_{'zh' if zh else 'en'}", w, h, "\n".join(b))


def face(w, h, fill, stroke, label, tfill="#ffffff", size=11):
    return "\n".join([
        f'<rect width="{w}" height="{h}" fill="#1e2230"/>',
        f'<rect x="0.5" y="0.5" width="{w - 1}" height="{h - 1}" rx="4" fill="{fill}" stroke="{stroke}"/>',
        text(w / 2, h / 2 + size * 0.36, label, size, tfill, "middle", "bold"),
    ])


def button_set(ids, names, w, h, label_on, label_off, size=9):
    # ids in the toggle's order: checked normal, checked hover, unchecked
    # normal, unchecked hover (0: none).
    looks = [("#c46a12", "#f7b35a", label_on, "#ffffff"), ("#d67c1f", "#ffc877", label_on, "#ffffff"),
             ("#3b4360", "#59627f", label_off, "#d7dbe8"), ("#4d5780", "#8c94b3", label_off, "#ffffff")]
    for rid, name, (fill, stroke, label, tf) in zip(ids, names, looks):
        if rid:
            write(rid, "BITMAP", name, w, h, face(w, h, fill, stroke, label, tf, size))


def main():
    OUT.mkdir(parents=True, exist_ok=True)
    background(286, False)
    background(287, True)
    # band slider: channel, thumb, grey thumb, active thumb
    write(610, "BITMAP", "band_slider_channel", 24, 70,
          '<rect width="24" height="70" fill="#272c3d"/><rect x="10" y="3" width="4" height="64" rx="2" '
          'fill="#11141d" stroke="#4a5170"/><line x1="3" y1="35" x2="21" y2="35" stroke="#6c7596"/>')
    for rid, name, fill in [(611, "band_slider_thumb", "#c8cde0"), (612, "band_slider_thumb_grey", "#6a6f80"),
                            (613, "band_slider_thumb_active", "#f0b34a")]:
        write(rid, "BITMAP", name, 18, 8,
              f'<rect width="18" height="8" fill="#ff00ff"/><rect x="0.5" y="0.5" width="17" height="7" rx="2" '
              f'fill="{fill}" stroke="#20242f"/><line x1="2" y1="4" x2="16" y2="4" stroke="#20242f"/>')
    # hidden output-gain slider
    write(281, "BITMAP", "gain_slider_channel", 24, 160,
          '<rect width="24" height="160" fill="#272c3d"/><rect x="10" y="4" width="4" height="152" fill="#11141d"/>')
    write(283, "BITMAP", "gain_slider_channel_active", 24, 160,
          '<rect width="24" height="160" fill="#2f3549"/><rect x="10" y="4" width="4" height="152" fill="#11141d"/>')
    write(280, "BITMAP", "gain_slider_thumb", 22, 10,
          '<rect width="22" height="10" fill="#ff00ff"/><rect x="1" y="1" width="20" height="8" rx="2" fill="#c8cde0"/>')
    # 282, the active thumb, is the master gain fader's (shell pictures).
    # Toggles, drawn at their size on the page (Arial 7 pt base units).
    button_set([8832, 8833, 8830, 8831], ["band_bypass_on", "band_bypass_on_hover", "band_bypass_off",
                                          "band_bypass_off_hover"], 20, 15, "BY", "BY")
    button_set([8822, 8823, 8820, 8821], ["all_bypass_en_on", "all_bypass_en_on_hover", "all_bypass_en_off",
                                          "all_bypass_en_off_hover"], 27, 17, "ALL", "ALL")
    button_set([7002, 7001, 7000, 7005], ["all_bypass_zh_on", "all_bypass_zh_on_hover", "all_bypass_zh_off",
                                          "all_bypass_zh_off_hover"], 27, 17, "全通", "全通")
    button_set([0, 0, 359, 360], ["", "", "reset_en", "reset_en_hover"], 27, 17, "", "RST")
    button_set([0, 0, 7004, 7003], ["", "", "reset_zh", "reset_zh_hover"], 27, 17, "", "重置")
    button_set([742, 741, 740, 743], ["mode_en_geq", "mode_en_geq_hover", "mode_en_peq", "mode_en_peq_hover"],
               27, 17, "GEQ", "PEQ")
    button_set([746, 745, 744, 747], ["mode_zh_geq", "mode_zh_geq_hover", "mode_zh_peq", "mode_zh_peq_hover"],
               27, 17, "图示", "参量")
    # input-mode pictures (a hidden button): 452-458 English, 459-465 Chinese
    for m in range(7):
        write(452 + m, "BITMAP", f"input_mode_en_{m}", 48, 17, face(48, 17, "#3b4360", "#59627f", f"MODE {m + 1}",
                                                                  size=9))
        write(459 + m, "BITMAP", f"input_mode_zh_{m}", 48, 17, face(48, 17, "#3b4360", "#59627f", f"模式{m + 1}",
                                                                  size=9))
    # crossover drop-down faces: tall enough for the 14-pixel caption font
    # with its descenders inside the frame ("Link_Ril")
    for rid, name, fill in [(701, "dropdown", "#3b4360"), (702, "dropdown_pressed", "#2a3047")]:
        write(rid, "BITMAP", name, 85, 18,
              f'<rect width="85" height="18" fill="#272c3d"/><rect x="0.5" y="0.5" width="84" height="17" rx="3" '
              f'fill="{fill}" stroke="#68719a"/><path d="M72 7 L80 7 L76 12 Z" fill="#d7dbe8"/>')
    # spin buttons of the hidden delay edits
    for k, rid in enumerate([804, 805, 806, 807]):
        write(rid, "BITMAP", f"delay_spin_{k}", 12, 16,
              f'<rect width="12" height="16" fill="#{"3b4360" if k % 2 == 0 else "59627f"}"/>'
              '<path d="M3 6 L9 6 L6 2 Z M3 10 L9 10 L6 14 Z" fill="#d7dbe8"/>')
    for rid in (708, 712, 713):
        write(rid, "BITMAP", f"hidden_mark_{rid}", 16, 16, '<rect width="16" height="16" fill="#3b4360"/>')
    # speaker-position buttons (PNG): normal, hover, pressed (= checked)
    groups = {7100: "#5fb0ff", 7103: "#5fb0ff", 7106: "#5fb0ff", 7110: "#ff8a5f", 7113: "#ff8a5f",
              7116: "#ff8a5f", 7120: "#9be07a", 7123: "#9be07a", 585: "#c58cff", 582: "#c58cff", 588: "#c58cff"}
    shapes = {7100: 5, 7103: 6, 7106: 7, 7110: 5, 7113: 6, 7116: 7, 7120: 5, 7123: 7, 585: 7, 582: 8, 588: 7}
    for base, colour in groups.items():
        r = shapes[base]
        size = 2 * r + 4
        for k, (fill, ring) in enumerate([(colour, "#20242f"), ("#ffffff", colour), ("#f0b34a", "#ffffff")]):
            write(base + k, "PNG", f"speaker_{base}_{k}", size, size,
                  f'<circle cx="{size / 2}" cy="{size / 2}" r="{r}" fill="{fill}" stroke="{ring}" '
                  f'stroke-width="2"/><circle cx="{size / 2}" cy="{size / 2}" r="{r / 3:.1f}" fill="#20242f"/>')
    # curve overlay strip: background and the CH1..CH12 toggles
    write(968, "BITMAP", "curve_strip_background", 46, 222,
          '<rect width="46" height="222" fill="#161925"/><rect x="0.5" y="0.5" width="45" height="221" '
          'fill="none" stroke="#3d4460"/>')
    strip = [(969, 971), (972, 974), (975, 977), (978, 980), (981, 983), (984, 987), (988, 986), (990, 992),
             (1193, 1195), (1196, 1198), (1199, 1201), (1202, 1204)]
    colours = ["#ff3030", "#3070ff", "#30d040", "#ffe030", "#ffffff", "#ff40ff", "#30e0e0", "#30d040",
               "#8cc8ff", "#8cc8ff", "#8cc8ff", "#8cc8ff"]
    for n, ((off, on), c) in enumerate(zip(strip, colours)):
        label = f"CH{n + 1}"
        write(off, "BITMAP", f"curve_strip_ch{n + 1}_off", 32, 18,
              '<rect width="32" height="18" fill="#161925"/>' + text(16, 13, label, 10, "#7b7f8c", "middle", "bold"))
        write(on, "BITMAP", f"curve_strip_ch{n + 1}_on", 32, 18,
              f'<rect width="32" height="18" fill="#161925"/><rect x="1" y="1" width="30" height="16" rx="3" '
              f'fill="none" stroke="{c}" stroke-width="2"/>' + text(16, 13, label, 10, c, "middle", "bold"))
    print("\n".join(entries))


if __name__ == "__main__":
    main()
