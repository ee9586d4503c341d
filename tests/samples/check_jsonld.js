// Reads knowledge-graph.json files with the jsonld processor and checks that a reader of the
// default graph sees every node and every value: each node becomes triples in the default
// graph, safe mode refuses any term it would have to drop, and the triples add up to the
// values in the file. Types and properties must be schema.org terms on a type they belong to.
//
// Usage: node check_jsonld.js NODE_DIR FILE...   Prints one line per problem; exits 1 on any.
"use strict";
const fs = require("fs");
const path = require("path");
const jsonld = require(path.join(process.argv[2], "node_modules", "jsonld"));

// The published schema.org context cannot be fetched here (no network), so the parts of it
// that matter for these files stand in for it: the vocabulary and the properties it declares
// as addresses, which a processor must then read as IRIs.
const SCHEMA_CONTEXT = {
  "@context": {
    "@vocab": "http://schema.org/",
    schema: "http://schema.org/",
    url: { "@id": "schema:url", "@type": "@id" },
  },
};

// The schema.org terms these files may use, with the types each property belongs to
// (https://schema.org/Thing, /Organization, /Product, /Person).
const TYPES = new Set(["Organization", "Product", "Person"]);
const PROPERTIES = {
  name: TYPES,
  url: TYPES,
  description: TYPES,
  email: new Set(["Organization", "Person"]),
  foundingDate: new Set(["Organization"]),
  brand: new Set(["Organization", "Person", "Product"]),
};

async function documentLoader(url) {
  if (url.replace(/\/$/, "") === "https://schema.org") {
    return { contextUrl: null, documentUrl: url, document: SCHEMA_CONTEXT };
  }
  throw new Error("no document for " + url);
}

async function check(file) {
  const problems = [];
  const doc = JSON.parse(fs.readFileSync(file, "utf8"));
  const top = Object.keys(doc).sort().join(",");
  if (top !== "@context,@graph") problems.push(`top level holds ${top}`);
  let expected = 0;
  for (const node of doc["@graph"] || []) {
    const type = node["@type"];
    if (!TYPES.has(type)) problems.push(`type ${type} is not one of ours`);
    expected += 1; // rdf:type
    for (const [key, value] of Object.entries(node)) {
      if (key.startsWith("@")) continue;
      if (!(key in PROPERTIES) || !PROPERTIES[key].has(type)) {
        problems.push(`${key} is no schema.org property of ${type}`);
      }
      if (value === "") problems.push(`${type}.${key} is empty`);
      expected += 1;
    }
  }
  const options = { documentLoader, safe: true };
  await jsonld.expand(doc, options);
  const quads = await jsonld.toRDF(doc, options);
  const named = quads.filter((quad) => quad.graph.termType !== "DefaultGraph");
  if (named.length > 0) {
    problems.push(`${named.length} of ${quads.length} triples in a named graph, not the default`);
  }
  if (quads.length !== expected) {
    problems.push(`${quads.length} triples for ${expected} values: terms were dropped`);
  }
  const organizations = quads.filter(
    (q) => q.object.value === "http://schema.org/Organization");
  if (organizations.length !== 1) problems.push("no Organization in the default graph");
  return problems;
}

(async () => {
  let failed = false;
  for (const file of process.argv.slice(3)) {
    let problems;
    try {
      problems = await check(file);
    } catch (error) {
      problems = [`the processor refused it: ${error.message}`];
    }
    for (const problem of problems) console.log(`${file}: ${problem}`);
    failed = failed || problems.length > 0;
  }
  process.exit(failed ? 1 : 0);
})();
