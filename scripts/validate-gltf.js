#!/usr/bin/env node
// Runs the Khronos glTF validator (npm package gltf-validator, installed by
// scripts/setup-npm-tools.sh) on each .glb or .gltf file named on the command line; a .gltf's
// buffers (.bin) are read from beside it. Prints one summary line per file and every error and
// warning; exits 1 when any file has an error (or cannot be read), 0 otherwise.
'use strict';
const fs = require('fs');
const path = require('path');

const moduleDir = path.join(__dirname, '..', 'tools', 'gltf-validator', 'node_modules', 'gltf-validator');
let validator;
try {
    validator = require(moduleDir);
} catch (e) {
    console.error(`gltf-validator is not installed in ${moduleDir}: run scripts/setup-npm-tools.sh`);
    process.exit(2);
}

const severities = ['error', 'warning', 'info', 'hint'];

async function validate(file) {
    const bytes = new Uint8Array(fs.readFileSync(file));
    const folder = path.dirname(file);
    const report = await validator.validateBytes(bytes, {
        uri: path.basename(file),
        format: file.toLowerCase().endsWith('.glb') ? 'glb' : 'gltf',
        maxIssues: 0,
        externalResourceFunction: (uri) =>
            new Promise((resolve, reject) => {
                fs.readFile(path.join(folder, decodeURIComponent(uri)), (error, data) =>
                    error ? reject(error.toString()) : resolve(new Uint8Array(data)));
            }),
    });
    const issues = report.issues;
    console.log(`${file}: ${issues.numErrors} errors, ${issues.numWarnings} warnings, ` +
                `${issues.numInfos} infos, ${issues.numHints} hints`);
    for (const message of issues.messages) {
        if (message.severity > 1) continue;
        console.log(`  ${severities[message.severity]} ${message.code} ${message.pointer || ''}: ${message.message}`);
    }
    return issues.numErrors === 0;
}

(async () => {
    const files = process.argv.slice(2);
    if (files.length === 0) {
        console.error('usage: validate-gltf.js FILE.glb|FILE.gltf ...');
        process.exit(2);
    }
    let ok = true;
    for (const file of files) {
        try {
            if (!(await validate(file))) ok = false;
        } catch (e) {
            console.log(`${file}: cannot be validated: ${e}`);
            ok = false;
        }
    }
    process.exit(ok ? 0 : 1);
})();
