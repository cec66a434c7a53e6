// Standard input, output and error of the module's runs: input is empty,
// and the bytes written to output and error are kept apart, for the run in
// progress, exactly as written (no line buffering, no text decoding).
var chordsRun = null;

function chordsBytes() {
  var bytes = new Uint8Array(4096);
  var used = 0;
  return {
    push: function (byte) {
      if (used === bytes.length) {
        var larger = new Uint8Array(bytes.length * 2);
        larger.set(bytes);
        bytes = larger;
      }
      bytes[used++] = byte;
    },
    take: function () { return bytes.slice(0, used); }
  };
}

Module['preRun'] = [].concat(Module['preRun'] || [], function () {
  FS.init(function () { return null; },
          function (byte) { if (chordsRun) chordsRun.stdout.push(byte); },
          function (byte) { if (chordsRun) chordsRun.stderr.push(byte); });
});

// The runtime's own messages (an abort's reason) go to the run's result
// instead of the console, unless the caller gave printErr.
if (!Module['printErr']) {
  Module['printErr'] = function (text) {
    if (chordsRun) chordsRun.messages.push(String(text));
  };
}
