# chords-steps as a WebAssembly module, for the lesson page to recompute a run
# in the browser, offline, with the program's own code: built by emscripten
# (the wasm preset).
#
# chords-steps.js defines createChordsSteps(options), a factory returning a
# promise of an instance; instance.runSteps(arguments) runs the program once
# with its file system in memory (src/steps/wasm/run.post.js says what it
# returns). Runs do not start by themselves, and the runtime stays up between
# them. The module itself is chords-steps.wasm beside it; the page's module,
# chords-steps-web.js, is the loader with the module inside it, compressed
# (src/steps/wasm/page_module.js), built for a size the page can carry.

set(_chords_wasm_dir ${PROJECT_SOURCE_DIR}/src/steps/wasm)
target_link_options(chords-steps PRIVATE
    -sMODULARIZE=1
    -sEXPORT_NAME=createChordsSteps
    -Oz
    -sENVIRONMENT=web,worker,node
    # main is called by runSteps, never on start, and its return does not
    # end the runtime: one instance serves any number of runs.
    -sINVOKE_RUN=0
    -sEXIT_RUNTIME=0
    # Long tables and pictures of many chords.
    -sALLOW_MEMORY_GROWTH=1
    # Under node the caller's process keeps its own handlers and exit code.
    -sNODEJS_CATCH_EXIT=0
    -sNODEJS_CATCH_REJECTION=0
    # The caller reads the files a run wrote from the file system in memory.
    -sEXPORTED_RUNTIME_METHODS=FS
    --pre-js ${_chords_wasm_dir}/run.pre.js
    --post-js ${_chords_wasm_dir}/run.post.js)
set_property(TARGET chords-steps APPEND PROPERTY LINK_DEPENDS
             ${_chords_wasm_dir}/run.pre.js ${_chords_wasm_dir}/run.post.js)

add_custom_command(TARGET chords-steps POST_BUILD
    COMMAND node ${_chords_wasm_dir}/page_module.js $<TARGET_FILE_DIR:chords-steps>/chords-steps.js
            $<TARGET_FILE_DIR:chords-steps>/chords-steps.wasm $<TARGET_FILE_DIR:chords-steps>/chords-steps-web.js
    COMMENT "The page's module: chords-steps-web.js")
