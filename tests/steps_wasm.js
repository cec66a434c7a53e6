// chords-steps compiled to WebAssembly against the native program: every run
// gives the same exit status, the same bytes on standard output and error,
// and the same file, byte for byte; the cross-platform cases also against
// their expected files; and one instance gives the same bytes run after run.
//   node tests/steps_wasm.js chords-steps-web.js NATIVE_CHORDS_STEPS TYPED_TABLES_DIR
'use strict';
const assert = require('node:assert');
const { spawnSync } = require('node:child_process');
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const zlib = require('node:zlib');
const { test } = require('node:test');

const [modulePath, nativeProgram, tablesDir] = process.argv.slice(2).map((given) => path.resolve(given));
// The page's module carries the module inside it, compressed, as the page
// hands it over.
const createChordsSteps = require(modulePath);
const instancePromise = createChordsSteps({ wasmBinary: zlib.gunzipSync(Buffer.from(createChordsSteps.wasm, 'base64')) });

// The native program in a folder of its own, the file named as in the
// module's file system, relative to the current folder of each.
function nativeRun(args, fileName) {
  const dir = fs.mkdtempSync(path.join(os.tmpdir(), 'steps-wasm-'));
  try {
    const { status, stdout, stderr, error } = spawnSync(nativeProgram, args, { cwd: dir });
    if (error) throw error;
    const file = fileName && fs.existsSync(path.join(dir, fileName))
      ? fs.readFileSync(path.join(dir, fileName)) : null;
    return { status, stdout, stderr, file };
  } finally {
    fs.rmSync(dir, { recursive: true, force: true });
  }
}

function moduleRun(instance, args, fileName) {
  if (fileName && instance.FS.analyzePath('/' + fileName).exists) instance.FS.unlink('/' + fileName);
  const result = instance.runSteps(args);
  const file = fileName && instance.FS.analyzePath('/' + fileName).exists
    ? Buffer.from(instance.FS.readFile('/' + fileName)) : null;
  if (fileName && file) instance.FS.unlink('/' + fileName);
  return { status: result.status, stdout: Buffer.from(result.stdout), stderr: Buffer.from(result.stderr), file };
}

function assertSame(actual, expected, what) {
  assert.strictEqual(actual.status, expected.status, what + ': exit status');
  assert.ok(actual.stdout.equals(expected.stdout), what + ': standard output differs');
  assert.ok(actual.stderr.equals(expected.stderr), what + ': standard error differs');
  if (expected.file === null) {
    assert.strictEqual(actual.file, null, what + ': a file the native run did not write');
  } else {
    assert.ok(actual.file !== null && actual.file.equals(expected.file), what + ': the file differs');
  }
}

// Each case as the native suites run it: the file's kind is its option.
function typedCases() {
  return fs.readFileSync(path.join(tablesDir, 'cases.txt'), 'latin1').split('\n').filter(Boolean).map((line) => {
    const [name, ...words] = line.trim().split(/\s+/);
    const kind = name.slice(name.lastIndexOf('.') + 1);
    return { name, args: words.map((word) => word.replaceAll('_', ' ')).concat(['--' + kind, name]) };
  });
}

test('the cross-platform cases give their expected files and the native bytes', async () => {
  const instance = await instancePromise;
  const cases = typedCases();
  assert.strictEqual(cases.length, 20);
  for (const { name, args } of cases) {
    const run = moduleRun(instance, args, name);
    assert.strictEqual(run.status, 0, name);
    assert.ok(run.file && run.file.equals(fs.readFileSync(path.join(tablesDir, name))), name + ': not the expected file');
    assertSame(run, nativeRun(args, name), name);
  }
});

// The fixed equation's working values F(a) and F(b) in the CSV are one unit
// of the 64-bit significand apart where x86-64's C library expl is not
// correctly rounded (the README's "Extended precision on every processor");
// the module computes e^t as ARM does. Every other byte is compared.
function withoutWorkingValues(csv) {
  return Buffer.from(csv.toString('latin1').split('\r\n')
    .map((line) => line.split(',').filter((field, k) => k !== 3 && k !== 4).join(',')).join('\r\n'), 'latin1');
}

// The runs the lesson page's form makes, and its mistakes.
const pageRuns = [
  ['the fixed equation as CSV', ['0', '1', '0.0001', '100', '--csv', 'run.csv'], 'run.csv', withoutWorkingValues],
  ['the fixed equation as a page', ['0', '1', '0.0001', '100', '--html', 'run.html'], 'run.html'],
  ['the fixed equation in extended precision, pictured',
    ['0', '1', '1e-18', '100', '--precision', 'extended', '--svg', 'run.svg'], 'run.svg'],
  ['a faulty expression', ['--equation', 'x^2 - 2*', '0', '2', '1e-6', '20'], null],
  ['an unknown function', ['--equation', 'sine(x)', '0', '2', '1e-6', '20'], null],
  ['a refused interval', ['--equation', 'x^2 + 1', '0', '2', '1e-6', '20'], null],
  ['the help', ['--help'], null],
  // Over 64 KiB of table, written in blocks without the writing thread.
  ['a long table', ['--equation', 'x^2 - 2', '1', '2', '1e-18', '2000', '--method', 'iteration',
    '--phi', 'x - (x^2 - 2)/1000', '--precision', 'extended'], null],
];

test('the page\'s runs give the native bytes', async () => {
  const instance = await instancePromise;
  for (const [what, args, fileName, compared] of pageRuns) {
    const run = moduleRun(instance, args, fileName);
    const native = nativeRun(args, fileName);
    if (compared) {
      assert.ok(run.file !== null && native.file !== null, what + ': no file');
      [run.file, native.file] = [compared(run.file), compared(native.file)];
    }
    assertSame(run, native, what);
  }
  const faulty = moduleRun(instance, pageRuns[3][1], null);
  assert.strictEqual(faulty.status, 2);
  assert.ok(faulty.stderr.includes('^'), 'the faulty expression\'s caret');
  assert.ok(moduleRun(instance, pageRuns[7][1], null).stdout.length > 64 * 1024);
});

test('100 runs in a row in one instance give the same bytes and keep its memory', async () => {
  const instance = await instancePromise;
  const runs = [pageRuns[0], pageRuns[3], ['a typed case', typedCases()[4].args, typedCases()[4].name]];
  const first = runs.map(([, args, fileName]) => moduleRun(instance, args, fileName));
  let memory = 0;
  for (let i = 1; i < 100; ++i) {
    runs.forEach(([what, args, fileName], k) => assertSame(moduleRun(instance, args, fileName), first[k], what + ', run ' + (i + 1)));
    if (i === 10) memory = instance.HEAP8.length;
  }
  assert.strictEqual(instance.HEAP8.length, memory, 'the memory grew from run 10 to run 100');
});
