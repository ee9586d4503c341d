// Renders Markdown twins with the CommonMark reference implementation and checks them:
// no HTML from the page comes out live (no HTML node in the parsed document), every link
// and image destination is http(s), and the rendered text holds the same words as the
// extracted content (<id>.txt beside each <id>.md), title and address aside. With --package
// the folder is a package's md/ tree: every .md below it is checked, without the words.
// Usage: node check_twins.js <folder> [--package]   (prints problems; exits 1 when any)
const fs = require("fs");
const path = require("path");
const commonmark = require("commonmark");

const folder = process.argv[2];
const packageTree = process.argv.includes("--package");
const wordsOf = (text) => (text.toLowerCase().match(/[\p{L}\p{N}_]+/gu) || []);
let problems = 0;
let twins = 0;
const fail = (file, message) => {
    problems += 1;
    console.log(`${file}: ${message}`);
};

const twinFiles = fs.readdirSync(folder, { recursive: packageTree })
    .filter((n) => n.endsWith(".md")).sort();
for (const name of twinFiles) {
    twins += 1;
    const markdown = fs.readFileSync(path.join(folder, name), "utf8");
    const document = new commonmark.Parser().parse(markdown);
    const html = new commonmark.HtmlRenderer({ safe: false }).render(document);
    const walker = document.walker();
    let event;
    let block = 0;        // top-level block number: 0 is the title, 1 the address
    // Text of the title and address line, of everything after them, and of image
    // descriptions (which the plain text leaves out); inline pieces join as rendered.
    const text = { header: "", body: "", alt: "" };
    let imageDepth = 0;
    while ((event = walker.next())) {
        const node = event.node;
        if (event.entering && node.parent === document) {
            block += 1;
        }
        if (node.type === "html_block" || node.type === "html_inline") {
            fail(name, `live HTML: ${JSON.stringify(node.literal)}`);
        }
        if ((node.type === "link" || node.type === "image") && event.entering &&
            !/^https?:\/\//.test(node.destination)) {
            fail(name, `${node.type} to ${JSON.stringify(node.destination)}`);
        }
        if (node.type === "image") {
            imageDepth += event.entering ? 1 : -1;
        }
        const region = block <= 2 ? "header" : imageDepth > 0 ? "alt" : "body";
        if (event.entering && (node.type === "text" || node.type === "code" ||
                               node.type === "code_block")) {
            text[region] += node.literal;
        } else if (node.isContainer || node.type === "softbreak" || node.type === "linebreak" ||
                   node.type === "code_block" || node.type === "image") {
            text[region] += " ";
            if (node.type === "image") text.body += " ";
        }
    }
    const header = wordsOf(text.header);
    const body = wordsOf(text.body);
    const alt = wordsOf(text.alt);
    if (/<(script|iframe|img|b|td|h1)\b/i.test(html.replace(/<\/?(p|h[1-6]|ul|ol|li|a|img src="https?:[^"]*"[^>]*|pre|code|blockquote|table|thead|tbody|tr|th|td|em|strong|br)( [^>]*)?\/?>/gi, ""))) {
        fail(name, "rendered HTML holds an element from the page");
    }
    if (packageTree) continue;
    const content = fs.readFileSync(path.join(folder, name.replace(/\.md$/, ".txt")), "utf8");
    const expected = wordsOf(content);
    const have = new Map();
    for (const w of body.concat(alt)) have.set(w, (have.get(w) || 0) + 1);
    const allowed = new Set(expected.concat(header, alt));
    const missing = expected.filter((w) => !have.has(w) && !header.includes(w));
    const extra = body.filter((w) => !allowed.has(w));
    if (missing.length) fail(name, `words of the content missing: ${missing.slice(0, 10).join(" ")}`);
    if (extra.length) fail(name, `words not in the content: ${extra.slice(0, 10).join(" ")}`);
}
if (twins === 0) fail(folder, "no twins to check");
console.log(`${twins} twins, ${problems} problems`);
process.exit(problems ? 1 : 0);
