// The peer: @mozilla/readability on jsdom over the same pages. Reads "id<TAB>path<TAB>address"
// lines from the list file, writes <out>/<id>.txt (textContent of the article) and prints
// the pages and the processor seconds spent parsing and extracting (file reading left out),
// measured as our driver measures its own.
// Usage: node readability.js <list-file> <out-dir>
const fs = require("fs");
const { JSDOM, VirtualConsole } = require("jsdom");
const { Readability } = require("@mozilla/readability");

const [listFile, outDir] = process.argv.slice(2);
const lines = fs.readFileSync(listFile, "utf8").split("\n").filter(Boolean);
const quiet = new VirtualConsole();
let seconds = 0, bytes = 0;
for (const line of lines) {
    const [id, path, address] = line.split("\t");
    const html = fs.readFileSync(path, "utf8");
    const start = process.cpuUsage();
    let text = "";
    try {
        const dom = new JSDOM(html, { url: address, virtualConsole: quiet });
        const article = new Readability(dom.window.document).parse();
        text = article && article.textContent ? article.textContent : "";
        dom.window.close();
    } catch (error) {
        text = "";
    }
    const used = process.cpuUsage(start);
    seconds += (used.user + used.system) / 1e6;
    bytes += Buffer.byteLength(html);
    fs.writeFileSync(`${outDir}/${id}.txt`, text);
}
console.log(JSON.stringify({ pages: lines.length, seconds, bytes }));
