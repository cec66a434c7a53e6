#include "steps/lesson_page.h"

#include <algorithm>

#include "console/codec/number_format.h"
#include "console/codec/text_codec.h"
#include "dialog/report.h"
#include "steps/picture.h"
#include "steps/table.h"
#include "steps/texts.h"

namespace {

std::string escaped(std::string_view text) {
    std::string html;
    for (const char c : text) {
        html += c == '&' ? "&amp;" : c == '<' ? "&lt;" : c == '>' ? "&gt;" : c == '"' ? "&quot;" : std::string(1, c);
    }
    return html;
}

// A Windows-1251 line of the table as page text.
std::string fromTable(const std::string& cp1251Line) {
    return escaped(cp1251ToUtf8(cp1251Line));
}

std::string words(const CatalogueText& text) {
    return fromTable(text.data());
}

std::string cell(const std::string& content) {
    return "<td>" + content + "</td>";
}

std::string estimateCell(std::optional<double> value) {
    return cell(value ? formatEstimate(value) : "");
}

std::string noteOf(const PageChord& chord) {
    std::string note;
    const auto add = [&note](const CatalogueText& text) {
        note += (note.empty() ? "" : ", ") + words(text);
    };
    if (chord.step.rangeReported) {
        add(TextOverflowMark);
    }
    if (!chord.step.x) {
        add(TextNoChord);
    } else if (chord.accuracyMet) {
        add(TextAccuracyMet);
    }
    if (chord.fixedEndReplaced) {
        add(TextFixedEndReplaced);
    }
    return note;
}

std::string rowOf(const PageChord& chord) {
    const ChordStep& step = chord.step;
    const char* replaced = step.replaced == ChordEnd::A ? "a" : step.replaced == ChordEnd::B ? "b" : "&#8211;";
    std::string row = "<tr data-chord=\"" + std::to_string(chord.number) + "\"" +
                      (chord.fixedEndReplaced ? " class=\"flagged\"" : "") + "><th scope=\"row\">" +
                      std::to_string(chord.number) + "</th>" + cell(formatDigits9(step.a)) +
                      cell(formatDigits9(step.b)) + cell(formatDigits9(step.fa)) +
                      cell(formatDigits9(step.fb));
    row += step.x ? cell(formatDigits9(*step.x)) + cell(formatDigits9(step.fx)) : cell("&#8211;") + cell("&#8211;");
    return row + cell(replaced) + estimateCell(chord.estimates.step) +
           estimateCell(chord.estimates.ratio) + estimateCell(chord.estimates.bound) +
           "<td class=\"note\">" + noteOf(chord) + "</td></tr>\n";
}

// The kept chords in their order: the first ones, then the ring's.
std::vector<PageChord> keptChords(const LessonPage& page) {
    std::vector<PageChord> chords = page.first;
    for (std::size_t i = 0; i < page.last.size(); ++i) {
        chords.push_back(page.last[(page.lastNext + i) % page.last.size()]);
    }
    return chords;
}

std::string tableOf(const LessonPage& page, const std::vector<PageChord>& chords) {
    std::string html =
        "<div class=\"scroll\" tabindex=\"0\" role=\"region\" aria-label=\"" + words(TextPageTableName) +
        "\">\n<table id=\"chords\">\n<thead><tr>";
    for (const std::string& name :
         {words(TextColumnChord), std::string("a"), std::string("b"), std::string("F(a)"),
          std::string("F(b)"), std::string("x"), std::string("F(x)"), words(TextColumnReplaced),
          words(TextColumnStep), words(TextColumnRatio), words(TextColumnBound), words(TextColumnNote)}) {
        html += "<th scope=\"col\">" + name + "</th>";
    }
    html += "</tr></thead>\n<tbody>\n";
    std::uint64_t previous = 0;
    for (const PageChord& chord : chords) {
        if (previous != 0 && chord.number != previous + 1) {
            html += "<tr class=\"gap\"><td colspan=\"12\">" + words(TextPageGapFrom) +
                    std::to_string(previous + 1) + words(TextIdleTo) + std::to_string(chord.number - 1) +
                    words(TextPageGapLeftOut) + "</td></tr>\n";
        }
        html += rowOf(chord);
        previous = chord.number;
    }
    if (page.idleLast > 0) {
        html += "<tr class=\"idle\"><td colspan=\"12\">" +
                fromTable(idleRow(page.idleFirst, page.idleLast, page.idleFlagged)) + "</td></tr>\n";
    }
    return html + "</tbody>\n</table>\n</div>\n";
}

std::string pictureOf(const std::vector<PageChord>& chords, const PageFacts& facts) {
    const PictureStyle style{true, false, facts.fixedEnd};
    const PictureFrame frame = frameFor(facts.parameters);
    std::string svg = pictureOpening(frame, facts.parameters, style);
    PictureMarks marks;
    std::uint64_t drawn = 0;
    for (const PageChord& chord : chords) {
        svg += pictureChord(frame, marks, chord.number, chord.step, style);
        drawn += chord.step.x ? 1 : 0;
    }
    return svg + pictureClosing(frame, facts.parameters, facts.outcome, drawn, drawn, style, 0, marks);
}

std::string item(const CatalogueText& name, const std::string& value) {
    return "<dt>" + words(name) + "</dt><dd>" + value + "</dd>\n";
}

std::string stoppingReason(const LessonPage& page, const std::vector<PageChord>& chords,
                           const PageFacts& facts) {
    if (facts.outcome.found) {
        return words(TextPageStopAccuracy) + std::to_string(page.chords);
    }
    if (page.idleLast > 0) {
        return fromTable(idleRow(page.idleFirst, page.idleLast, false));
    }
    if (!chords.empty() && !chords.back().step.x) {
        return words(TextNoChord);
    }
    return words(TextPageStopLimit) + std::to_string(facts.parameters.limit);
}

// The last ratio of steps: the rate at which the error shrinks.
std::string observedRate(const std::vector<PageChord>& chords) {
    for (auto chord = chords.rbegin(); chord != chords.rend(); ++chord) {
        if (chord->estimates.ratio) {
            return formatEstimate(chord->estimates.ratio) + words(TextPageRateAt) +
                   std::to_string(chord->number) + ")";
        }
    }
    return "&#8211;";
}

std::string summaryOf(const LessonPage& page, const std::vector<PageChord>& chords,
                      const PageFacts& facts) {
    std::string report = escaped(reportText(facts.outcome));
    std::replace(report.begin(), report.end(), '\n', ' ');
    std::string html = "<section id=\"summary\">\n<h2>" + words(TextPageSummary) + "</h2>\n<dl>\n";
    html += item(TextPageReport, report);
    if (facts.outcome.x) {
        html += item(TextPageLastX, formatDigits9(*facts.outcome.x) + ", F = " +
                                        (chords.empty() ? std::string("&#8211;") : formatDigits9(chords.back().step.fx)));
    }
    html += item(TextPageChordsDrawn, std::to_string(page.chords) + "; " + words(TextCaptionCounts));
    html += item(TextPageStop, stoppingReason(page, chords, facts));
    html += item(TextPageFixedEnd, fromTable(fixedEndLine(facts.parameters, facts.fixedEnd)));
    html += item(TextPageBound, fromTable(slopeLine(facts.parameters, facts.smallestSlope)));
    html += item(TextPageRate, observedRate(chords));
    return html + "</dl>\n</section>\n";
}

const char* const PageStyle = R"(
body { font-family: "DejaVu Sans", Arial, sans-serif; margin: 1rem; color: #111; background: #fff; }
h1 { font-size: 1.4rem; margin: 0 0 .5rem; }
h2 { font-size: 1.15rem; margin: .8rem 0 .3rem; }
main { display: grid; grid-template-columns: minmax(0, 1fr) minmax(0, 1fr); gap: 1rem; align-items: start; }
@media (max-width: 900px) { main, dl { display: block; } dd { margin: 0 0 .4rem; } }
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

std::string controlsOf() {
    const auto button = [](const char* id, const CatalogueText& label) {
        return std::string("<button type=\"button\" id=\"") + id + "\">" + words(label) + "</button>";
    };
    return "<nav id=\"controls\" hidden aria-label=\"" + words(TextPageControls) + "\">" +
           button("first", TextPageFirst) + button("prev", TextPagePrevious) +
           "<button type=\"button\" id=\"play\" data-play=\"" + words(TextPagePlay) + "\" data-pause=\"" +
           words(TextPagePause) + "\">" + words(TextPagePlay) + "</button>" + button("next", TextPageNext) +
           button("last", TextPageLast) + "<span id=\"position\" aria-live=\"polite\" data-label=\"" +
           words(TextColumnChord) + "\"></span></nav>\n";
}

}  // namespace

void keepPageChord(LessonPage& page, const PageChord& chord) {
    ++page.chords;
    if (page.first.size() < PageEnds) {
        page.first.push_back(chord);
    } else if (page.last.size() < PageEnds) {
        page.last.push_back(chord);
    } else {
        page.last[page.lastNext] = chord;
        page.lastNext = (page.lastNext + 1) % PageEnds;
    }
}

std::string lessonPageText(const LessonPage& page, const PageFacts& facts) {
    const std::vector<PageChord> chords = keptChords(page);
    const ChordParameters& p = facts.parameters;
    std::string html = "<!DOCTYPE html>\n<html lang=\"ru\">\n<head>\n<meta charset=\"utf-8\">\n"
                       "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
                       "<title>" + words(TextCaptionTitle) + "Xib = " + formatShortest(p.a) +
                       ", Xie = " + formatShortest(p.b) + words(TextCaptionAccuracy) +
                       formatShortest(p.epsilon) + "</title>\n<style>" + PageStyle + "</style>\n</head>\n<body>\n";
    html += "<h1>" + fromTable(titleLine()) + "</h1>\n<p>" + fromTable(inputsLine(p)) + "</p>\n";
    html += summaryOf(page, chords, facts);
    html += controlsOf();
    html += "<main>\n<figure>\n" + pictureOf(chords, facts) + "</figure>\n<section class=\"lesson\">\n<h2>" +
            words(TextPageTableName) + "</h2>\n<p>" + fromTable(legendLine()) + "</p>\n<p>" +
            fromTable(countsLine()) + "</p>\n" + tableOf(page, chords) + "</section>\n</main>\n";
    return html + "<script>" + PageScript + "</script>\n</body>\n</html>\n";
}

std::string rejectionPageText(const ChordParameters& parameters, const std::string& reasonUtf8) {
    std::string html = "<!DOCTYPE html>\n<html lang=\"ru\">\n<head>\n<meta charset=\"utf-8\">\n"
                       "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
                       "<title>" + words(TextCaptionTitle) + "Xib = " + formatShortest(parameters.a) +
                       ", Xie = " + formatShortest(parameters.b) + "</title>\n<style>" + PageStyle +
                       "</style>\n</head>\n<body>\n";
    html += "<h1>" + fromTable(titleLine()) + "</h1>\n<p>" + fromTable(inputsLine(parameters)) +
            "</p>\n<p id=\"refusal\"><strong>" + escaped(reasonUtf8) + "</strong></p>\n";
    html += "<figure>\n" + pictureOfRejection(parameters, escaped(reasonUtf8), {true, false, std::nullopt}) +
            "</figure>\n";
    return html + "</body>\n</html>\n";
}
