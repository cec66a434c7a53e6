// instance.runSteps(arguments): runs chords-steps once with the arguments (an
// array of strings, as typed after the program's name), for example
//   instance.runSteps(['0', '1', '0.0001', '100', '--csv', '/run.csv'])
// and returns {status, stdout, stderr}: main's exit status and the bytes it
// wrote (Uint8Array each). Files named in the arguments are written to the
// instance's file system in memory: instance.FS.readFile('/run.csv').
//
// Runs follow one another in the same instance with the same results: the
// runtime is not ended by main's return, and the arguments' memory is given
// back after each run.
//
// A run that ends the module (an abort in the C library or in MPFR, an
// uncaught C++ exception, a trap) returns {status: null, aborted: true,
// stdout, stderr, reason}, and instance.aborted is true from then on: its
// memory may be inconsistent, so every later runSteps throws. The caller then
// makes a new instance with createChordsSteps().
Module['aborted'] = false;

Module['runSteps'] = function (args) {
  if (Module['aborted'] || ABORT) {
    throw new Error('chords-steps: this instance was aborted by an earlier run; create a new one');
  }
  var strings = ['chords-steps'].concat(args.map(String));
  chordsRun = { stdout: chordsBytes(), stderr: chordsBytes(), messages: [] };
  var stack = stackSave();
  var result;
  try {
    var argv = stackAlloc((strings.length + 1) * 4);
    for (var i = 0; i < strings.length; ++i) {
      HEAP32[(argv >> 2) + i] = allocateUTF8OnStack(strings[i]);
    }
    HEAP32[(argv >> 2) + strings.length] = 0;
    result = { status: _main(strings.length, argv) };
  } catch (e) {
    if (e instanceof ExitStatus) {
      // exit() called inside the run: the runtime stays up (EXIT_RUNTIME=0).
      result = { status: e.status };
    } else {
      Module['aborted'] = true;
      result = { status: null, aborted: true,
                 reason: chordsRun.messages.concat([String(e)]).join('\n') };
    }
  } finally {
    if (!Module['aborted']) stackRestore(stack);
  }
  result.stdout = chordsRun.stdout.take();
  result.stderr = chordsRun.stderr.take();
  chordsRun = null;
  return result;
};
