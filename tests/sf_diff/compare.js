// Differential check of our RFC 9651 Dictionary parser (the sf_dump tool) against the npm
// package structured-headers, on generated and hand-picked field values.
//   node compare.js SF_DUMP NODE_MODULES_DIR WORK_DIR JUNIT_FILE [CASES]
// Both results are written in one form (sf_dump's): "FAIL", or "OK " and the dictionary.
// Prints every disagreement and writes the outcome as JUnit XML. Exits 1 when the check could
// not run or any disagreement is not one of the documented differences below.
'use strict';
const fs = require('fs');
const path = require('path');
const { pathToFileURL } = require('url');
const { execFileSync } = require('child_process');

const [dumpTool, modulesDir, workDir, junitFile, caseArg] = process.argv.slice(2);
const caseCount = Number(caseArg || 4000);

function xmlEscape(text) {
  return text.replace(/&/g, '&amp;').replace(/</g, '&lt;').replace(/>/g, '&gt;')
      .replace(/"/g, '&quot;').replace(/[\u0000-\u0008\u000b\u000c\u000e-\u001f]/g, '');
}

function finish(failure) {
  const testcase = '<testcase classname="StructuredFieldsDifferential" ' +
      'name="structured-headers agrees">' +
      (failure ? '<failure message="disagreements">' + xmlEscape(failure) + '</failure>' : '') +
      '</testcase>';
  fs.writeFileSync(junitFile, '<?xml version="1.0" encoding="UTF-8"?>\n<testsuites>' +
      '<testsuite name="StructuredFieldsDifferential" tests="1" failures="' +
      (failure ? 1 : 0) + '">' + testcase + '</testsuite></testsuites>\n');
  process.exit(failure ? 1 : 0);
}

// Where the two parsers differ, each with a test that recognises it from the value and both
// results. Anything else is a fault in one of them.
const DOCUMENTED = {
  'date-then-more': {
    text: 'a Date followed by anything (a parameter, ", next") parses for us as RFC 9651 ' +
      'says; structured-headers reads digits to the end of the input and fails on the rest',
    test: (input, ours, theirs) => theirs === 'FAIL' && ours.startsWith('OK') &&
      /@-?\d+[^\d]/.test(input),
  },
  'date-range': {
    text: 'a Date beyond what a JavaScript Date holds (about 2.7 million years) parses for us ' +
      'with its value; structured-headers gives an invalid Date',
    test: (input, ours, theirs) => ours.startsWith('OK') &&
      [...ours.matchAll(/@-?(\d+)/g)].some((m) => Number(m[1]) > 8.64e12),
  },
  bounds: {
    text: 'a value of more than 64 KiB, 1024 members, 256 inner-list items or 256 parameters ' +
      'fails for us (the RFC asks parsers to take at least those); structured-headers has no bound',
    test: (input, ours, theirs, big) => ours === 'FAIL' && theirs.startsWith('OK') && big,
  },
};

function lowerHex(byte) {
  return '%' + byte.toString(16).padStart(2, '0');
}

function bare(value, sh) {
  if (typeof value === 'number') {
    return Number.isInteger(value) ? String(value === 0 ? 0 : value)
                                   : value.toFixed(3).replace(/0+$/, '');
  }
  if (typeof value === 'boolean') {
    return value ? '?1' : '?0';
  }
  if (typeof value === 'string') {
    return '"' + value.replace(/["\\]/g, (c) => '\\' + c) + '"';
  }
  if (value instanceof sh.Token) {
    return value.toString();
  }
  if (value instanceof sh.DisplayString) {
    let out = '%"';
    for (const byte of new TextEncoder().encode(value.toString())) {
      out += byte === 0x25 || byte === 0x22 || byte < 0x20 || byte > 0x7e
          ? lowerHex(byte) : String.fromCharCode(byte);
    }
    return out + '"';
  }
  if (value instanceof Date) {
    return '@' + Math.floor(value.getTime() / 1000);
  }
  if (value instanceof ArrayBuffer || ArrayBuffer.isView(value)) {
    return ':' + Buffer.from(value).toString('base64') + ':';
  }
  return '<unknown ' + typeof value + '>';
}

function parameters(map, sh) {
  let out = '';
  for (const [key, value] of map) {
    out += ';' + key + (value === true ? '' : '=' + bare(value, sh));
  }
  return out;
}

// Whether a parsed dictionary goes past one of our bounds.
function beyondBounds(input, dictionary) {
  if (input.length > 64 * 1024 || dictionary.size > 1024) {
    return true;
  }
  for (const [value, params] of dictionary.values()) {
    if (params.size > 256 || (Array.isArray(value) &&
                              (value.length > 256 || value.some(([, p]) => p.size > 256)))) {
      return true;
    }
  }
  return false;
}

function theirResult(input, sh) {
  let dictionary;
  try {
    dictionary = sh.parseDictionary(input);
  } catch (error) {
    return { text: 'FAIL', big: false };
  }
  const members = [];
  for (const [key, [value, params]] of dictionary) {
    if (Array.isArray(value)) {
      members.push(key + '=(' + value.map(([v, p]) => bare(v, sh) + parameters(p, sh)).join(' ') +
                   ')' + parameters(params, sh));
    } else if (value === true) {
      members.push(key + parameters(params, sh));
    } else {
      members.push(key + '=' + bare(value, sh) + parameters(params, sh));
    }
  }
  return { text: 'OK ' + members.join(', '), big: beyondBounds(input, dictionary) };
}

// Small deterministic generator, so a failure reproduces.
let seed = 96511;
function random() {
  seed = (seed * 1103515245 + 12345) % 2147483648;
  return seed / 2147483648;
}
const pick = (list) => list[Math.floor(random() * list.length)];
const chance = (p) => random() < p;

const KEYS = ['train-ai', 'search', 'a', '*', 'a1', 'x_y', 'k.z', 'a-b-c', '*x', 'ai-train'];
const BAD_KEYS = ['A', '1a', '-a', 'train ai', '', 'é'];
const BARES = ['y', 'n', 'Y', 'yes', '*tok', 'a:b/c', '0', '-7', '999999999999999',
  '1000000000000000', '1.5', '-0.25', '1.', '1.2345', '123456789012.1', '1234567890123.1',
  '"str"', '"a\\"b\\\\c"', '"bad\\x"', '"open', '"\u0007"', ':aGVsbG8=:', ':aGVsbG8:', ':a=b:',
  ':abcde:', '::', '?0', '?1', '?2', '@1700000000', '@-5', '@1.5', '@99999999999999',
  '%"caf%c3%a9"', '%"bad%C3%A9"', '%"%ff"', '%"plain"', '%"', '(a b)', '()', '( y  n )',
  '(a;p=1 "s")', '(a,b)', '(a', 'tok;p', 'tok;p=?0;q="s"', 'tok; p=1', 'tok;P=1'];
const JOINERS = [', ', ',', ' , ', ',\t', ' ,', ',  ', ',,', ';', ' '];

function member() {
  const key = chance(0.05) ? pick(BAD_KEYS) : pick(KEYS);
  if (chance(0.2)) {
    return key + (chance(0.5) ? ';p' : '');
  }
  return key + '=' + pick(BARES);
}

function makeCase() {
  const count = 1 + Math.floor(random() * 4);
  const parts = [];
  for (let i = 0; i < count; i++) {
    parts.push(member());
  }
  let text = parts[0];
  for (let i = 1; i < parts.length; i++) {
    text += (chance(0.9) ? pick(JOINERS.slice(0, 6)) : pick(JOINERS)) + parts[i];
  }
  if (chance(0.1)) {
    text = pick([' ', '  ', '\t']) + text;
  }
  if (chance(0.1)) {
    text += pick([' ', ',', '\t', ' ,']);
  }
  if (chance(0.05)) {
    const at = Math.floor(random() * text.length);
    text = text.slice(0, at) + text.slice(at + 1);
  }
  return text;
}

const EDGES = ['', ' ', 'train-ai=n', 'train-ai=y, search=n', 'train-ai=n, train-ai=y',
  'train-ai=y,search=n', 'train-ai=n,', 'train-ai=n, ', 'train-ai', 'train-ai;q=1',
  ' train-ai=n', '\ttrain-ai=n', 'train-ai=n\t', 'train-ai = n', 'train-ai=n search=y',
  'TRAIN-AI=n', 'train-ai="n"', 'train-ai=n;src=x, search=(y n)', 'a=?1', 'a=\u00e9',
  'a="\u00e9"', 'a=b\u0000', 'a=1;b=2;b=3', 'a=(1 2);x, a=3', 'a=-', 'a=--1', 'a=1.2.3',
  'a=@', 'a=@-', 'a=%"\u007f"', 'a=%"%2"', 'a=:YQ==:', 'a=:YQ=:', 'a=:Y:', 'a=:YQ:',
  'a=:Y Q=:', 'a=(  )', 'a=( a)', 'a=(a )', 'a=(a  b)', 'a=(a\tb)', 'a=1,\tb=2',
  'a=1 ,b=2', 'a=1, b=@1, c=3', 'a=@1;p=2', 'a=@999999999999999'];

function boundCases() {
  const many = [];
  for (let i = 0; i < 1100; i++) {
    many.push('k' + i + '=y');
  }
  const items = [];
  for (let i = 0; i < 300; i++) {
    items.push('t');
  }
  const params = [];
  for (let i = 0; i < 300; i++) {
    params.push(';p' + i);
  }
  return [many.join(', '), many.slice(0, 1024).join(', '), 'a=(' + items.join(' ') + ')',
          'a' + params.join(''), 'a="' + 'x'.repeat(70000) + '"'];
}

(async () => {
  let sh;
  try {
    sh = await import(pathToFileURL(path.join(modulesDir, 'structured-headers', 'dist',
                                              'index.js')).href);
  } catch (error) {
    console.log('structured-headers is not installed under ' + modulesDir + ' (run tools/setup)');
    finish('structured-headers is not installed under ' + modulesDir);
  }
  if (!fs.existsSync(dumpTool)) {
    console.log(dumpTool + ' was not built');
    finish(dumpTool + ' was not built');
  }
  const cases = [...EDGES, ...boundCases()];
  for (let i = 0; i < caseCount; i++) {
    cases.push(makeCase());
  }
  fs.mkdirSync(workDir, { recursive: true });
  // Field values are bytes; each byte goes over as one character of a latin1 string.
  const inputFile = path.join(workDir, 'inputs.txt');
  fs.writeFileSync(inputFile, cases.map((c) => Buffer.from(c, 'utf8').toString('hex'))
                                  .join('\n') + '\n');
  const ours = execFileSync(dumpTool, [inputFile], { maxBuffer: 1 << 28, encoding: 'latin1' })
                   .split('\n');
  let unexpected = 0;
  let documented = 0;
  const unexpectedLines = [];
  cases.forEach((value, i) => {
    const input = Buffer.from(value, 'utf8').toString('latin1');
    const { text: theirs, big } = theirResult(input, sh);
    const mine = ours[i];
    if (mine === theirs) {
      return;
    }
    const why = Object.keys(DOCUMENTED).find((name) => DOCUMENTED[name].test(input, mine, theirs, big));
    const shown = JSON.stringify(value.length > 200 ? value.slice(0, 200) + '...' : value);
    const line = (why ? 'documented (' + why + ')' : 'UNDOCUMENTED') + ': ' + shown +
        '\n  ours:               ' + (mine || '<missing>').slice(0, 200) +
        '\n  structured-headers: ' + theirs.slice(0, 200);
    console.log(line);
    if (why) {
      documented++;
    } else {
      unexpected++;
      unexpectedLines.push(line);
    }
  });
  const parsed = ours.filter((line) => line.startsWith('OK')).length;
  console.log('compared ' + cases.length + ' values (' + parsed + ' parse for us): ' +
              unexpected + ' undocumented and ' + documented + ' documented disagreements');
  console.log('documented differences:');
  for (const [name, entry] of Object.entries(DOCUMENTED)) {
    console.log('  ' + name + ': ' + entry.text);
  }
  finish(unexpected === 0 ? '' : unexpected + ' undocumented disagreements\n' +
                                     unexpectedLines.slice(0, 40).join('\n'));
})();
