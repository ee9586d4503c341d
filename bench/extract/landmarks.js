// The other side of bench/extract/parser-agreement: the same landmark word counts as
// landmark_driver, from parse5, a parser that follows the HTML standard's tree construction.
// Scripting is off, as it is for our tree and for crawlers that run no scripts, so <noscript>
// is read as markup. Usage: node landmarks.js < list
'use strict';
const fs = require('fs');
const parse5 = require('parse5');

const LANDMARKS = new Map([...['head', 'nav', 'aside', 'header', 'footer', 'form', 'button',
    'main', 'article', 'a', 'p', 'li', 'table'].map((name) => [name, name]),
    ...['h1', 'h2', 'h3', 'h4', 'h5', 'h6'].map((name) => [name, 'heading'])]);
const OUTSIDE = new Set(['script', 'style', 'template', 'textarea', 'title', 'iframe']);

function landmarkWords(html) {
    const words = {};
    const add = (name, count) => { words[name] = (words[name] || 0) + count; };
    (function walk(node, inside) {
        if (node.nodeName === '#text') {
            const count = (node.value.replace(/\u00a0/g, ' ').match(/[A-Za-z0-9\u0080-\uffff]+/g) || []).length;
            if (count > 0) {
                add('all', count);
                for (const name of inside) add(name, count);
            }
            return;
        }
        if (OUTSIDE.has(node.nodeName)) return;
        const part = LANDMARKS.get(node.nodeName);
        const next = part ? new Set([...inside, part]) : inside;
        for (const child of node.childNodes || []) walk(child, next);
    })(parse5.parse(html, { scriptingEnabled: false }), new Set());
    return words;
}

const lines = fs.readFileSync(0, 'utf8').split('\n').filter(Boolean);
for (const line of lines) {
    const [id, path] = line.split('\t');
    console.log(JSON.stringify({ id, words: landmarkWords(fs.readFileSync(path, 'utf8')) }));
}
