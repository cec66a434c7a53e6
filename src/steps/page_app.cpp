#include "steps/page_app.h"

#include <cstdlib>
#include <fstream>
#include <iterator>

#include "console/files.h"
#include "solver/method.h"
#include "steps/arguments.h"
#include "steps/lesson_page.h"
#include "steps/run.h"
#include "steps/texts.h"

PageModule findPageModule() {
    std::vector<std::filesystem::path> places;
    if (const char* const named = std::getenv("CHORDS_STEPS_WEB")) {
        if (*named == '\0') {
            return {std::nullopt, "CHORDS_STEPS_WEB"};
        }
        places.push_back(pathOfName(named));
    } else if (const std::filesystem::path program = programPath(); !program.empty()) {
        places.push_back(program.parent_path() / PageModuleName);
        places.push_back(program.parent_path() / ".." / "share" / "chords" / PageModuleName);
    }
    for (const std::filesystem::path& place : places) {
        std::ifstream file(place, std::ios::binary);
        if (file) {
            return {std::string(std::istreambuf_iterator<char>(file), {}), ""};
        }
    }
    const std::u8string place = places.empty() ? u8"" : places.front().u8string();
    return {std::nullopt, std::string(place.begin(), place.end())};
}

namespace {

// Text inside a script element: "</script" never closes it early (the
// module has it, if at all, inside a string, where "<\/" is the same).
std::string scriptText(std::string text) {
    for (std::size_t at = text.find("</script"); at != std::string::npos; at = text.find("</script", at + 3)) {
        text.insert(at + 1, 1, '\\');
    }
    return text;
}

// The arguments as a JSON array of strings, for the form to read.
std::string jsonArray(const std::vector<std::string>& items) {
    std::string json = "[";
    for (const std::string& item : items) {
        json += json.size() > 1 ? ",\"" : "\"";
        for (const char c : item) {
            const auto byte = static_cast<unsigned char>(c);
            if (c == '"' || c == '\\') {
                json += '\\';
                json += c;
            } else if (byte < 0x20 || c == '<') {
                static constexpr char Hex[] = "0123456789abcdef";
                json += "\\u00";
                json += Hex[byte >> 4];
                json += Hex[byte & 15];
            } else {
                json += c;
            }
        }
        json += '"';
    }
    return json + "]";
}

std::string input(const char* name, const std::string& label, const char* extra = "") {
    return std::string("<label>") + label + " <input name=\"" + name + "\" spellcheck=\"false\"" + extra + "></label>\n";
}

std::string select(const char* name, const CatalogueText& label,
                   const std::vector<std::pair<std::string, std::string>>& options) {
    std::string html = "<label>" + pageText(label) + " <select name=\"" + name + "\">";
    for (const auto& [value, shown] : options) {
        html += "<option value=\"" + value + "\">" + shown + "</option>";
    }
    return html + "</select></label>\n";
}

std::string methodOptions() {
    std::vector<std::pair<std::string, std::string>> options;
    for (const auto& [name, method] : MethodWords) {
        options.emplace_back(name, pageText(methodName(method)));
    }
    return select("method", TextAppMethod, options);
}

// Reads the form into the program's arguments, runs the module, and puts
// the run's page in place of the shown one; the CSV it wrote is the link's.
// An abort inside the module (MPFR's, or memory) costs the instance: it is
// made anew, and the page stays as it was.
const char* const AppScript = R"(
(function () {
  "use strict";
  var app = document.getElementById("app");
  if (!app || typeof WebAssembly !== "object" || typeof createChordsSteps !== "function" ||
      typeof chordsStepsWasm !== "string" || typeof DecompressionStream !== "function") { return; }
  var form = document.getElementById("compute");
  var fault = document.getElementById("fault");
  var csv = document.getElementById("csv");
  var options = { "--equation": "equation", "--method": "method", "--precision": "precision",
                  "--stop": "stop", "--x0": "x0", "--phi": "phi" };
  var numbers = ["xib", "xie", "eps", "limit"];
  var instance = null, pending = false, link = null, wasm = null;
  function field(name) { return form.elements[name]; }
  function fill(args) {
    var ended = false, at = 0;
    for (var i = 0; i < args.length; i++) {
      var a = args[i], eq = a.indexOf("="), name = !ended && a.slice(0, 2) === "--" ? (eq > 0 ? a.slice(0, eq) : a) : null;
      if (name === "--") { ended = true; }
      else if (name && options[name]) { field(options[name]).value = eq > 0 ? a.slice(eq + 1) : args[++i]; }
      else if (!name && at < numbers.length) { field(numbers[at++]).value = a; }
    }
  }
  function argumentsOf() {
    var method = field("method").value, args = [];
    Object.keys(options).forEach(function (option) {
      var name = options[option], value = field(name).value.trim();
      var used = name === "x0" ? method === "newton" || method === "iteration"
               : name === "phi" ? method === "iteration" : !(name === "method" && value === "chords");
      if (value !== "" && used) { args.push(option, value); }
    });
    return args.concat(["--html", "/run.html", "--csv", "/run.csv", "--"],
                       numbers.map(function (name) { return field(name).value.trim(); }));
  }
  // The module inflated once; an instance made from it, again after an abort.
  function inflated() {
    if (wasm) { return Promise.resolve(wasm); }
    // A data: address decodes the base64 off the page's own thread.
    return fetch("data:application/octet-stream;base64," + chordsStepsWasm).then(function (packed) {
      return new Response(packed.body.pipeThrough(new DecompressionStream("gzip"))).arrayBuffer();
    }).then(function (buffer) { wasm = buffer; return wasm; });
  }
  function load() {
    instance = null;
    return inflated().then(function (binary) { return createChordsSteps({ wasmBinary: binary }); })
      .then(function (module) { instance = module; });
  }
  function read(module, path) {
    if (!module.FS.analyzePath(path).exists) { return null; }
    var bytes = module.FS.readFile(path);
    module.FS.unlink(path);
    return bytes;
  }
  function run() {
    pending = false;
    if (!instance) { return; }
    var module = instance, result, page, table;
    try {
      result = module.runSteps(argumentsOf());
      page = read(module, "/run.html");
      table = read(module, "/run.csv");
    } catch (e) {
      result = { aborted: true };
    }
    if (result.aborted) {
      fault.textContent = app.getAttribute("data-failed");
      load();
      return;
    }
    fault.textContent = new TextDecoder().decode(result.stderr);
    if (page) { show(new TextDecoder().decode(page)); }
    if (link) { URL.revokeObjectURL(link); link = null; }
    csv.hidden = !table;
    if (table) { link = URL.createObjectURL(new Blob([table], { type: "text/csv" })); csv.href = link; }
  }
  // The new run in place of the shown one, at the same step where it has it.
  function show(html) {
    var fresh = new DOMParser().parseFromString(html, "text/html").getElementById("run");
    var shown = document.getElementById("run");
    if (!fresh || !shown) { return; }
    var where = window.chordsLessonState ? window.chordsLessonState() : null;
    shown.innerHTML = fresh.innerHTML;
    document.title = new DOMParser().parseFromString(html, "text/html").title;
    if (window.chordsLesson) { window.chordsLesson(where); }
  }
  function schedule() {
    if (!pending) { pending = true; requestAnimationFrame(run); }
  }
  // An end of the interval dragged on the picture: its field follows the
  // pointer, to the digits a pixel tells, and the run follows the field.
  var drag = null;
  // The picture's own x of a pointer, by the picture's place when the drag
  // began: each run puts a new picture in its place.
  function plotX(screen, event) {
    return new DOMPoint(event.clientX, event.clientY).matrixTransform(screen).x;
  }
  document.addEventListener("pointerdown", function (event) {
    var svg = event.target.closest && event.target.closest("#picture");
    var frame = svg && svg.getAttribute("data-frame");
    if (!frame) { return; }
    var screen = svg.getScreenCTM().inverse(), f = frame.split(" ").map(Number), x = plotX(screen, event);
    var pixel = function (name) { return f[2] + (Number(field(name).value) - f[0]) / (f[1] - f[0]) * (f[3] - f[2]); };
    var ends = ["xib", "xie"].filter(function (name) { return Math.abs(pixel(name) - x) < 20; });
    if (ends.length === 0) { return; }
    drag = { name: ends[0], screen: screen, f: f };
    event.preventDefault();
  });
  document.addEventListener("pointermove", function (event) {
    if (!drag) { return; }
    var f = drag.f, x = plotX(drag.screen, event);
    var value = f[0] + (x - f[2]) / (f[3] - f[2]) * (f[1] - f[0]);
    var digits = Math.max(1, Math.ceil(Math.log10(Math.max(Math.abs(value), 1e-300) / ((f[1] - f[0]) / 1000))) + 1);
    field(drag.name).value = String(Number(value.toPrecision(Math.min(digits, 17))));
    schedule();
  });
  document.addEventListener("pointerup", function () { drag = null; });
  fill(JSON.parse(document.getElementById("run-arguments").textContent));
  form.addEventListener("input", schedule);
  form.addEventListener("submit", function (event) { event.preventDefault(); schedule(); });
  // The lesson shows first; the module is made ready after the page's load.
  function ready() { load().then(function () { app.hidden = false; schedule(); }, function () {}); }
  if (document.readyState === "complete") { ready(); } else { window.addEventListener("load", ready); }
})();
)";

}  // namespace

PageApp pageAppText(const std::vector<std::string>& runArguments, const std::string& module, bool open) {
    std::vector<std::pair<std::string, std::string>> precisions = {{"", pageText(TextAppDefault)}};
    for (const auto& [name, precision] : PrecisionWords) {
        precisions.emplace_back(name, name);
    }
    const std::vector<std::pair<std::string, std::string>> stops = {
        {"", pageText(TextAppDefault)}, {"residual", pageText(TextRuleResidual)}, {"step", pageText(TextRuleStep)},
        {"relative", pageText(TextRuleRelative)}};
    std::string html = std::string("<details id=\"app\" hidden") + (open ? " open" : "") + " data-failed=\"" +
                       pageText(TextAppFailed) + "\">\n<summary>" + pageText(TextAppTitle) + "</summary>\n<p>" +
                       pageText(TextAppHint) + pageText(TextAppHintMore) + "</p>\n<form id=\"compute\" autocomplete=\"off\">\n";
    html += input("equation", pageText(TextAppEquation), " class=\"wide\" placeholder=\"2*exp(-x) + 0.2*x^2 - 1.5\"");
    html += "<pre id=\"fault\" role=\"alert\"></pre>\n";
    html += input("xib", "Xib") + input("xie", "Xie") + input("eps", "EPS") + input("limit", pageText(TextAppLimit));
    html += methodOptions() + select("precision", TextAppPrecision, precisions) + select("stop", TextAppStop, stops);
    html += input("x0", pageText(TextAppStart)) + input("phi", pageText(TextAppPhi));
    html += "</form>\n<p><a id=\"csv\" hidden download=\"chords-steps.csv\" href=\"#\">" + pageText(TextAppCsv) +
            "</a></p>\n</details>\n";
    return {html, "<script type=\"application/json\" id=\"run-arguments\">" + jsonArray(runArguments) +
                      "</script>\n<script>" + scriptText(module) + "</script>\n<script>" + AppScript + "</script>\n"};
}

PageApp pageApp(const StepsArguments& parsed) {
    const PageModule module = findPageModule();
    return module.text ? pageAppText(parsed.runArguments, *module.text, parsed.app) : PageApp{};
}
