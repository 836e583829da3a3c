// Prints the text lines that PP-OCRv4 (@gutenye/ocr-node on ONNX Runtime) finds in one
// picture, one per line, top to bottom as the library returns them.
// Usage: node ppocr.mjs PICTURE   (modules from $PPOCR_MODULES or the benchmark cache)
import path from 'node:path'
import { fileURLToPath, pathToFileURL } from 'node:url'

const here = path.dirname(fileURLToPath(import.meta.url))
const modules = process.env.PPOCR_MODULES || path.join(here, '..', '.cache', 'peers', 'ppocr', 'node_modules')
const picture = process.argv[2]
if (!picture) {
  console.error('usage: node ppocr.mjs PICTURE')
  process.exit(2)
}

const entry = path.join(modules, '@gutenye', 'ocr-node', 'build', 'index.js')
const { default: Ocr } = await import(pathToFileURL(entry).href)
const ocr = await Ocr.create()
const lines = await ocr.detect(path.resolve(picture))
process.stdout.write(lines.map((line) => line.text).join('\n') + '\n')
