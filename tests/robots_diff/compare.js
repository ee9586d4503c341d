// Differential check of our robots.txt matcher (the robots_verdicts tool) against the npm
// package robots-parser, on generated files and paths.
//   node compare.js ROBOTS_VERDICTS NODE_MODULES_DIR WORK_DIR JUNIT_FILE [CASES]
// Prints every disagreement and writes the outcome as JUnit XML. Exits 1 when the check could
// not run or any disagreement falls in a case that carries none of the deliberate differences
// listed below, 0 otherwise.
'use strict';
const fs = require('fs');
const path = require('path');
const { execFileSync } = require('child_process');

const [verdictsTool, modulesDir, workDir, junitFile, caseArg] = process.argv.slice(2);
const caseCount = Number(caseArg || 600);

function xmlEscape(text) {
  return text.replace(/&/g, '&amp;').replace(/</g, '&lt;').replace(/>/g, '&gt;')
      .replace(/"/g, '&quot;').replace(/[\u0000-\u0008\u000b\u000c\u000e-\u001f]/g, '');
}

function finish(failure) {
  const testcase = '<testcase classname="RobotsDifferential" name="robots-parser agrees">' +
      (failure ? '<failure message="disagreements">' + xmlEscape(failure) + '</failure>' : '') +
      '</testcase>';
  fs.writeFileSync(junitFile, '<?xml version="1.0" encoding="UTF-8"?>\n<testsuites>' +
      '<testsuite name="RobotsDifferential" tests="1" failures="' + (failure ? 1 : 0) + '">' +
      testcase + '</testsuite></testsuites>\n');
  process.exit(failure ? 1 : 0);
}

let robotsParser;
try {
  robotsParser = require(path.join(modulesDir, 'robots-parser'));
} catch (error) {
  console.log('robots-parser is not installed under ' + modulesDir + ' (run tools/setup)');
  finish('robots-parser is not installed under ' + modulesDir);
}
if (!fs.existsSync(verdictsTool)) {
  console.log(verdictsTool + ' was not built');
  finish(verdictsTool + ' was not built');
}

// Where our reading differs on purpose. A generated case that uses one of these features is
// tagged with it; disagreements in tagged cases are printed but expected.
const DELIBERATE = {
  misspelling: 'misspelled keys (useragent, user agent, dissallow, disalow, ...) are read, ' +
    'as widely used crawlers read them; robots-parser ignores those lines',
  bom: 'a UTF-8 byte-order mark before the first line is skipped; robots-parser reads ' +
    '"\\uFEFFUser-agent" as an unknown key',
  'open-group': 'lines other than rules (Sitemap, Crawl-delay, unknown keys) between ' +
    'user-agent lines keep the group open, as RFC 9309 groups them; robots-parser starts a ' +
    'new group after any non-user-agent line',
  'unreserved-escape': 'escapes of unreserved characters (%41 for "A") are decoded before ' +
    'matching, as RFC 9309 asks; robots-parser compares them encoded',
  'agent-with-space': 'the product token of "User-agent: Foo Bar" is "foo", up to white ' +
    'space; robots-parser keeps the whole value',
  'parse-limit': 'only the first 500 KiB are read (the cut line dropped); robots-parser ' +
    'reads everything',
  'rule-less-group': 'user-agent lines with no rule after them (at the end of the file) bind ' +
    'their crawlers, who may then read everything, as RFC 9309 and widely used crawlers read ' +
    'them; robots-parser sends those crawlers to the "*" group',
  'colon-less': 'a rule or user-agent line written without its colon ("Disallow /x") counts ' +
    'when it is exactly two words, as widely used crawlers read it; robots-parser ignores it',
  'token-chars': 'a user-agent\'s product token is its leading run of letters, "_" and "-" ' +
    '("Baiduspider+(+http://...)" names baiduspider, "Mediapartners-Google*" names ' +
    'mediapartners-google); robots-parser keeps everything before "/"',
};

// Small deterministic generator, so a failure reproduces.
let seed = 20261208;
function random() {
  seed = (seed * 1103515245 + 12345) % 2147483648;
  return seed / 2147483648;
}
const pick = (list) => list[Math.floor(random() * list.length)];
const chance = (p) => random() < p;

const AGENTS = ['GPTBot', 'gptbot', 'ClaudeBot', 'CCBot', 'Googlebot', 'Bingbot', 'OtherBot',
                'Mediapartners-Google', 'Baiduspider'];
const SEGMENTS = ['a', 'b', 'ab', 'shop', 'cart', 'x.php', 'y.html', 'caf%C3%A9', 'jalape\u00f1o',
                  'q?s=1', 'p%2Fq', 'Z', 'a-b', 'a_b', 'a~b'];

// At most one deliberate difference per generated file, in about a quarter of them, so that
// most files must agree verdict for verdict.
let feature = null;
const uses = (name, p) => feature === name && chance(p);

function pattern(tags) {
  let text = '/';
  const parts = 1 + Math.floor(random() * 3);
  for (let i = 0; i < parts; i++) {
    if (chance(0.2)) {
      text += '*';
    }
    text += pick(SEGMENTS);
    if (i + 1 < parts && chance(0.6)) {
      text += '/';
    }
  }
  if (chance(0.15)) {
    text += '*';
  }
  if (chance(0.2)) {
    text += '$';
  }
  if (chance(0.05)) {
    text = chance(0.5) ? '/' : '*';
  }
  if (uses('unreserved-escape', 0.3)) {
    text += pick(['%41', '%7e', '%2D']);
    tags.add('unreserved-escape');
  }
  return text;
}

function agentLine(tags) {
  let agent = chance(0.25) ? '*' : pick(AGENTS);
  if (chance(0.1)) {
    agent += '/1.0';
  }
  let key = pick(['User-agent', 'user-agent', 'USER-AGENT', 'User-Agent']);
  if (uses('misspelling', 0.3)) {
    key = pick(['useragent', 'user agent']);
    tags.add('misspelling');
  }
  if (uses('agent-with-space', 0.3)) {
    agent += ' Extra';
    tags.add('agent-with-space');
  }
  if (uses('token-chars', 0.4)) {
    agent += pick(['+(+http://example.com/bot.htm)', '*', '!', '2']);
    tags.add('token-chars');
  }
  if (uses('colon-less', 0.3)) {
    tags.add('colon-less');
    return key.replace(' ', '-') + pick([' ', '\t']) + agent;
  }
  return key + ':' + pick([' ', '', '  ', '\t']) + agent;
}

function ruleLine(tags) {
  let key = pick(['Allow', 'Disallow', 'disallow', 'DISALLOW', 'allow']);
  if (uses('misspelling', 0.3)) {
    key = pick(['dissallow', 'disalow', 'dissalow']);
    tags.add('misspelling');
  }
  const value = chance(0.05) ? '' : pattern(tags);
  const comment = chance(0.1) ? ' # note' : '';
  if (value && uses('colon-less', 0.4)) {
    tags.add('colon-less');
    return key + pick([' ', '\t', '  ']) + value + comment;
  }
  return key + pick([': ', ':', ' : ']) + value + comment;
}

function makeCase() {
  const tags = new Set();
  feature = chance(0.25)
      ? pick(['misspelling', 'bom', 'open-group', 'unreserved-escape', 'agent-with-space',
              'rule-less-group', 'colon-less', 'token-chars'])
      : null;
  const lines = [];
  if (chance(0.1)) {
    lines.push('# robots.txt for a generated site');
  }
  if (chance(0.05)) {
    lines.push('Disallow: /before-any-agent');
  }
  const groups = 1 + Math.floor(random() * 4);
  for (let g = 0; g < groups; g++) {
    const agents = 1 + Math.floor(random() * 3);
    for (let a = 0; a < agents; a++) {
      lines.push(agentLine(tags));
      if (a + 1 < agents && uses('open-group', 0.5)) {
        lines.push(pick(['Crawl-delay: 5', 'Sitemap: https://example.com/s.xml', 'Foo: bar']));
        tags.add('open-group');
      }
    }
    let rules = Math.floor(random() * 7);
    if (g + 1 === groups && feature === 'rule-less-group') {
      rules = 0;
    }
    if (g + 1 === groups && rules === 0) {
      // Whatever the feature drawn, a file ending in user-agent lines is read differently.
      tags.add('rule-less-group');
    }
    for (let r = 0; r < rules; r++) {
      lines.push(ruleLine(tags));
    }
    if (chance(0.5)) {
      lines.push('');
    }
  }
  if (chance(0.2)) {
    lines.push('Sitemap: https://example.com/sitemap.xml');
  }
  const lineEnd = pick(['\n', '\n', '\r\n', '\r']);
  let text = lines.join(lineEnd) + (chance(0.8) ? lineEnd : '');
  if (uses('bom', 1)) {
    text = '\ufeff' + text;
    tags.add('bom');
  }
  return { text, tags };
}

// Long files: one under the 500 KiB limit (must agree), one past it.
function longCase(bytes, tags) {
  const lines = ['User-agent: *'];
  let size = 14;
  let i = 0;
  while (size < bytes) {
    const line = (i % 3 ? 'Allow: /keep/' : 'Disallow: /filler/') + i;
    lines.push(line);
    size += line.length + 1;
    i++;
  }
  lines.push('Disallow: /shop');
  return { text: lines.join('\n') + '\n', tags };
}

const PATHS = ['/', '/a', '/ab', '/a/b', '/shop', '/shop/cart', '/cart', '/x.php', '/a/x.php',
               '/x.php?y', '/y.html', '/a/y.html/z', '/caf%C3%A9', '/caf\u00e9', '/jalape%c3%b1o',
               '/jalape\u00f1o', '/q?s=1', '/a/q?s=1', '/p%2Fq', '/p/q', '/Z', '/z', '/a-b',
               '/a_b', '/a~b', '/%7e', '/~', '/A', '/%41', '/before-any-agent', '/filler/3',
               '/keep/1', '/shop/x'];
const QUERY_AGENTS = ['GPTBot', 'gptbot', 'ClaudeBot', 'CCBot', 'Googlebot', 'Bingbot',
                      'OtherBot', 'NobodyBot', 'Mediapartners-Google', 'Baiduspider'];

fs.mkdirSync(workDir, { recursive: true });
const cases = [];
for (let i = 0; i < caseCount; i++) {
  cases.push(makeCase());
}
cases.push(longCase(450 * 1024, new Set()));
cases.push(longCase(520 * 1024, new Set(['parse-limit'])));

const queries = [];
for (const agent of QUERY_AGENTS) {
  for (const p of PATHS) {
    queries.push([agent, p]);
  }
}
fs.writeFileSync(path.join(workDir, 'queries.txt'),
                 queries.map(([a, p]) => a + '\t' + p).join('\n') + '\n');
const files = cases.map((c, i) => {
  const file = path.join(workDir, 'case-' + i + '.txt');
  fs.writeFileSync(file, c.text, 'utf8');
  return file;
});

const ours = new Map();
const batch = 100;
for (let start = 0; start < files.length; start += batch) {
  const output = execFileSync(verdictsTool, [path.join(workDir, 'queries.txt'),
                                             ...files.slice(start, start + batch)],
                              { maxBuffer: 1 << 28, encoding: 'utf8' });
  for (const line of output.split('\n')) {
    if (!line) {
      continue;
    }
    const [index, agent, p, allowed] = line.split('\t');
    ours.set((start + Number(index)) + '\t' + agent + '\t' + p, allowed === '1');
  }
}

let compared = 0;
let unexpected = 0;
const unexpectedLines = [];
let deliberate = 0;
cases.forEach((c, i) => {
  const robots = robotsParser('http://example.com/robots.txt', c.text);
  for (const [agent, p] of queries) {
    const theirs = robots.isAllowed('http://example.com' + p, agent);
    const key = i + '\t' + agent + '\t' + p;
    if (!ours.has(key)) {
      console.log('MISSING verdict for case ' + i + ' ' + agent + ' ' + p);
      unexpectedLines.push('missing verdict for case ' + i + ' ' + agent + ' ' + p);
      unexpected++;
      continue;
    }
    compared++;
    if (ours.get(key) === theirs) {
      continue;
    }
    const why = [...c.tags].join(', ');
    const line = (why ? 'deliberate (' + why + ')' : 'UNEXPECTED') + ': case ' + i + ' agent ' +
                 agent + ' path ' + p + ': ours ' + (ours.get(key) ? 'allow' : 'disallow') +
                 ', robots-parser ' + (theirs ? 'allow' : 'disallow');
    if (why) {
      deliberate++;
    } else {
      unexpected++;
      unexpectedLines.push(line + '\n  file: ' + JSON.stringify(c.text));
    }
    console.log(line);
    if (!why || deliberate <= 20) {
      console.log('  file: ' + JSON.stringify(c.text.length > 600 ? c.text.slice(0, 600) + '...'
                                                                   : c.text));
    }
  }
});
const tagged = cases.filter((c) => c.tags.size > 0).length;
console.log('compared ' + compared + ' verdicts over ' + cases.length + ' files (' + tagged +
            ' with a deliberate difference): ' + unexpected +
            ' unexpected and ' + deliberate + ' deliberate disagreements');
console.log('deliberate differences:');
for (const [tag, text] of Object.entries(DELIBERATE)) {
  console.log('  ' + tag + ': ' + text);
}
if (compared === 0) {
  finish('no verdicts were compared');
}
finish(unexpected === 0 ? '' : unexpected + ' unexpected disagreements\n' +
                                  unexpectedLines.slice(0, 40).join('\n'));
