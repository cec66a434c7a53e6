#!/usr/bin/python3
"""chords-steps' lesson page (--html) in headless Chromium.

    lesson_page_browser.py CHORDS_STEPS [--tools DIR]
    lesson_page_browser.py --page FILE [--tools DIR]

The first form writes the page of chords-steps 0 1 0.0001 100 (six chords)
and checks it; the second checks a page written beforehand. DIR is the
node_modules folder that holds axe-core and vnu-jar (make test-browser
installs them in build/browser-tools). Needs Debian's chromium,
chromium-driver, python3-selenium and a Java runtime.
"""
import argparse
import base64
import html.parser
import json
import pathlib
import re
import subprocess
import sys
import tempfile
import time

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.actions.action_builder import ActionBuilder
from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys
from selenium.common.exceptions import WebDriverException

ROOT = pathlib.Path(__file__).resolve().parent.parent
ARGS = ["0", "1", "0.0001", "100"]
CHORDS = 6  # chords-steps 0 1 0.0001 100 draws six chords
CHROMIUM_FLAGS = ["--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
                  "--disable-background-networking", "--disable-component-update", "--disable-sync",
                  "--window-size=1280,1000"]
BUTTONS = ["first", "prev", "play", "next", "last"]


class Fault(Exception):
    pass


def expect(condition, message):
    if not condition:
        raise Fault(message)


# The step as the page shows it: which rows and groups are current, which
# groups are drawn, the fragment and the position text.
STATE_JS = """
const drawn = e => { const s = getComputedStyle(e);
  if (s.visibility === 'hidden') return false;
  for (; e; e = e.parentElement) if (getComputedStyle(e).display === 'none') return false;
  return true; };
const n = e => +e.getAttribute('data-chord');
const rows = [...document.querySelectorAll('#chords tr[data-chord]')];
const groups = [...document.querySelectorAll('#picture g.step')];
return {
  rows: rows.map(n), groups: groups.map(n),
  current: rows.filter(r => r.classList.contains('current')).map(n),
  aria: [...document.querySelectorAll('[aria-current]')].map(e => [n(e), e.getAttribute('aria-current')]),
  drawn: groups.filter(drawn).map(n),
  current_groups: groups.filter(g => g.classList.contains('current')).map(n),
  rows_drawn: rows.filter(drawn).map(n),
  says: [...document.querySelectorAll('#panel [data-chord]')].filter(drawn).map(n),
  // What waits for a step: [that step, shown]; the picture's result waits
  // for the last step, its fixed end for the first.
  waiting: [...[...document.querySelectorAll('[data-from]')].map(e => [+e.getAttribute('data-from'), e]),
            ...[...document.querySelectorAll('#picture g.result')].map(e => [rows.length ? n(rows[rows.length - 1]) : 0, e]),
            ...[...document.querySelectorAll('#picture g.fixed')].map(e => [1, e])].map(([s, e]) => [s, drawn(e)]),
  hash: location.hash,
  position: (document.getElementById('position') || {}).textContent || '',
};
"""


def state(driver):
    return driver.execute_script(STATE_JS)


def position(s):
    """The step and the count that #position names ("Хорда 3 из 6")."""
    numbers = [int(n) for n in re.findall(r"\d+", s["position"])]
    expect(len(numbers) >= 2, f"#position names no step: {s['position']!r}")
    return numbers[:2]


def step_of(s):
    return position(s)[0]


def expect_step(driver, step, count, what, hashes=None, everything=False):
    """Everything the page shows agrees on STEP: position, rows and groups up
    to it, its panel, the result only at the last step, fragment."""
    s = state(driver)
    shown = f"{what}: expected step {step}, the page shows {json.dumps(s, ensure_ascii=False)}"
    expect(position(s) == [step, count], shown)
    expect(s["current"] == ([step] if step in s["rows"] else []), shown)
    expect(s["aria"] == ([[step, "step"]] if step in s["rows"] else []), shown)
    expect(s["drawn"] == [g for g in s["groups"] if everything or g <= step], shown)
    expect(s["rows_drawn"] == [r for r in s["rows"] if everything or r <= step], shown)
    expect(s["current_groups"] == ([step] if step in s["groups"] else []), shown)
    expect(s["says"] == [step], shown)
    expect(s["waiting"] and all(shown_ == (everything or at <= step) for at, shown_ in s["waiting"]), shown)
    expect(s["hash"] in (hashes or [f"#{step}"]), shown)


class ResourceParser(html.parser.HTMLParser):
    """Every address the markup would load: src-like attributes, link hrefs, CSS url()."""
    LOADS = {"src", "srcset", "poster", "data", "href", "xlink:href", "background"}

    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.found, self.in_style = [], False

    def handle_starttag(self, tag, attrs):
        self.in_style = tag == "style"
        for name, value in attrs:
            if value is None:
                continue
            if name in self.LOADS and tag != "a":
                self.found += [(tag, name, v.strip().split(" ")[0]) for v in value.split(",")]
            if name == "style":
                self.css(tag, value)

    def handle_endtag(self, tag):
        self.in_style = False

    def handle_data(self, data):
        if self.in_style:
            self.css("style", data)

    def css(self, tag, text):
        for address in re.findall(r"""url\(\s*['"]?([^'")\s]*)|@import\s+['"]([^'"]*)""", text):
            self.found.append((tag, "css", address[0] or address[1]))


def check_structure(page_text, session, count):
    expect(re.match(r"(?i)<!DOCTYPE html>", page_text.lstrip("\ufeff")), "the page does not start with <!DOCTYPE html>")
    expect(re.search(r"(?i)<meta charset=\"?utf-8\"?>", page_text[:1024]), "no <meta charset=\"utf-8\"> at the page's top")
    parser = ResourceParser()
    parser.feed(page_text)
    outside = [f"<{tag} {name}={address!r}>" for tag, name, address in parser.found
               if address and not address.startswith(("#", "data:"))]
    expect(not outside, "the markup loads other files: " + ", ".join(outside))
    d = session.driver
    facts = d.execute_script("""return {lang: document.documentElement.lang, charset: document.characterSet,
        title: document.title.trim(), picture: !!document.querySelector('svg#picture'),
        summary: (document.querySelector('section#summary') || {}).textContent || '',
        controls: !!document.querySelector('nav#controls #position')}""")
    expect(facts["lang"] == "ru", f"<html lang> is {facts['lang']!r}, not 'ru'")
    expect(facts["charset"] == "UTF-8" and facts["title"], f"charset or title missing: {facts}")
    expect(facts["picture"], "no inline <svg id=\"picture\">")
    expect(facts["summary"].strip(), "no <section id=\"summary\"> with text")
    expect(facts["controls"], "no #position inside <nav id=\"controls\">")
    for button in BUTTONS:
        name = d.find_element(By.CSS_SELECTOR, f"#controls button#{button}").accessible_name
        expect(re.search("[а-яё]", name, re.I), f"button #{button} has no Russian name (it is {name!r})")
    s = state(d)
    expect(s["rows"] and s["rows"] == sorted(set(s["rows"])) and s["rows"][0] == 1, f"rows out of order: {s['rows']}")
    expect(s["groups"] == s["rows"], f"picture groups {s['groups']} differ from table rows {s['rows']}")
    expect(count is None or s["rows"] == list(range(1, count + 1)), f"expected chords 1..{count}, rows are {s['rows']}")
    return "doctype, charset, lang, title, inline picture, Russian button names, rows and groups 1.." + str(s["rows"][-1])


def check_stepping(url, session, count):
    d = session.driver
    keys = ActionChains(d)

    def press(*ks):
        for k in ks:
            keys.send_keys(k).perform()

    def click(button):
        d.find_element(By.ID, button).click()

    # Opened without a fragment, the lesson stands at step 0: the interval
    # and the question, nothing found yet.
    expect_step(d, 0, count, "opened without a fragment", ["", "#0"])
    press(Keys.END)
    expect_step(d, count, count, "End")
    press(Keys.ARROW_RIGHT)
    expect_step(d, count, count, "ArrowRight on the last step")
    press(Keys.ARROW_LEFT, Keys.ARROW_LEFT)
    expect_step(d, max(0, count - 2), count, "End, ArrowLeft twice")
    press(Keys.HOME)
    expect_step(d, 0, count, "Home")
    press(Keys.ARROW_LEFT)
    expect_step(d, 0, count, "ArrowLeft on step 0")
    press(Keys.ARROW_RIGHT)
    expect_step(d, 1, count, "Home, ArrowRight")
    # Show all, by the key and by the button, and back to the step.
    press("a")
    expect_step(d, 1, count, "A on step 1", everything=True)
    press("a")
    expect_step(d, 1, count, "A twice on step 1")
    click("all")
    expect_step(d, 1, count, "#all", everything=True)
    expect(d.find_element(By.ID, "all").get_attribute("aria-pressed") == "true", "#all is not pressed")
    click("all")
    click("last")
    expect_step(d, count, count, "#last")
    click("prev")
    click("prev")
    expect_step(d, max(0, count - 2), count, "#last, #prev twice")
    click("first")
    expect_step(d, 0, count, "#first")
    click("next")
    expect_step(d, min(1, count), count, "#first, #next")
    # Keys still step with the focus on a button.
    press(Keys.ARROW_RIGHT)
    expect_step(d, min(2, count), count, "ArrowRight with the focus on #next")
    # The current row is scrolled into view inside the table's own box, the
    # box made three rows high.
    d.execute_script("document.querySelector('.scroll').style.maxHeight = '6em'")
    for key, step in ((Keys.END, count), (Keys.HOME, 0), (Keys.ARROW_RIGHT, 1), (Keys.END, count)):
        press(key)
        inside = d.execute_script("""const row = document.querySelector('#chords tr.current');
            if (!row) return true;
            const r = row.getBoundingClientRect(), b = row.closest('.scroll').getBoundingClientRect();
            return r.top >= b.top - 1 && r.bottom <= b.bottom + 1;""")
        expect(inside, f"the current row of step {step} is outside its box")
    d.execute_script("document.querySelector('.scroll').style.maxHeight = ''")

    # Play from the first step, by the button and then by Space. Space with
    # the focus on #play pauses once, and does not toggle twice.
    def played(start_with):
        click("first")
        if start_with == "space":
            d.execute_script("document.activeElement.blur()")
            press(Keys.SPACE)
        else:
            click("play")
        time.sleep(2.3)
        step = step_of(state(d))
        expect(1 <= step <= 3, f"2.3 s after play ({start_with}) from step 0 the page is at step {step}, "
                               "not one step a second")
        press(Keys.SPACE)
        paused = step_of(state(d))
        time.sleep(1.5)
        expect_step(d, paused, count, f"paused by Space ({start_with}) 1.5 s before")

    played("button")
    played("space")

    d.get("about:blank")
    d.get(url + "#3")
    expect_step(d, min(3, count), count, "opened at #3")
    for fragment in ["#0", f"#{count + 1}", "#x"]:
        d.get("about:blank")
        d.get(url + fragment)
        step = step_of(state(d))
        expect(0 <= step <= count, f"opened at {fragment} the page shows step {step}")
        expect_step(d, step, count, f"opened at {fragment}", [fragment, f"#{step}"])
    return "step 0 first, keys, buttons, show all, play and pause, fragments, the current row in view"


def check_without_script(url, session):
    d = session.driver
    d.get(url + "#2")
    s = state(d)
    expect(s["rows_drawn"] == s["rows"], f"without script rows {s['rows_drawn']} of {s['rows']} are shown")
    expect(s["drawn"] == s["groups"], f"without script groups {s['drawn']} of {s['groups']} are drawn")
    expect(all(shown for _, shown in s["waiting"]) and not s["says"],
           f"without script the result is hidden or the step's panel shown: {s['waiting']}, {s['says']}")
    return f"all {len(s['rows'])} rows, {len(s['groups'])} groups and the result shown"


def check_axe(url, session, axe_js):
    d = session.driver
    d.get(url)
    d.execute_script(axe_js)
    d.set_script_timeout(60)
    result = d.execute_async_script("""const done = arguments[arguments.length - 1];
        axe.run(document, {runOnly: {type: 'tag', values: ['wcag2a', 'wcag2aa']}})
           .then(r => done({version: axe.version, violations: r.violations}), e => done({error: String(e)}));""")
    expect("error" not in result, f"axe-core failed: {result.get('error')}")
    bad = [v for v in result["violations"] if v["impact"] in ("serious", "critical")]
    report = []
    for v in bad:
        report.append(f"  {v['impact']} {v['id']}: {v['help']}")
        for node in v["nodes"][:5]:
            why = " ".join(node.get("failureSummary", "").split("\n")[1:]).strip()
            report.append(f"    {' '.join(map(str, node['target']))}: {why}")
    expect(not bad, "axe-core " + result["version"] + " finds:\n" + "\n".join(report))
    minor = sorted({v["id"] for v in result["violations"]})
    return f"axe-core {result['version']}: no serious or critical violation" + (f" (lesser: {', '.join(minor)})" if minor else "")


# A phone's screen, which the page must fit: only the table's own box may be
# wider, and scrolls sideways inside it. A page wider than a mobile viewport
# widens the viewport to fit (innerWidth follows it), hence the fixed width.
PHONE = {"width": 390, "height": 844, "deviceScaleFactor": 3, "mobile": True}
PROJECTOR = {"width": 1280, "height": 800, "deviceScaleFactor": 1, "mobile": False}
WIDE_JS = """
const width = arguments[0];
let box = document.querySelector('#chords');
while (box && !['auto', 'scroll'].includes(getComputedStyle(box).overflowX)) box = box.parentElement;
const name = e => e.tagName.toLowerCase() + (e.id ? '#' + e.id : '')
  + [...e.classList].map(c => '.' + c).join('');
// Text beyond its element's box counts too: a word too long for a line.
const range = document.createRange(), walker = document.createTreeWalker(document.body, NodeFilter.SHOW_TEXT);
const texts = [];
for (let t; (t = walker.nextNode());) texts.push(t);
const right = n => { if (n.nodeType === 1) return n.getBoundingClientRect().right;
  range.selectNodeContents(n); return range.getBoundingClientRect().right; };
return {inner: innerWidth, scroll: document.documentElement.scrollWidth, box: !!box,
  wide: [...document.querySelectorAll('body, body *'), ...texts].filter(n => !(box && box.contains(n)))
    .map(n => [n.nodeType === 1 ? name(n) : 'text in ' + name(n.parentElement), Math.round(right(n))])
    .filter(([, r]) => r > width + 1)};
"""
# An equation too long for a line, as a typed one may be: in the heading, the
# summary and the lines under the heading.
LONG_WORDS_JS = "document.querySelectorAll('h1, p, dd').forEach(e => e.append(' ' + 'x*'.repeat(60) + 'x'));"


def check_width(url, session, metrics):
    """At METRICS' width nothing but the table's box is wider than the window."""
    d = session.driver
    d.execute_cdp_cmd("Emulation.setDeviceMetricsOverride", metrics)
    try:
        d.get(url)
        page = d.execute_script(WIDE_JS, metrics["width"])
        d.execute_script(LONG_WORDS_JS)
        long_words = d.execute_script(WIDE_JS, metrics["width"])
    finally:
        d.execute_cdp_cmd("Emulation.clearDeviceMetricsOverride", {})
    width = metrics["width"]
    expect(page["box"], "the table is not inside a horizontally scrolling box")
    for what, page in (("", page), (" with words too long for a line", long_words)):
        wide = sorted({f"{n} to {r} px" for n, r in page["wide"]})
        expect(page["inner"] == width and page["scroll"] <= width and not wide,
               f"at {width} px{what} the page is {page['scroll']} px wide (innerWidth {page['inner']}); "
               "beyond the screen: " + (", ".join(wide) or "nothing"))
    return f"at {width} px, long words too, only the table's box is wider than the screen"


# A4's printable width at 96 CSS px an inch, with the page's 12 mm margins.
A4_WIDTH = {"portrait": round((210 - 24) / 25.4 * 96), "landscape": round((297 - 24) / 25.4 * 96)}
PRINTED_JS = """
const shown = e => { for (; e; e = e.parentElement) if (getComputedStyle(e).display === 'none') return false; return true; };
const table = document.querySelector('#chords');
return {hidden: [...document.querySelectorAll('#chords tr, #picture g.step, #picture g.result, #summary [data-from]')]
          .filter(e => !shown(e)).length,
        extra: ['#controls', '#panel'].filter(s => shown(document.querySelector(s))),
        right: table.getBoundingClientRect().right, scroll: document.documentElement.scrollWidth,
        smallest: Math.min(...[...table.querySelectorAll('td, th')].map(c => parseFloat(getComputedStyle(c).fontSize)))};
"""


def check_print(url, session, page_text):
    """Printed at step 0, the handout has every step, row and result, and
    the table fits A4's width in 8 pt type or larger."""
    d = session.driver
    orientation = "landscape" if "size: A4 landscape" in page_text else "portrait"
    width = A4_WIDTH[orientation]
    d.get(url + "#0")
    d.execute_cdp_cmd("Emulation.setEmulatedMedia", {"media": "print"})
    d.execute_cdp_cmd("Emulation.setDeviceMetricsOverride",
                      {"width": width, "height": 1000, "deviceScaleFactor": 1, "mobile": False})
    try:
        printed = d.execute_script(PRINTED_JS)
    finally:
        d.execute_cdp_cmd("Emulation.clearDeviceMetricsOverride", {})
        d.execute_cdp_cmd("Emulation.setEmulatedMedia", {"media": ""})
    expect(printed["hidden"] == 0, f"{printed['hidden']} rows, steps or results are not printed")
    expect(not printed["extra"], f"printed: {printed['extra']}")
    expect(printed["right"] <= width + 1 and printed["scroll"] <= width,
           f"the printed table reaches {printed['right']:.0f} px, the page {printed['scroll']} px, "
           f"of A4 {orientation}'s {width}")
    expect(printed["smallest"] >= 8 * 96 / 72 - 0.01, f"the printed table has {printed['smallest']} px type, under 8 pt")
    pdf = d.execute_cdp_cmd("Page.printToPDF", {"preferCSSPageSize": True})
    expect(pdf["data"].startswith("JVBERi0"), "printing to PDF gave no PDF")
    return f"A4 {orientation}: every row, step and result, the table within {width} px, type {printed['smallest']:.1f} px"


# The form's fields by the option that fills them; the numbers in order.
FIELDS = {"--equation": "equation", "--method": "method", "--precision": "precision", "--stop": "stop",
          "--x0": "x0", "--phi": "phi"}
NUMBERS = ["xib", "xie", "eps", "limit"]
RUN_JS = """
const [values, before] = arguments;
const form = document.getElementById('compute');
for (const [name, value] of Object.entries(values)) form.elements[name].value = value;
form.dispatchEvent(new Event('input', {bubbles: true}));
"""
# The link's bytes once the run after BEFORE has given it, in base64.
CSV_JS = """
const [before, done] = arguments;
const started = Date.now();
(function wait() {
  const link = document.getElementById('csv');
  if (link.href !== before && !link.hidden) {
    fetch(link.href).then(r => r.arrayBuffer()).then(b => {
      let s = ''; new Uint8Array(b).forEach(c => s += String.fromCharCode(c)); done({href: link.href, csv: btoa(s)}); });
  } else if (Date.now() - started > 20000) done({href: link.href, csv: null});
  else setTimeout(wait, 20);
})();
"""


def form_values(args):
    values = {name: "" for name in list(FIELDS.values()) + NUMBERS}
    values["method"] = "chords"
    numbers = []
    i = 0
    while i < len(args):
        if args[i] in FIELDS:
            values[FIELDS[args[i]]] = args[i + 1]
            i += 1
        elif not args[i].startswith("--"):
            numbers.append(args[i])
        i += 1
    values.update(zip(NUMBERS, numbers))
    return values


def compute(d, args, before):
    d.execute_script(RUN_JS, form_values(args), before)
    d.set_script_timeout(30)
    return d.execute_async_script(CSV_JS, before)


def check_computing(url, session, tables):
    """The page reruns the program itself: each CSV case of the cross-platform
    set, typed into the form, gives the golden file's bytes through «Скачать
    CSV»; a faulty expression its message with the caret; an end dragged on
    the picture a new run."""
    d = session.driver
    d.get(url)
    started = time.monotonic()
    while d.execute_script("return document.getElementById('app').hidden"):
        expect(time.monotonic() - started < 20, "the form did not appear within 20 s")
        time.sleep(0.05)
    href = d.execute_script("return document.getElementById('csv').href")
    cases = 0
    for line in (tables / "cases.txt").read_text(encoding="utf-8").splitlines():
        name, *words = line.split()
        if not name.endswith(".csv"):
            continue
        result = compute(d, [w.replace("_", " ") for w in words], href)
        expect(result["csv"] is not None, f"{name}: no CSV after the form changed")
        expect(base64.b64decode(result["csv"]) == (tables / name).read_bytes(), f"{name}: the page's CSV differs")
        href, cases = result["href"], cases + 1
    d.execute_script(RUN_JS, form_values(["--equation", "x^2 - 2 +", "0", "2", "1e-9", "50"]), href)
    time.sleep(0.5)
    fault = d.execute_script("return document.getElementById('fault').textContent")
    expect("x^2 - 2 +\n" in fault and fault.rstrip().endswith("^"), f"a faulty expression shows {fault!r}")
    # The end Xib dragged 100 pixels of the picture's own to the right.
    result = compute(d, ["0", "1", "0.0001", "100"], href)
    grab = d.execute_script("""const svg = document.getElementById('picture');
        const [low, high, left, right] = svg.getAttribute('data-frame').split(' ').map(Number);
        const at = p => { const q = svg.createSVGPoint(); q.x = p; q.y = 300; return q.matrixTransform(svg.getScreenCTM()); };
        const from = at(left - low / (high - low) * (right - left)), to = at(left + (0.25 - low) / (high - low) * (right - left));
        return [from.x, from.y, to.x, to.y];""")
    pointer = ActionBuilder(d)
    pointer.pointer_action.move_to_location(int(grab[0]), int(grab[1])).pointer_down()
    pointer.pointer_action.move_to_location(int((grab[0] + grab[2]) / 2), int(grab[1]))
    pointer.pointer_action.move_to_location(int(grab[2]), int(grab[3])).pointer_up()
    pointer.perform()
    time.sleep(0.5)
    xib = float(d.execute_script("return document.getElementById('compute').elements.xib.value"))
    heading = d.execute_script("return document.querySelector('#run p').textContent")
    expect(0.2 < xib < 0.3 and f"Xib = {xib:g}" in heading, f"dragged to 0.25, Xib is {xib}: {heading!r}")
    return f"{cases} CSVs of the cross-platform set byte for byte, the caret under a fault, Xib dragged to {xib:g}"


class Session:
    """One headless Chromium, whose requests and console are checked when it closes."""

    def __init__(self, profile, page_path, javascript=True):
        options = webdriver.ChromeOptions()
        options.binary_location = "/usr/bin/chromium"
        for flag in CHROMIUM_FLAGS + [f"--user-data-dir={profile}"]:
            options.add_argument(flag)
        options.set_capability("goog:loggingPrefs", {"performance": "ALL", "browser": "ALL"})
        if not javascript:
            options.add_experimental_option("prefs", {"profile.managed_default_content_settings.javascript": 2})
        self.page = page_path.as_uri()
        self.driver = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
        self.requests, self.console = [], []

    def collect(self):
        for entry in self.driver.get_log("performance"):
            message = json.loads(entry["message"])["message"]
            if message["method"] == "Network.requestWillBeSent":
                self.requests.append(message["params"]["request"]["url"])
        for entry in self.driver.get_log("browser"):
            if entry["level"] == "SEVERE" and entry["message"] not in self.console:
                self.console.append(entry["message"])

    def close(self):
        try:
            self.collect()
        finally:
            self.driver.quit()
        foreign = sorted({u for u in self.requests
                          if u.split("#")[0] != self.page
                          and not u.startswith(("data:", "blob:", "about:", "chrome:", "chrome-untrusted:"))})
        return foreign, self.console


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("chords_steps", nargs="?", help="the chords-steps program")
    parser.add_argument("--page", type=pathlib.Path, help="check this page instead of writing one")
    parser.add_argument("--tools", type=pathlib.Path, default=ROOT / "build/browser-tools/node_modules")
    parser.add_argument("--tables", type=pathlib.Path, default=ROOT / "tests/typed_tables",
                        help="the cross-platform set a page that computes is checked with")
    args = parser.parse_args()
    if (args.chords_steps is None) == (args.page is None):
        parser.error("give either CHORDS_STEPS or --page FILE")
    axe_path = args.tools / "axe-core/axe.min.js"
    vnu_path = args.tools / "vnu-jar/build/dist/vnu.jar"
    for tool in (axe_path, vnu_path):
        if not tool.is_file():
            sys.exit(f"{tool} is missing: npm install --prefix {args.tools.parent} --ignore-scripts axe-core vnu-jar")

    started = time.monotonic()
    with tempfile.TemporaryDirectory(prefix="lesson-page-") as tmp:
        tmp = pathlib.Path(tmp)
        if args.page:
            page, count = args.page.resolve(), None
        else:
            page, count = tmp / "page.html", CHORDS
            run = subprocess.run([args.chords_steps, *ARGS, "--html", str(page)], capture_output=True, text=True)
            if run.returncode != 0 or not page.is_file():
                sys.exit(f"chords-steps {' '.join(ARGS)} --html {page} exited {run.returncode}:\n{run.stderr}")
        page_text = page.read_text(encoding="utf-8")
        url = page.as_uri()
        # The checker's Java start-up overlaps the browser checks.
        vnu = subprocess.Popen(["java", "-jar", str(vnu_path), "--errors-only", str(page)],
                               stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)

        results = []

        def group(name, body, *body_args):
            try:
                results.append((name, True, body(*body_args)))
            except Fault as fault:
                results.append((name, False, str(fault)))
            except WebDriverException as fault:  # a control or element the page lacks
                results.append((name, False, fault.msg))
            print(("ok    " if results[-1][1] else "FAIL  ") + f"{name}: {results[-1][2]}", flush=True)

        for javascript in (True, False):
            session = Session(tmp / f"profile-{javascript}", page, javascript)
            try:
                session.driver.get(url)
                if javascript:
                    found = count or max(state(session.driver)["rows"] or [0])
                    group("structure", check_structure, page_text, session, count)
                    group("stepping", check_stepping, url, session, found)
                    group("accessibility", check_axe, url, session, axe_path.read_text(encoding="utf-8"))
                    group("phone width", check_width, url, session, PHONE)
                    group("projector width", check_width, url, session, PROJECTOR)
                    group("print", check_print, url, session, page_text)
                    if 'id="app"' in page_text:
                        group("computing", check_computing, url, session, args.tables)
                else:
                    group("without script", check_without_script, url, session)
            finally:
                foreign, console = session.close()

            def clean(foreign=foreign, console=console):
                expect(not foreign, "requests beyond the page: " + ", ".join(foreign))
                expect(not console, "console errors:\n  " + "\n  ".join(console))
                return "no request beyond the page, no console error"

            group("self-contained, script " + ("on" if javascript else "off"), clean)

        output = vnu.communicate()[0].strip()

        def validator():
            expect(vnu.returncode == 0 and not output, f"the Nu Html Checker (exit {vnu.returncode}) finds:\n{output}")
            return "the Nu Html Checker finds no error"

        group("valid HTML", validator)

    failed = sum(1 for r in results if not r[1])
    print(f"{len(results) - failed} passed, {failed} failed ({time.monotonic() - started:.1f} s)")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
