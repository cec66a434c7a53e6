#pragma once
// The lesson page that computes: a form for the run's inputs and the
// program itself, compiled to WebAssembly, inside the page. The module is a
// file installed beside the program (chords-steps-web.js); where it is not,
// pages are written as before, without the form.

#include <optional>
#include <string>
#include <vector>

inline constexpr const char* PageModuleName = "chords-steps-web.js";

// The module's text, and where it was looked for. CHORDS_STEPS_WEB names
// the file instead (empty: none), for a build tree; otherwise the
// program's own folder, then ../share/chords beside it.
struct PageModule {
    std::optional<std::string> text;
    std::string place;  // UTF-8, for the message when it is required
};
PageModule findPageModule();

// The form that reruns the program in the page, its fields filled from the
// run's arguments, over the run (open on a page that is first of all the
// form); and the scripts, after it. Page text.
struct PageApp {
    std::string form;
    std::string scripts;
};
PageApp pageAppText(const std::vector<std::string>& runArguments, const std::string& module, bool open);

// The run's page app where the module is installed, else empty.
struct StepsArguments;
PageApp pageApp(const StepsArguments& parsed);
