#!/usr/bin/env python3
"""Writes the output page's dialog template (res/output/output_136.txt) from
the column table of its 31 band columns and the list of its other controls.

Run from the repository root: python3 tools/make_output_template.py
"""

import pathlib

# x of each band's frequency edit, in dialog units; the column's other
# controls are placed relative to it.
BAND_X = [142, 169, 194, 220, 246, 273, 299, 325, 351, 377, 403, 429, 455, 481, 507, 533,
          560, 585, 612, 637, 664, 690, 716, 742, 768, 794, 821, 846, 873, 898, 924]

EDIT = "WS_CHILD|WS_VISIBLE|WS_TABSTOP|ES_CENTER|ES_AUTOHSCROLL"
HIDDEN_EDIT = "WS_CHILD|WS_TABSTOP|ES_CENTER|ES_AUTOHSCROLL"
SPIN = "WS_CHILD|0x20"  # the up-down's arrow-keys style; never visible
OWNER_BUTTON = "WS_CHILD|WS_VISIBLE|WS_TABSTOP|BS_OWNERDRAW"

# Speaker-position buttons: id, x, y.
POSITIONS = [
    (4605, 894, 34), (4604, 894, 48), (4603, 894, 69), (4606, 895, 34), (4607, 894, 69),
    (4608, 895, 48), (4611, 982, 34), (4610, 982, 48), (4609, 982, 69), (4612, 983, 34),
    (4613, 983, 69), (4614, 983, 48), (4616, 894, 92), (4615, 894, 111), (4619, 894, 104),
    (4618, 982, 92), (4617, 982, 111), (4620, 982, 104), (4601, 962, 12), (4600, 922, 12),
    (4602, 942, 12), (4621, 919, 132), (4622, 959, 132), (4623, 939, 132),
]


def control(cid, cls, style, x, y, cx, cy, text=""):
    return f'CONTROL {cid} {cls} {style} {x} {y} {cx} {cy} "{text}"'


def band_column(i):
    x = BAND_X[i]
    label_w = 27 if i == 0 else (20 if i < 9 else 29)
    label_x = x + (21 - label_w) // 2
    first_two = i < 2
    return [
        control(5280 + i, "Static", "WS_CHILD|WS_VISIBLE|SS_CENTER|SS_CENTERIMAGE", label_x, 172, label_w, 8,
                str(i + 1)),
        control(5200 + i, "Edit", EDIT, x, 186, 21, 9),
        control(4500 + i, "Edit", EDIT, x - 1, 199, 23, 9),
        control(5000 + i, "Edit", EDIT, x, 212, 21, 9),
        control(5100 + i, "Static", "WS_CHILD|WS_VISIBLE|SS_NOTIFY", x - 1, 232, 22 if first_two else 18,
                61 if first_two else 14, "610" if first_two else ""),
        control(5320 + i, "Button", OWNER_BUTTON, x + 2, 288, 16, 12, "BY"),
        control(5240 + i, "msctls_updown32", SPIN, x + 21, 186, 14, 12),
        control(4540 + i, "msctls_updown32", SPIN, x + 21, 199, 14, 12),
        control(5040 + i, "msctls_updown32", SPIN, x + 21, 212, 14, 14),
    ]


def other_controls():
    rows = [
        control(4000, "Static", "WS_CHILD|WS_VISIBLE|SS_NOTIFY|SS_CENTER", 121, 11, 714, 144),
        control(1010, "Button", "WS_CHILD|WS_VISIBLE|WS_TABSTOP", 37, 31, 68, 13),
        control(1004, "Edit", EDIT, 38, 57, 52, 10),
        control(1012, "Button", "WS_CHILD|WS_VISIBLE|WS_TABSTOP", 37, 78, 69, 13),
        control(1011, "Button", "WS_CHILD|WS_VISIBLE|WS_TABSTOP", 37, 130, 71, 13),
        control(1005, "Edit", EDIT, 38, 156, 55, 10),
        control(1013, "Button", "WS_CHILD|WS_VISIBLE|WS_TABSTOP", 37, 178, 71, 13),
        control(1351, "msctls_updown32", SPIN, 190, 395, 11, 14),
        control(1352, "msctls_updown32", SPIN, 190, 401, 11, 14),
        control(5686, "Button", OWNER_BUTTON, 951, 192, 21, 14, "BY"),
        control(5687, "Button", OWNER_BUTTON, 951, 225, 21, 14, "BY"),
        control(1976, "Button", OWNER_BUTTON, 951, 259, 21, 14, "ALLBYPASS"),
    ]
    rows += [control(cid, "Button", "WS_CHILD|WS_VISIBLE", x, y, 8, 11) for cid, x, y in POSITIONS]
    rows += [
        control(4001, "Button", "WS_CHILD", 675, 318, 66, 17),
        control(4002, "Edit", HIDDEN_EDIT, 374, 400, 40, 10),
        control(4003, "msctls_updown32", SPIN, 431, 399, 11, 14),
        control(4004, "Static", "WS_CHILD|SS_NOTIFY", 382, 313, 18, 80),
        control(4010, "Edit", HIDDEN_EDIT, 775, 381, 50, 10),
        control(4011, "Edit", HIDDEN_EDIT, 776, 393, 50, 10),
        control(4012, "Edit", HIDDEN_EDIT, 777, 404, 50, 10),
        control(4013, "msctls_updown32", SPIN, 854, 369, 11, 14),
        control(4014, "msctls_updown32", SPIN, 854, 386, 11, 14),
        control(4015, "msctls_updown32", SPIN, 854, 403, 11, 14),
        control(4700, "Button", "WS_CHILD|WS_DISABLED", 69, 238, 40, 14),
        control(4701, "Button", "WS_CHILD|WS_DISABLED", 70, 262, 40, 14),
        control(4702, "Button", "WS_CHILD|WS_DISABLED", 70, 286, 40, 14),
        control(4703, "Button", "WS_CHILD", 70, 310, 40, 14),
        control(4704, "Button", "WS_CHILD", 70, 321, 40, 14),
        control(5080, "Static", "WS_CHILD", 106, 246, 20, 20, "708"),
        control(5081, "Static", "WS_CHILD", 300, 246, 20, 20, "708"),
        control(5082, "Static", "WS_CHILD", 500, 246, 20, 20, "708"),
        control(5083, "Static", "WS_CHILD", 700, 300, 20, 20),
        control(5084, "Static", "WS_CHILD", 760, 321, 20, 20, "712"),
        control(5085, "Static", "WS_CHILD", 807, 321, 20, 20, "713"),
        control(5311, "Button", "WS_CHILD|WS_DISABLED", 11, 402, 16, 12),
        control(5688, "Button", "WS_CHILD|WS_DISABLED", 792, 423, 39, 14),
        control(5689, "Button", "WS_CHILD", 777, 315, 61, 14),
    ]
    return rows


def main():
    rows = []
    for i in range(31):
        rows += band_column(i)
    rows += other_controls()
    assert len(rows) == 339, len(rows)
    head = [
        "# The output page.  Generated by tools/make_output_template.py from its",
        "# column table: edit that script, not this file.",
        "DIALOG 136 0 0 1037 460",
        "STYLE WS_CHILD|DS_SETFONT",
        'FONT 7 "Arial"',
    ]
    out = pathlib.Path("res/output/output_136.txt")
    out.write_text("\n".join(head + rows) + "\n", encoding="utf-8")


if __name__ == "__main__":
    main()
