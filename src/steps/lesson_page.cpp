#include "steps/lesson_page.h"

#include <algorithm>

#include "text/number_format.h"
#include "text/text_codec.h"
#include "dialog/report.h"
#include "steps/picture.h"
#include "steps/table.h"
#include "steps/method_texts.h"
#include "steps/texts.h"

std::string stopReason(const WalkEnd& end, bool full) {
    if (end.found) {
        const CatalogueText& rule = end.stop == StopRule::Residual ? TextPageStopAccuracy
                                    : end.stop == StopRule::Step   ? TextPageStopStep
                                                                   : TextPageStopRelative;
        return text(rule) + std::to_string(end.chords);
    }
    if (end.idleLast > 0) {
        return idleRow(end.idleFirst, end.idleLast, full && end.idleFlagged);
    }
    if (end.lastUndefined) {
        return text(TextUndefinedAtX);
    }
    if (end.lastPole) {
        return text(TextPoleNotRoot);
    }
    if (end.lastNoChord) {
        return text(TextNoChord);
    }
    return text(TextPageStopLimit) + std::to_string(end.limit);
}

std::string escapedPageText(std::string_view text) {
    std::string html;
    for (const char c : text) {
        html += c == '&' ? "&amp;" : c == '<' ? "&lt;" : c == '>' ? "&gt;" : c == '"' ? "&quot;" : std::string(1, c);
    }
    return html;
}

std::string pageText(const std::string& cp1251) {
    return escapedPageText(cp1251ToUtf8(cp1251));
}

std::string pageText(const CatalogueText& cp1251) {
    return pageText(std::string(cp1251.data()));
}

namespace {

// On a screen the picture and the step's panel share the first row and the
// table's box scrolls both ways below them; a narrow screen stacks them.
// Printed, every step, row and result shows, the table at 8 pt folds its
// long numbers between digit groups to fit the page's width.
const char* const PageStyle = R"(
body { font-family: "DejaVu Sans", Arial, sans-serif; margin: 1rem; color: #111; background: #fff;
       overflow-wrap: anywhere; }
h1 { font-size: 1.4rem; margin: 0 0 .5rem; }
h2 { font-size: 1.15rem; margin: .8rem 0 .3rem; }
.stage { display: grid; grid-template-columns: minmax(0, 3fr) minmax(0, 2fr); gap: 1rem; align-items: start; }
figure { margin: 0; }
svg { width: 100%; height: auto; max-height: 75vh; }
nav { margin: .5rem 0; display: flex; flex-wrap: wrap; gap: .4rem; align-items: center; }
nav[hidden], aside[hidden] { display: none; }
button { font-size: 1rem; padding: .3rem .7rem; }
button[aria-pressed="true"] { background: #333; color: #fff; }
#position { font-weight: bold; margin-left: .5rem; }
#panel { font-size: 1.3rem; line-height: 1.4; border-left: 4px solid #e0a800; padding: 0 0 0 .8rem; }
#panel p { margin: 0 0 .5rem; }
#panel .what { font-weight: bold; }
.scroll { overflow: auto; max-height: 70vh; }
table { border-collapse: collapse; font-size: .85rem; font-variant-numeric: tabular-nums; }
thead th { position: sticky; top: 0; background: #fff; }
th, td { border: 1px solid #bbb; padding: .15rem .35rem; text-align: right; white-space: nowrap; }
td.long { white-space: normal; overflow-wrap: normal; }
.g { padding-left: .18em; }
td.note { text-align: left; }
tr.gap td, tr.idle td { text-align: left; font-style: italic; }
tr.flagged td.note { color: #8a1c5a; }
tr.current { background: #ffe38a; outline: 2px solid #000; }
dl { display: grid; grid-template-columns: max-content 1fr; gap: .2rem .8rem; margin: 0; }
dl > div { display: contents; }
dt { font-weight: bold; }
dd { margin: 0; }
.lesson p { margin: .2rem 0; }
#app { margin: .5rem 0; border: 1px solid #bbb; padding: .4rem .8rem; }
#app summary { font-weight: bold; cursor: pointer; }
#compute { display: flex; flex-wrap: wrap; gap: .4rem 1rem; align-items: end; }
#compute label { display: flex; flex-direction: column; font-size: .9rem; max-width: 100%; min-width: 0; }
#compute input, #compute select { font: inherit; font-size: 1rem; max-width: 100%; box-sizing: border-box; }
#compute input { width: 10em; }
#compute label:first-child { flex-basis: 100%; }
#compute label:first-child input { width: 100%; font-family: "DejaVu Sans Mono", monospace; }
#fault { flex-basis: 100%; margin: 0; color: #8a1c5a; overflow-x: auto; }
#fault:empty { display: none; }
@media screen { .later { display: none !important; } }
@media (max-width: 900px) {
  .stage, dl { display: block; }
  #panel { font-size: 1.1rem; margin-top: .5rem; }
  dd { margin: 0 0 .4rem; }
}
@media print {
  @page { size: A4; margin: 12mm; }
  nav, #panel, #app { display: none !important; }
  .stage { display: block; }
  svg { max-height: 140mm; }
  figure { break-inside: avoid; }
  table { font-size: 8pt; }
  td.note { white-space: normal; min-width: 8em; }
  tr { break-inside: avoid; }
  tr.current { background: none; outline: none; }
  .scroll { overflow: visible; max-height: none; }
}
)";

// The lesson unfolds: opened without a fragment it stands at step 0, the
// interval and the question; each step shows its row, its lines in the
// picture and its panel, and what the walk found waits for the last step.
// "Show all" (or the A key) reveals everything at once. Without the script
// everything shows, as when printed.
const char* const PageScript = R"(
(function () {
  "use strict";
  function all(selector) { return Array.prototype.slice.call(document.querySelectorAll(selector)); }
  var lesson = null;
  // The stepping of the run shown; null where it has no rows. OPENING, when
  // given, is the step and the show-all state a recomputed run keeps.
  function start(opening) {
  var rows = all("#chords tr[data-chord]");
  if (rows.length === 0) { return null; }
  var steps = [0].concat(rows.map(function (row) { return Number(row.getAttribute("data-chord")); }));
  var groups = all("#picture g.step, #picture g.magnified");
  var last = steps[steps.length - 1];
  var after = all("[data-from]").map(function (e) { return [e, Number(e.getAttribute("data-from"))]; })
    .concat(all("#picture g.fixed").map(function (e) { return [e, 1]; }))
    .concat(all("#picture g.result").map(function (e) { return [e, last]; }))
    .concat(all("#picture g.inset").map(function (e) {
      var first = e.querySelector("g.magnified");
      return [e, first ? Number(first.getAttribute("data-chord")) : last];
    }));
  var says = all("#panel [data-chord]");
  var position = document.getElementById("position");
  var play = document.getElementById("play");
  var everything = document.getElementById("all");
  var at = 0;
  var timer = null;
  var shownAll = false;
  function indexOf(step) {
    for (var i = 0; i < steps.length; i++) {
      if (steps[i] >= step) { return i; }
    }
    return steps.length - 1;
  }
  // The current row inside the table's own box, which alone scrolls.
  function reveal(row) {
    var box = row.closest(".scroll");
    var head = box.querySelector("thead");
    var top = box.getBoundingClientRect().top + (head ? head.getBoundingClientRect().height : 0);
    var place = row.getBoundingClientRect();
    if (place.top < top) { box.scrollTop -= top - place.top; }
    else if (place.bottom > box.getBoundingClientRect().bottom) {
      box.scrollTop += place.bottom - box.getBoundingClientRect().bottom;
    }
  }
  function show(index, remember) {
    at = Math.max(0, Math.min(steps.length - 1, index));
    var step = steps[at];
    rows.forEach(function (row) {
      var n = Number(row.getAttribute("data-chord"));
      row.classList.toggle("current", n === step);
      row.classList.toggle("later", n > step && !shownAll);
      if (n === step) { row.setAttribute("aria-current", "step"); reveal(row); } else { row.removeAttribute("aria-current"); }
    });
    groups.forEach(function (group) {
      var n = Number(group.getAttribute("data-chord"));
      group.classList.toggle("later", n > step && !shownAll);
      if (group.classList.contains("step")) { group.classList.toggle("current", n === step); }
    });
    after.forEach(function (pair) { pair[0].classList.toggle("later", pair[1] > step && !shownAll); });
    says.forEach(function (say) { say.hidden = Number(say.getAttribute("data-chord")) !== step; });
    position.textContent = position.getAttribute("data-label") + " " + step + " / " + last;
    if (remember && location.hash !== "#" + step) {
      history.replaceState(null, "", "#" + step);
    }
  }
  function fromHash() {
    var step = parseInt(location.hash.slice(1), 10);
    show(isNaN(step) ? 0 : indexOf(step), false);
  }
  function stop() {
    if (timer !== null) { clearInterval(timer); timer = null; }
    play.textContent = play.getAttribute("data-play");
  }
  function toggle() {
    if (timer !== null) { stop(); return; }
    if (at === steps.length - 1) { show(0, true); }
    play.textContent = play.getAttribute("data-pause");
    timer = setInterval(function () {
      if (at >= steps.length - 1) { stop(); return; }
      show(at + 1, true);
    }, 1000);
  }
  function showAll() {
    shownAll = !shownAll;
    everything.setAttribute("aria-pressed", String(shownAll));
    show(at, false);
  }
  document.getElementById("first").addEventListener("click", function () { stop(); show(0, true); });
  document.getElementById("prev").addEventListener("click", function () { stop(); show(at - 1, true); });
  document.getElementById("next").addEventListener("click", function () { stop(); show(at + 1, true); });
  document.getElementById("last").addEventListener("click", function () { stop(); show(steps.length - 1, true); });
  play.addEventListener("click", toggle);
  everything.addEventListener("click", showAll);
  document.getElementById("controls").hidden = false;
  document.getElementById("panel").hidden = false;
  if (opening) {
    shownAll = opening.shownAll;
    everything.setAttribute("aria-pressed", String(shownAll));
    show(indexOf(opening.step), false);
  } else {
    fromHash();
  }
  return {
    stop: stop,
    fromHash: fromHash,
    state: function () { return { step: steps[at], shownAll: shownAll }; },
    key: function (event) {
      var keys = { ArrowLeft: -1, ArrowRight: 1 };
      if (event.key in keys) { stop(); show(at + keys[event.key], true); }
      else if (event.key === "Home") { stop(); show(0, true); }
      else if (event.key === "End") { stop(); show(steps.length - 1, true); }
      else if (event.key === " ") { toggle(); }
      else if (event.code === "KeyA") { showAll(); }
      else { return; }
      event.preventDefault();
    }
  };
  }
  // Keys step the lesson, but not while a field of the form is typed in.
  document.addEventListener("keydown", function (event) {
    if (!lesson || event.altKey || event.ctrlKey || event.metaKey) { return; }
    if (event.target.closest && event.target.closest("input, select, textarea")) { return; }
    lesson.key(event);
  });
  window.addEventListener("hashchange", function () { if (lesson) { lesson.fromHash(); } });
  window.chordsLesson = function (opening) {
    if (lesson) { lesson.stop(); }
    lesson = start(opening);
  };
  window.chordsLessonState = function () { return lesson ? lesson.state() : null; };
  window.chordsLesson(null);
})();
)";

// The controls; the position names what is stepped through.
std::string controlsOf(const CatalogueText& position) {
    const auto button = [](const char* id, const CatalogueText& label) {
        return std::string("<button type=\"button\" id=\"") + id + "\">" + pageText(label) + "</button>";
    };
    return "<nav id=\"controls\" hidden aria-label=\"" + pageText(TextPageControls) + "\">" +
           button("first", TextPageFirst) + button("prev", TextPagePrevious) +
           "<button type=\"button\" id=\"play\" data-play=\"" + pageText(TextPagePlay) + "\" data-pause=\"" +
           pageText(TextPagePause) + "\">" + pageText(TextPagePlay) + "</button>" + button("next", TextPageNext) +
           button("last", TextPageLast) + "<button type=\"button\" id=\"all\" aria-pressed=\"false\">" +
           pageText(TextPageShowAll) + "</button><span id=\"position\" aria-live=\"polite\" data-label=\"" +
           pageText(position) + "\"></span></nav>\n";
}

// A number of more significant digits than a single value has keeps every
// digit, its fraction in groups of five that a line may break between: a
// double's or an extended value's row then fits a projector, and a printed
// page, at a third of its width. The groups are spaced by style, so that a
// copied number has no blanks in it.
std::string groupedDigits(const std::string& value) {
    const std::size_t point = value.find('.');
    if (point == std::string::npos) {
        return value;
    }
    std::size_t end = point + 1;
    while (end < value.size() && value[end] >= '0' && value[end] <= '9') {
        ++end;
    }
    const std::size_t first = value.find_first_of("123456789");
    if (first >= end || end - first - (first < point ? 1 : 0) <= 10) {
        return value;
    }
    std::string grouped = value.substr(0, point + 6);
    for (std::size_t group = point + 6; group < end; group += 5) {
        grouped += "<wbr><span class=\"g\">" + value.substr(group, std::min<std::size_t>(5, end - group)) + "</span>";
    }
    return grouped + value.substr(end);
}

std::string cell(const std::string& content) {
    const std::string grouped = groupedDigits(content);
    return (grouped.size() == content.size() ? "<td>" : "<td class=\"long\">") + grouped + "</td>";
}

std::string estimateCell(std::optional<double> value) {
    return cell(value ? formatEstimate(value) : "");
}

std::string fromStep(std::uint64_t step) {
    return " data-from=\"" + std::to_string(step) + "\"";
}

std::string rowOf(const PageRow& row) {
    std::string html = "<tr data-chord=\"" + std::to_string(row.number) + "\"" +
                       (row.flagged ? " class=\"flagged\"" : "") + "><th scope=\"row\">" +
                       std::to_string(row.number) + "</th>";
    for (const std::string& value : row.values) {
        html += cell(value);
    }
    html += cell(row.replaced);
    if (row.scale) {
        html += cell(*row.scale);
    }
    return html + estimateCell(row.estimates.step) + estimateCell(row.estimates.ratio) +
           estimateCell(row.estimates.bound) + estimateCell(row.estimates.boundM1) + "<td class=\"note\">" +
           row.note + "</td></tr>\n";
}

// The rows left out between two kept ones, where there are some, shown
// with the row after them.
std::string gapRow(std::uint64_t previous, std::uint64_t number, const std::string& span, const CatalogueText& from) {
    if (previous == 0 || number == previous + 1) {
        return "";
    }
    return "<tr class=\"gap\"" + fromStep(number) + "><td colspan=\"" + span + "\">" + pageText(from) +
           std::to_string(previous + 1) + pageText(TextIdleTo) + std::to_string(number - 1) +
           pageText(TextPageGapLeftOut) + "</td></tr>\n";
}

// The table in its own scrolling box, its rows given as they are written.
template <typename Row, typename WriteRow>
std::string tableOf(const CatalogueText& name, const std::vector<std::string>& columns, const std::vector<Row>& rows,
                    const CatalogueText& gapFrom, WriteRow writeRow) {
    std::string html = "<div class=\"scroll\" tabindex=\"0\" role=\"region\" aria-label=\"" + pageText(name) +
                       "\">\n<table id=\"chords\">\n<thead><tr>";
    for (const std::string& column : columns) {
        html += "<th scope=\"col\">" + column + "</th>";
    }
    html += "</tr></thead>\n<tbody>\n";
    const std::string span = std::to_string(columns.size());
    std::uint64_t previous = 0;
    for (const Row& row : rows) {
        html += gapRow(previous, row.number, span, gapFrom);
        html += writeRow(row);
        previous = row.number;
    }
    return html;
}

std::string tableEnd() {
    return "</tbody>\n</table>\n</div>\n";
}

std::string pictureOf(const std::vector<PageRow>& rows, const PageFacts& facts) {
    PictureDrawing drawing;
    std::string svg = startPicture(drawing, facts.equation, facts.style);
    for (const PageRow& row : rows) {
        svg += pictureChordOf(drawing, row.number, row.chord);
    }
    return svg + finishPicture(drawing, facts.result);
}

std::string item(const CatalogueText& name, const std::string& value, std::uint64_t from = 0) {
    return "<div" + (from > 0 ? fromStep(from) : "") + "><dt>" + pageText(name) + "</dt><dd>" + value + "</dd></div>\n";
}

// The last ratio of steps: the rate at which the error shrinks.
std::string observedRate(const std::vector<PageRow>& rows) {
    for (auto row = rows.rbegin(); row != rows.rend(); ++row) {
        if (row->estimates.ratio) {
            return formatEstimate(row->estimates.ratio) + pageText(TextPageRateAt) + std::to_string(row->number) + ")";
        }
    }
    return "&#8211;";
}

// What the walk ended with, shown from its last step: the report, named
// the dialog's answer only where it is the dialog's, and the last x.
std::string outcomeItems(const PageFacts& facts, std::uint64_t last) {
    std::string html = item(facts.dialogAnswer ? TextPageReport : TextPageOutcome, facts.report, last);
    if (!facts.lastX.empty()) {
        html += item(TextPageLastX, facts.lastX, last);
    }
    return html;
}

std::string summaryOf(const std::vector<PageRow>& rows, const PageFacts& facts, std::uint64_t last) {
    std::string html = "<section id=\"summary\">\n<h2>" + pageText(TextPageSummary) + "</h2>\n<dl>\n";
    html += outcomeItems(facts, last);
    html += item(TextPageChordsDrawn, std::to_string(facts.chords) + "; " + pageText(TextCaptionCounts), last);
    html += item(TextPageStop, facts.stop, last);
    html += item(TextPageFixedEnd, facts.fixedEnd, 1);
    html += item(TextPageBound, facts.bound);
    html += item(TextPageBoundM1, facts.boundM1);
    html += item(TextPageRate, observedRate(rows), last);
    return html + "</dl>\n</section>\n";
}

// A table of many columns or long numbers prints across the page.
std::string pageOpening(const PageFacts& facts, bool wideTable = false) {
    std::string html = "<!DOCTYPE html>\n<html lang=\"ru\">\n<head>\n<meta charset=\"utf-8\">\n"
                       "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
                       "<title>" + facts.title + "</title>\n<style>" + PageStyle +
                       (wideTable ? "@page { size: A4 landscape; }\n" : "") + "</style>\n</head>\n<body>\n";
    // The run's own part, which a page that computes replaces with the next.
    html += facts.appForm + "<div id=\"run\">\n<h1>" + facts.heading + "</h1>\n";
    for (const std::string& line : facts.inputs) {
        html += "<p>" + line + "</p>\n";
    }
    return html;
}

std::string paragraph(const std::string& text, const char* kind = "") {
    return std::string("<p") + (*kind ? std::string(" class=\"") + kind + "\"" : "") + ">" + text + "</p>";
}

// One step's words in the panel, shown at that step only.
std::string say(std::uint64_t step, const std::string& body) {
    return "<div data-chord=\"" + std::to_string(step) + "\" hidden>" + body + "</div>\n";
}

std::string point(const std::string& x, const std::string& f) {
    return "(" + x + "; " + f + ")";
}

// Step 0: the interval, F at its ends and the question the lesson asks.
std::string startSay(const std::string& a, const std::string& b, const std::string& ends,
                     const CatalogueText& question) {
    return say(0, paragraph(pageText(TextSayStart) + a + "; " + b + "]", "what") + ends + paragraph(pageText(question)));
}

// What the last step met, or that the walk goes on.
std::string stopSay(bool last, const PageFacts& facts, const std::string& goOn) {
    return last ? paragraph(pageText(TextSayStopped) + facts.stop) : paragraph(goOn);
}

std::string noteSay(const std::string& note) {
    return note.empty() ? "" : paragraph(pageText(TextColumnNote) + ": " + note);
}

// A chord: its ends, the new x, the end it replaced by the sign rule, and
// whether the stopping test holds.
std::string chordSay(const PageRow& row, bool last, const PageFacts& facts) {
    const std::vector<std::string>& v = row.values;
    std::string body = paragraph(pageText(TextColumnChord) + " " + std::to_string(row.number) +
                                     pageText(TextSayChordThrough) + point("a = " + v[0], "F(a) = " + v[2]) + " и " +
                                     point("b = " + v[1], "F(b) = " + v[3]),
                                 "what") +
                       paragraph("x = " + v[4] + ", F(x) = " + v[5]);
    if (row.replaced == "a" || row.replaced == "b") {
        body += paragraph(pageText(row.replaced == "a" ? TextSayReplacesA : TextSayReplacesB));
    }
    body += stopSay(last, facts, pageText(TextSayRuleNotMet) + facts.rule + pageText(TextSayNextChord));
    return say(row.number, body + noteSay(row.note));
}

std::string chordPanel(const std::vector<PageRow>& rows, const PageFacts& facts) {
    std::string html = "<aside id=\"panel\" hidden aria-live=\"polite\" aria-label=\"" + pageText(TextPageStepPanel) +
                       "\">\n";
    if (!rows.empty()) {
        const std::vector<std::string>& v = rows.front().values;
        html += startSay(v[0], v[1], paragraph("F(a) = " + v[2] + ", F(b) = " + v[3] + ". " + pageText(TextSaySigns)),
                         TextSayChordQuestion);
    }
    for (const PageRow& row : rows) {
        html += chordSay(row, &row == &rows.back(), facts);
    }
    return html + "</aside>\n";
}

std::string stepPanel(const std::vector<StepRow>& rows, const StepsPage& page) {
    std::string html = "<aside id=\"panel\" hidden aria-live=\"polite\" aria-label=\"" + pageText(TextPageStepPanel) +
                       "\">\n" + startSay(page.facts.equation.aText, page.facts.equation.bText, "",
                                          TextSayStepQuestion);
    for (const StepRow& row : rows) {
        std::string body = paragraph(pageText(TextPageStepName) + " " + std::to_string(row.number), "what");
        for (std::size_t i = 0; i < row.cells.size() && i + 1 < page.columns.size(); ++i) {
            body += paragraph(page.columns[i + 1] + " = " + row.cells[i]);
        }
        body += stopSay(&row == &rows.back(), page.facts, pageText(TextSayNextStep));
        html += say(row.number, body + noteSay(row.note));
    }
    return html + "</aside>\n";
}

// The page of a walk: the heading and inputs, the controls, the picture
// beside the step's panel, the table, then the summary.
std::string pageOf(const PageFacts& facts, const CatalogueText& position, const std::string& picture,
                   const std::string& panel, const std::string& table, std::size_t columns,
                   const std::string& summary) {
    const bool wideTable = columns > 8 || table.find("<td class=\"long\">") != std::string::npos;
    return pageOpening(facts, wideTable) + controlsOf(position) + "<div class=\"stage\">\n<figure>\n" + picture +
           "</figure>\n" + panel + "</div>\n<main class=\"lesson\">\n" + table + "</main>\n" + summary +
           "</div>\n" + facts.appScripts + "<script>" + PageScript + "</script>\n</body>\n</html>\n";
}

// The idle stretch's line at the table's foot, shown with the last step.
std::string idleRowOf(const PageFacts& facts, std::uint64_t last, std::size_t columns) {
    if (!facts.idleRow) {
        return "";
    }
    return "<tr class=\"idle\"" + fromStep(last) + "><td colspan=\"" + std::to_string(columns) + "\">" +
           *facts.idleRow + "</td></tr>\n";
}

template <typename Row>
std::uint64_t lastNumber(const std::vector<Row>& rows) {
    return rows.empty() ? 0 : rows.back().number;
}

}  // namespace

std::string lessonPageText(const std::vector<PageRow>& rows, const PageFacts& facts) {
    const std::uint64_t last = lastNumber(rows);
    std::vector<std::string> names;
    for (const ColumnName& name : columnNames(facts.style.scaledEnds)) {
        names.push_back(pageText(name.shown));
    }
    std::string table = "<h2>" + pageText(TextPageTableName) + "</h2>\n";
    for (const std::string& line : facts.legend) {
        table += "<p>" + line + "</p>\n";
    }
    table += tableOf(TextPageTableName, names, rows, TextPageGapFrom, rowOf) + idleRowOf(facts, last, names.size());
    return pageOf(facts, TextColumnChord, pictureOf(rows, facts), chordPanel(rows, facts), table + tableEnd(),
                  names.size(), summaryOf(rows, facts, last));
}

std::string stepsPageText(const std::vector<StepRow>& rows, const StepsPage& page) {
    const PageFacts& facts = page.facts;
    const std::uint64_t last = lastNumber(rows);
    std::string summary = "<section id=\"summary\">\n<h2>" + pageText(TextPageSummary) + "</h2>\n<dl>\n" +
                          outcomeItems(facts, last) +
                          item(TextPageStepsTaken, std::to_string(facts.chords) + "; " + pageText(TextCaptionStepCounts),
                               last) +
                          item(TextPageStop, facts.stop, last) + "</dl>\n</section>\n";
    const auto rowOfStep = [](const StepRow& row) {
        std::string html = "<tr data-chord=\"" + std::to_string(row.number) + "\"><th scope=\"row\">" +
                           std::to_string(row.number) + "</th>";
        for (const std::string& value : row.cells) {
            html += cell(value);
        }
        return html + "<td class=\"note\">" + row.note + "</td></tr>\n";
    };
    const std::string table = "<h2>" + pageText(TextPageStepsTable) + "</h2>\n" +
                              tableOf(TextPageStepsTable, page.columns, rows, TextPageStepsFrom, rowOfStep) +
                              idleRowOf(facts, last, page.columns.size()) + tableEnd();
    return pageOf(facts, TextPageStepName, page.picture, stepPanel(rows, page), table, page.columns.size(),
                  summary);
}

std::string pageWithBody(const PageFacts& facts, const std::string& body) {
    return pageOpening(facts) + body + "</div>\n</body>\n</html>\n";
}

std::string rejectionPageText(const PageFacts& facts, const std::string& reasonUtf8) {
    std::string html = pageOpening(facts);
    html += "<p id=\"refusal\"><strong>" + escapedPageText(reasonUtf8) + "</strong></p>\n";
    html += "<figure>\n" + pictureOfRejection(facts.equation, escapedPageText(reasonUtf8), facts.style) +
            "</figure>\n</div>\n";
    // A page that computes steps through the run a corrected interval gives.
    return html + facts.appScripts +
           (facts.appScripts.empty() ? "" : std::string("<script>") + PageScript + "</script>\n") +
           "</body>\n</html>\n";
}

// ---------------------------------------------------------------------------
