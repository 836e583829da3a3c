// Compute reference outputs with the ORIGINAL PP-OCRv4 models on ONNX Runtime.
//
//   NODE_PATH=models/.cache/ort/node_modules \
//     node models/check/make_reference.js TENSOR_DIR ASSETS_DIR TESTDATA_DIR
//
// TENSOR_DIR comes from `ppocr_check MODEL_DIR TESTDATA_DIR --dump TENSOR_DIR`
// (the inputs are made once, in C++), ASSETS_DIR from fetch.sh. Writes
// TESTDATA_DIR/<picture>.ref.txt:
//   det H W POOL ABOVE     then H/POOL rows of the map mean-pooled POOLxPOOL, as
//                          round(p * 65535); ABOVE = pixels with p > 0.3
//   rec LINE WIDTH STEPS   then the argmax class of each step, then its probability
//   cls LINE P0 P1         direction classifier probabilities (0 and 180 degrees)
'use strict';
const fs = require('fs');
const path = require('path');
const ort = require('onnxruntime-node');

const POOL = 16;
const THRESHOLD = 0.3;

function readNpy(file) {
  const buf = fs.readFileSync(file);
  if (buf.toString('latin1', 0, 6) !== '\x93NUMPY') throw new Error(`${file}: not .npy`);
  const headerLen = buf.readUInt16LE(8);
  const header = buf.toString('latin1', 10, 10 + headerLen);
  if (!header.includes("'<f4'") || header.includes('True')) throw new Error(`${file}: want C-order float32`);
  const dims = header.match(/'shape': \(([^)]*)\)/)[1].split(',').map(s => s.trim()).filter(Boolean).map(Number);
  const start = 10 + headerLen;
  const data = new Float32Array(buf.buffer.slice(buf.byteOffset + start, buf.byteOffset + buf.length));
  return new ort.Tensor('float32', data, dims);
}

async function run(session, tensor) {
  const out = await session.run({ [session.inputNames[0]]: tensor });
  return out[session.outputNames[0]];
}

function detLines(map, h, w) {
  let above = 0;
  for (const p of map) if (p > THRESHOLD) above++;
  const lines = [`det ${h} ${w} ${POOL} ${above}`];
  for (let py = 0; py < h / POOL; py++) {
    const row = [];
    for (let px = 0; px < w / POOL; px++) {
      let sum = 0;
      for (let y = py * POOL; y < (py + 1) * POOL; y++)
        for (let x = px * POOL; x < (px + 1) * POOL; x++) sum += map[y * w + x];
      row.push(Math.round((sum / (POOL * POOL)) * 65535));
    }
    lines.push(row.join(' '));
  }
  return lines;
}

function recLines(index, width, probs, steps, classes) {
  const argmax = [], maxprob = [];
  for (let t = 0; t < steps; t++) {
    let best = 0;
    for (let c = 1; c < classes; c++) if (probs[t * classes + c] > probs[t * classes + best]) best = c;
    argmax.push(best);
    maxprob.push(probs[t * classes + best].toFixed(6));
  }
  return [`rec ${index} ${width} ${steps}`, argmax.join(' '), maxprob.join(' ')];
}

async function main() {
  const [tensorDir, assetsDir, testdataDir] = process.argv.slice(2);
  if (!testdataDir) {
    console.error('usage: make_reference.js TENSOR_DIR ASSETS_DIR TESTDATA_DIR');
    process.exit(2);
  }
  const opts = { graphOptimizationLevel: 'all', intraOpNumThreads: 1 };
  const sessions = {
    det: await ort.InferenceSession.create(path.join(assetsDir, 'ch_PP-OCRv4_det_infer.onnx'), opts),
    rec: await ort.InferenceSession.create(path.join(assetsDir, 'ch_PP-OCRv4_rec_infer.onnx'), opts),
    cls: await ort.InferenceSession.create(path.join(assetsDir, 'ch_ppocr_mobile_v2.0_cls_infer.onnx'), opts),
  };
  const version = require('onnxruntime-node/package.json').version;
  const out = new Map();  // picture -> lines of its reference file
  const manifest = fs.readFileSync(path.join(tensorDir, 'manifest.txt'), 'utf8').trim().split('\n');
  for (const entry of manifest) {
    const [kind, picture, index, file] = entry.split(' ');
    if (!out.has(picture))
      out.set(picture, [`# original models on onnxruntime-node ${version}; inputs from ppocr_check --dump`]);
    const input = readNpy(path.join(tensorDir, file));
    const result = await run(sessions[kind], input);
    const lines = out.get(picture);
    if (kind === 'det') {
      const [, , h, w] = result.dims;
      lines.push(...detLines(result.data, h, w));
    } else if (kind === 'rec') {
      const [, steps, classes] = result.dims;
      lines.push(...recLines(index, input.dims[3], result.data, steps, classes));
    } else {
      lines.push(`cls ${index} ${result.data[0].toFixed(6)} ${result.data[1].toFixed(6)}`);
    }
  }
  for (const [picture, lines] of out) {
    const file = path.join(testdataDir, `${picture}.ref.txt`);
    fs.writeFileSync(file, lines.join('\n') + '\n');
    console.log(`wrote ${file} (${fs.statSync(file).size} bytes)`);
  }
}

main().catch(e => { console.error(e); process.exit(1); });
