#!/usr/bin/env python3
"""Regenerates the contrast study set under study/contrast/: phone screens of
text samples whose CSS colours are known, rendered by headless Chromium like
the examples (scripts/generate_examples.py).

Every sample is one label (accessibility identifier cNN). The generator writes
contrast-truth.json beside each bundle: the sample's category, its CSS text
and background colours, their WCAG 2 contrast ratio computed here from those
colours, its font size and weight, and the verdict a reviewer gives: PASS at
4.5:1, or 3.0:1 for large text (18 pt, or 14 pt bold), else FAIL; text over
gradients and photos is "INCOMPLETE" (needs review by a person).

Some pages are rendered once more as real captures often are: at 2 or 1 pixels
a point and through JPEG (PAGE-2x-jpeg, PAGE-1x-jpeg), with the same truth.

Usage: scripts/generate_contrast_study.py [PAGE ...]
"""
import json
import pathlib
import sys
import tempfile

import generate_examples as examples

STUDY = examples.ROOT / "study" / "contrast"

WORDS = ["Delivery in 2 days", "Order summary", "Add to basket", "Free returns", "Track parcel", "Privacy policy",
         "Notifications", "Payment method", "Gift card balance", "Help centre", "Save for later", "Recently viewed",
         "Change password", "Opening hours", "Store locator", "Terms of sale", "Your rewards", "Contact us",
         "Manage account", "Size guide", "Write a review", "Shipping options", "Sign out", "New arrivals"]
SIZES = [11, 13, 15, 17, 19, 22, 26, 30, 34, 12, 14, 16, 18, 20]
RATIOS = [1.2, 1.5, 2.0, 2.5, 2.9, 3.2, 3.6, 4.0, 4.3, 4.8, 5.5, 7.0, 10.0, 15.0, 21.0]


def rgb(hex_text):
    return tuple(int(hex_text[i:i + 2], 16) for i in (1, 3, 5))


def hex_of(colour):
    return "#" + "".join(f"{round(channel):02x}" for channel in colour)


def luminance(colour):
    def linear(channel):
        s = channel / 255
        return s / 12.92 if s <= 0.03928 else ((s + 0.055) / 1.055) ** 2.4
    r, g, b = (linear(c) for c in colour)
    return 0.2126 * r + 0.7152 * g + 0.0722 * b


def ratio(a, b):
    la, lb = luminance(a), luminance(b)
    return (max(la, lb) + 0.05) / (min(la, lb) + 0.05)


def toward(background, hue, wanted):
    """The colour on the way from the background to the hue (or on to black or
    white past it) whose contrast with the background is closest to wanted."""
    darker = luminance(hue) < luminance(background)
    extreme = (0, 0, 0) if darker else (255, 255, 255)
    path = [tuple(bg + (h - bg) * t / 100 for bg, h in zip(background, hue)) for t in range(101)]
    path += [tuple(h + (e - h) * t / 100 for h, e in zip(hue, extreme)) for t in range(1, 101)]
    path = [tuple(round(c) for c in colour) for colour in path]
    return min(path, key=lambda colour: abs(ratio(colour, background) - wanted))


def verdict(contrast, size, bold):
    contrast = round(contrast + 1e-9, 2)
    large = size >= 18 or (size >= 14 and bold)
    if contrast >= 4.5 or (contrast >= 3.0 and large):
        return "PASS"
    return "FAIL"


class Page:
    def __init__(self, name, about):
        self.name, self.about = name, about
        self.blocks, self.samples = [], []

    def add(self, category, text, size, bold, foreground, background, block_style, label_style="",
            before="", kind="flat", element="UILabel", raw_type=48):
        ident = f"c{len(self.samples) + 1:02d}"
        weight = "bold" if bold else "normal"
        traits = ' data-ax-traits="0x1"' if raw_type == 9 else ""
        label = (f'<span class="label" style="color: {foreground}; font-size: {size}px; font-weight: {weight};'
                 f' {label_style}" data-ax-class="{element}" data-ax-type="{raw_type}" data-ax-label="{text}"'
                 f' data-ax-id="{ident}"{traits}>{text}</span>')
        self.blocks.append(f'<div class="block" style="{block_style}" data-ax-class="UIView" data-ax-type="1"'
                           f' data-ax-element="0">{before}{label}</div>')
        sample = {"element": ident, "category": category, "text": text, "fontSize": size, "bold": bold,
                  "foreground": foreground}
        if kind == "flat":
            contrast = ratio(rgb(foreground), rgb(background))
            sample.update(background=background, ratio=round(contrast, 2),
                          hingesOnSize=3.0 <= round(contrast, 2) < 4.5, expected=verdict(contrast, size, bold))
        else:
            sample.update(background=None, ratio=None, hingesOnSize=False, expected="INCOMPLETE")
        self.samples.append(sample)

    def html(self):
        return f"""<!DOCTYPE html>
<!-- {self.about} -->
<html><head><meta charset="utf-8"><style>
* {{ box-sizing: border-box; margin: 0; padding: 0; }}
html, body {{ width: 390px; height: 844px; overflow: hidden; }}
body {{ font-family: "DejaVu Sans", "Liberation Sans", sans-serif; background: #ffffff; }}
.window {{ width: 390px; height: 844px; padding: 20px 16px 0 16px; }}
.block {{ display: flex; align-items: center; margin-bottom: 8px; }}
.label {{ display: inline-block; white-space: nowrap; }}
</style></head>
<body data-ax-class="UIApplication" data-ax-type="2" data-ax-label="Study" data-ax-element="0" data-ax-id="study">
<div class="window" data-ax-class="UIWindow" data-ax-type="4" data-ax-element="0">
{chr(10).join(self.blocks)}
</div>
</body></html>
"""


HUES = ["#000000", "#1d3f8f", "#7a1f1f", "#205c2e", "#5a2d82", "#6b4a12", "#0f5e68"]
LIGHT_HUES = ["#ffffff", "#cfe0ff", "#ffd6d6", "#d3f5dc", "#eadcff", "#fff0c2", "#c9f2f7"]


def flat_page(name, about, category, backgrounds, hues, offset):
    page = Page(name, about)
    for i, wanted in enumerate(RATIOS[:14]):
        background = backgrounds[i % len(backgrounds)]
        colour = hex_of(toward(rgb(background), rgb(hues[(i + offset) % len(hues)]), wanted))
        size = SIZES[(i + offset) % len(SIZES)]
        page.add(category, WORDS[(i + offset) % len(WORDS)], size, (i + offset) % 3 == 1, colour, background,
                 f"background: {background}; padding: 4px 8px;")
    return page


def pages():
    made = [
        flat_page("light", "Dark text on white and light grey.", "dark on light", ["#ffffff", "#f2f2f7"], HUES, 0),
        flat_page("light-more", "More dark text on light backgrounds, other sizes.", "dark on light",
                  ["#ffffff", "#fafafa", "#f2f2f7"], HUES, 5),
        flat_page("dark", "Light text on black and dark grey.", "light on dark", ["#000000", "#1c1c1e"], LIGHT_HUES, 1),
        flat_page("dark-more", "More light text on dark backgrounds, other sizes.", "light on dark",
                  ["#2c2c2e", "#101820", "#1c1c1e"], LIGHT_HUES, 6),
        flat_page("tinted", "Text on tinted table cells.", "tinted cells",
                  ["#e8f0fe", "#fff4d6", "#e6f4ea", "#fde7e9", "#efe6fb"], HUES, 2),
    ]

    pills = Page("pills", "Filled buttons with white or dark text.")
    fills = ["#2f6fde", "#34c759", "#ff9500", "#ff3b30", "#5856d6", "#8e8e93", "#007aff", "#af52de", "#111111",
             "#ffcc00", "#30b0c7", "#a2845e", "#e5e5ea", "#00c7be"]
    for i, fill in enumerate(fills):
        text_colour = "#ffffff" if i % 4 != 3 else "#111111"
        size = [13, 15, 17, 20, 15, 17][i % 6]
        pills.add("pills", WORDS[i + 3], size, i % 2 == 0, text_colour, fill, "",
                  f"background: {fill}; border-radius: 999px; padding: 6px 16px;", element="UIButton", raw_type=9)
    made.append(pills)

    saturated = Page("saturated", "Black and white text on fully saturated fills: pure blue, red, green and magenta.")
    fills = ["#0000ff", "#ff0000", "#00ff00", "#ff00ff", "#0000cc", "#cc0000", "#8000ff", "#0033ff", "#ff0033",
             "#00c000", "#0000ff", "#ff0000", "#6600cc", "#e00000"]
    for i, fill in enumerate(fills):
        text_colour = "#000000" if i % 3 != 2 else "#ffffff"
        saturated.add("saturated fills", WORDS[(i + 7) % len(WORDS)], [15, 17, 13, 20, 16, 22][i % 6], i % 4 == 1,
                      text_colour, fill, f"background: {fill}; padding: 6px 10px;")
    made.append(saturated)

    placeholders = Page("placeholders", "Placeholder greys in white fields.")
    greys = ["#c7c7cc", "#b4b4ba", "#a0a0a6", "#8e8e93", "#767680", "#6e6e73", "#3c3c43", "#d1d1d6", "#aeaeb2",
             "#919196", "#7c7c80", "#636366", "#48484a", "#bcbcc0"]
    for i, grey in enumerate(greys):
        size = [15, 17, 13, 16, 19, 14][i % 6]
        placeholders.add("placeholder grey", ["Email address", "Search products", "Postcode", "Card number",
                                              "Full name", "Phone number", "Promo code"][i % 7], size, False, grey,
                         "#ffffff", "background: #ffffff; border: 1px solid #c7c7cc; border-radius: 10px;"
                         " padding: 8px 12px; height: 44px;")
    made.append(placeholders)

    links = Page("links", "Coloured links, some underlined, on white and light grey.")
    link_colours = ["#007aff", "#2f6fde", "#0a58ca", "#34c759", "#248a3d", "#ff3b30", "#d70015", "#5856d6",
                    "#af52de", "#ff9500", "#c93400", "#30b0c7", "#0071a4", "#8944ab"]
    for i, colour in enumerate(link_colours):
        background = "#ffffff" if i % 3 else "#f2f2f7"
        links.add("coloured links", WORDS[(i + 9) % len(WORDS)], [15, 17, 13, 14, 20][i % 5], i % 4 == 2, colour,
                  background, f"background: {background}; padding: 4px 8px;",
                  "text-decoration: underline;" if i % 2 else "")
    made.append(links)

    icons = Page("icons", "Text beside round coloured icons.")
    for i, wanted in enumerate([1.6, 2.4, 3.1, 3.9, 4.6, 6.0, 9.0, 14.0, 2.0, 5.0, 3.4, 12.0, 4.2, 7.5]):
        background = ["#ffffff", "#f2f2f7", "#1c1c1e"][i % 3]
        hues = LIGHT_HUES if background == "#1c1c1e" else HUES
        colour = hex_of(toward(rgb(background), rgb(hues[i % len(hues)]), wanted))
        icon_colour = ["#ff3b30", "#34c759", "#007aff", "#ff9500", "#8e8e93"][i % 5]
        icon = (f'<span style="display: inline-block; width: 24px; height: 24px; border-radius: 12px;'
                f' background: {icon_colour}; margin-right: 10px;"></span>')
        icons.add("text next to icons", WORDS[(i + 14) % len(WORDS)], [15, 17, 13, 19, 22][i % 5], i % 3 == 0, colour,
                  background, f"background: {background}; padding: 6px 8px;", before=icon)
    made.append(icons)

    gradients = Page("gradients", "Text over gradients: a person must judge these.")
    stops = [("#ffffff", "#2f6fde"), ("#000000", "#ff9500"), ("#34c759", "#5856d6"), ("#ffcc00", "#ff3b30"),
             ("#e5e5ea", "#1c1c1e"), ("#00c7be", "#af52de"), ("#ffffff", "#8e8e93")]
    for i in range(14):
        first, second = stops[i % len(stops)]
        angle = [90, 0, 135, 45][i % 4]
        gradients.add("gradients", WORDS[(i + 4) % len(WORDS)], [15, 17, 20, 24, 13][i % 5], i % 2 == 1,
                      ["#ffffff", "#111111"][i % 2], None,
                      f"background: linear-gradient({angle}deg, {first}, {second}); padding: 10px 8px;",
                      kind="gradient")
    made.append(gradients)

    photos = Page("photos", "Text over photograph-like backgrounds: a person must judge these.")
    noise = ("url(&quot;data:image/svg+xml;utf8,<svg xmlns='http://www.w3.org/2000/svg' width='400' height='80'>"
             "<filter id='n'><feTurbulence type='fractalNoise' baseFrequency='{f}' numOctaves='3' seed='{s}'/>"
             "<feColorMatrix values='{m}'/></filter><rect width='400' height='80' filter='url(%23n)'/></svg>&quot;)")
    matrices = ["0.9 0 0 0 0.1  0 0.7 0 0 0.1  0 0 0.5 0 0.2  0 0 0 0 1",
                "0.4 0 0 0 0.3  0 0.8 0 0 0.2  0 0 0.4 0 0.1  0 0 0 0 1",
                "0.6 0 0 0 0  0 0.6 0 0 0.1  0 0 0.9 0 0.3  0 0 0 0 1"]
    for i in range(14):
        texture = noise.format(f=[0.02, 0.05, 0.1, 0.3][i % 4], s=i + 1, m=matrices[i % 3])
        photos.add("photos", WORDS[(i + 11) % len(WORDS)], [17, 20, 24, 15, 28][i % 5], i % 2 == 0,
                   ["#ffffff", "#111111"][i % 2], None, f"background: {texture}; padding: 12px 8px;", kind="photo")
    made.append(photos)
    return made


# Pages rendered again at a lower scale through JPEG: (page, scale).
LOW_RESOLUTION = [("light", 2), ("dark", 2), ("placeholders", 2), ("pills", 2), ("links", 2), ("light", 1),
                  ("tinted", 1), ("saturated", 2)]


def main():
    wanted = set(sys.argv[1:])
    for page in pages():
        renderings = [(page.name, examples.SCALE, False)] + [
            (f"{page.name}-{scale}x-jpeg", scale, True) for name, scale in LOW_RESOLUTION if name == page.name]
        for name, scale, jpeg in renderings:
            if wanted and name not in wanted:
                continue
            bundle = STUDY / name
            with tempfile.TemporaryDirectory() as folder:
                mockup = pathlib.Path(folder) / f"{page.name}.html"
                mockup.write_text(page.html(), encoding="utf-8")
                examples.generate(name, mockup, bundle, scale, jpeg)
            truth = {"about": "Ground truth of the contrast study: the WCAG 2 ratio of each sample's CSS colours and "
                              "the verdict a reviewer gives; written by scripts/generate_contrast_study.py.",
                     "page": page.about, "samples": page.samples}
            (bundle / "contrast-truth.json").write_text(json.dumps(truth, indent=2) + "\n", encoding="utf-8")


if __name__ == "__main__":
    main()
