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

namespace {

std::string words(const CatalogueText& text) {
    return pageText(text.data());
}

const char* const PageStyle = R"(
body { font-family: "DejaVu Sans", Arial, sans-serif; margin: 1rem; color: #111; background: #fff; }
h1 { font-size: 1.4rem; margin: 0 0 .5rem; }
h2 { font-size: 1.15rem; margin: .8rem 0 .3rem; }
main { display: grid; grid-template-columns: minmax(0, 1fr) minmax(0, 1fr); gap: 1rem; align-items: start; }
figure { margin: 0; }
svg { width: 100%; height: auto; }
nav { margin: .5rem 0; display: flex; flex-wrap: wrap; gap: .4rem; align-items: center; }
nav[hidden] { display: none; }
button { font-size: 1rem; padding: .3rem .7rem; }
#position { font-weight: bold; margin-left: .5rem; }
.scroll { overflow-x: auto; }
table { border-collapse: collapse; font-size: .85rem; font-variant-numeric: tabular-nums; }
th, td { border: 1px solid #bbb; padding: .15rem .35rem; text-align: right; white-space: nowrap; }
td.note { text-align: left; }
tr.gap td, tr.idle td { text-align: left; font-style: italic; }
tr.flagged td.note { color: #8a1c5a; }
tr.current { background: #ffe38a; outline: 2px solid #000; }
dl { display: grid; grid-template-columns: max-content 1fr; gap: .2rem .8rem; margin: 0; }
dt { font-weight: bold; }
dd { margin: 0; }
.lesson p { margin: .2rem 0; }
@media (max-width: 900px) {
  main, dl { display: block; }
  dd { margin: 0 0 .4rem; }
  body { overflow-wrap: anywhere; }
}
@media print {
  @page { size: A4; margin: 12mm; }
  nav { display: none !important; }
  main { display: block; }
  table { font-size: 7pt; }
  .scroll { overflow: visible; }
}
)";

// Steps through the kept chords: the rows up to the current one stay, the
// current one is highlighted; the picture's chords after it are hidden.
const char* const PageScript = R"(
(function () {
  "use strict";
  var rows = Array.prototype.slice.call(document.querySelectorAll("#chords tr[data-chord]"));
  var groups = Array.prototype.slice.call(document.querySelectorAll("#picture g.step, #picture g.magnified"));
  var numbers = rows.map(function (row) { return Number(row.getAttribute("data-chord")); });
  if (numbers.length === 0) { return; }
  var controls = document.getElementById("controls");
  var position = document.getElementById("position");
  var play = document.getElementById("play");
  var total = numbers[numbers.length - 1];
  var at = numbers.length - 1;
  var timer = null;
  function indexOf(chord) {
    var best = numbers.length - 1;
    for (var i = 0; i < numbers.length; i++) {
      if (numbers[i] >= chord) { best = i; break; }
    }
    return best;
  }
  function show(index, remember) {
    at = Math.max(0, Math.min(numbers.length - 1, index));
    var chord = numbers[at];
    rows.forEach(function (row, i) {
      var current = i === at;
      row.classList.toggle("current", current);
      if (current) { row.setAttribute("aria-current", "step"); } else { row.removeAttribute("aria-current"); }
    });
    groups.forEach(function (group) {
      var n = Number(group.getAttribute("data-chord"));
      group.style.display = n > chord ? "none" : "";
      if (group.classList.contains("step")) { group.classList.toggle("current", n === chord); }
    });
    position.textContent = position.getAttribute("data-label") + " " + chord + " / " + total;
    if (remember && location.hash !== "#" + chord) {
      history.replaceState(null, "", "#" + chord);
    }
  }
  function fromHash() {
    var chord = parseInt(location.hash.slice(1), 10);
    show(isNaN(chord) ? numbers.length - 1 : indexOf(chord), false);
  }
  function stop() {
    if (timer !== null) { clearInterval(timer); timer = null; }
    play.textContent = play.getAttribute("data-play");
  }
  function toggle() {
    if (timer !== null) { stop(); return; }
    if (at === numbers.length - 1) { show(0, true); }
    play.textContent = play.getAttribute("data-pause");
    timer = setInterval(function () {
      if (at >= numbers.length - 1) { stop(); return; }
      show(at + 1, true);
    }, 1000);
  }
  document.getElementById("first").addEventListener("click", function () { stop(); show(0, true); });
  document.getElementById("prev").addEventListener("click", function () { stop(); show(at - 1, true); });
  document.getElementById("next").addEventListener("click", function () { stop(); show(at + 1, true); });
  document.getElementById("last").addEventListener("click", function () { stop(); show(numbers.length - 1, true); });
  play.addEventListener("click", toggle);
  document.addEventListener("keydown", function (event) {
    if (event.altKey || event.ctrlKey || event.metaKey) { return; }
    var keys = { ArrowLeft: -1, ArrowRight: 1 };
    if (event.key in keys) { stop(); show(at + keys[event.key], true); }
    else if (event.key === "Home") { stop(); show(0, true); }
    else if (event.key === "End") { stop(); show(numbers.length - 1, true); }
    else if (event.key === " ") { toggle(); }
    else { return; }
    event.preventDefault();
  });
  window.addEventListener("hashchange", fromHash);
  controls.hidden = false;
  fromHash();
})();
)";

// The controls; the position names what is stepped through.
std::string controlsOf(const CatalogueText& position) {
    const auto button = [](const char* id, const CatalogueText& label) {
        return std::string("<button type=\"button\" id=\"") + id + "\">" + words(label) + "</button>";
    };
    return "<nav id=\"controls\" hidden aria-label=\"" + words(TextPageControls) + "\">" +
           button("first", TextPageFirst) + button("prev", TextPagePrevious) +
           "<button type=\"button\" id=\"play\" data-play=\"" + words(TextPagePlay) + "\" data-pause=\"" +
           words(TextPagePause) + "\">" + words(TextPagePlay) + "</button>" + button("next", TextPageNext) +
           button("last", TextPageLast) + "<span id=\"position\" aria-live=\"polite\" data-label=\"" +
           words(position) + "\"></span></nav>\n";
}

std::string cell(const std::string& content) {
    return "<td>" + content + "</td>";
}

std::string estimateCell(std::optional<double> value) {
    return cell(value ? formatEstimate(value) : "");
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

// The rows left out between two kept ones, where there are some.
std::string gapRow(std::uint64_t previous, std::uint64_t number, const std::string& span, const CatalogueText& from) {
    if (previous == 0 || number == previous + 1) {
        return "";
    }
    return "<tr class=\"gap\"><td colspan=\"" + span + "\">" + words(from) + std::to_string(previous + 1) +
           words(TextIdleTo) + std::to_string(number - 1) + words(TextPageGapLeftOut) + "</td></tr>\n";
}

std::string tableOf(const std::vector<PageRow>& rows, const PageFacts& facts) {
    std::vector<std::string> names;
    for (const ColumnName& name : columnNames(facts.style.scaledEnds)) {
        names.push_back(pageText(name.shown));
    }
    const std::string span = std::to_string(names.size());
    std::string html =
        "<div class=\"scroll\" tabindex=\"0\" role=\"region\" aria-label=\"" + words(TextPageTableName) +
        "\">\n<table id=\"chords\">\n<thead><tr>";
    for (const std::string& name : names) {
        html += "<th scope=\"col\">" + name + "</th>";
    }
    html += "</tr></thead>\n<tbody>\n";
    std::uint64_t previous = 0;
    for (const PageRow& row : rows) {
        html += gapRow(previous, row.number, span, TextPageGapFrom);
        html += rowOf(row);
        previous = row.number;
    }
    if (facts.idleRow) {
        html += "<tr class=\"idle\"><td colspan=\"" + span + "\">" + *facts.idleRow + "</td></tr>\n";
    }
    return html + "</tbody>\n</table>\n</div>\n";
}

std::string pictureOf(const std::vector<PageRow>& rows, const PageFacts& facts) {
    PictureDrawing drawing;
    std::string svg = startPicture(drawing, facts.equation, facts.style);
    for (const PageRow& row : rows) {
        svg += pictureChordOf(drawing, row.number, row.chord);
    }
    return svg + finishPicture(drawing, facts.result);
}

std::string item(const CatalogueText& name, const std::string& value) {
    return "<dt>" + words(name) + "</dt><dd>" + value + "</dd>\n";
}

// The last ratio of steps: the rate at which the error shrinks.
std::string observedRate(const std::vector<PageRow>& rows) {
    for (auto row = rows.rbegin(); row != rows.rend(); ++row) {
        if (row->estimates.ratio) {
            return formatEstimate(row->estimates.ratio) + words(TextPageRateAt) + std::to_string(row->number) + ")";
        }
    }
    return "&#8211;";
}

std::string summaryOf(const std::vector<PageRow>& rows, const PageFacts& facts) {
    std::string html = "<section id=\"summary\">\n<h2>" + words(TextPageSummary) + "</h2>\n<dl>\n";
    html += item(TextPageReport, facts.report);
    if (!facts.lastX.empty()) {
        html += item(TextPageLastX, facts.lastX);
    }
    html += item(TextPageChordsDrawn, std::to_string(facts.chords) + "; " + words(TextCaptionCounts));
    html += item(TextPageStop, facts.stop);
    html += item(TextPageFixedEnd, facts.fixedEnd);
    html += item(TextPageBound, facts.bound);
    html += item(TextPageBoundM1, facts.boundM1);
    html += item(TextPageRate, observedRate(rows));
    return html + "</dl>\n</section>\n";
}

std::string pageOpening(const PageFacts& facts) {
    std::string html = "<!DOCTYPE html>\n<html lang=\"ru\">\n<head>\n<meta charset=\"utf-8\">\n"
                       "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
                       "<title>" + facts.title + "</title>\n<style>" + PageStyle + "</style>\n</head>\n<body>\n";
    html += "<h1>" + facts.heading + "</h1>\n";
    for (const std::string& line : facts.inputs) {
        html += "<p>" + line + "</p>\n";
    }
    return html;
}

}  // namespace

std::string lessonPageText(const std::vector<PageRow>& rows, const PageFacts& facts) {
    std::string html = pageOpening(facts);
    html += summaryOf(rows, facts);
    html += controlsOf(TextColumnChord);
    html += "<main>\n<figure>\n" + pictureOf(rows, facts) + "</figure>\n<section class=\"lesson\">\n<h2>" +
            words(TextPageTableName) + "</h2>\n";
    for (const std::string& line : facts.legend) {
        html += "<p>" + line + "</p>\n";
    }
    html += tableOf(rows, facts) + "</section>\n</main>\n";
    return html + "<script>" + PageScript + "</script>\n</body>\n</html>\n";
}

std::string stepsPageText(const std::vector<StepRow>& rows, const StepsPage& page) {
    const PageFacts& facts = page.facts;
    std::string html = pageOpening(facts);
    html += "<section id=\"summary\">\n<h2>" + words(TextPageSummary) + "</h2>\n<dl>\n";
    html += item(TextPageReport, facts.report);
    if (!facts.lastX.empty()) {
        html += item(TextPageLastX, facts.lastX);
    }
    html += item(TextPageStepsTaken, std::to_string(facts.chords) + "; " + words(TextCaptionStepCounts));
    html += item(TextPageStop, facts.stop);
    html += "</dl>\n</section>\n" + controlsOf(TextPageStepName);
    html += "<main>\n<figure>\n" + page.picture + "</figure>\n<section class=\"lesson\">\n<h2>" +
            words(TextPageStepsTable) + "</h2>\n<div class=\"scroll\" tabindex=\"0\" role=\"region\" aria-label=\"" +
            words(TextPageStepsTable) + "\">\n<table id=\"chords\">\n<thead><tr>";
    for (const std::string& name : page.columns) {
        html += "<th scope=\"col\">" + name + "</th>";
    }
    html += "</tr></thead>\n<tbody>\n";
    const std::string span = std::to_string(page.columns.size());
    std::uint64_t previous = 0;
    for (const StepRow& row : rows) {
        html += gapRow(previous, row.number, span, TextPageStepsFrom);
        html += "<tr data-chord=\"" + std::to_string(row.number) + "\"><th scope=\"row\">" +
                std::to_string(row.number) + "</th>";
        for (const std::string& value : row.cells) {
            html += cell(value);
        }
        html += "<td class=\"note\">" + row.note + "</td></tr>\n";
        previous = row.number;
    }
    html += "</tbody>\n</table>\n</div>\n</section>\n</main>\n";
    return html + "<script>" + PageScript + "</script>\n</body>\n</html>\n";
}

std::string pageWithBody(const PageFacts& facts, const std::string& body) {
    return pageOpening(facts) + body + "</body>\n</html>\n";
}

std::string rejectionPageText(const PageFacts& facts, const std::string& reasonUtf8) {
    std::string html = pageOpening(facts);
    html += "<p id=\"refusal\"><strong>" + escapedPageText(reasonUtf8) + "</strong></p>\n";
    html += "<figure>\n" + pictureOfRejection(facts.equation, escapedPageText(reasonUtf8), facts.style) +
            "</figure>\n";
    return html + "</body>\n</html>\n";
}

// ---------------------------------------------------------------------------
