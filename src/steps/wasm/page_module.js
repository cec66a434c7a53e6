// The lesson page's module: emscripten's loader with the module itself
// inside it, gzip-compressed and in base64, for a page to carry as one
// script (from file:// a page may not fetch a file beside it). Compressed,
// the module is half its size; the page inflates it with the browser's
// DecompressionStream and hands the bytes to the loader as wasmBinary.
//   node page_module.js LOADER.js MODULE.wasm OUT.js
'use strict';
const fs = require('node:fs');
const zlib = require('node:zlib');

const [loader, wasm, out] = process.argv.slice(2);
const packed = zlib.gzipSync(fs.readFileSync(wasm), { level: 9 }).toString('base64');
fs.writeFileSync(out, fs.readFileSync(loader, 'utf8') +
  '\nvar chordsStepsWasm = "' + packed + '";\n' +
  'if (typeof module === "object" && module.exports) { module.exports.wasm = chordsStepsWasm; }\n');
