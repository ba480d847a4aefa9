#!/usr/bin/env node
// Imports one exported file with the three.js loader of its format (npm package three, installed
// in tools/three-loaders by scripts/setup-npm-tools.sh) and prints what a three.js user gets, as
// one JSON object:
//   unit        metres per number: what the loader applies itself (Collada's <unit>), or what
//               the file declares and three.js leaves to its caller (FBX's UnitScaleFactor in
//               userData, 3MF's model unit), which is applied here; 1 where nothing is declared
//   min, max    the bounding box of every triangle, in the loader's world, times `unit`
//   triangles   all triangles; `levels` counts them per object named "mesh M LOD N" (any of the
//               names of a mesh and its ancestors, spaces or underscores), `unnamed` the rest
//   meshes      the mesh numbers M of the objects named "mesh M ..."
//   centres     the centre of each such mesh's bounding box ("M": [x, y, z]), as min and max
//   materials   name, colour (rgb: r, g, b in the numbers the file holds) and the colour shown
//               (shown: sRGB, after the loader's colour management) of each material used
//   volume      the signed volume of all triangles: positive when they face outwards
// usage: three-import.mjs FILE FORMAT-ID
import fs from 'node:fs';
import path from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';

const here = path.dirname(fileURLToPath(import.meta.url));
const modules = path.join(here, '..', 'tools', 'three-loaders', 'node_modules');
const load = (file) => import(pathToFileURL(path.join(modules, file)).href);

const [file, format] = process.argv.slice(2);
if (!file || !format) {
    console.error('usage: three-import.mjs FILE FORMAT-ID');
    process.exit(2);
}

let THREE, linkedom;
try {
    THREE = await load('three/build/three.module.js');
    linkedom = await load('linkedom/esm/index.js');
} catch (e) {
    console.error(`three.js is not installed in ${modules}: run scripts/setup-npm-tools.sh (${e})`);
    process.exit(2);
}
// Collada's and 3MF's loaders parse XML with the browser's DOMParser; the file loader that reads
// a .gltf's buffer reports progress with the browser's ProgressEvent.
globalThis.DOMParser = linkedom.DOMParser;
globalThis.ProgressEvent ??= class ProgressEvent extends Event {
    constructor(type, init = {}) {
        super(type);
        Object.assign(this, init);
    }
};
const loaders = (name) => load(`three/examples/jsm/loaders/${name}.js`);

const bytes = fs.readFileSync(file);
const buffer = bytes.buffer.slice(bytes.byteOffset, bytes.byteOffset + bytes.byteLength);
const text = () => bytes.toString('utf8');
const folder = path.dirname(file) + '/';

// The colour space the file's numbers are in, as each loader reads them.
const linear = THREE.LinearSRGBColorSpace;
const srgb = THREE.SRGBColorSpace;

async function importFile() {
    switch (format) {
        case 'glb2':
        case 'gltf2': {
            const { GLTFLoader } = await loaders('GLTFLoader');
            const manager = new THREE.LoadingManager();
            // Node's fetch reads no files: a side file (.bin) is handed over as a data URI.
            manager.setURLModifier((url) => url.startsWith('data:') ? url :
                'data:application/octet-stream;base64,' +
                fs.readFileSync(path.join(folder, decodeURIComponent(url.replace(folder, '')))).toString('base64'));
            const loader = new GLTFLoader(manager);
            const gltf = await new Promise((resolve, reject) =>
                loader.parse(buffer, folder, resolve, reject));
            return { root: gltf.scene, space: linear, unit: 1 };
        }
        case 'obj':
        case 'objnomtl': {
            const { OBJLoader } = await loaders('OBJLoader');
            const loader = new OBJLoader();
            const mtl = file.replace(/\.obj$/i, '.mtl');
            if (format === 'obj' && fs.existsSync(mtl)) {
                const { MTLLoader } = await loaders('MTLLoader');
                const materials = new MTLLoader().parse(fs.readFileSync(mtl, 'utf8'), folder);
                materials.preload();
                loader.setMaterials(materials);
            }
            return { root: loader.parse(text()), space: srgb, unit: 1 };
        }
        case 'fbx':
        case 'fbxa': {
            const { FBXLoader } = await loaders('FBXLoader');
            const root = new FBXLoader().parse(buffer, folder);
            // UnitScaleFactor: centimetres per number.
            const factor = root.userData.unitScaleFactor;
            return { root, space: srgb, unit: factor ? factor / 100 : 1 };
        }
        case 'collada': {
            const { ColladaLoader } = await loaders('ColladaLoader');
            return { root: new ColladaLoader().parse(text(), folder).scene, space: srgb, unit: 1 };
        }
        case 'stl':
        case 'stlb': {
            const { STLLoader } = await loaders('STLLoader');
            const geometry = new STLLoader().parse(format === 'stl' ? text() : buffer);
            return { root: new THREE.Mesh(geometry), space: srgb, unit: 1 };
        }
        case 'ply':
        case 'plyb': {
            const { PLYLoader } = await loaders('PLYLoader');
            return { root: new THREE.Mesh(new PLYLoader().parse(buffer)), space: srgb, unit: 1 };
        }
        case '3mf': {
            const { ThreeMFLoader } = await loaders('3MFLoader');
            const root = new ThreeMFLoader().parse(buffer);
            const { unzipSync, strFromU8 } = await load('three/examples/jsm/libs/fflate.module.js');
            const parts = unzipSync(new Uint8Array(buffer));
            const model = Object.keys(parts).find((name) => name.toLowerCase().endsWith('.model'));
            const unit = /<model[^>]*\bunit="([a-z]+)"/.exec(strFromU8(parts[model]));
            const metres = { micron: 1e-6, millimeter: 1e-3, centimeter: 1e-2, inch: 0.0254,
                             foot: 0.3048, meter: 1 };
            return { root, space: srgb, unit: metres[unit ? unit[1] : 'millimeter'] };
        }
        case '3ds': {
            const { TDSLoader } = await loaders('TDSLoader');
            return { root: new TDSLoader().parse(buffer, folder), space: linear, unit: 1 };
        }
        default:
            throw new Error(`three.js has no loader for ${format}`);
    }
}

const levelName = /^mesh[ _](\d+)[ _]LOD[ _](\d+)(?!\d)/;
const meshName = /^mesh[ _](\d+)(?!\d)/;

function namesOf(object) {
    const names = [];
    for (let o = object; o; o = o.parent) names.push(o.name || '');
    return names;
}

const { root, space, unit } = await importFile();
root.updateMatrixWorld(true);
const min = [Infinity, Infinity, Infinity];
const max = [-Infinity, -Infinity, -Infinity];
const levels = {};
const meshes = new Set();
const boxes = {};
const materials = new Map();
let triangles = 0;
let unnamed = 0;
let volume = 0;
const a = new THREE.Vector3(), b = new THREE.Vector3(), c = new THREE.Vector3();

root.traverse((object) => {
    if (!object.isMesh) return;
    const geometry = object.geometry;
    const position = geometry.attributes.position;
    const index = geometry.index;
    const count = index ? index.count : position.count;
    const corner = (k, v) => v.fromBufferAttribute(position, index ? index.getX(k) : k)
        .applyMatrix4(object.matrixWorld).multiplyScalar(unit);
    for (let k = 0; k + 2 < count; k += 3) {
        corner(k, a);
        corner(k + 1, b);
        corner(k + 2, c);
        volume += a.dot(new THREE.Vector3().crossVectors(b, c)) / 6;
    }
    for (let k = 0; k < count; ++k) {
        corner(k, a);
        a.toArray().forEach((value, i) => {
            min[i] = Math.min(min[i], value);
            max[i] = Math.max(max[i], value);
        });
    }
    const n = Math.floor(count / 3);
    triangles += n;
    const names = namesOf(object);
    const level = names.map((name) => levelName.exec(name)).find((m) => m);
    if (level) levels[`${level[1]}/${level[2]}`] = (levels[`${level[1]}/${level[2]}`] || 0) + n;
    else unnamed += n;
    const mesh = names.map((name) => meshName.exec(name)).find((m) => m);
    if (mesh) {
        meshes.add(Number(mesh[1]));
        const box = (boxes[mesh[1]] ??= new THREE.Box3());
        for (let k = 0; k < count; ++k) box.expandByPoint(corner(k, a));
    }
    for (const material of [].concat(object.material || [])) {
        if (!material.color || materials.has(material.name)) continue;
        const rgb = {}, shown = {};
        material.color.getRGB(rgb, space);
        material.color.getRGB(shown, srgb);
        materials.set(material.name, { rgb: [rgb.r, rgb.g, rgb.b],
                                       shown: [shown.r, shown.g, shown.b] });
    }
});

console.log(JSON.stringify({
    unit, min, max, triangles, levels, unnamed, meshes: [...meshes].sort((x, y) => x - y),
    centres: Object.fromEntries(Object.entries(boxes).map(([m, box]) =>
        [m, box.getCenter(new THREE.Vector3()).toArray()])),
    materials: [...materials].map(([name, colour]) => ({ name, ...colour })), volume,
}));
