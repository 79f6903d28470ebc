#!/usr/bin/env python3
"""Writes the main window's skin pictures (SVG) into res/app/ and lists them.

Run from the repository's root after changing a picture here:
    python3 tools/make_app_pictures.py
"""
import os

OUT = os.path.join(os.path.dirname(__file__), "..", "res", "app")
FONT = "font-family='Arial, Noto Sans CJK SC, sans-serif'"

# Button looks: face colour, text colour.
LOOKS = {
    "normal": ("#3b4a63", "#e8ecf4"),
    "hover": ("#51678a", "#ffffff"),
    "down": ("#2a3547", "#cfd6e2"),
    "sel": ("#c8702a", "#ffffff"),
    "selhover": ("#e08a3c", "#ffffff"),
    "online": ("#2f7d4a", "#ffffff"),
    "onlinehover": ("#3c9a5c", "#ffffff"),
    "offline": ("#7a3b3b", "#f4e8e8"),
    "offlinehover": ("#9a4c4c", "#ffffff"),
}


def button(width, height, look, text, size=11):
    face, ink = LOOKS[look]
    return (f"<svg xmlns='http://www.w3.org/2000/svg' width='{width}' height='{height}'>"
            f"<rect width='{width}' height='{height}' fill='#1c2433'/>"
            f"<rect x='1' y='1' width='{width - 2}' height='{height - 2}' rx='3' fill='{face}'/>"
            f"<text x='{width / 2}' y='{height / 2 + size * 0.36:.1f}' {FONT} font-size='{size}' "
            f"font-weight='bold' fill='{ink}' text-anchor='middle'>{text}</text></svg>")


def glyph_button(width, height, look, kind):
    face, ink = LOOKS[look]
    if kind == "min":
        mark = f"<rect x='{width / 2 - 5}' y='{height - 5}' width='10' height='2' fill='{ink}'/>"
    else:
        cx, cy = width / 2, height / 2
        mark = (f"<path d='M{cx - 4},{cy - 4} L{cx + 4},{cy + 4} M{cx + 4},{cy - 4} L{cx - 4},{cy + 4}' "
                f"stroke='{ink}' stroke-width='2'/>")
    return (f"<svg xmlns='http://www.w3.org/2000/svg' width='{width}' height='{height}'>"
            f"<rect width='{width}' height='{height}' fill='#1c2433'/>"
            f"<rect x='1' y='1' width='{width - 2}' height='{height - 2}' rx='2' fill='{face}'/>{mark}</svg>")


def drop(width, height, look):
    face, ink = LOOKS[look]
    return (f"<svg xmlns='http://www.w3.org/2000/svg' width='{width}' height='{height}'>"
            f"<rect width='{width}' height='{height}' fill='#1c2433'/>"
            f"<rect x='1' y='1' width='{width - 2}' height='{height - 2}' rx='3' fill='{face}'/>"
            f"<path d='M{width - 14},{height / 2 - 2} l4,5 l4,-5 z' fill='{ink}'/></svg>")


def background(lang):
    w, h = 1282, 732
    zh = lang == "zh"
    labels = {
        "master": "主音量" if zh else "MASTER",
        "outputs": "输出通道" if zh else "OUTPUT CHANNELS",
        "source": "音源" if zh else "SOURCE",
    }
    return (f"<svg xmlns='http://www.w3.org/2000/svg' width='{w}' height='{h}'>"
            f"<rect width='{w}' height='{h}' fill='#e3e4ee'/>"
            f"<rect width='{w}' height='27' fill='#1c2433'/>"
            f"<text x='640' y='18' {FONT} font-size='13' font-weight='bold' fill='#9fb0cc' "
            f"text-anchor='middle'>KAVRO-TUNE</text>"
            f"<text x='1058' y='17' {FONT} font-size='11' fill='#9fb0cc' text-anchor='end'>{labels['source']}</text>"
            f"<rect x='0' y='27' width='{w}' height='2' fill='#c8702a'/>"
            f"<rect x='4' y='430' width='{w - 8}' height='2' fill='#b9bccd'/>"
            f"<text x='14' y='490' {FONT} font-size='12' font-weight='bold' fill='#3b4a63'>{labels['master']}</text>"
            f"<text x='150' y='490' {FONT} font-size='12' font-weight='bold' fill='#3b4a63'>{labels['outputs']}</text>"
            f"<rect x='8' y='496' width='{w - 16}' height='228' rx='4' fill='#d6d8e6' stroke='#b9bccd'/>"
            f"</svg>")


def icon():
    return ("<svg xmlns='http://www.w3.org/2000/svg' width='64' height='64'>"
            "<rect width='64' height='64' rx='12' fill='#1c2433'/>"
            "<path d='M10,40 C20,10 28,54 36,28 S50,18 54,30' stroke='#c8702a' stroke-width='5' fill='none'/>"
            "<text x='32' y='58' font-family='Arial' font-size='11' font-weight='bold' fill='#e8ecf4' "
            "text-anchor='middle'>KT</text></svg>")


def main():
    os.makedirs(OUT, exist_ok=True)
    pictures = {}
    pictures[285] = ("background_zh.svg", background("zh"))
    pictures[284] = ("background_en.svg", background("en"))
    # Menu buttons: the first picture, then the one of the other five states.
    for ident, (w, h, look, text) in {
        8701: (57, 18, "normal", "预置"), 8710: (57, 18, "hover", "预置"),
        8702: (57, 18, "normal", "系统"), 8711: (57, 18, "hover", "系统"),
        8720: (57, 18, "normal", "PRESET"), 8730: (57, 18, "hover", "PRESET"),
        8721: (57, 18, "normal", "SYSTEM"), 8731: (57, 18, "hover", "SYSTEM"),
        # Connect button: online and offline, normal and hover.
        8741: (57, 18, "online", "已连接"), 8750: (57, 18, "onlinehover", "已连接"),
        8751: (57, 18, "offline", "未连接"), 8740: (57, 18, "offlinehover", "未连接"),
        8743: (57, 18, "online", "ONLINE"), 8752: (57, 18, "onlinehover", "ONLINE"),
        8753: (57, 18, "offline", "OFFLINE"), 8742: (57, 18, "offlinehover", "OFFLINE"),
        # Mixer button: normal, hover, selected normal, selected hover.
        1011: (75, 21, "normal", "混音"), 1010: (75, 21, "hover", "混音"),
        1012: (75, 21, "sel", "混音"), 1016: (75, 21, "selhover", "混音"),
        1013: (75, 21, "normal", "MIXER"), 1014: (75, 21, "hover", "MIXER"),
        1015: (75, 21, "sel", "MIXER"), 1017: (75, 21, "selhover", "MIXER"),
        # Output-map button.
        1125: (57, 18, "normal", "输出映射"), 1126: (57, 18, "hover", "输出映射"),
        1129: (57, 18, "normal", "OUT MAP"), 1130: (57, 18, "hover", "OUT MAP"),
    }.items():
        pictures[ident] = (f"button_{ident}.svg", button(w, h, look, text, 10 if len(text) > 5 else 11))
    pictures[4946] = ("minimize_normal.svg", glyph_button(20, 15, "normal", "min"))
    pictures[4947] = ("minimize_hover.svg", glyph_button(20, 15, "hover", "min"))
    pictures[4948] = ("close_normal.svg", glyph_button(20, 15, "normal", "close"))
    pictures[4949] = ("close_hover.svg", glyph_button(20, 15, "offlinehover", "close"))
    pictures[763] = ("source_drop.svg", drop(79, 18, "normal"))
    pictures[764] = ("source_drop_hover.svg", drop(79, 18, "hover"))
    for ident, (name, svg) in sorted(pictures.items()):
        with open(os.path.join(OUT, name), "w", encoding="utf-8") as f:
            f.write(svg + "\n")
    with open(os.path.join(OUT, "icon.svg"), "w", encoding="utf-8") as f:
        f.write(icon() + "\n")
    for ident, (name, _) in sorted(pictures.items()):
        print(f"{ident} BITMAP app/{name}")


if __name__ == "__main__":
    main()
