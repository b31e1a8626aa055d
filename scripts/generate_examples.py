#!/usr/bin/env python3
"""Regenerates the capture bundles under examples/ from the HTML mock-ups in
scripts/examples/.

Each mock-up is a 390 x 844 point phone screen. Headless Chromium renders it at
scale 3 for the screenshot (1170 x 2532 pixels), and renders it once more with
a small script that reads the box of every element marked data-ax-class; those
boxes, in points, become the frames of the capture's elements.

Each bundle also gets text-lines.json, the ground truth of its text: every
rendered line with its box in screenshot pixels, its font size in points and
its owner, the element that shows it (class and visible frame in points).
Lines covered by something drawn over them are not on the screen and left out.

A mock-up whose body has data-ax-languages="jpn+eng" records the languages of
its text in text-lines.json (Tesseract's codes; English when absent).

A mock-up whose body has data-ax-settings="Accessibility|...|Back" (and
data-ax-slider-value, "50%" or absent) scripts the Settings application: the
page is measured once more with :root { --text-scale: 1.3 } (the user's
larger text size) into after-larger-text.json, and capture.json gets its
"settings" member.

Needs Debian's chromium (apt-get install chromium). Usage:
    scripts/generate_examples.py [NAME ...]
"""
import json
import pathlib
import re
import shutil
import subprocess
import sys
import tempfile

ROOT = pathlib.Path(__file__).resolve().parent.parent
MOCKUPS = ROOT / "scripts" / "examples"
EXAMPLES = ROOT / "examples"
WIDTH, HEIGHT, SCALE = 390, 844, 3

CHROMIUM_FLAGS = [
    "--headless", "--no-sandbox", "--disable-gpu", "--hide-scrollbars", "--no-first-run",
    "--disable-background-networking", "--disable-component-update", "--disable-sync",
    "--disable-features=Translate,MediaRouter", "--font-render-hinting=none",
]

# Reads the accessibility boxes after layout and writes them into the DOM.
MEASURE_SCRIPT = """
<script>
(() => {
  const marked = [...document.querySelectorAll('[data-ax-class]')];
  const ids = new Map(marked.map((node, i) => [node, i === 0 ? 'app' : 'e' + i]));
  const records = marked.map(node => {
    const box = node.getBoundingClientRect();
    let parent = node.parentElement;
    while (parent && !ids.has(parent)) parent = parent.parentElement;
    const d = node.dataset;
    return {id: ids.get(node), parent: parent ? ids.get(parent) : null, className: d.axClass,
            rawType: Number(d.axType), label: d.axLabel, value: d.axValue, placeholder: d.axPlaceholder,
            identifier: d.axId, traits: d.axTraits || '0', isElement: d.axElement !== '0',
            orientation: d.axOrientation, settings: d.axSettings, sliderValue: d.axSliderValue,
            languages: d.axLanguages,
            enabled: d.axEnabled !== '0',
            frame: {x: box.x, y: box.y, width: box.width, height: box.height}};
  });
  // The text of each line box of a wrapped text node, by the line each
  // character's own box lies on.
  function lineTexts(node, boxes) {
    const texts = boxes.map(() => '');
    const character = document.createRange();
    for (let i = 0; i < node.textContent.length; ++i) {
      character.setStart(node, i);
      character.setEnd(node, i + 1);
      const box = character.getBoundingClientRect();
      if (box.width === 0 && box.height === 0) continue;  // white space collapsed at a break
      const middle = box.y + box.height / 2;
      let line = 0;
      boxes.forEach((lineBox, k) => {
        if (Math.abs(lineBox.y + lineBox.height / 2 - middle) <
            Math.abs(boxes[line].y + boxes[line].height / 2 - middle)) line = k;
      });
      texts[line] += node.textContent[i];
    }
    return texts.map(text => text.replace(/\s+/g, ' ').trim());
  }
  // Whether something drawn later covers the middle of a line: text under
  // an alert or a banner is not on the screen. Transparent overlays (an
  // accessibility element laid over a row) and a shade that only dims what
  // is under it (pointer-events: none) cover nothing.
  function paints(element) {
    const style = getComputedStyle(element);
    return style.backgroundImage !== 'none' ||
           !(style.backgroundColor === 'transparent' || /^rgba\(.*,\s*0\)$/.test(style.backgroundColor));
  }
  function covered(node, box) {
    const parent = node.parentElement;
    for (let top = document.elementFromPoint(box.x + box.width / 2, box.y + box.height / 2);
         top && !top.contains(parent); top = top.parentElement) {
      if (parent.contains(top)) return false;
      if (paints(top)) return true;
    }
    return false;
  }
  // Every line of text with its box and font size: the ground truth of text detection.
  const lines = [];
  const walker = document.createTreeWalker(document.body, NodeFilter.SHOW_TEXT);
  for (let node = walker.nextNode(); node; node = walker.nextNode()) {
    const text = node.textContent.trim();
    if (!text) continue;
    const range = document.createRange();
    range.selectNodeContents(node);
    const fontSize = parseFloat(getComputedStyle(node.parentElement).fontSize);
    // The view that shows the text: its nearest element in the capture.
    let owner = node.parentElement;
    while (owner && !ids.has(owner)) owner = owner.parentElement;
    const ownerBox = owner ? owner.getBoundingClientRect() : null;
    // Boxes on one line (a text cut short with an ellipsis has its whole run
    // and its visible part) are the part of the line they share.
    const boxes = [];
    for (const box of range.getClientRects()) {
      if (box.width < 1 || box.height < 1) continue;
      const same = boxes.find(other => Math.abs(other.y + other.height / 2 - (box.y + box.height / 2)) < box.height / 2);
      if (!same) {
        boxes.push({x: box.x, y: box.y, width: box.width, height: box.height});
        continue;
      }
      const right = Math.min(same.x + same.width, box.x + box.width);
      same.x = Math.max(same.x, box.x);
      same.width = right - same.x;
    }
    // A wrapped text has a box per line: each gets the characters it holds.
    const texts = boxes.length > 1 ? lineTexts(node, boxes) : boxes.map(() => text);
    boxes.forEach((box, i) => {
      if (!texts[i] || covered(node, box)) return;
      lines.push({text: texts[i], fontSize, box: {x: box.x, y: box.y, width: box.width, height: box.height},
                  owner: owner && {className: owner.dataset.axClass,
                                   frame: {x: ownerBox.x, y: ownerBox.y, width: ownerBox.width,
                                           height: ownerBox.height}}});
    });
  }
  const out = document.createElement('pre');
  out.id = 'ax-boxes';
  out.textContent = JSON.stringify({records, lines});
  document.body.appendChild(out);
})();
</script>
"""


def chromium():
    for name in ("chromium", "chromium-browser", "google-chrome"):
        path = shutil.which(name)
        if path:
            return path
    sys.exit("generate_examples: chromium not found (apt-get install chromium)")


def run_chromium(*arguments, scale=SCALE, size=(WIDTH, HEIGHT)):
    with tempfile.TemporaryDirectory() as profile:
        return subprocess.run([chromium(), *CHROMIUM_FLAGS, f"--window-size={size[0]},{size[1]}",
                               f"--force-device-scale-factor={scale}", f"--user-data-dir={profile}", *arguments],
                              check=True, capture_output=True, text=True, timeout=120).stdout


def screenshot(mockup, target, scale, jpeg):
    """Renders the mock-up at `scale` into the PNG `target`. With `jpeg` the
    picture passes through Chromium's JPEG encoder first, as many real captures
    did, and keeps its block noise and ringing in the PNG."""
    if not jpeg:
        run_chromium(f"--screenshot={target}", mockup.as_uri(), scale=scale)
        return
    with tempfile.TemporaryDirectory() as folder:
        shot = pathlib.Path(folder) / "shot.jpeg"
        run_chromium(f"--screenshot={shot}", mockup.as_uri(), scale=scale)
        page = pathlib.Path(folder) / "shot.html"
        page.write_text('<html><body style="margin: 0"><img src="shot.jpeg" style="display: block"></body></html>',
                        encoding="utf-8")
        run_chromium(f"--screenshot={target}", page.as_uri(), scale=1,
                     size=(round(WIDTH * scale), round(HEIGHT * scale)))


def visible_part(frame):
    """The frame clipped by the screen, or None when nothing of it is on screen."""
    left, top = max(frame["x"], 0), max(frame["y"], 0)
    right = min(frame["x"] + frame["width"], WIDTH)
    bottom = min(frame["y"] + frame["height"], HEIGHT)
    if right <= left or bottom <= top:
        return None
    return {"X": left, "Y": top, "Width": right - left, "Height": bottom - top}


def rounded(value):
    value = round(value, 2)
    return int(value) if value == int(value) else value


def orientation_of(kind):
    """The recorded rotation: an application that follows the device ("rotating")
    or keeps its portrait frame ("portrait"); None records no rotation."""
    if kind is None:
        return None
    portrait = {"X": 0, "Y": 0, "Width": WIDTH, "Height": HEIGHT}
    landscape = {"X": 0, "Y": 0, "Width": HEIGHT, "Height": WIDTH} if kind == "rotating" else portrait
    return {"initial": 1, "appFrames": {"1": portrait, "3": landscape, "4": landscape}}


def capture_from(records, name, scale=SCALE):
    children = {record["id"]: [] for record in records}
    for record in records:
        if record["parent"] is not None:
            children[record["parent"]].append(record["id"])
    elements = {}
    for record in records:
        frame = {key.capitalize() if key != "x" and key != "y" else key.upper(): rounded(value)
                 for key, value in record["frame"].items()}
        visible = visible_part(record["frame"])
        attributes = {
            "XC_kAXXCAttributeElementType": record["className"],
            "XC_kAXXCAttributeFrame": frame,
            "XC_kAXXCAttributeVisibleFrame": {k: rounded(v) for k, v in visible.items()} if visible else None,
            "XC_kAXXCAttributeTraits": int(record["traits"], 0),
            "XC_kAXXCAttributeIsElement": 1 if record["isElement"] else 0,
            "XC_kAXXCAttributeIsVisible": 1 if visible else 0,
            "XC_kAXXCAttributeIsUserInteractionEnabled": 1 if record["enabled"] else 0,
            "XC_kAXXCAttributeChildren": children[record["id"]],
        }
        for member, key in (("label", "Label"), ("value", "Value"), ("placeholder", "PlaceholderValue"),
                            ("identifier", "Identifier")):
            if record.get(member) is not None:
                attributes["XC_kAXXCAttribute" + key] = record[member]
        elements[record["id"]] = {"rawType": record["rawType"], "attributes": attributes}
    capture = {
        "format": "audkit-capture",
        "version": 1,
        "device": {"name": "iPhone 15", "systemName": "iOS", "systemVersion": "17.2", "scale": scale,
                   "modelIdentifier": "iPhone15,4", "vendorIdentifier": "6B1D2C0E-6A9F-4C1B-9D7E-3E0C5A2F9B11"},
        "runner": {"bundleIdentifier": "com.example.shop.uitests.xctrunner"},
        "screenshot": "screenshot.png",
        "root": "app",
        "rootQueries": {"webViewCount": 0, "keyboardExists": False, "title": None},
        "elements": elements,
    }
    orientation = orientation_of(records[0].get("orientation"))
    if orientation:
        capture["orientation"] = orientation
    return capture


# A larger text size for pages that script Settings: text sized with
# var(--text-scale) grows, text with fixed sizes does not.
LARGER_TEXT_STYLE = "<style>:root { --text-scale: 1.3; }</style>"


def measure(name, mockup, extra_head=""):
    """The boxes and text lines of the mock-up, measured in Chromium."""
    html = mockup.read_text(encoding="utf-8").replace("</body>", MEASURE_SCRIPT + "</body>")
    if extra_head:
        html = html.replace("</head>", extra_head + "</head>")
    measured = mockup.with_name(f".{name}.measure.html")
    try:
        measured.write_text(html, encoding="utf-8")
        dom = run_chromium("--dump-dom", measured.as_uri())
    finally:
        measured.unlink(missing_ok=True)
    found = re.search(r'<pre id="ax-boxes">(.*?)</pre>', dom, re.S)
    if not found:
        sys.exit(f"generate_examples: {name}: the measuring script left no boxes")
    text = found.group(1).replace("&lt;", "<").replace("&gt;", ">").replace("&amp;", "&")
    return json.loads(text)


def owner_of(line):
    """The view that shows a line, by class and visible frame in points as the
    capture records it: where recognised text must arrive."""
    owner = line.get("owner")
    visible = visible_part(owner["frame"]) if owner else None
    if not visible:
        return {}
    return {"owner": {"className": owner["className"],
                      "frame": {key: rounded(value) for key, value in visible.items()}}}


def generate(name, mockup=None, bundle=None, scale=SCALE, jpeg=False):
    """Renders a mock-up (scripts/examples/NAME.html unless given) into a bundle
    (examples/NAME unless given), at `scale` pixels a point, through JPEG when asked."""
    mockup = mockup or MOCKUPS / f"{name}.html"
    bundle = bundle or EXAMPLES / name
    bundle.mkdir(parents=True, exist_ok=True)
    screenshot(mockup, bundle / "screenshot.png", scale, jpeg)

    measured = measure(name, mockup)
    capture = capture_from(measured["records"], name, scale)
    settings = measured["records"][0].get("settings")
    if settings is not None:
        # The scripted Settings application, and the application measured once
        # more with the user's text size larger (--text-scale 1.3).
        larger = measure(name, mockup, LARGER_TEXT_STYLE)
        after = capture_from(larger["records"], name, scale)
        (bundle / "after-larger-text.json").write_text(
            json.dumps({"root": after["root"], "elements": after["elements"]}, indent=2, ensure_ascii=False) + "\n",
            encoding="utf-8")
        capture["settings"] = {"labels": [label for label in settings.split("|") if label],
                               "sliderValue": measured["records"][0].get("sliderValue"),
                               "afterLargerText": "after-larger-text.json"}
    (bundle / "capture.json").write_text(json.dumps(capture, indent=2, ensure_ascii=False) + "\n", encoding="utf-8")
    truth = {"scale": scale}
    # The languages of the page's text, for Tesseract ("jpn+eng"); English when absent.
    if measured["records"][0].get("languages"):
        truth["languages"] = measured["records"][0]["languages"]
    truth["lines"] = [dict(
        {"text": line["text"], "fontSize": line["fontSize"],
         "box": {key: rounded(value * scale) for key, value in line["box"].items()}},
        **owner_of(line))
        for line in measured["lines"]]
    (bundle / "text-lines.json").write_text(json.dumps(truth, indent=2, ensure_ascii=False) + "\n", encoding="utf-8")
    print(f"{bundle.relative_to(ROOT) if bundle.is_relative_to(ROOT) else bundle}: {len(capture['elements'])} elements, {len(truth['lines'])} text lines")


def main():
    names = sys.argv[1:] or sorted(path.stem for path in MOCKUPS.glob("*.html") if not path.stem.startswith("."))
    for name in names:
        generate(name)


if __name__ == "__main__":
    main()
